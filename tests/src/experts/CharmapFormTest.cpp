// The HTML Entities window: the entity lines read by character, the grid filled from the data
// file the program ships, hints and insertion, and a missing or short file.

#include "experts/zuCharmapForm.h"

#include "src/run/ShellTestSupport.h"

#include <QTableWidget>
#include <QTest>

namespace {

const std::string ShippedEntities = ZENTU_TEST_SOURCE_DIR "/../../src/data/htmlentity.dat";

struct TLineCase {
    const char* Line;
    const char* Character;
    const char* Insert;
    const char* Hint;
};

std::string Lines(int count, const std::string& line)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line + "\n";
    return text;
}

} // namespace

TEST(EntityLine, FieldsByCharacterNotByByte)
{
    const TLineCase cases[] = {
        {"<\t&lt;\tLess-Than Sign", "<", "&lt;", "Less-Than Sign"},
        // a character of several bytes is shown whole
        {"\xC2\xA9\t&copy;\tCopyright Sign", "\xC2\xA9", "&copy;", "Copyright Sign"},
        {"\xE2\x82\xAC\t&euro;\tEuro Sign", "\xE2\x82\xAC", "&euro;", "Euro Sign"},
        // the text to insert lies between the first and the last tab, tabs included
        {"x\ta\tb\tc", "x", "a\tb", "c"},
        // without a tab: nothing to insert and the whole line as the hint
        {"no tab here", "n", "", "no tab here"},
        // one tab: nothing between first and last
        {"y\tdescription", "y", "", "description"},
        {"", "", "", ""},
        {"\t&x;\tempty character", "", "&x;", "empty character"},
    };
    for (const TLineCase& c : cases) {
        const TEntityLine entity = ParseEntityLine(c.Line);
        EXPECT_EQ(entity.Character, c.Character) << c.Line;
        EXPECT_EQ(entity.Insert, c.Insert) << c.Line;
        EXPECT_EQ(entity.Hint, c.Hint) << c.Line;
    }
}

TEST(EntityFile, TheShippedFileHasAWellFormedLineForEveryCell)
{
    TStringList lines;
    lines.LoadFromFile(ShippedEntities);
    ASSERT_GE(lines.Count(), TCharmapForm::GridColumns * TCharmapForm::GridRows);
    for (int i = 0; i < lines.Count(); ++i) {
        const TEntityLine entity = ParseEntityLine(lines.Get(i));
        EXPECT_FALSE(entity.Character.empty()) << "line " << i + 1;
        ASSERT_GE(entity.Insert.size(), 3u) << "line " << i + 1;
        EXPECT_EQ(entity.Insert.front(), '&') << "line " << i + 1;
        EXPECT_EQ(entity.Insert.back(), ';') << "line " << i + 1;
        EXPECT_FALSE(entity.Hint.empty()) << "line " << i + 1;
    }
}

struct CharmapForm : ShellTest {};

TEST_F(CharmapForm, TheGridShowsTheFirst108CharactersRowByRow)
{
    TCharmapForm form(ShippedEntities);
    ASSERT_EQ(form.EntityGrid->columnCount(), 18);
    ASSERT_EQ(form.EntityGrid->rowCount(), 6);
    EXPECT_EQ(form.EntityGrid->item(0, 0)->text(), QStringLiteral("\""));
    EXPECT_EQ(form.EntityGrid->item(0, 1)->text(), QStringLiteral("&"));
    // cell (column c, row r) holds line r x 18 + c
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 18; ++c)
            EXPECT_EQ(form.EntityGrid->item(r, c)->text().toStdString(),
                      ParseEntityLine(form.Entities().Get(r * 18 + c)).Character)
                << r << "," << c;
    EXPECT_EQ(form.EntityGrid->item(0, 1)->text().size(), 1) << "one character per cell, never a stray byte";
    EXPECT_EQ(form.EntityGrid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(form.EntityGrid->columnWidth(0), form.EntityGrid->rowHeight(0)) << "square cells";
}

TEST_F(CharmapForm, AClickShowsTheDescriptionADoubleClickInsertsTheEntity)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("a.html", "ab"));
    document->Editor()->SetCaretCoord(MakeBufferCoord(2, 1));
    TCharmapForm form(ShippedEntities);
    form.TargetEditor = [this] { return Form->ActiveEditor(); };
    form.CellClick(2, 0);
    EXPECT_EQ(form.EntityGrid->toolTip(), QStringLiteral("Less-Than Sign"));
    form.CellDoubleClick(2, 0);
    form.CellDoubleClick(1, 0);
    EXPECT_EQ(document->Editor()->GetAllText(), "a&lt;&amp;b");
}

TEST_F(CharmapForm, ALineWithoutTabsInsertsNothingButReplacesTheSelection)
{
    Start();
    TCodeEditorForm* document = Open(WriteWork("a.html", "abcd"));
    const std::string file = Dir.Write("entities.dat", "plain line\n" + Lines(107, "x\t&x;\tEx"));
    TCharmapForm form(file);
    form.TargetEditor = [this] { return Form->ActiveEditor(); };
    form.CellClick(0, 0);
    EXPECT_EQ(form.EntityGrid->toolTip(), QStringLiteral("plain line"));
    document->Editor()->SetSelectionStart(MakeBufferCoord(2, 1));
    document->Editor()->SetSelectionEnd(MakeBufferCoord(4, 1));
    form.CellDoubleClick(0, 0);
    EXPECT_EQ(document->Editor()->GetAllText(), "ad");
}

TEST_F(CharmapForm, WithoutADocumentADoubleClickDoesNothing)
{
    Start();
    const std::string file = WriteWork("a.html", "ab");
    TCodeEditorForm* document = Open(file);
    ASSERT_NE(document, nullptr);
    ASSERT_TRUE(Close(document));
    ASSERT_TRUE(Form->Documents().empty());

    TCharmapForm form(ShippedEntities);
    form.TargetEditor = [&] { return Form->ActiveEditor(); };
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    const QPoint cell = form.EntityGrid->visualItemRect(form.EntityGrid->item(0, 2)).center();
    QTest::mouseDClick(form.EntityGrid->viewport(), Qt::LeftButton, {}, cell);
    QApplication::processEvents();

    EXPECT_TRUE(Form->Documents().empty()) << "no document is made for the entity";
    EXPECT_TRUE(Questions.empty());
    EXPECT_EQ(ReadWholeFile(file), "ab") << "the closed document's file is left alone";
}

TEST_F(CharmapForm, AMissingOrShortFileFailsToOpen)
{
    EXPECT_ANY_THROW(TCharmapForm(Dir.File("missing.dat")));
    const std::string shortFile = Dir.Write("short.dat", Lines(107, "x\t&x;\tEx"));
    try {
        TCharmapForm form(shortFile);
        FAIL() << "a file of 107 lines opened";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (107)");
    }
    // empty lines among the first 108 still open
    const std::string withBlank = Dir.Write("blank.dat", "\n" + Lines(107, "x\t&x;\tEx"));
    TCharmapForm form(withBlank);
    EXPECT_EQ(form.EntityGrid->item(0, 0)->text(), QString());
}
