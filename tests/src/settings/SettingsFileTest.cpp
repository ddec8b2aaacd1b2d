// The settings file class on real files: every write is on disk at once, reads see changes
// made by others, the value forms, the INI text kept around a change, and failed writes.

#include "settings/zentuIniFiles.h"

#include "Platform/files/FileNames.h"
#include "Platform/files/FileTestSupport.h"
#include "Platform/text/Strings.h"
#include "support/TempDir.h"

#include <QDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct SettingsFile : ::testing::Test {
    TempDir Dir;
    std::string Name = Dir.File("Zentupad.dat");
    TIniFileEx Ini{Name};
};

} // namespace

TEST_F(SettingsFile, MissingFileReadsDefaultsAndIsCreatedByTheFirstWrite)
{
    EXPECT_EQ(Ini.ReadString("Editor", "Font", "x"), "x");
    EXPECT_EQ(Ini.ReadInteger("Editor", "TabWidth", 8), 8);
    EXPECT_TRUE(Ini.ReadBool("Editor", "AutoIndent", true));
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("Print", "MTop", 25), 25);
    EXPECT_FALSE(Ini.SectionExists("Editor"));
    Ini.EraseSection("Editor");
    EXPECT_FALSE(FileExists(Name)) << "erasing nothing must not create the file";

    Ini.WriteInteger("Editor", "TabWidth", 4);
    EXPECT_EQ(ReadWholeFile(Name), "[Editor]\r\nTabWidth=4\r\n");
}

TEST_F(SettingsFile, EveryWriteIsOnDiskAndEveryReadComesFromDisk)
{
    Ini.WriteString("General", "DateTimeFormat", "yyyy");
    TIniFileEx other(Name);
    EXPECT_EQ(other.ReadString("General", "DateTimeFormat", ""), "yyyy");

    // A change made behind the object's back is seen by its next read.
    Dir.Write("Zentupad.dat", "[General]\nDateTimeFormat=dd\n");
    EXPECT_EQ(Ini.ReadString("General", "DateTimeFormat", ""), "dd");
}

// Reads are served from the text parsed last only while the file is unchanged: every way of
// changing it is seen by the next read, and by the next write, which must not undo it.
TEST_F(SettingsFile, ChangesBehindTheObjectsBackAreSeenHoweverTheyAreMade)
{
    struct Case {
        const char* What;
        bool Settle; // the file's times are old when it changes
        std::function<void(const TempDir& dir, const std::string& name)> Change;
        const char* Value; // of [S] k afterwards ("-" when missing)
    };
    const auto inPlace = [](const TempDir& dir, const std::string&) { dir.Write("Zentupad.dat", "[S]\nk=2\n"); };
    const auto renamed = [](const TempDir& dir, const std::string& name) {
        dir.Write("other.dat", "[S]\nk=3\n");
        ASSERT_EQ(std::rename(dir.File("other.dat").c_str(), name.c_str()), 0);
    };
    const std::vector<Case> cases = {
        {"rewritten in place with as many bytes, at once", false, inPlace, "2"},
        {"rewritten in place with as many bytes, later", true, inPlace, "2"},
        {"replaced by another file, at once", false, renamed, "3"},
        {"replaced by another file, later", true, renamed, "3"},
        {"deleted", true, [](const TempDir&, const std::string& name) { std::remove(name.c_str()); }, "-"},
        {"grown", false, [](const TempDir& dir, const std::string&) { dir.Write("Zentupad.dat", "[S]\nk=1234\n"); }, "1234"},
        {"rewritten with the same bytes", false, [](const TempDir& dir, const std::string&) { dir.Write("Zentupad.dat", "[S]\nk=1\n"); }, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TempDir dir;
        const std::string name = dir.Write("Zentupad.dat", "[S]\nk=1\n");
        TIniFileEx ini(name);
        ASSERT_EQ(ini.ReadString("S", "k", "-"), "1");
        if (c.Settle) {
            // why: past the few clock ticks within which a change could keep the file's times.
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            ASSERT_EQ(ini.ReadString("S", "k", "-"), "1");
        }
        c.Change(dir, name);
        EXPECT_EQ(ini.ReadString("S", "k", "-"), c.Value);
        c.Change(dir, name);
        ini.WriteString("S", "other", "x");
        EXPECT_EQ(TIniFileEx(name).ReadString("S", "k", "-"), c.Value) << "the write keeps the other change";
        EXPECT_EQ(ini.ReadString("S", "other", "-"), "x");
    }
}

TEST_F(SettingsFile, NamesMatchWithoutLetterCaseAndBlanksAroundValuesAreTrimmed)
{
    Dir.Write("Zentupad.dat", "; comment\n[ HTTPServer ]\n  Port = 8080  \nempty=\n");
    EXPECT_EQ(Ini.ReadInteger("httpserver", "PORT", 7905), 8080);
    EXPECT_EQ(Ini.ReadString("HTTPServer", "empty", "default"), "") << "an existing empty key is no missing key";
    EXPECT_TRUE(Ini.ValueExists("HTTPSERVER", "port"));
    EXPECT_FALSE(Ini.ValueExists("HTTPServer", "TimeOut"));
}

TEST_F(SettingsFile, IntegerAndBooleanForms)
{
    struct Case {
        const char* stored;
        int asInteger; // default 7
        bool asBool;   // default true
    };
    const std::vector<Case> cases = {
        {"42", 42, true},    {"-5", -5, true},   {"0x1F", 31, true}, {"0X1f", 31, true}, {"$FF", 255, true},
        {"-$10", -16, true}, {"0", 0, false},    {"2", 2, true},     {"yes", 7, true},   {"0x", 7, true},
        {"", 7, true},       {"12abc", 7, true}, {"99999999999", 7, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        Dir.Write("Zentupad.dat", std::string("[S]\nk=") + c.stored + "\n");
        EXPECT_EQ(Ini.ReadInteger("S", "k", 7), c.asInteger);
        EXPECT_EQ(Ini.ReadBool("S", "k", true), c.asBool);
    }
    Dir.Write("Zentupad.dat", "[S]\nk=yes\n");
    EXPECT_FALSE(Ini.ReadBool("S", "k", false)) << "text that is no number gives the default";

    Ini.WriteBool("S", "t", true);
    Ini.WriteBool("S", "f", false);
    Ini.WriteInteger("S", "n", -12);
    EXPECT_EQ(Ini.ReadString("S", "t", ""), "1");
    EXPECT_EQ(Ini.ReadString("S", "f", ""), "0");
    EXPECT_EQ(Ini.ReadString("S", "n", ""), "-12");
}

TEST_F(SettingsFile, FloatingPointForm)
{
    Ini.WriteFloat("Print", "MTop", 12.5);
    Ini.WriteFloat("Print", "MLeft", 25);
    EXPECT_EQ(Ini.ReadString("Print", "MTop", ""), "12.5");
    EXPECT_EQ(Ini.ReadString("Print", "MLeft", ""), "25");
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("Print", "MTop", 0), 12.5);

    Dir.Write("Zentupad.dat", "[Print]\nA=7,25\nB=\nC=wide\n");
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("Print", "A", 0), 7.25) << "a decimal comma from another locale";
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("Print", "B", 3), 3);
    EXPECT_DOUBLE_EQ(Ini.ReadFloat("Print", "C", 3), 3);
}

