// The main settings and key map files: the defaults every reader gets from an empty file,
// numbered lists, the key map, and the four files the main window opens.

#include "settings/zuSettings.h"

#include "Platform/files/FileNames.h"
#include "Platform/graphics/Graphics.h"
#include "Platform/text/Strings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct SettingsIndex : ::testing::Test {
    TempDir Dir;
    std::string Name = Dir.File("Zentupad.dat");
    TIniFileEx Ini{Name};
};

std::unique_ptr<TStringList> ListOf(std::initializer_list<const char*> items)
{
    auto list = std::make_unique<TStringList>();
    for (const char* item : items)
        list->Add(item);
    return list;
}

} // namespace

TEST_F(SettingsIndex, AnEmptyFileGivesTheListedDefaultsAndWritesNothing)
{
    namespace S = Settings;
    EXPECT_EQ(S::Application::Project.Read(Ini), "{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(S::Application::LastPath.Read(Ini, "/home/me"), "/home/me");
    EXPECT_FALSE(S::Editor::WordWrap.Read(Ini));
    EXPECT_TRUE(S::Editor::ColumnMode.Read(Ini));
    EXPECT_FALSE(S::Editor::HalfPageScroll.Read(Ini));
    for (const TBoolKey& key : S::Editor::Close)
        EXPECT_TRUE(key.Read(Ini)) << key.Key;
    EXPECT_EQ(S::Editor::Close[4].Key, "Close5");
    EXPECT_EQ(S::Editor::MaxUndo.Read(Ini), 1024);
    EXPECT_EQ(S::Editor::RightMarginAt.Read(Ini), 80);
    EXPECT_EQ(S::Editor::TabWidth.Read(Ini), 8);
    EXPECT_EQ(S::Editor::SelectionBG.Read(Ini), clHighlight);
    EXPECT_EQ(S::Editor::BookmarkBG.Read(Ini), 0x00FF0000);
    EXPECT_EQ(S::Editor::MatchedLineBG.Read(Ini), 0x00F0CAA6);
    EXPECT_EQ(S::Editor::ActiveLineBG.Read(Ini), clNone);
    EXPECT_EQ(S::General::SQLDialect.Read(Ini), 3);
    EXPECT_EQ(S::General::MaxMRU.Read(Ini), 16);
    EXPECT_EQ(S::General::DateTimeFormat.Read(Ini), "dd/mm/yyyy [hh:nn:ss]");
    EXPECT_EQ(S::Backup::SaveInterval.Read(Ini), 0);
    EXPECT_EQ(S::Backup::SaveInterval.Read(Ini, 1), 1) << "the options dialog's own default";
    EXPECT_TRUE(S::Backup::DisableAutoSaveFTP.Read(Ini));
    EXPECT_EQ(S::HTTPServer::Port.Read(Ini), 7905);
    EXPECT_EQ(S::HTTPServer::TimeOut.Read(Ini), 30);
    EXPECT_EQ(S::HTTPServer::IndexFiles.Read(Ini), "index.php,index.phtml,index.html,index.htm");
    EXPECT_EQ(S::HTTPServer::ServerURL.Read(Ini), "http://127.0.0.1:80/");
    EXPECT_FALSE(S::AutoCorrection::MouseDown.Read(Ini));
    EXPECT_DOUBLE_EQ(S::Print::MRight.Read(Ini), 15);
    EXPECT_EQ(S::Print::HShadedColor.Read(Ini), clSilver);
    EXPECT_EQ(S::Find::Filter.Read(Ini), "*.php");
    EXPECT_EQ(S::Compare::DelColor.Read(Ini), 0x00BB77FF);
    EXPECT_EQ(S::FTPClient::ProxyPort.Read(Ini), 21);
    EXPECT_EQ(S::FTPClient::LastSession.Read(Ini), "{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(S::FTPClient::LastSession.Key, "Last Session");
    EXPECT_EQ(S::FTPClient::Section, "FTP Client");

    TFont font;
    font.SetName("Courier New");
    S::Editor::Font.Read(Ini, font);
    EXPECT_EQ(font.Name(), "Courier New");
    EXPECT_FALSE(FileExists(Name));
}

TEST_F(SettingsIndex, TypedKeysWriteTheIndexedForms)
{
    namespace S = Settings;
    S::Editor::WordWrap.Write(Ini, true);
    S::Editor::SelectionBG.Write(Ini, 0x00F0CAA7);
    S::Print::MTop.Write(Ini, 20.5);
    S::HTTPServer::IndexFiles.Write(Ini, "index.php");
    EXPECT_EQ(ReadWholeFile(Name), "[Editor]\r\nWordWrap=1\r\nSelectionBG=$00F0CAA7\r\n\r\n[Print]\r\nMTop=20.5\r\n"
                                   "\r\n[HTTPServer]\r\nIndexFiles=index.php\r\n");
    EXPECT_TRUE(S::Editor::WordWrap.Read(Ini));
}

TEST_F(SettingsIndex, NumberedListsStopAtTheFirstMissingNumber)
{
    Dir.Write("Zentupad.dat", "[RecentFiles]\n0=/a.php\n1=/b.php\n3=/d.php\n");
    TStringList list;
    list.Add("stale");
    ReadNumberedList(Ini, Settings::RecentFilesSection, list);
    EXPECT_EQ(list.Text(), "/a.php\r\n/b.php\r\n");

    Dir.Write("Zentupad.dat", "[RecentFiles]\n");
    ReadNumberedList(Ini, Settings::RecentFilesSection, list);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(SettingsIndex, WritingANumberedListReplacesTheSection)
{
    Dir.Write("Zentupad.dat", "[RecentFiles]\nold=1\n0=/x\n");
    TStringList twenty;
    for (int i = 0; i < 20; ++i)
        twenty.Add("/f" + std::to_string(i));
    WriteNumberedList(Ini, Settings::RecentFilesSection, twenty, Settings::MaxSavedRecentFiles);
    TStringList keys;
    Ini.ReadSection("RecentFiles", keys);
    ASSERT_EQ(keys.Count(), 16);
    EXPECT_EQ(keys[0], "0");
    EXPECT_EQ(keys[15], "15");
    EXPECT_EQ(Ini.ReadString("RecentFiles", "15", ""), "/f15");
    EXPECT_FALSE(Ini.ValueExists("RecentFiles", "old"));
}

TEST_F(SettingsIndex, RewritingTheFindHistoryKeepsPathAndFilter)
{
    Dir.Write("Zentupad.dat", "[Find]\n0=old\n1=older\nPath=/work\nFilter=*.inc\n");
    WriteNumberedList(Ini, Settings::Find::Section, *ListOf({"new", "old"}), Settings::Find::MaxHistory,
                      {Settings::Find::Path.Key, Settings::Find::Filter.Key});
    TStringList list;
    ReadNumberedList(Ini, Settings::Find::Section, list);
    EXPECT_EQ(list.Text(), "new\r\nold\r\n");
    EXPECT_EQ(Settings::Find::Path.Read(Ini, "/default"), "/work");
    EXPECT_EQ(Settings::Find::Filter.Read(Ini), "*.inc");

    // Keys that were never there are not invented.
    Dir.Write("Zentupad.dat", "");
    WriteNumberedList(Ini, Settings::Find::Section, *ListOf({"a"}), 16, {Settings::Find::Path.Key});
    EXPECT_FALSE(Ini.ValueExists("Find", "Path"));
}

TEST(Keymap, MissingKeysKeepTheBuiltInShortcut)
{
    TempDir dir;
    TIniFileEx keymap(dir.File("keymap.dat"));
    const TShortCut ctrlS = scCtrl | 'S';
    EXPECT_EQ(ReadKeymapShortCut(keymap, "acSave", ctrlS), ctrlS) << "no file at all";

    dir.Write("keymap.dat", "[Keymap]\nacSave=16467\nacFind=0\nacOpenFile=16462\nacBad=70000\nacText=Ctrl+O\n");
    struct Case {
        const char* action;
        TShortCut builtIn;
        TShortCut expected;
    };
    const std::vector<Case> cases = {
        {"acSave", ctrlS, 16467},
        {"acFind", scCtrl | 'F', 0},
        {"acOpenFile", 0, scCtrl | 'N'},
        {"acReplace", scCtrl | 'R', scCtrl | 'R'},
        {"acBad", scCtrl | 'B', scCtrl | 'B'},
        {"acText", scCtrl | 'O', scCtrl | 'O'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        EXPECT_EQ(ReadKeymapShortCut(keymap, c.action, c.builtIn), c.expected);
    }
}

TEST(Keymap, WritingErasesTheSectionAndWritesEveryActionAlsoWithoutShortcut)
{
    TempDir dir;
    dir.Write("keymap.dat", "[Keymap]\nacGone=1\n[Other]\nx=1\n");
    TIniFileEx keymap(dir.File("keymap.dat"));
    WriteKeymap(keymap, {{"acSave", scCtrl | 'S'}, {"acFind", 0}, {"acPrint", scShift | scCtrl | 'P'}});
    EXPECT_EQ(ReadWholeFile(dir.File("keymap.dat")),
              "[Other]\nx=1\n\n[Keymap]\nacSave=16467\nacFind=0\nacPrint=24656\n");
}

TEST(SettingsFiles, FourFilesInTheUserFolderFromOpenToClose)
{
    TempDir dir;
    const std::string folder = dir.Path() + "/";
    OpenSettingsFiles(folder);
    ASSERT_NE(SettingsFile, nullptr);
    EXPECT_EQ(SettingsFile->FileName(), folder + "Zentupad.dat");
    EXPECT_EQ(ProjectsFile->FileName(), folder + "projects.dat");
    EXPECT_EQ(FTPAccountsFile->FileName(), folder + "ftp.dat");
    EXPECT_EQ(KeymapFile->FileName(), folder + "keymap.dat");
    EXPECT_FALSE(FileExists(folder + "Zentupad.dat")) << "opening writes nothing";
    Settings::Editor::WordWrap.Write(*SettingsFile, true);
    EXPECT_TRUE(FileExists(folder + "Zentupad.dat"));
    CloseSettingsFiles();
    EXPECT_EQ(SettingsFile, nullptr);
    EXPECT_EQ(KeymapFile, nullptr);
}
