// File associations on the freedesktop desktop: what a typed extension becomes, and what a
// rewrite leaves in the user's applications folder, MIME packages and "mimeapps.list".

#include "options/zuFileAssociations.h"

#include "settings/zuSettings.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/Strings.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct FileAssociationsTest : ::testing::Test {
    FileAssociationsTest()
    {
        Associations.RunTool = [this](const std::string& tool, const std::vector<std::string>& arguments) {
            Tools.push_back(tool + " " + (arguments.empty() ? std::string() : arguments[0]));
        };
    }
    std::vector<std::string> Stored()
    {
        TStringList list;
        ReadNumberedList(Settings, Settings::AssociatedFileTypesSection, list);
        std::vector<std::string> result;
        for (int i = 0; i < list.Count(); ++i)
            result.push_back(list[i]);
        return result;
    }
    std::string MimeApps() const { return ReadWholeFile(Associations.MimeAppsFile()); }

    TempDir Dir;
    TIniFileEx Settings{Dir.File("Zentupad.dat")};
    TFileAssociations Associations{{Dir.File("data"), Dir.File("config")}, "/opt/zentu/zentupad"};
    std::vector<std::string> Tools;
};

} // namespace

TEST(NormalizeExtension, TypedTextBecomesOneLowerCaseExtensionOrNothing)
{
    const std::pair<const char*, const char*> cases[] = {
        {"php", ".php"},   {"PHP", ".php"},   {".php", ".php"},  {"..php", ".php"}, {" inc ", ".inc"},
        {"tar.gz", ".tar.gz"}, {"", ""},     {".", ""},         {"...", ""},       {"  ", ""},
        {"a b", ""},       {"x/y", ""},       {"*.php", ""},     {"p?p", ""},       {"a;b", ""},
    };
    for (const auto& [typed, expected] : cases) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(NormalizeExtension(typed), expected);
    }
}

TEST(UserXdgFolders, FollowTheVariablesAndFallBackBelowHome)
{
    {
        ScopedEnvironment data("XDG_DATA_HOME", "/tmp/d/");
        ScopedEnvironment config("XDG_CONFIG_HOME", "/tmp/c");
        EXPECT_EQ(UserXdgFolders().DataHome, "/tmp/d");
        EXPECT_EQ(UserXdgFolders().ConfigHome, "/tmp/c");
    }
    ScopedEnvironment home("HOME", "/home/u");
    ScopedEnvironment data("XDG_DATA_HOME", "relative/is/ignored");
    ScopedEnvironment config("XDG_CONFIG_HOME");
    EXPECT_EQ(UserXdgFolders().DataHome, "/home/u/.local/share");
    EXPECT_EQ(UserXdgFolders().ConfigHome, "/home/u/.config");
}

TEST_F(FileAssociationsTest, ExecLineQuotesTheProgramAsDesktopEntriesRequire)
{
    EXPECT_EQ(Associations.ExecLine(), "\"/opt/zentu/zentupad\" %F");
    TFileAssociations odd({Dir.Path(), Dir.Path()}, "/opt/my $app/100%/zen\"tu");
    EXPECT_EQ(odd.ExecLine(), "\"/opt/my \\\\$app/100%%/zen\\\\\"tu\" %F");
}

TEST_F(FileAssociationsTest, RegisteringWritesTheDesktopFileTheDefaultsAndTheList)
{
    Associations.Rewrite(Settings, {".php", ".html"});
    EXPECT_EQ(Stored(), (std::vector<std::string>{".php", ".html"}));
    const std::string php = Associations.MimeTypeFor(".php");
    const std::string html = Associations.MimeTypeFor(".html");
    EXPECT_EQ(html, "text/html");

    const std::string desktop = ReadWholeFile(Associations.DesktopFile());
    EXPECT_NE(desktop.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nExec=\"/opt/zentu/zentupad\" %F\n"), std::string::npos);
    EXPECT_NE(desktop.find("\nMimeType=" + php + ";" + html + ";\n"), std::string::npos);

    TIniFileEx apps(Associations.MimeAppsFile());
    EXPECT_EQ(apps.ReadString("Default Applications", php, ""), "zentu.desktop");
    EXPECT_EQ(apps.ReadString("Default Applications", html, ""), "zentu.desktop");
    EXPECT_EQ(apps.ReadString("Added Associations", html, ""), "zentu.desktop;");
    // The desktop's files keep LF line breaks.
    EXPECT_EQ(MimeApps().find('\r'), std::string::npos);
    EXPECT_NE(std::find(Tools.begin(), Tools.end(), "update-desktop-database " + Dir.File("data") + "/applications"),
              Tools.end());
}