TEST_F(SettingsFile, ChangesKeepTheRestOfTheFileByteForByte)
{
    const std::string before = "; written by hand\n[Editor]\nTabWidth = 4 \n\n[General]\nReload=1\n";
    Dir.Write("Zentupad.dat", before);

    Ini.WriteInteger("Editor", "MaxUndo", 10);
    EXPECT_EQ(ReadWholeFile(Name), "; written by hand\n[Editor]\nTabWidth = 4 \nMaxUndo=10\n\n[General]\nReload=1\n")
        << "a new key goes after the section's last line, with the file's own line break";

    Ini.WriteInteger("editor", "tabwidth", 2);
    EXPECT_EQ(ReadWholeFile(Name), "; written by hand\n[Editor]\ntabwidth=2\nMaxUndo=10\n\n[General]\nReload=1\n");

    Ini.WriteString("Backup", "UseBackupPath", "1");
    EXPECT_EQ(ReadWholeFile(Name),
              "; written by hand\n[Editor]\ntabwidth=2\nMaxUndo=10\n\n[General]\nReload=1\n\n[Backup]\nUseBackupPath=1\n");

    Ini.EraseSection("General");
    Ini.DeleteKey("Editor", "MaxUndo");
    EXPECT_EQ(ReadWholeFile(Name), "; written by hand\n[Editor]\ntabwidth=2\n\n[Backup]\nUseBackupPath=1\n");
}

TEST_F(SettingsFile, SectionListsAndDuplicateSections)
{
    Dir.Write("Zentupad.dat", "[RecentFiles]\n0=/a\n1=/b\n[Empty]\n[recentfiles]\n2=/c\n[Find]\n0=x\nPath=/p\n");
    TStringList list;
    Ini.ReadSections(list);
    EXPECT_EQ(list.Text(), "RecentFiles\r\nEmpty\r\nFind\r\n");
    Ini.ReadSection("Find", list);
    EXPECT_EQ(list.Text(), "0\r\nPath\r\n");
    Ini.ReadSectionValues("recentFILES", list);
    EXPECT_EQ(list.Text(), "0=/a\r\n1=/b\r\n") << "the first section of a name is the one read";
    EXPECT_FALSE(Ini.SectionExists("Empty")) << "a section exists while it holds a key";

    // Erasing removes every section of the name, so no old list comes back from a later copy.
    Ini.EraseSection("RecentFiles");
    EXPECT_FALSE(Ini.ValueExists("RecentFiles", "2"));
    EXPECT_EQ(ReadWholeFile(Name), "[Empty]\n[Find]\n0=x\nPath=/p\n");
}

