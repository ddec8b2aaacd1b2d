// The INI back end with real files: the exact text of the file, loading that never writes,
// read-only files, atomic explicit commits, tree removal at name boundaries, the text options,
// file locations and the reload and flush rules.

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/storage/ExIniStorage.h"
#include "ExLib/storage/StorageTestSupport.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"
#include "utility/UclFileUtils.h"

#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The store as the dock layout code makes it: a full file name of the caller's choice.
std::unique_ptr<TExAppIniFileStorage> OpenStore(const std::string& fileName)
{
    auto store = std::make_unique<TExAppIniFileStorage>(nullptr);
    store->SetLocation(TFileLocation::flCustom);
    store->SetFileName(fileName);
    return store;
}

std::int64_t ModifiedNanoseconds(const std::string& fileName)
{
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0)
        return -1;
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

// Collects what reaches the application's exception handler during a test.
struct CollectExceptions {
    CollectExceptions()
    {
        Application()->OnException = [this](TObject*, const std::exception& e) { Messages.push_back(e.what()); };
    }
    ~CollectExceptions() { Application()->OnException = nullptr; }
    std::vector<std::string> Messages;
};

} // namespace

TEST(IniFile, LoadingTrimsLinesAndWritingGivesTheExactText)
{
    TempDir dir;
    const std::string file = dir.Write("docking.dat",
                                       "stray=line before any section\n"
                                       "  [ Forms ]  \r\n"
                                       "   FormNames   =   A;B;   \r"
                                       "; a comment\n"
                                       "\n"
                                       "no equals sign here\n"
                                       "[Forms\\Main]\n"
                                       "Top=1\n");
    auto store = OpenStore(file);
    EXPECT_EQ(store->GetString("Forms\\FormNames"), "A;B;");
    EXPECT_EQ(store->ContentText(),
              "[Forms]\r\nFormNames=A;B;\r\nno equals sign here\r\n\r\n[Forms\\Main]\r\nTop=1\r\n\r\n");
    store->PutInteger("Forms\\Main\\DockLeft", -5);
    store->PutBoolean("Forms\\Main\\Visible", true);
    store->PutString("New\\Section\\Key", "v");
    store->CommitChanges();
    EXPECT_EQ(ReadWholeFile(file), "[Forms]\r\nFormNames=A;B;\r\nno equals sign here\r\n\r\n"
                                   "[Forms\\Main]\r\nTop=1\r\nDockLeft=-5\r\nVisible=TRUE\r\n\r\n"
                                   "[New\\Section]\r\nKey=v\r\n\r\n");
}

TEST(IniFile, SectionsAndKeysMatchIgnoringCaseAndTheFirstSectionWins)
{
    TempDir dir;
    const std::string file = dir.Write("a.ini", "[Main]\nKey=first\n[MAIN]\nKey=second\nOnly=2\n");
    auto store = OpenStore(file);
    EXPECT_EQ(store->GetString("main\\KEY"), "first");
    EXPECT_EQ(store->GetString("Main\\Only", "none"), "none");
    store->PutString("MAIN\\key", "changed");
    // The line takes the key as the writer spells it.
    EXPECT_EQ(store->ContentText(), "[Main]\r\nkey=changed\r\n\r\n[MAIN]\r\nKey=second\r\nOnly=2\r\n\r\n");
}

TEST(IniFile, AnEmptySectionDoesNotExistButIsKept)
{
    TempDir dir;
    const std::string file = dir.Write("a.ini", "[Empty]\n[Full]\nA=1\n");
    auto store = OpenStore(file);
    EXPECT_FALSE(store->HasFolder("Empty"));
    EXPECT_TRUE(store->HasFolder("Full"));
    store->PutString("Full\\B", "2");
    store->CommitChanges();
    EXPECT_EQ(ReadWholeFile(file), "[Empty]\r\n\r\n[Full]\r\nA=1\r\nB=2\r\n\r\n");
}

