// The node storage over temporary folders: storing, finding and deleting per-item data, the
// cache of the last parent, deep copies, and the stream in every version, including damaged
// streams and items that vanished before the stream was read back.

#include "ShellBrowsing/ShellTestSupport.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/views/NodeStorage.h"

#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

#include <filesystem>

namespace {

// A user object as a program would keep one per item.
class TNoteObject : public TStreamableClass {
public:
    QString Note;
    void Assign(const TPersistent& source) override
    {
        if (auto* from = dynamic_cast<const TNoteObject*>(&source))
            Note = from->Note;
        else
            TStreamableClass::Assign(source);
    }
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVersion) override
    {
        TStreamableClass::LoadFromStream(stream, version, readVersion);
        Note = ReadUtf16(stream, ReadInt32(stream));
    }
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVersion) override
    {
        TStreamableClass::SaveToStream(stream, version, writeVersion);
        WriteInt32(stream, static_cast<std::int32_t>(Note.size()));
        WriteUtf16(stream, Note);
    }
};

class NodeStorage : public TShellTest {
protected:
    void SetUp() override
    {
        TShellTest::SetUp();
        RegisterStreamableClass("TNoteObject", [] { return std::make_unique<TNoteObject>(); });
    }
    TPIDLHolder List(const std::string& name) { return TPIDLHolder(PathToPIDL(PathOf(name))); }

    // A storage with a checked file, a folder's column layout and a note below it.
    void Fill(TRootNodeStorage& root)
    {
        MakeFile("a/one.php");
        MakeFile("a/b/two.php");
        MakeDir("c");
        TNodeStorage* one = root.Store(List("a/one.php").Get(), stChecks);
        one->Storage.CheckState = csCheckedNormal;
        one->Storage.CheckType = chkBox;
        TNodeStorage* a = root.Store(List("a").Get(), stColumns);
        a->Storage.Columns = {{180, 96, 0}, {0, 2, 1}, {1, 1, 0}};
        TNodeStorage* two = root.Store(List("a/b/two.php").Get(), stUser);
        auto note = std::make_unique<TNoteObject>();
        note->Note = QStringLiteral("ünïcode note");
        two->Storage.UserData = std::move(note);
        root.Store(List("c").Get(), stChecks)->Storage.CheckState = csMixedNormal;
    }

    std::string Saved(TRootNodeStorage& root, std::int32_t version)
    {
        TMemoryStream stream;
        root.SaveToStream(stream, version, true);
        return std::string(stream.View());
    }
};

QString NoteOf(TNodeStorage* storage)
{
    auto* note = storage ? dynamic_cast<TNoteObject*>(storage->Storage.UserData.get()) : nullptr;
    return note ? note->Note : QString();
}

} // namespace

TEST_F(NodeStorage, StoreFindAndDeleteByType)
{
    TRootNodeStorage root;
    Fill(root);
    const TPIDLHolder one = List("a/one.php");
    const TPIDLHolder a = List("a");
    EXPECT_EQ(root.Find(nullptr, false), nullptr);
    EXPECT_EQ(root.Find(TPIDLHolder(MakeDesktopPIDL()).Get(), false), &root);
    ASSERT_NE(root.FindStored(one.Get(), stChecks), nullptr);
    EXPECT_EQ(root.FindStored(one.Get(), stColumns), nullptr);
    EXPECT_EQ(root.FindStored(a.Get(), stChecks | stColumns)->Storage.Columns.Widths,
              (std::vector<std::uint16_t>{180, 96, 0}));
    EXPECT_EQ(root.Find(List("a/b/missing").Get(), false), nullptr);

    // A storage goes when its last type goes, and not before.
    root.Store(one.Get(), stColumns);
    root.Delete(one.Get(), stChecks, false, false);
    EXPECT_NE(root.Find(one.Get(), false), nullptr);
    root.Delete(one.Get(), stColumns, false, false);
    EXPECT_EQ(root.Find(one.Get(), false), nullptr);
    EXPECT_NE(root.FindStored(a.Get(), stColumns), nullptr);

    // Forced, it goes with everything below it.
    const int before = TNodeStorage::LiveCount();
    root.Delete(a.Get(), stColumns, true, true);
    EXPECT_EQ(root.Find(a.Get(), false), nullptr);
    EXPECT_EQ(root.Find(List("a/b/two.php").Get(), false), nullptr);
    EXPECT_EQ(TNodeStorage::LiveCount(), before - 3); // a, a/b, a/b/two.php
}

