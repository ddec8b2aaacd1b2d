// Mutation fuzzing of what FTP servers send: the reply reader (lines out of the bytes, replies
// out of the lines within their bounds, and the values read out of replies), the listing
// reader with the Unix and DOS parsers, and the client itself against a scripted local peer
// that sends the mutated bytes as its replies or as its listing. Seeds are replies and
// listings captured from pyftpdlib on 127.0.0.1 (capture_seeds.py) and DOS listings.

#include "src/ftp/ScriptedFtpPeer.h"

#include "ftp/client/zuFTPErrors.h"
#include "ftp/client/zuFTPLineBuffer.h"
#include "ftp/client/zuFTPListingReader.h"
#include "ftp/client/zuFTPReply.h"
#include "ftp/client/zuNetFTP.h"

#include "support/MutationFuzzer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string Corpus = ZENTU_TEST_SOURCE_DIR "/ftp/fuzz/";

const std::vector<std::string> ReplyTokens = {
    "\r\n", "220 ", "220-", "211-", "211 ", "120 ", "150 ", "226 ", "227 Entering passive mode (127,0,0,1,", "),",
    "229 Entering extended passive mode (|||", "|)", "257 \"", "\"\"", "213 ", "350 ", "421 ", "550 ", "20261211103312",
    "999999999999999999999", "-1", ",255,255", "\xff\xfe",
};

const std::vector<std::string> ListingTokens = {
    "\r\n", "\n", "drwxr-xr-x", "-rw-r--r--", "lrwxrwxrwx", "crw-rw-rw-", " -> ", "<DIR>", " 1,048,576 ", " Dec 11 10:32 ",
    " Feb 29 2024 ", " 2024-02-29 23:59 ", "12:00AM", "11:59PM", "07-04-2023", "99-99-99", " 9223372036854775808 ",
    "total 0", "  ", "\t",
};

// Pieces of 1 to 61 bytes, as a connection may hand them over.
template <class F>
void InPieces(const std::string& input, F take)
{
    std::size_t at = 0;
    for (std::size_t i = 0; at < input.size(); ++i) {
        const std::size_t size = 1 + (i * 37 + input.size()) % 61;
        take(std::string_view(input).substr(at, size));
        at += size;
    }
}

// What the client does with each reply it takes.
void UseReply(const TFTPReply& reply)
{
    const std::string text = reply.Text();
    const std::string message = reply.Message();
    ParsePassiveReply(text);
    ParseExtendedPassiveReply(text);
    ParseQuotedPath(message);
    ParseModifiedTime(message);
    ParseSizeReply(message);
}

void ReadReplies(const std::string& input)
{
    TFTPLineBuffer buffer;
    // Small bounds, so that mutations reach them.
    TFTPReplyParser parser(TFTPReplyLimits{64, 4096});
    InPieces(input, [&](std::string_view piece) {
        buffer.Append(piece);
        std::string line;
        for (;;) {
            const TFTPLineBuffer::TResult result = buffer.TakeLine(256, line);
            if (result == TFTPLineBuffer::TResult::lrIncomplete)
                break;
            if (result == TFTPLineBuffer::TResult::lrTooLong)
                line = buffer.TakeBytes(256);
            try {
                if (parser.Add(line))
                    UseReply(parser.Take());
            } catch (const ENetFTPError&) {
                // The client closes the connection here; the next bytes start afresh.
                parser = TFTPReplyParser(TFTPReplyLimits{64, 4096});
            }
        }
    });
}

void ReadListing(const std::string& input)
{
    TFTPListingReader reader(EncodeDate(2024, 3, 15) + EncodeTime(12, 0, 0, 0), TFTPListingLimits{1 << 16, 1000});
    try {
        InPieces(input, [&](std::string_view piece) { reader.Add(piece); });
        reader.Finish();
    } catch (const ENetFTPError&) {
        return;
    }
    for (const TFTPListItem& item : reader.Items) {
        PermissionValue(item);
        PermissionText(item);
    }
}

fuzz::TFuzzOptions Options(int cases, const std::vector<std::string>& dictionary)
{
    fuzz::TFuzzOptions options;
    options.Cases = cases;
    options.MaxInputSize = 64 * 1024;
    options.Dictionary = dictionary;
    return options;
}

TEST(FTPFuzz, ReplyReader)
{
    const std::vector<std::string> seeds = fuzz::ReadCorpus(Corpus + "replies", {"txt"});
    ASSERT_GE(seeds.size(), 5u);
    EXPECT_GT(fuzz::FuzzReader("ftp-replies", seeds, ReadReplies, Options(10000, ReplyTokens)), int(seeds.size()));
}

TEST(FTPFuzz, ListingReader)
{
    const std::vector<std::string> seeds = fuzz::ReadCorpus(Corpus + "listings", {"txt"});
    ASSERT_GE(seeds.size(), 6u);
    EXPECT_GT(fuzz::FuzzReader("ftp-listings", seeds, ReadListing, Options(12000, ListingTokens)), int(seeds.size()));
}

// The client against the scripted peer: it logs in, asks what a session asks and lists, with
// the mutated bytes as everything the peer says on the control connection, or as its listing.
class FTPClientFuzz : public ::testing::Test {
protected:
    FTPClientFuzz()
    {
        Client.Host = "127.0.0.1";
        Client.Port = Peer.Port();
        Client.Username = "user";
        Client.Password = "secret";
        Client.ReadTimeout = std::chrono::milliseconds(2000);
        Client.ReplyLimits = TFTPReplyLimits{64, 4096};
        Client.ListingLimits = TFTPListingLimits{1 << 16, 1000};
    }

    // Runs the calls of a session until one fails; the client is closed afterwards.
    void Session(bool list)
    {
        try {
            if (!Client.Connected())
                Client.Connect();
            Client.RetrieveCurrentDir();
            Client.Size("read me.txt");
            TDateTime date = 0;
            Client.FileDate("index.php", date);
            Client.ResumeSupported();
            Client.Noop();
            Client.SendCmd("FEAT");
            if (list)
                Client.List();
        } catch (const ENetFTPError&) {
        }
        Client.Disconnect();
    }

    TScriptedFtpPeer Peer;
    TNetFTP Client;
};

TEST_F(FTPClientFuzz, RepliesThroughTheClient)
{
    const std::vector<std::string> seeds = {ReadWholeFile(Corpus + "replies/pyftpdlib-client-calls.txt")};
    ASSERT_FALSE(seeds[0].empty());
    // The peer answers no command: the bytes are all it says. No listing is asked for, as a
    // passive reply of the bytes would send the client to any local port.
    Peer.Answering = false;
    const int run = fuzz::FuzzReader(
        "ftp-client-replies", seeds,
        [this](const std::string& input) {
            Peer.Greeting = {PeerText(input), true};
            Session(false);
        },
        Options(1000, ReplyTokens));
    EXPECT_GT(run, 1);
}

TEST_F(FTPClientFuzz, ListingsThroughTheClient)
{
    const std::vector<std::string> seeds = fuzz::ReadCorpus(Corpus + "listings", {"txt"});
    const int run = fuzz::FuzzReader(
        "ftp-client-listings", seeds,
        [this](const std::string& input) {
            Peer.ListingData = PeerText(input);
            Session(true);
        },
        Options(500, ListingTokens));
    EXPECT_GT(run, int(seeds.size()));
}

} // namespace
