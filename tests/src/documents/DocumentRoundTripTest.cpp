// A document opened and saved without edits, checked on generated file contents: the bytes
// written under each line-ending setting, the backup copy, a save that cannot be written, and a
// reload after another program changed the file.
//
// Each line keeps the break it had in the file (CR LF, a lone CR, a lone LF; LF CR is an LF and
// a CR) whatever the setting, and every other byte, NUL and invalid UTF-8 included. So every
// file comes back byte for byte.

#include "src/run/ShellTestSupport.h"

#include "Platform/core/Exceptions.h"

#include <QFile>

#include <csignal>
#include <cstring>
#include <random>
#include <sys/resource.h>
#include <utime.h>

namespace {

std::string_view ModeBreak(int mode)
{
    return mode == 1 ? "\n" : mode == 2 ? "\r" : "\r\n";
}

// Every break of `bytes` as the mode's break.
std::string Converted(std::string_view bytes, int mode)
{
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            out += ModeBreak(mode);
            ++i;
        } else if (bytes[i] == '\r' || bytes[i] == '\n') {
            out += ModeBreak(mode);
        } else {
            out += bytes[i];
        }
    }
    return out;
}

std::string Printable(std::string_view bytes)
{
    std::string out;
    for (const unsigned char c : bytes.substr(0, 100)) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// File contents: lines of plain, high, NUL and broken UTF-8 bytes, separated by breaks of the
// kinds given, sometimes with a BOM, sometimes with a final break.
class ContentGenerator {
public:
    explicit ContentGenerator(unsigned seed) : FRandom(seed) {}
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(FRandom); }

    std::string Make(const std::vector<std::string>& breaks)
    {
        static const std::vector<std::string> pieces = {"<?php", " ", "\t", "x", "\xc3\xa9", "\xe2\x82\xac",
                                                        "\xc3", "\x80", "\xff", std::string(1, '\0'), "$a;"};
        std::string out = Below(5) == 0 ? "\xef\xbb\xbf" : "";
        const int lines = Below(6) == 0 ? 0 : 1 + Below(6);
        for (int i = 0; i < lines; ++i) {
            for (int n = Below(6); n > 0; --n)
                out += pieces[static_cast<size_t>(Below(int(pieces.size())))];
            if (Below(15) == 0)
                out += std::string(static_cast<size_t>(20000 + Below(1000)), 'w'); // longer than any buffer
            if (i + 1 < lines || Below(2) == 0)
                out += breaks[static_cast<size_t>(Below(int(breaks.size())))];
        }
        return out;
    }

private:
    std::mt19937 FRandom;
};

struct DocumentRoundTrip : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        Start();
    }
    void AnswerBinaryWarning(const std::string& content);
    // Saves the document as if it had been edited, with the setting's line ends.
    void SaveUnchanged(TCodeEditorForm* document, int mode, bool forceBackup)
    {
        Setting("General", "LineEnding", std::to_string(mode));
        document->Editor()->SetContentModified(true);
        ASSERT_TRUE(document->SaveDocument(forceBackup));
        EXPECT_FALSE(document->Editor()->ContentModified());
    }
};

// Files may grow to at most `limit` bytes while it lives (so writes fail even for root).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit small = FOld;
        small.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

const std::vector<std::pair<const char*, std::vector<std::string>>>& BreakSets()
{
    static const std::vector<std::pair<const char*, std::vector<std::string>>> sets = {
        {"CR LF", {"\r\n"}}, {"LF", {"\n"}}, {"CR", {"\r"}}, {"mixed", {"\r\n", "\n", "\r", "\n\r"}}};
    return sets;
}

} // namespace

// A file with a zero byte near its start opens with a warning that it looks binary.
void DocumentRoundTrip::AnswerBinaryWarning(const std::string& content)
{
    if (content.substr(0, 2048).find('\0') != std::string::npos)
        Answers.push_back(IDOK);
}