TEST_F(NodeStorage, LookupsOfSiblingsUseTheLastParentUntilItGoes)
{
    TRootNodeStorage root;
    Fill(root);
    TNodeStorage* first = root.Find(List("a/one.php").Get(), false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(root.LastParent(), first->Parent());
    MakeFile("a/three.php");
    TNodeStorage* sibling = root.Store(List("a/three.php").Get(), stChecks);
    EXPECT_EQ(sibling->Parent(), first->Parent());
    EXPECT_EQ(first->Parent()->ChildCount(), 3);

    // Children stay in the folder's order whatever order they came in.
    std::vector<std::string> names;
    for (int i = 0; i < first->Parent()->ChildCount(); ++i)
        names.emplace_back(ItemName(first->Parent()->Child(i)->RelativePIDL()));
    EXPECT_EQ(names, (std::vector<std::string>{"b", "one.php", "three.php"}));

    root.Delete(List("a").Get(), 0, true, true);
    EXPECT_EQ(root.LastParent(), nullptr);
    EXPECT_EQ(root.Find(List("a/one.php").Get(), false), nullptr);
}

TEST_F(NodeStorage, FoldersOnTheWayToACheckedItemShowMixedUnderTriStateRoots)
{
    MakeFile("x/y/z.php");
    TRootNodeStorage root;
    root.Storage.CheckType = chkTriState;
    root.Store(List("x/y/z.php").Get(), stChecks);
    TNodeStorage* x = root.Find(List("x").Get(), false);
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->Storage.CheckState, csMixedNormal);
    EXPECT_EQ(x->Storage.Types, stChecks);
    EXPECT_EQ(root.Find(List("x/y").Get(), false)->Storage.CheckType, chkTriState);
}

TEST_F(NodeStorage, AssignCopiesTheWholeTreeDeeply)
{
    TRootNodeStorage root;
    Fill(root);
    TRootNodeStorage copy;
    copy.Assign(root);
    root.Delete(List("a").Get(), 0, true, true);
    TNodeStorage* two = copy.FindStored(List("a/b/two.php").Get(), stUser);
    EXPECT_EQ(NoteOf(two), QStringLiteral("ünïcode note"));
    EXPECT_EQ(two->Parent()->Parent(), copy.Find(List("a").Get(), false));
    EXPECT_EQ(two->GetRoot(), &copy);
}

TEST_F(NodeStorage, EveryVersionReadsBackWhatItHolds)
{
    struct Case {
        std::int32_t Version;
        bool KeepsCheckType;
        bool KeepsUserData;
    };
    for (const Case& c : {Case{0, false, false}, Case{1, false, true}, Case{2, true, true}, Case{3, true, true}}) {
        SCOPED_TRACE(c.Version);
        TRootNodeStorage root;
        Fill(root);
        TMemoryStream stream(Saved(root, c.Version));
        TRootNodeStorage loaded;
        loaded.LoadFromStream(stream, 0, true);
        EXPECT_EQ(stream.Position(), stream.Size());
        EXPECT_EQ(loaded.StreamVersion, c.Version);
        TNodeStorage* one = loaded.FindStored(List("a/one.php").Get(), stChecks);
        ASSERT_NE(one, nullptr);
        EXPECT_EQ(one->Storage.CheckState, csCheckedNormal);
        EXPECT_EQ(one->Storage.CheckType, c.KeepsCheckType ? chkBox : chkNone);
        EXPECT_EQ(loaded.FindStored(List("a").Get(), stColumns)->Storage.Columns,
                  root.Find(List("a").Get(), false)->Storage.Columns);
        EXPECT_EQ(NoteOf(loaded.Find(List("a/b/two.php").Get(), false)),
                  c.KeepsUserData ? QStringLiteral("ünïcode note") : QString());
        EXPECT_EQ(loaded.FindStored(List("c").Get(), stChecks)->Storage.CheckState, csMixedNormal);
    }
}

