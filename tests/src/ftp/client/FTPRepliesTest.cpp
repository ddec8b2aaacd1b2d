// What the client reads from the control connection: lines out of the bytes as they arrive,
// complete replies of one or several lines within their bounds, the passive-mode ports, the
// quoted folder of PWD, SIZE and MDTM values; and the line ends of ASCII transfers, also when a
// CR LF is split between two pieces.

#include "ftp/client/zuFTPAscii.h"
#include "ftp/client/zuFTPErrors.h"
#include "ftp/client/zuFTPLineBuffer.h"
#include "ftp/client/zuFTPReply.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct TReplyCase {
    std::vector<std::string> Lines;
    int Code;
    std::string Message;
};

TEST(FTPReplies, ParserCompletesOneAndManyLineReplies)
{
    const TReplyCase cases[] = {
        {{"220 ready"}, 220, "ready"},
        {{"230"}, 230, ""},
        {{"211-Features:", " MDTM", " SIZE", "211 End"}, 211, "Features:\r\n MDTM\r\n SIZE\r\nEnd"},
        // A line that starts like another code, or with the code and a hyphen, does not end it.
        {{"214-Help", "200 not the end", "214-still not", "214 End"}, 214, "Help\r\n200 not the end\r\nstill not\r\nEnd"},
    };
    for (const TReplyCase& c : cases) {
        TFTPReplyParser parser;
        for (size_t i = 0; i < c.Lines.size(); ++i)
            EXPECT_EQ(parser.Add(c.Lines[i]), i + 1 == c.Lines.size()) << c.Lines[0] << " line " << i;
        const TFTPReply reply = parser.Take();
        EXPECT_EQ(reply.Code, c.Code);
        EXPECT_EQ(reply.Message(), c.Message);
        EXPECT_EQ(reply.Lines, c.Lines);
        EXPECT_TRUE(parser.Empty());
    }
}

TEST(FTPReplies, LineThatCannotStartAReplyIsAnError)
{
    for (const char* line : {"hello", "22 short", "2x0 no", "220x"}) {
        TFTPReplyParser parser;
        EXPECT_THROW(parser.Add(line), ENetFTPError) << line;
    }
}

struct TLineBufferCase {
    std::vector<std::string> Pieces;
    std::size_t MaxLength;
    std::vector<std::string> Lines;
    TFTPLineBuffer::TResult Last;
    std::size_t Pending;
};

TEST(FTPLineBuffer, LinesAcrossPiecesAndTheLengthBound)
{
    using enum TFTPLineBuffer::TResult;
    const TLineBufferCase cases[] = {
        {{"220 a\r\n230 b\n"}, 100, {"220 a", "230 b"}, lrIncomplete, 0},
        {{"22", "0 a\r", "\n2"}, 100, {"220 a"}, lrIncomplete, 1},
        {{"\r\n\n"}, 100, {"", ""}, lrIncomplete, 0},
        {{"lone\rcr\n"}, 100, {"lone\rcr"}, lrIncomplete, 0},
        // The length bound counts the line without its CR LF.
        {{"12345\n"}, 5, {"12345"}, lrIncomplete, 0},
        {{"12345\r\n"}, 5, {"12345"}, lrIncomplete, 0},
        {{"123456\n"}, 5, {}, lrTooLong, 7},
        {{"ok\n123", "456", "7"}, 5, {"ok"}, lrTooLong, 7},
        {{"12345\r"}, 5, {}, lrIncomplete, 6},
    };
    for (const TLineBufferCase& c : cases) {
        TFTPLineBuffer buffer;
        std::vector<std::string> lines;
        TFTPLineBuffer::TResult last = lrIncomplete;
        for (const std::string& piece : c.Pieces) {
            buffer.Append(piece);
            std::string line;
            while ((last = buffer.TakeLine(c.MaxLength, line)) == lrLine)
                lines.push_back(line);
        }
        EXPECT_EQ(lines, c.Lines) << c.Pieces[0];
        EXPECT_EQ(last, c.Last) << c.Pieces[0];
        EXPECT_EQ(buffer.Pending(), c.Pending) << c.Pieces[0];
    }
}

TEST(FTPLineBuffer, ManyLinesAtOnceComeOutInOrderWhileMoreArrive)
{
    TFTPLineBuffer buffer;
    std::string block;
    for (int i = 0; i < 50000; ++i)
        block += "211-line " + std::to_string(i) + "\r\n";
    // Half a line at the end, completed by the next piece after many lines were taken.
    buffer.Append(block + "211 la");
    std::string line;
    for (int i = 0; i < 50000; ++i) {
        ASSERT_EQ(buffer.TakeLine(100, line), TFTPLineBuffer::TResult::lrLine) << i;
        ASSERT_EQ(line, "211-line " + std::to_string(i));
        if (i == 30000)
            buffer.Append("st\r\n");
    }
    ASSERT_EQ(buffer.TakeLine(100, line), TFTPLineBuffer::TResult::lrLine);
    EXPECT_EQ(line, "211 last");
    EXPECT_EQ(buffer.Pending(), 0u);
    // A line too long is taken as its first bytes when it is split.
    buffer.Append("abcdefgh\n");
    EXPECT_EQ(buffer.TakeLine(3, line), TFTPLineBuffer::TResult::lrTooLong);
    EXPECT_EQ(buffer.TakeBytes(3), "abc");
    EXPECT_EQ(buffer.Pending(), 6u);
}