TEST(IniFile, AValueOutsideAnySectionIsRefusedForEveryAccess)
{
    TempDir dir;
    auto store = OpenStore(dir.File("a.ini"));
    const std::string undefined = "TExAppIniFileStorage.ReadValue: Section undefined";
    EXPECT_EQ(ErrorOf([&] { store->GetString("Lonely"); }), undefined);
    EXPECT_EQ(ErrorOf([&] { store->PutString("Lonely", "x"); }), undefined);
    EXPECT_EQ(ErrorOf([&] { store->HasValue("Lonely"); }), undefined);
    EXPECT_EQ(ErrorOf([&] { store->RemoveValueAt("Lonely"); }), undefined);
    EXPECT_EQ(ErrorOf([&] { store->GetString(".hidden\\Key"); }), undefined);
    store->SetDefaultSection("General");
    store->PutString("Lonely", "x");
    EXPECT_EQ(store->ContentText(), "[General]\r\nLonely=x\r\n\r\n");
}

TEST(IniFile, ErasingATreeStopsAtTheNameBoundary)
{
    TempDir dir;
    const std::string file = dir.Write("a.ini", "[Forms\\Main]\nA=1\n[Forms\\Main\\Sub]\nB=2\n[Forms\\MainX]\nC=3\n"
                                                "[forms\\main]\nD=4\n[Forms]\nE=5\n");
    auto store = OpenStore(file);
    store->EraseTree("Forms\\Main");
    EXPECT_EQ(store->ContentText(), "[Forms\\MainX]\r\nC=3\r\n\r\n[Forms]\r\nE=5\r\n\r\n");
    store->EraseTree("\\");
    EXPECT_EQ(store->ContentText(), "");
}

TEST(IniFile, LoadingNeverWritesTheFile)
{
    TempDir dir;
    const std::string original = "  [Forms]\nFormNames = A;B;\n"; // not in the document's own form
    const std::string file = dir.Write("docking.dat", original);
    const std::int64_t before = ModifiedNanoseconds(file);
    QThread::msleep(20);
    {
        auto store = OpenStore(file);
        store->RefreshContent();
        store->BeginBatch();
        store->SetCurrentPath("Forms");
        EXPECT_TRUE(store->HasValue("FormNames"));
        EXPECT_EQ(store->GetString("FormNames"), "A;B;");
        EXPECT_EQ(store->GetInteger("Missing", 3), 3);
        store->EndBatch();
    }
    EXPECT_EQ(ReadWholeFile(file), original);
    EXPECT_EQ(ModifiedNanoseconds(file), before);
    // Nor does a store whose file is missing create one.
    {
        auto store = OpenStore(dir.File("sub/none.dat"));
        EXPECT_EQ(store->GetString("S\\K", "d"), "d");
    }
    EXPECT_FALSE(DirectoryExists(dir.File("sub")));
}

TEST(IniFile, AReadOnlyFileIsReadButNeverRewritten)
{
    TempDir dir;
    const std::string original = "[Forms]\nFormNames=A;\n";
    const std::string file = dir.Write("docking.dat", original);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    {
        auto store = OpenStore(file);
        EXPECT_TRUE(store->ReadOnly());
        EXPECT_EQ(store->GetString("Forms\\FormNames"), "A;");
        store->PutString("Forms\\FormNames", "changed"); // skipped
        store->EraseTree("Forms");                       // skipped
        EXPECT_EQ(store->GetString("Forms\\FormNames"), "A;");
        store->SetContentText("[X]\r\nY=1\r\n");
        store->CommitChanges(); // does nothing
    }
    EXPECT_EQ(ReadWholeFile(file), original);

    // The store's own flag has the same effect on a writable file.
    ::chmod(file.c_str(), 0644);
    auto store = OpenStore(file);
    store->SetReadOnly(true);
    store->PutString("Forms\\FormNames", "changed");
    store->CommitChanges();
    EXPECT_EQ(ReadWholeFile(file), original);
}