TEST_F(DocumentRoundTrip, SavingUnchangedGivesBackTheFileByteForByteWhateverTheSetting)
{
    Setting("Backup", "BackupLocalFiles", "1");
    int n = 0;
    for (const auto& [name, breaks] : BreakSets()) {
        ContentGenerator gen(4711u + static_cast<unsigned>(n));
        for (int round = 0; round < 5; ++round, ++n) {
            const std::string original = gen.Make(breaks);
            SCOPED_TRACE(std::string(name) + " content " + Printable(original));
            const std::string path = WriteWork("doc" + std::to_string(n) + ".php", original);
            // why: wrapped rows must never leak into the saved lines.
            Form->acWordWrap->SetChecked(round % 2 == 1);
            AnswerBinaryWarning(original);
            TCodeEditorForm* document = Open(path);
            ASSERT_NE(document, nullptr);
            EXPECT_EQ(document->Editor()->WordWrap(), round % 2 == 1);
            std::string before = original;
            for (const int mode : {0, 1, 2, round % 3}) {
                SCOPED_TRACE("LineEnding " + std::to_string(mode));
                SaveUnchanged(document, mode, mode == 2);
                const std::string saved = ReadWholeFile(path);
                EXPECT_EQ(saved, original);
                EXPECT_EQ(ReadWholeFile(Work("doc" + std::to_string(n) + ".~php")), before)
                    << "the backup holds the bytes from before the save";
                before = saved;
            }
            Close(document);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST_F(DocumentRoundTrip, AFileThatCannotBeWrittenKeepsItsBytes)
{
    struct Case {
        const char* Original;
        int Mode;
    };
    const std::vector<Case> cases = {
        {"old\r\nbytes\r\n", 0},
        {"old\nbytes\n", 1},
        {"o\rl\nd\r\n\0x", 2},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string original(c.Original, std::strlen(c.Original) + (c.Mode == 2 ? 2 : 0));
        SCOPED_TRACE(Printable(original));
        const std::string path = WriteWork("locked" + std::to_string(n++) + ".php", original);
        AnswerBinaryWarning(original);
        TCodeEditorForm* document = Open(path);
        ASSERT_NE(document, nullptr);
        Type("a longer text that no longer fits ");
        Setting("General", "LineEnding", std::to_string(c.Mode));
        std::string message;
        {
            const FileSizeLimit limit(4);
            try {
                document->SaveDocument(true);
            } catch (const std::exception& e) {
                message = e.what();
            }
        }
        EXPECT_EQ(message, "Cannot write file \"" + path + "\". File too large") << "the file and the system's reason";
        EXPECT_EQ(ReadWholeFile(path), original);
        EXPECT_TRUE(document->Editor()->ContentModified()) << "the changes are still unsaved";
        Answers = {IDNO};
        Close(document);
    }
}

TEST_F(DocumentRoundTrip, ReloadAfterAnOutsideChangeShowsTheNewBytes)
{
    Setting("General", "Reload", "1");
    ContentGenerator gen(99u);
    const std::string path = WriteWork("outside.php", "first\r\n");
    TCodeEditorForm* document = Open(path);
    ASSERT_NE(document, nullptr);
    for (int round = 0; round < 12; ++round) {
        const std::string outside = gen.Make(BreakSets()[static_cast<size_t>(round % 4)].second);
        SCOPED_TRACE("content " + Printable(outside));
        if (round % 2 == 1)
            Type("unsaved ");
        Touch(path, outside, 10 * (round + 1));
        Form->ApplicationActivate();
        EXPECT_EQ(document->Editor()->GetAllText(), Converted(outside, 0)) << "lines joined by CR LF";
        EXPECT_FALSE(document->Editor()->ContentModified());
        // The reloaded text saves back as the file was, whatever the setting.
        const int mode = round % 3;
        SaveUnchanged(document, mode, false);
        EXPECT_EQ(ReadWholeFile(path), outside);
        // The document's own save is no outside change.
        Setting("General", "Reload", "0");
        Form->ApplicationActivate();
        EXPECT_TRUE(Questions.empty());
        Setting("General", "Reload", "1");
    }
}