// Values that the profile functions would lose or that would break the file.
TEST_F(SettingsFile, ValuesReadBackAsWritten)
{
    const std::vector<std::string> values = {
        "plain", "", "  leading and trailing  ", "\"quoted\"", "'single'", "\"", "a = b ; c", "[NotASection]",
        "ünïcödé", std::string(3000, 'x'),
    };
    for (size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(values[i].substr(0, 40));
        const std::string key = "k" + std::to_string(i);
        Ini.WriteString("Find", key, values[i]);
        EXPECT_EQ(Ini.ReadString("Find", key, "?"), values[i]);
    }
    // Quotes written by someone else are dropped on reading, as the profile functions do.
    Dir.Write("Zentupad.dat", "[S]\nk= \"x y\" \n");
    EXPECT_EQ(Ini.ReadString("S", "k", ""), "x y");
}

TEST_F(SettingsFile, LineBreaksInAValueCannotInjectKeysOrSections)
{
    Ini.WriteString("Find", "0", "first line\r\n[Keymap]\r\nacSave=0");
    EXPECT_EQ(Ini.ReadString("Find", "0", ""), "first line");
    EXPECT_FALSE(Ini.ValueExists("Keymap", "acSave"));
    EXPECT_EQ(ReadWholeFile(Name), "[Find]\r\n0=first line\r\n");
}

TEST_F(SettingsFile, NamesThatCannotBeHeldAreRefusedAndOtherKeysKept)
{
    struct Case {
        const char* Name;
        std::string Section, Key;
    };
    const std::vector<Case> cases = {
        {"key that is a section header", "A", "[B]"},
        {"key with a line break and a header", "A", "k\r\n[B]\r\nK=evil"},
        {"key with an equals sign", "A", "X=1"},
        {"key that is a comment", "A", ";X"},
        {"blank key", "A", "  "},
        {"section with a line break", "A\n[B]", "K"},
        {"section with a bracket", "B]x", "K"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::remove(Name.c_str());
        Ini.WriteString("A", "X", "1");
        Ini.WriteString("B", "K", "real");
        const std::string before = ReadWholeFile(Name);
        EXPECT_THROW(Ini.WriteString(c.Section, c.Key, "evil"), EIniFileException);
        EXPECT_EQ(ReadWholeFile(Name), before);
        EXPECT_EQ(Ini.ReadString("A", "X", "?"), "1");
        EXPECT_EQ(Ini.ReadString("B", "K", "?"), "real");
    }
}

TEST_F(SettingsFile, FailedWritesRaiseNamingTheFile)
{
    TIniFileEx nowhere(Dir.File("missing-folder/Zentupad.dat"));
    try {
        nowhere.WriteString("S", "k", "v");
        FAIL() << "no exception";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + Dir.File("missing-folder/Zentupad.dat"));
    }
    Dir.Write("folder/x", "");
    TIniFileEx folder(Dir.File("folder"));
    EXPECT_THROW(folder.WriteString("S", "k", "v"), EIniFileException);
    EXPECT_EQ(folder.ReadString("S", "k", "default"), "default");
}

TEST_F(SettingsFile, AFileThatCannotBeReadIsNotReplaced)
{
    Dir.Write("Zentupad.dat", "[S]\nkeep=1\n");
    ASSERT_EQ(::chmod(Name.c_str(), 0), 0);
    // why: root reads any file; a second user cannot read this one, yet may write the folder.
    ASSERT_EQ(::chmod(Dir.Path().c_str(), 0777), 0);
    {
        const TActAsOtherUser other;
        if (::geteuid() == 0)
            GTEST_SKIP() << "the user id cannot be changed here, and root reads any file";
        EXPECT_THROW(Ini.WriteString("S", "k", "v"), EIniFileException);
    }
    ::chmod(Name.c_str(), 0600);
    EXPECT_EQ(ReadWholeFile(Name), "[S]\nkeep=1\n");
}

TEST_F(SettingsFile, WritesAreAtomicAndKeepThePermissions)
{
    Ini.WriteString("FTP", "User", "secret");
    ASSERT_EQ(::chmod(Name.c_str(), 0600), 0);
    Ini.WriteString("FTP", "Pass", "secret");
    struct stat st {};
    ASSERT_EQ(::stat(Name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(QDir(QString::fromStdString(Dir.Path())).entryList(QDir::Files).size(), 1)
        << "no temporary file is left beside the settings file";
}
