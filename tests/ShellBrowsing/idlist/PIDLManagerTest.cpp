#include "ShellBrowsing/Source/idlist/PIDLList.h"

#include "ShellBrowsing/ShellTestSupport.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

#include <cstring>

namespace {

const TPIDLManager& M()
{
    return PIDLMgr();
}

// home / projects / site
PItemIDList ThreeItems()
{
    return BuildList({{TItemKind::Home, ""}, {TItemKind::Entry, "projects"}, {TItemKind::Entry, "site"}});
}

std::string Saved(PCItemIDList list)
{
    TMemoryStream stream;
    M().SaveToStream(&stream, list);
    return std::string(stream.View());
}

} // namespace

TEST(PIDLManager, DesktopListIsTheEmptyList)
{
    TPIDLHolder desktop(MakeDesktopPIDL());
    EXPECT_EQ(M().PIDLSize(desktop.Get()), 2u);
    EXPECT_EQ(M().IDCount(desktop.Get()), 0);
    EXPECT_TRUE(M().IsDesktopFolder(desktop.Get()));
    EXPECT_EQ(M().GetPointerToLastID(desktop.Get()), desktop.Get());
    EXPECT_FALSE(M().IsDesktopFolder(nullptr));
    EXPECT_EQ(M().PIDLSize(nullptr), 0u);
    EXPECT_EQ(M().IDCount(nullptr), 0);
}

TEST(PIDLManager, MeasuresAndWalksItems)
{
    TPIDLHolder list(ThreeItems());
    // Home: 2 + 1; projects: 2 + 1 + 8; site: 2 + 1 + 4; terminator 2.
    EXPECT_EQ(M().PIDLSize(list.Get()), 3u + 11u + 7u + 2u);
    EXPECT_EQ(M().IDCount(list.Get()), 3);
    PCItemIDList last = M().GetPointerToLastID(list.Get());
    EXPECT_EQ(ItemKind(last), TItemKind::Entry);
    EXPECT_EQ(ItemName(last), "site");
    EXPECT_EQ(M().NextID(last), reinterpret_cast<PItemIDList>(reinterpret_cast<std::uint8_t*>(list.Get()) + 21));
}

TEST(PIDLManager, CopyIsEqualAndSeparate)
{
    TPIDLHolder list(ThreeItems());
    TPIDLHolder copy(M().CopyPIDL(list.Get()));
    ASSERT_NE(copy.Get(), list.Get());
    EXPECT_TRUE(M().EqualPIDL(copy.Get(), list.Get()));
    EXPECT_EQ(ListBytes(copy.Get()), ListBytes(list.Get()));
    EXPECT_EQ(M().CopyPIDL(nullptr), nullptr);
}

TEST(PIDLManager, AppendJoinsItemsWithOneTerminator)
{
    TPIDLHolder a(BuildList({{TItemKind::Home, ""}, {TItemKind::Entry, "a"}}));
    TPIDLHolder b(BuildList({{TItemKind::Entry, "b"}}));
    TPIDLHolder joined(M().AppendPIDL(a.Get(), b.Get()));
    TPIDLHolder expected(BuildList({{TItemKind::Home, ""}, {TItemKind::Entry, "a"}, {TItemKind::Entry, "b"}}));
    EXPECT_EQ(ListBytes(joined.Get()), ListBytes(expected.Get()));

    TPIDLHolder desktop(MakeDesktopPIDL());
    TPIDLHolder onDesktop(M().AppendPIDL(desktop.Get(), b.Get()));
    EXPECT_EQ(ListBytes(onDesktop.Get()), ListBytes(b.Get()));
    TPIDLHolder withNil(M().AppendPIDL(a.Get(), nullptr));
    EXPECT_EQ(ListBytes(withNil.Get()), ListBytes(a.Get()));
    TPIDLHolder nilFirst(M().AppendPIDL(nullptr, b.Get()));
    EXPECT_EQ(ListBytes(nilFirst.Get()), ListBytes(b.Get()));
}