TEST(IniFile, CommitWritesWholeAndCreatesTheFolders)
{
    TempDir dir;
    const std::string file = dir.File("deep/er/settings.ini");
    auto store = OpenStore(file);
    store->PutString("A\\B", "1");
    EXPECT_FALSE(FileExists(file)); // not asked yet
    store->CommitChanges();
    EXPECT_EQ(ReadWholeFile(file), "[A]\r\nB=1\r\n\r\n");
    EXPECT_FALSE(store->Modified());
}

TEST(IniFile, ChangesNotYetWrittenAreWrittenWhenTheStoreGoes)
{
    TempDir dir;
    const std::string file = dir.File("pending.ini");
    OpenStore(file)->PutString("A\\B", "pending");
    EXPECT_EQ(ReadWholeFile(file), "[A]\r\nB=pending\r\n\r\n");
}

TEST(IniFile, AFailingWriteAtDestructionIsReportedNotThrown)
{
    TempDir dir;
    dir.Write("blocker", "a file where a folder should be");
    CollectExceptions collected;
    {
        auto store = OpenStore(dir.File("blocker/settings.ini"));
        store->PutString("A\\B", "lost");
        EXPECT_THROW(store->CommitChanges(), EFCreateError);
    } // the destructor tries again and must not throw
    ASSERT_EQ(collected.Messages.size(), 1u);
    EXPECT_NE(collected.Messages[0].find("blocker/settings.ini"), std::string::npos);
}

TEST(IniFile, ARoundTripKeepsEveryValueKind)
{
    TempDir dir;
    const std::string file = dir.File("round.ini");
    const unsigned char bytes[] = {0xDE, 0xAD, 0x00, 0x01};
    const TDateTime when = EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 58, 0);
    {
        auto store = OpenStore(file);
        store->BeginBatch();
        store->SetCurrentPath("Forms\\Main");
        store->PutInteger("Left", -17);
        store->PutString("Caption", "Project Explorer");
        store->PutBoolean("Visible", false);
        store->SaveFloat("\\Forms\\Main\\Ratio", 0.375L);
        store->SaveDateTime("\\Forms\\Main\\Saved", when);
        store->SaveBinary("\\Forms\\Main\\Blob", bytes, 4);
        store->EndBatch();
        store->CommitChanges();
    }
    EXPECT_EQ(ReadWholeFile(file), "[Forms\\Main]\r\nLeft=-17\r\nCaption=Project Explorer\r\nVisible=FALSE\r\n"
                                   "Ratio=00000000000000C0FD3F\r\nSaved=31/12/1999 23:59:58\r\nBlob=DEAD0001\r\n\r\n");
    auto store = OpenStore(file);
    store->SetCurrentPath("Forms\\Main");
    EXPECT_EQ(store->GetInteger("Left"), -17);
    EXPECT_EQ(store->GetString("Caption"), "Project Explorer");
    EXPECT_FALSE(store->GetBoolean("Visible", true));
    EXPECT_EQ(store->LoadFloat("\\Forms\\Main\\Ratio", 0), 0.375L);
    EXPECT_NEAR(store->LoadDateTime("\\Forms\\Main\\Saved", 0), when, 1e-9);
    unsigned char back[4] = {};
    EXPECT_EQ(store->LoadBinary("\\Forms\\Main\\Blob", back, 4), 4);
    EXPECT_EQ(std::memcmp(back, bytes, 4), 0);
    EXPECT_EQ(store->GetString("Saved"), "31/12/1999 23:59:58");
    EXPECT_EQ(store->GetString("Blob"), "DEAD0001");
}