TEST(FTPReplies, ReplyIsBoundedInLinesAndBytes)
{
    const TFTPReplyLimits limits{5, 100};
    // Five lines, and a hundred bytes counted with their CR LF, are still a reply.
    TFTPReplyParser within(limits);
    for (const char* line : {"211-a", "b", "c", "d"})
        EXPECT_FALSE(within.Add(line));
    EXPECT_TRUE(within.Add("211 e"));
    EXPECT_EQ(within.Take().Lines.size(), 5u);
    EXPECT_TRUE(within.Add("200 " + std::string(94, 'x')));

    TFTPReplyParser lines(limits);
    for (const char* line : {"211-a", "b", "c", "d", "e"})
        lines.Add(line);
    EXPECT_THROW(lines.Add("211 f"), ENetFTPError);
    TFTPReplyParser bytes(limits);
    bytes.Add("211-" + std::string(90, 'x'));
    try {
        bytes.Add("211 yz");
        FAIL() << "a reply beyond its bytes was taken";
    } catch (const ENetFTPError& e) {
        EXPECT_STREQ(e.what(), "The FTP server's reply is longer than 100 bytes");
    }
    // The bounds hold per reply: the parser counts anew after each.
    TFTPReplyParser next(limits);
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(next.Add("200 " + std::string(60, 'x')));
        next.Take();
    }
}

TEST(FTPReplies, PassivePortsAndQuotedFolders)
{
    EXPECT_EQ(ParsePassiveReply("227 Entering passive mode (127,0,0,1,161,125)."), 161 * 256 + 125);
    EXPECT_EQ(ParsePassiveReply("227 =10,0,0,5,4,1"), 4 * 256 + 1);
    EXPECT_EQ(ParsePassiveReply("227 (127,0,0,1,300,1)"), std::nullopt);
    EXPECT_EQ(ParsePassiveReply("227 (127,0,0,1,5)"), std::nullopt);
    EXPECT_EQ(ParseExtendedPassiveReply("229 Entering extended passive mode (|||40123|)"), 40123);
    EXPECT_EQ(ParseExtendedPassiveReply("229 (!!!21!)"), 21);
    EXPECT_EQ(ParseExtendedPassiveReply("229 (|||0|)"), std::nullopt);
    EXPECT_EQ(ParseExtendedPassiveReply("229 (|||12)"), std::nullopt);

    EXPECT_EQ(ParseQuotedPath("\"/sub dir\" is the current directory."), "/sub dir");
    EXPECT_EQ(ParseQuotedPath("\"/say \"\"hi\"\"\" created"), "/say \"hi\"");
    EXPECT_EQ(ParseQuotedPath("no quotes"), std::nullopt);
    EXPECT_EQ(ParseQuotedPath("\"unterminated"), std::nullopt);
    EXPECT_EQ(PortArgument("127.0.0.1", 40123), "127,0,0,1,156,187");
}

TEST(FTPReplies, SizeAndModificationTime)
{
    EXPECT_EQ(ParseSizeReply("20"), 20);
    EXPECT_EQ(ParseSizeReply("104857600 "), 104857600);
    EXPECT_EQ(ParseSizeReply("x20"), std::nullopt);
    EXPECT_EQ(ParseSizeReply(""), std::nullopt);
    const std::optional<TDateTime> time = ParseModifiedTime("20261211014146");
    ASSERT_TRUE(time.has_value());
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", *time), "2026-12-11 01:41:46");
    EXPECT_TRUE(ParseModifiedTime("20261211014146.123").has_value());
    EXPECT_EQ(ParseModifiedTime("20261311014146"), std::nullopt);
    EXPECT_EQ(ParseModifiedTime("2026"), std::nullopt);
}

struct TAsciiCase {
    std::vector<std::string> Pieces;
    std::string Expected;
};

TEST(FTPAscii, ReceivedLineEndsBecomeLF)
{
    const TAsciiCase cases[] = {
        {{"a\r\nb\r\n"}, "a\nb\n"},
        {{"a\r", "\nb"}, "a\nb"},
        {{"a\r", "b\r\n"}, "a\rb\n"},
        {{"\r", "\r", "\n"}, "\r\n"},
        {{"end\r"}, "end\r"},
        {{"lf only\n", "\n"}, "lf only\n\n"},
    };
    for (const TAsciiCase& c : cases) {
        TAsciiReceiver receiver;
        std::string out;
        for (const std::string& piece : c.Pieces)
            out += receiver.Convert(piece);
        out += receiver.Finish();
        EXPECT_EQ(out, c.Expected) << c.Pieces[0];
    }
}

TEST(FTPAscii, SentLineEndsBecomeCRLF)
{
    const TAsciiCase cases[] = {
        {{"a\nb\n"}, "a\r\nb\r\n"},
        {{"a\r\nb"}, "a\r\nb"},
        {{"a\r", "\nb\n"}, "a\r\nb\r\n"},
        {{"\n", "\n"}, "\r\n\r\n"},
        {{"no break"}, "no break"},
    };
    for (const TAsciiCase& c : cases) {
        TAsciiSender sender;
        std::string out;
        for (const std::string& piece : c.Pieces)
            out += sender.Convert(piece);
        EXPECT_EQ(out, c.Expected) << c.Pieces[0];
    }
}

} // namespace