TEST(PIDLManager, StripLastIdNamesTheParent)
{
    TPIDLHolder list(ThreeItems());
    std::uint16_t cb = 0;
    PItemIDList where = nullptr;
    M().StripLastIDKeep(list.Get(), cb, where);
    EXPECT_EQ(M().IDCount(list.Get()), 2);
    EXPECT_EQ(cb, 7);
    // Putting the count back restores the item.
    where->cb[0] = static_cast<std::uint8_t>(cb);
    EXPECT_EQ(M().IDCount(list.Get()), 3);

    TPIDLHolder one(BuildList({{TItemKind::Computer, ""}}));
    M().StripLastID(one.Get());
    EXPECT_TRUE(M().IsDesktopFolder(one.Get()));
    M().StripLastID(one.Get());
    EXPECT_TRUE(M().IsDesktopFolder(one.Get()));
    M().StripLastIDKeep(nullptr, cb, where);
    EXPECT_EQ(cb, 0);
    EXPECT_EQ(where, nullptr);
}

TEST(PIDLManager, SubListAndParentTestsLeaveListsUnchanged)
{
    TPIDLHolder child(ThreeItems());
    TPIDLHolder parent(M().StripLastID(M().CopyPIDL(child.Get())));
    TPIDLHolder grandParent(M().StripLastID(M().CopyPIDL(parent.Get())));
    TPIDLHolder other(BuildList({{TItemKind::Home, ""}, {TItemKind::Entry, "projectsX"}}));
    const std::string before = ListBytes(child.Get());
    const std::string parentBefore = ListBytes(parent.Get());

    EXPECT_TRUE(M().IsSubPIDL(child.Get(), child.Get()));
    EXPECT_TRUE(M().IsSubPIDL(child.Get(), parent.Get()));
    EXPECT_TRUE(M().IsSubPIDL(child.Get(), grandParent.Get()));
    EXPECT_FALSE(M().IsSubPIDL(parent.Get(), child.Get()));
    EXPECT_FALSE(M().IsSubPIDL(child.Get(), other.Get()));
    EXPECT_FALSE(M().IsSubPIDL(nullptr, child.Get()));
    EXPECT_EQ(ListBytes(child.Get()), before);
    EXPECT_EQ(ListBytes(parent.Get()), parentBefore);

    TPIDLHolder desktop(MakeDesktopPIDL());
    const struct {
        PCItemIDList Parent;
        PCItemIDList Child;
        bool Immediate;
        bool Expected;
    } cases[] = {
        {parent.Get(), child.Get(), true, true},        {grandParent.Get(), child.Get(), true, false},
        {grandParent.Get(), child.Get(), false, true},  {child.Get(), child.Get(), false, false},
        {desktop.Get(), grandParent.Get(), true, true}, {desktop.Get(), child.Get(), false, true},
        {other.Get(), child.Get(), false, false},       {nullptr, child.Get(), false, false},
        {child.Get(), nullptr, false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ILIsParent(c.Parent, c.Child, c.Immediate), c.Expected)
            << ListBytes(c.Parent).size() << " " << ListBytes(c.Child).size() << " " << c.Immediate;
    EXPECT_FALSE(ILIsEqual(nullptr, nullptr));
    EXPECT_FALSE(ILIsEqual(child.Get(), parent.Get()));
}

TEST(PIDLManager, NamesThatAreNotUtf8SurviveAsBytes)
{
    const std::string name("caf\xE9-\xFF", 6);
    TPIDLHolder list(BuildList({{TItemKind::Home, ""}, {TItemKind::Entry, name}}));
    EXPECT_EQ(ItemName(M().GetPointerToLastID(list.Get())), name);
    TMemoryStream stream(Saved(list.Get()));
    TPIDLHolder back(M().LoadFromStream(&stream));
    EXPECT_EQ(ItemName(M().GetPointerToLastID(back.Get())), name);
}

TEST(PIDLManager, StreamRoundTripIsByteIdentical)
{
    TPIDLHolder list(ThreeItems());
    const std::string bytes = Saved(list.Get());
    ASSERT_EQ(bytes.size(), 4u + M().PIDLSize(list.Get()));
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x17\x00\x00\x00", 4));
    TMemoryStream stream(bytes);
    TPIDLHolder back(M().LoadFromStream(&stream));
    EXPECT_EQ(ListBytes(back.Get()), ListBytes(list.Get()));
    EXPECT_EQ(stream.Position(), stream.Size());

    TMemoryStream nilStream(Saved(nullptr));
    EXPECT_EQ(nilStream.Size(), 4);
    EXPECT_EQ(M().LoadFromStream(&nilStream), nullptr);
    EXPECT_EQ(M().LoadFromStream(nullptr), nullptr);

    TPIDLHolder desktop(MakeDesktopPIDL());
    TMemoryStream desktopStream(Saved(desktop.Get()));
    TPIDLHolder desktopBack(M().LoadFromStream(&desktopStream));
    EXPECT_TRUE(M().IsDesktopFolder(desktopBack.Get()));
}

TEST(PIDLManager, DamagedStreamsAreRefused)
{
    TPIDLHolder list(ThreeItems());
    const std::string good = Saved(list.Get());
    auto patched = [&](std::size_t at, char value) {
        std::string bytes = good;
        bytes[at] = value;
        return bytes;
    };
    auto withCount = [&](std::int32_t count) {
        std::string bytes = good;
        std::memcpy(bytes.data(), &count, 4);
        return bytes;
    };
    const struct {
        const char* What;
        std::string Bytes;
    } cases[] = {
        {"count beyond the end", withCount(1000)},
        {"negative count", withCount(-5)},
        {"count of the header only", good.substr(0, 4)},
        {"truncated list", good.substr(0, good.size() - 3)},
        {"item count past the list", patched(4 + 3, 0x7F)},
        {"item count below its own size", patched(4 + 3, 0x02)},
        {"unknown format version", patched(4 + 2, 0x25)},
        {"unknown kind", patched(4 + 2, 0x19)},
        {"missing terminator", patched(good.size() - 1, 0x01)},
        {"name with a slash", patched(4 + 3 + 3, '/')},
        {"name with a NUL", patched(4 + 3 + 4, '\0')},
        {"count one byte short of the terminator", withCount(static_cast<std::int32_t>(good.size() - 5))},
        {"empty stream", std::string()},
    };
    for (const auto& c : cases) {
        TMemoryStream stream(c.Bytes);
        EXPECT_THROW({ TPIDLHolder loaded(M().LoadFromStream(&stream)); }, EStreamError) << c.What;
    }
    for (const char* dots : {".", ".."}) {
        TPIDLHolder bad(BuildList({{TItemKind::Home, ""}}));
        TPIDLHolder item(MakeItem(TItemKind::Entry, dots));
        TPIDLHolder joined(M().AppendPIDL(bad.Get(), item.Get()));
        TMemoryStream stream(Saved(joined.Get()));
        EXPECT_THROW({ TPIDLHolder loaded(M().LoadFromStream(&stream)); }, EStreamError) << dots;
    }
}

TEST(PIDLList, StreamsEveryListAndKeepsWhatWasReadBeforeDamage)
{
    TPIDLList list;
    list.Add(ThreeItems());
    list.Add(nullptr);
    list.Add(MakeDesktopPIDL());
    TMemoryStream stream;
    ASSERT_TRUE(list.SaveToStream(&stream));

    stream.SetPosition(0);
    TPIDLList back;
    back.CopyAdd(list[0]);
    ASSERT_TRUE(back.LoadFromStream(&stream));
    ASSERT_EQ(back.Count(), 4);
    EXPECT_TRUE(ILIsEqual(back[1], list[0]));
    EXPECT_EQ(back[2], nullptr);
    EXPECT_TRUE(PIDLMgr().IsDesktopFolder(back[3]));

    std::string damaged(stream.View());
    damaged.resize(damaged.size() - 1);
    TMemoryStream damagedStream(damaged);
    TPIDLList partial;
    EXPECT_FALSE(partial.LoadFromStream(&damagedStream));
    EXPECT_EQ(partial.Count(), 2);
    EXPECT_TRUE(ILIsEqual(partial[0], list[0]));

    std::string hugeCount(stream.View());
    hugeCount[0] = '\xFF';
    hugeCount[1] = '\xFF';
    hugeCount[2] = '\xFF';
    TMemoryStream hugeStream(hugeCount);
    TPIDLList none;
    EXPECT_FALSE(none.LoadFromStream(&hugeStream));
    EXPECT_EQ(none.Count(), 0);
}

TEST(PIDLList, SharedListsOutliveTheList)
{
    PItemIDList kept = ThreeItems();
    {
        TPIDLList list;
        list.SharePIDLs = true;
        list.Add(kept);
    }
    // Still ours: reading and freeing it is safe (the sanitizer would catch a use after free).
    EXPECT_EQ(PIDLMgr().IDCount(kept), 3);
    PIDLFree(kept);

    TPIDLList owning;
    owning.Add(ThreeItems());
    EXPECT_THROW(owning.Items(1), EListError);
    PItemIDList extracted = owning.Extract(0);
    EXPECT_EQ(owning.Count(), 0);
    PIDLFree(extracted);
}
