// A document keeps its file's bytes: every line its own line break, lines nobody touched their
// bytes, binary files too (which open with a warning); new documents take [General]
// LineEnding. Files that are no regular files are refused at once by every way of opening.

#include "src/run/ShellTestSupport.h"

#include "Platform/core/Exceptions.h"
#include "support/UnusualFiles.h"

namespace {

using namespace std::string_literals;

struct DocumentLineBreaks : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        Start();
    }
    // The contents of the round trips: one per kind of break, and binary bytes.
    static const std::vector<std::pair<const char*, std::string>>& Contents()
    {
        static const std::vector<std::pair<const char*, std::string>> contents = {
            {"LF", "<?php\necho 1;\n\necho 2;\n"},
            {"CR LF", "<?php\r\necho 1;\r\n\r\necho 2;\r\n"},
            {"lone CR", "<?php\recho 1;\r\recho 2;\r"},
            {"mixed", "<?php\r\necho 1;\n\recho 2;\r\n\recho 3;\n"},
            {"no final break", "<?php\necho 1;\necho 2;"},
            {"binary with NULs", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\r\r\n\n\x08\x06\0\0\0\x1f\x15\xc4\x89"s},
        };
        return contents;
    }
    static bool IsBinary(const std::string& content) { return content.find('\0') != std::string::npos; }

    // Writes the file and opens it with [General] LineEnding at `lineEnding`, taking the
    // warning a binary file opens with.
    TCodeEditorForm* OpenWritten(const char* lineEnding, const std::string& name, const std::string& content)
    {
        Setting("General", "LineEnding", lineEnding);
        const std::string path = WriteWork(name, content);
        if (IsBinary(content))
            Answers = {IDOK};
        return Open(path);
    }
};

} // namespace

TEST_F(DocumentLineBreaks, AnEditTakenBackSavesTheFileByteForByteWhateverTheSetting)
{
    int n = 0;
    for (const auto& [name, content] : Contents()) {
        for (const char* mode : {"0", "1", "2"}) {
            SCOPED_TRACE(std::string(name) + " with LineEnding " + mode);
            const std::string name = "f" + std::to_string(n++) + ".php";
            TCodeEditorForm* document = OpenWritten(mode, name, content);
            ASSERT_NE(document, nullptr);
            const std::string path = Work(name);
            // Type a character and delete it again, as a user would.
            document->Editor()->SetCaretCoord(MakeBufferCoord(2, 2));
            Type("q");
            QTest::keyClick(document->Editor(), Qt::Key_Backspace);
            ASSERT_TRUE(document->Editor()->ContentModified());
            ASSERT_TRUE(document->SaveDocument(false));
            EXPECT_EQ(ReadWholeFile(path), content);
            Close(document);
        }
    }
}