TEST(IniFile, LineBreaksAndBlanksFollowTheTextOptions)
{
    struct Case {
        const char* Name;
        bool ReplaceCRLF;
        bool PreserveBlanks;
        std::string Value;
        std::string Line; // as the file holds it
        std::string ReadBack;
    };
    const std::vector<Case> cases = {
        {"no break, no change", true, true, "no break", "K=no break", "no break"},
        {"escaped breaks", true, false, "a\\b\r\nc\nd\re", "K=a\\\\b\\nc\\nd\\ne", "a\\b\r\nc\r\nd\r\ne"},
        {"breaks without the option", false, false, "a\r\nb", "K=a", "a"},
        {"a break cannot start another key", false, false, "a\r\nOther=evil", "K=a", "a"},
        {"a break cannot start another section", false, true, " a\n[T]\nX=1", "K=\" a\"", " a"},
        {"backslash n without a break", true, false, "C:\\new\\name", "K=C:\\\\new\\\\name", "C:\\new\\name"},
        {"doubled backslash without a break", true, false, "\\\\server", "K=\\\\\\\\server", "\\\\server"},
        {"plain backslash stays as it is", true, false, "C:\\dir", "K=C:\\dir", "C:\\dir"},
        {"tab at the ends kept", false, true, "\tpadded\t", "K=\"\tpadded\t\"", "\tpadded\t"},
        {"control byte at the end kept", true, true, "x\x01", "K=\"x\x01\"", "x\x01"},
        {"blanks kept", false, true, " padded ", "K=\" padded \"", " padded "},
        {"quoted text", false, true, "\"q\"", "K=\"\"q\"\"", "\"q\""},
        {"blanks lost", false, false, " padded ", "K= padded ", "padded"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        const std::string file = dir.File("t.ini");
        {
            auto store = OpenStore(file);
            store->IniOptions().SetReplaceCRLF(c.ReplaceCRLF);
            store->IniOptions().SetPreserveLeadingTrailingBlanks(c.PreserveBlanks);
            store->PutString("S\\K", c.Value);
            store->CommitChanges();
        }
        EXPECT_EQ(ReadWholeFile(file), "[S]\r\n" + c.Line + "\r\n\r\n");
        auto store = OpenStore(file);
        store->IniOptions().SetReplaceCRLF(c.ReplaceCRLF);
        store->IniOptions().SetPreserveLeadingTrailingBlanks(c.PreserveBlanks);
        EXPECT_EQ(store->GetString("S\\K"), c.ReadBack);
    }
}

TEST(IniFile, NamesThatWouldReadBackAsOthersAreRefusedAndOtherKeysKept)
{
    struct Case {
        const char* Name;
        std::string Path;
    };
    const std::vector<Case> cases = {
        {"equals sign in the key", "S\\Other=x"},
        {"line break in the key", "S\\K\r\nOther"},
        {"section header as key", "S\\[T]"},
        {"comment as key", "S\\;Other"},
        {"blank at the key's end", "S\\Other "},
        {"tab at the key's start", "S\\\tOther"},
        {"line break in the section", "S\nT\\K"},
        {"blank at the section's start", " S\\Other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        const std::string file = dir.File("t.ini");
        {
            auto store = OpenStore(file);
            store->PutString("S\\Other", "kept");
            store->PutString("T\\X", "kept");
            EXPECT_THROW(store->PutString(c.Path, "evil"), EExLibAppStorageError);
            store->CommitChanges();
        }
        auto store = OpenStore(file);
        EXPECT_EQ(store->GetString("S\\Other"), "kept");
        EXPECT_EQ(store->GetString("T\\X"), "kept");
        EXPECT_EQ(ReadWholeFile(file), "[S]\r\nOther=kept\r\n\r\n[T]\r\nX=kept\r\n\r\n");
    }
}

TEST(IniFileName, TheStandardExtensionAndTheLocations)
{
    TempDir dir;
    TExAppIniFileStorage store(nullptr);
    store.SetFileName("settings");
    EXPECT_EQ(store.FileName(), "settings.ini");
    store.SetFileName("docking.dat");
    EXPECT_EQ(store.FileName(), "docking.dat");

    {
        const ScopedEnvironment config("XDG_CONFIG_HOME", dir.Path());
        store.SetLocation(TFileLocation::flUserFolder);
        EXPECT_EQ(store.EffectiveFileName(), dir.Path() + "/docking.dat");
        store.SetFileName("Zentu/docking.dat"); // a relative name keeps its folders
        EXPECT_EQ(store.EffectiveFileName(), dir.Path() + "/Zentu/docking.dat");
        store.SetFileName("/elsewhere/docking.dat"); // an absolute one gives only its name
        EXPECT_EQ(store.EffectiveFileName(), dir.Path() + "/docking.dat");
    }

    store.SetLocation(TFileLocation::flTemp);
    EXPECT_EQ(store.EffectiveFileName(), WithTrailingBackslash(TempFolderPath()) + "docking.dat");
    store.SetLocation(TFileLocation::flExeFile);
    EXPECT_EQ(ExtractFileName(store.EffectiveFileName()), "docking.dat");
    EXPECT_TRUE(DirectoryExists(ExtractFileDir(store.EffectiveFileName())));
    store.SetLocation(TFileLocation::flCustom);
    store.SetOnGetFileName([&](TExCustomAppStorage*, std::string& name) { name = dir.File("custom.ini"); });
    EXPECT_EQ(store.EffectiveFileName(), dir.File("custom.ini"));
}

TEST(IniFileName, SettingTheSameNameAgainDoesNothing)
{
    TempDir dir;
    const std::string file = dir.Write("a.ini", "[S]\nK=1\n");
    auto store = OpenStore(file);
    EXPECT_EQ(store->GetString("S\\K"), "1");
    dir.Write("a.ini", "[S]\nK=2\n");
    store->SetFileName(file); // no reload
    EXPECT_EQ(store->GetString("S\\K"), "1");
    store->RefreshContent(); // an explicit refresh reads it again
    EXPECT_EQ(store->GetString("S\\K"), "2");
}

TEST(IniFileRules, AutoReloadReadsExternalChangesAndAutoFlushWritesAtOnce)
{
    TempDir dir;
    const std::string file = dir.Write("a.ini", "[S]\nK=1\n");
    auto store = OpenStore(file);
    store->SetAutoReload(true);
    EXPECT_EQ(store->GetString("S\\K"), "1");
    dir.Write("a.ini", "[S]\nK=2\n");
    EXPECT_EQ(store->GetString("S\\K"), "2");
    store->SetAutoReload(false);

    store->SetAutoFlush(true);
    store->PutString("S\\K", "3");
    EXPECT_EQ(ReadWholeFile(file), "[S]\r\nK=3\r\n\r\n");
    store->BeginBatch();
    store->PutString("S\\K", "4");
    store->PutString("S\\L", "5");
    EXPECT_EQ(ReadWholeFile(file), "[S]\r\nK=3\r\n\r\n"); // a batch commits at its end
    store->EndBatch();
    EXPECT_EQ(ReadWholeFile(file), "[S]\r\nK=4\r\nL=5\r\n\r\n");
}

// With AutoReload every access sees the file as it is now, however it changed; a document that
// was not changed here is not parsed again while the file stays as it was, and changes not yet
// written are still dropped by the reload.
TEST(IniFileRules, AutoReloadFollowsEveryChangeOfTheFile)
{
    TempDir dir;
    const std::string file = dir.Write("a.ini", "[S]\nK=1\n");
    auto store = OpenStore(file);
    store->SetAutoReload(true);
    EXPECT_EQ(store->GetString("S\\K"), "1");

    dir.Write("a.ini", "[S]\nK=2\n"); // as many bytes, at once
    EXPECT_EQ(store->GetString("S\\K"), "2");
    dir.Write("b.ini", "[S]\nK=3\n");
    ASSERT_EQ(std::rename(dir.File("b.ini").c_str(), file.c_str()), 0);
    EXPECT_EQ(store->GetString("S\\K"), "3");
    std::remove(file.c_str());
    EXPECT_EQ(store->GetString("S\\K", "gone"), "gone");
    dir.Write("a.ini", "[S]\nK=4\n");
    EXPECT_EQ(store->GetString("S\\K"), "4");

    store->PutString("S\\K", "5"); // not written: no AutoFlush
    EXPECT_EQ(store->GetString("S\\K"), "4") << "the reload drops what was not written";

    store->PutString("S\\K", "6");
    store->CommitChanges();
    dir.Write("a.ini", "[S]\nK=7\n");
    EXPECT_EQ(store->GetString("S\\K"), "7") << "a change right after the store's own write";
}