TEST_F(NodeStorage, ItemsThatVanishedAreDroppedWithWhatLiesBelowThem)
{
    TRootNodeStorage root;
    Fill(root);
    const std::string bytes = Saved(root, 3);
    std::filesystem::remove_all(PathOf("a/b"));
    TMemoryStream stream(bytes);
    TRootNodeStorage loaded;
    loaded.LoadFromStream(stream, 0, true);
    EXPECT_NE(loaded.FindStored(List("a/one.php").Get(), stChecks), nullptr);
    TPIDLHolder gone(PathToPIDLLexical(PathOf("a/b/two.php")));
    ASSERT_TRUE(gone);
    EXPECT_EQ(loaded.Find(gone.Get(), false), nullptr);
    EXPECT_EQ(loaded.Find(List("a").Get(), false)->ChildCount(), 1);
}

TEST_F(NodeStorage, DamagedStreamsFailClearlyAndChangeNothing)
{
    TRootNodeStorage root;
    Fill(root);
    const std::string good = Saved(root, 3);

    // Cut anywhere, the stream is refused and what was loaded before stays.
    TRootNodeStorage target;
    TMemoryStream first(good);
    target.LoadFromStream(first, 0, true);
    const std::string before = Saved(target, 3);
    for (std::size_t length = 0; length < good.size(); ++length) {
        TMemoryStream cut(good.substr(0, length));
        EXPECT_THROW(target.LoadFromStream(cut, 0, true), EStreamError) << length;
    }
    EXPECT_EQ(Saved(target, 3), before);

    // Sizes and names that the data cannot back.
    auto patched = [&](std::size_t at, const std::string& bytes) {
        std::string s = good;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    const std::string huge("\xff\xff\xff\x7f", 4);
    const std::size_t classAt = good.find("TNoteObject");
    ASSERT_NE(classAt, std::string::npos);
    struct Case {
        const char* What;
        std::string Bytes;
        const char* Message;
    };
    const Case cases[] = {
        {"a version from the future", patched(0, std::string("\x63\0\0\0", 4)), "version 99"},
        {"a children count beyond the data", patched(15, huge), "does not fit"},
        {"an unknown user class", patched(classAt, "TNoteObjecX"), "Class TNoteObjecX not found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TMemoryStream stream(c.Bytes);
        try {
            target.LoadFromStream(stream, 0, true);
            ADD_FAILURE() << "loaded";
        } catch (const EStreamError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
        }
        EXPECT_EQ(Saved(target, 3), before);
    }
}

TEST_F(NodeStorage, AStoredItemOutsideItsFolderIsRefused)
{
    MakeDir("p/r");
    MakeDir("q/r");
    TRootNodeStorage root;
    root.Store(List("p/r").Get(), stChecks);
    std::string bytes = Saved(root, 3);
    // The storage of p/r claims to be q/r while it sits under p.
    const std::string pr = ListBytes(List("p/r").Get());
    const std::string qr = ListBytes(List("q/r").Get());
    ASSERT_EQ(pr.size(), qr.size());
    const std::size_t at = bytes.rfind(pr);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, pr.size(), qr);
    TMemoryStream stream(bytes);
    TRootNodeStorage loaded;
    EXPECT_THROW(loaded.LoadFromStream(stream, 0, true), EReadError);
}