TEST_F(FileAssociationsTest, AfterARewriteExactlyTheListedExtensionsOpenWithZentu)
{
    Dir.Write("config/mimeapps.list", "[Default Applications]\ntext/css=other.desktop\n"
                                      "[Added Associations]\ntext/html=other.desktop;\n");
    Associations.Rewrite(Settings, {".html", ".css"});
    Associations.Rewrite(Settings, {".css"});
    TIniFileEx apps(Associations.MimeAppsFile());
    EXPECT_EQ(apps.ReadString("Default Applications", "text/css", ""), "zentu.desktop");
    EXPECT_FALSE(apps.ValueExists("Default Applications", "text/html"));
    // What another program registered stays.
    EXPECT_EQ(apps.ReadString("Added Associations", "text/html", ""), "other.desktop;");
    EXPECT_EQ(Stored(), std::vector<std::string>{".css"});
}

TEST_F(FileAssociationsTest, UnregisteringLeavesADefaultThatAnotherProgramTookMeanwhile)
{
    Associations.Rewrite(Settings, {".css"});
    TIniFileEx(Associations.MimeAppsFile()).WriteString("Default Applications", "text/css", "editor.desktop");
    Associations.Rewrite(Settings, {});
    EXPECT_EQ(TIniFileEx(Associations.MimeAppsFile()).ReadString("Default Applications", "text/css", ""),
              "editor.desktop");
    EXPECT_TRUE(Stored().empty());
}

TEST_F(FileAssociationsTest, AnExtensionTheMimeDatabaseLacksGetsAPackageOfItsOwn)
{
    const std::string type = Associations.MimeTypeFor(".zentutpl");
    EXPECT_EQ(type, "application/x-zentu-zentutpl");
    Associations.Rewrite(Settings, {".zentutpl"});
    const std::string package = ReadWholeFile(Associations.MimePackageFile(".zentutpl"));
    EXPECT_NE(package.find("<mime-type type=\"application/x-zentu-zentutpl\">"), std::string::npos);
    EXPECT_NE(package.find("<glob pattern=\"*.zentutpl\"/>"), std::string::npos);
    EXPECT_NE(std::find(Tools.begin(), Tools.end(), "update-mime-database " + Dir.File("data") + "/mime"), Tools.end());
    EXPECT_EQ(TIniFileEx(Associations.MimeAppsFile()).ReadString("Default Applications", type, ""), "zentu.desktop");

    Tools.clear();
    Associations.Rewrite(Settings, {});
    EXPECT_FALSE(FileExists(Associations.MimePackageFile(".zentutpl")));
    EXPECT_NE(std::find(Tools.begin(), Tools.end(), "update-mime-database " + Dir.File("data") + "/mime"), Tools.end());
}

TEST_F(FileAssociationsTest, AnEntryThatNamesNoExtensionIsNeitherStoredNorRegistered)
{
    // A list written by an earlier version may hold "." alone.
    TStringList old;
    old.Add(".");
    WriteNumberedList(Settings, Settings::AssociatedFileTypesSection, old, -1);
    Associations.Rewrite(Settings, {".", "", ".css", "CSS"});
    EXPECT_EQ(Stored(), std::vector<std::string>{".css"});
    const std::string apps = MimeApps();
    EXPECT_EQ(apps.find("x-zentu-"), std::string::npos);
    EXPECT_FALSE(DirectoryExists(Dir.File("data/mime/packages")));
}