TEST_F(DocumentLineBreaks, AnEditedLineChangesAndEveryOtherLineKeepsItsBytes)
{
    struct Case {
        const char* Name;
        std::string Content;
        std::string Saved; // after "X" is typed at the start of the second line
    };
    const std::vector<Case> cases = {
        {"LF", "a\nb\nc\n", "a\nXb\nc\n"},
        {"CR LF", "a\r\nb\r\nc", "a\r\nXb\r\nc"},
        {"lone CR", "a\rb\rc\r", "a\rXb\rc\r"},
        {"mixed", "a\r\nb\nc\rd\n\re", "a\r\nXb\nc\rd\n\re"},
        {"binary", "\x01\r\n\0\x02\r\x03\n\0"s, "\x01\r\nX\0\x02\r\x03\n\0"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TCodeEditorForm* document = OpenWritten("1", "edited.php", c.Content);
        ASSERT_NE(document, nullptr);
        const std::string path = Work("edited.php");
        document->Editor()->SetCaretCoord(MakeBufferCoord(1, 2));
        Type("X");
        ASSERT_TRUE(document->SaveDocument(false));
        EXPECT_EQ(ReadWholeFile(path), c.Saved);
        Close(document);
    }
}

TEST_F(DocumentLineBreaks, NewLinesTakeTheFilesStyleOrTheSettingWhenTheFileHasNone)
{
    struct Case {
        const char* Mode;
        std::string Content;
        std::string Saved; // after Enter and "n" at the end of the text
    };
    const std::vector<Case> cases = {
        {"0", "a\nb", "a\nb\nn"},
        {"1", "a\r\nb", "a\r\nb\r\nn"},
        {"1", "a\rb", "a\rb\rn"},
        // A file without a break takes the setting.
        {"0", "one", "one\r\nn"},
        {"1", "one", "one\nn"},
        {"2", "one", "one\rn"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Content + " with LineEnding " + c.Mode);
        TCodeEditorForm* document = OpenWritten(c.Mode, "grown.php", c.Content);
        ASSERT_NE(document, nullptr);
        const std::string path = Work("grown.php");
        QTest::keyClick(document->Editor(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(document->Editor(), Qt::Key_Return);
        Type("n");
        ASSERT_TRUE(document->SaveDocument(false));
        EXPECT_EQ(ReadWholeFile(path), c.Saved);
        Close(document);
    }
}

TEST_F(DocumentLineBreaks, ANewDocumentTakesTheSettingsLineBreaksNotItsTemplates)
{
    for (const auto& [mode, saved] : std::vector<std::pair<const char*, const char*>>{
             {"0", "<?php\r\necho 'new';\r\n?>\r\n"}, {"1", "<?php\necho 'new';\n?>\n"}, {"2", "<?php\recho 'new';\r?>\r"}}) {
        SCOPED_TRACE(mode);
        Setting("General", "LineEnding", mode);
        TCodeEditorForm* document = Form->OpenFile(Dir.File("program/template/PHP Page.php"), true, 0);
        ASSERT_NE(document, nullptr);
        document->Editor()->SetContentModified(true);
        const std::string path = Work(std::string("new") + mode + ".php");
        AnswerNextFileDialog(path);
        ASSERT_TRUE(document->SaveDocument(false));
        EXPECT_EQ(ReadWholeFile(path), saved);
        Close(document);
    }
}

TEST_F(DocumentLineBreaks, AFileWithANulByteInItsFirstBlockOpensWithAWarning)
{
    struct Case {
        const char* Name;
        std::string Content;
        bool Warned;
    };
    const std::vector<Case> cases = {
        {"NUL first", "\0ELF"s, true},
        {"NUL at the end of the first block", std::string(2047, 'a') + '\0', true},
        {"NUL after the first block", std::string(2048, 'a') + '\0', false},
        {"text", "<?php echo 1;\n", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = WriteWork("b" + std::to_string(n++) + ".bin", c.Content);
        Questions.clear();
        if (c.Warned)
            Answers = {IDOK};
        TCodeEditorForm* document = Open(path);
        ASSERT_NE(document, nullptr) << "the file opens";
        if (c.Warned) {
            ASSERT_EQ(Questions.size(), 1u);
            EXPECT_EQ(Questions[0].Text, path + " seems to be a binary file.\r\nEditing it as text may damage it.");
            EXPECT_EQ(Questions[0].Caption, "Zentu");
            EXPECT_EQ(Questions[0].Flags, unsigned(MB_OK | MB_ICONWARNING));
        } else {
            EXPECT_TRUE(Questions.empty());
        }
        EXPECT_EQ(document->FileText(), c.Content);
        Close(document);
    }
}

TEST_F(DocumentLineBreaks, WhatIsNoRegularFileIsRefusedAtOnceByEveryWayOfOpening)
{
    const TSpecialFiles special(Dir);
    const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> ways = {
        {"Open", [this](const std::string& path) { Form->OpenFile(path, false, 0); }},
        {"template", [this](const std::string& path) { Form->OpenFile(path, true, 0); }},
        {"drop", [this](const std::string& path) { Form->DropFiles({path}); }},
    };
    for (const auto& [way, open] : ways) {
        for (const TSpecialFile& file : special.Files) {
            SCOPED_TRACE(std::string(way) + " of a " + file.Kind);
            TPipeWatchdog watchdog(special.Pipes());
            Questions.clear();
            if (file.Kind == "folder")
                Answers = {IDOK};
            std::string message;
            try {
                open(file.Path);
            } catch (const std::exception& e) {
                message = e.what();
            }
            // A folder is no document at all.
            if (file.Kind == "folder") {
                EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"Document " + file.Path + " not found"});
            } else {
                EXPECT_EQ(message, "Cannot open file \"" + file.Path + "\". " + file.Reason);
            }
            EXPECT_FALSE(watchdog.Fired()) << "the program waited on the file";
            EXPECT_TRUE(Form->Documents().empty());
        }
    }
}
