// The code library's entries as the installed data files give them, what a missing or damaged
// file does, and what an entry inserts into a document and where the caret goes.

#include "code/zuCodeLibrary.h"

#include "src/code/CaretText.h"
#include "support/TempDir.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

const std::string InstalledData = ZENTU_TEST_SOURCE_DIR "/../../src/data/";

std::vector<TLibraryEntry> Load(TLibraryKind kind)
{
    std::vector<TLibraryEntry> entries;
    EXPECT_TRUE(LoadLibraryEntries(kind, InstalledData, entries));
    return entries;
}

const TLibraryEntry* Find(const std::vector<TLibraryEntry>& entries, const std::string& caption)
{
    for (const TLibraryEntry& entry : entries)
        if (entry.Caption == caption)
            return &entry;
    return nullptr;
}

} // namespace

TEST(CodeLibrary, TheFourLibrariesInTheOrderOfTheList)
{
    const std::vector<std::string> captions = {"PHP 5 Functions", "HTML 4.1 Elements/Attributes", "CSS Level 2 Properties",
                                               "JavaScript"};
    ASSERT_EQ(LibraryInfos().size(), captions.size());
    for (size_t i = 0; i < captions.size(); ++i)
        EXPECT_EQ(LibraryInfos()[i].Caption, captions[i]);
}

TEST(CodeLibrary, EntriesAndTheirInsertTextsComeFromTheDataFiles)
{
    const auto php = Load(TLibraryKind::lkPHP);
    const TLibraryEntry* core = Find(php, "Core");
    ASSERT_NE(core, nullptr);
    EXPECT_EQ(core->InsertText, "");
    const TLibraryEntry* strlen = Find(core->Children, "strlen");
    ASSERT_NE(strlen, nullptr);
    EXPECT_EQ(strlen->InsertText, "strlen()");

    const auto html = Load(TLibraryKind::lkHTML);
    ASSERT_FALSE(html.empty());
    EXPECT_EQ(html.front().Caption, "a") << "document order, no sorting";
    const TLibraryEntry* b = Find(html, "b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->InsertText, "<b></b>") << "an element with an end tag inserts the pair";
    const TLibraryEntry* br = Find(html, "br");
    ASSERT_NE(br, nullptr);
    EXPECT_EQ(br->InsertText, "<br>") << "an element without one inserts its opening tag alone";
    ASSERT_NE(Find(b->Children, "class"), nullptr);
    EXPECT_EQ(Find(b->Children, "class")->InsertText, "class");

    const auto css = Load(TLibraryKind::lkCSS);
    ASSERT_FALSE(css.empty());
    EXPECT_EQ(css.front().InsertText, "");
    bool color = false;
    for (const TLibraryEntry& group : css)
        if (const TLibraryEntry* entry = Find(group.Children, "color")) {
            color = true;
            EXPECT_EQ(entry->InsertText, "color: ");
        }
    EXPECT_TRUE(color);

    const auto js = Load(TLibraryKind::lkJavaScript);
    const TLibraryEntry* array = Find(js, "Array");
    ASSERT_NE(array, nullptr);
    ASSERT_NE(Find(array->Children, "push"), nullptr);
    EXPECT_EQ(Find(array->Children, "push")->InsertText, "Array.push");
}

TEST(CodeLibrary, TheEndTagAttributeDecidesBetweenThePairAndTheOpeningTag)
{
    const TempDir dir;
    dir.Write("html.xml", "<html><tag name=\"p\" endtag=\"yes\"><attribute name=\"id\"/></tag>"
                          "<tag name=\"hr\"/><tag name=\"img\" endtag=\"no\"/></html>");
    std::vector<TLibraryEntry> entries;
    ASSERT_TRUE(LoadLibraryEntries(TLibraryKind::lkHTML, dir.Path() + "/", entries));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].InsertText, "<p></p>");
    EXPECT_EQ(entries[1].InsertText, "<hr>");
    EXPECT_EQ(entries[2].InsertText, "<img>");
    ASSERT_EQ(entries[0].Children.size(), 1u);
    EXPECT_EQ(entries[0].Children[0].InsertText, "id");
}

TEST(CodeLibrary, AMissingFileLeavesTheEntriesAndADamagedOneRaises)
{
    const TempDir dir;
    std::vector<TLibraryEntry> entries{{"kept", "", {}}};
    EXPECT_FALSE(LoadLibraryEntries(TLibraryKind::lkCSS, dir.Path() + "/", entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Caption, "kept");

    dir.Write("javascript.xml", "<javascript><object name=\"Math\"><member name=\"PI\"/></javascript>");
    EXPECT_THROW(LoadLibraryEntries(TLibraryKind::lkJavaScript, dir.Path() + "/", entries), Exception);
    EXPECT_EQ(entries[0].Caption, "kept");
}

TEST(CodeLibrary, InsertingPutsTheCaretInsideTheSnippet)
{
    // The document before and after, the caret written as "|" and a selection as [..].
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"echo |;", "strlen()", "echo strlen(|);"},
        {"<p>|</p>", "<b></b>", "<p><b>|</b></p>"},
        {"x |", "<table></table>", "x <table>|</table>"},
        {"|", "<br>", "<br>|"},
        {"p { | }", "color: ", "p { color: | }"},
        {"|", "Array.push", "Array.push|"},
        {"a = [|];", "x[]", "a = [x[|]];"},
        {"[old]x", "strlen()", "strlen(|)x"},
        {"[old]x", "", "|x"},
    };
    for (const auto& [before, text, after] : cases) {
        TSrcEdit editor;
        std::string source = before;
        const size_t open = source.find('[');
        const bool selection = open != std::string::npos && std::string(before).find("old") != std::string::npos;
        if (selection)
            source.erase(open, 5).insert(open, "|old");
        const TCaretText document(source);
        editor.SetAllText(document.Text);
        editor.SetCaretCoord(document.Caret);
        if (selection) {
            editor.SetSelectionStart(document.Caret);
            editor.SetSelectionEnd(MakeBufferCoord(document.Caret.CharIndex + 3, document.Caret.LineNumber));
        }
        InsertLibraryText(editor, text);
        const TCaretText expected(after);
        EXPECT_EQ(editor.Lines().Get(0), expected.Text) << before << " + " << text;
        EXPECT_EQ(editor.GetCaretCoord(), expected.Caret) << before << " + " << text;
        editor.UndoLastChange();
        EXPECT_EQ(editor.Lines().Get(0), selection ? "oldx" : document.Text) << "one undo step: " << before;
    }
}
