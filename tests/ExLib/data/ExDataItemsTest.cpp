// Data items and lists through a test provider: IDs, lookups by ID and path, extensions, the
// change notifications of editing, painters and the streaming of item trees.

#include "DataTestProvider.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/data/ExDataClasses.h"

#include "Platform/files/PropertyStream.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <regex>
#include <set>

namespace {

// root: a(a1(a11(deep)), a2), b, c
struct TreeFixture : ::testing::Test, TWithProvider, TSampleTree {
    TreeFixture() : TSampleTree(provider) {}
    TExBaseDataItem* deep = TTestProvider::Add(TTestProvider::Children(a11), "deep", "Deep");

    IExDataItems& Root() { return *provider.RootItems(); }
    IExDataItems& ChildrenOf(TExBaseDataItem* item) { return *ChildItemsOf(item); }
};

std::string IdOf(IExDataItem* item)
{
    return item ? item->ItemID() : "(none)";
}

// An item that refuses deletion.
class TFixedItem : public TExBaseDataItem {
public:
    using TExBaseDataItem::TExBaseDataItem;
    bool CanDelete() override { return false; }
};

// An item that draws itself.
class TSelfPaintingItem : public TExBaseDataItem, public virtual IExDataItemPainter {
public:
    using TExBaseDataItem::TExBaseDataItem;
    void PaintSelf(TCanvas&, const TRect&, TProviderDrawState state) override { Painted = state; }
    TSize SizeOfSelf(TCanvas&) override { return {7, 9}; }
    int Painted = -1;
};

} // namespace

TEST(DataItem, ANewItemHasA32DigitUpperCaseHexIdUnlikeAnyOther)
{
    TTestProvider provider;
    std::set<std::string> ids;
    const std::regex hex("[0-9A-F]{32}");
    for (int i = 0; i < 200; ++i) {
        auto* item = Construct<TExBaseDataItem>(provider.RootItems());
        provider.RootList()->AddItemObject(item);
        EXPECT_TRUE(std::regex_match(item->ID(), hex)) << item->ID();
        ids.insert(item->ID());
    }
    EXPECT_EQ(ids.size(), 200u);
}

TEST(DataItem, ItemsOfAnOwningListAreNotCountedAndKnowTheirIndex)
{
    TTestProvider provider;
    TExBaseDataItem* first = provider.Add("x");
    TExBaseDataItem* second = provider.Add("y");
    EXPECT_EQ(first->AddRef(), -1);
    EXPECT_EQ(first->Release(), -1);
    EXPECT_EQ(first->IndexInOwner(), 0);
    EXPECT_EQ(second->IndexInOwner(), 1);
}

TEST_F(TreeFixture, FindItemByIdLooksDeeperOnlyWhenRecursive)
{
    auto* finder = Supports<IExDataItemFinder>(&Root());
    ASSERT_NE(finder, nullptr);
    EXPECT_EQ(IdOf(finder->FindItemByID("b", false)), "b");
    EXPECT_EQ(finder->FindItemByID("a11", false), nullptr);
    EXPECT_EQ(IdOf(finder->FindItemByID("A11", true)), "a11");
    EXPECT_EQ(IdOf(finder->FindItemByID("deep", true)), "deep");
    EXPECT_EQ(finder->FindItemByID("nowhere", true), nullptr);

    // Among equal IDs in one list the last wins.
    TExBaseDataItem* twin = provider.Add("b", "second b");
    EXPECT_EQ(finder->FindItemByID("b", false), twin);
}

TEST_F(TreeFixture, ItemByPathFollowsSegmentsParentsAndTheRoot)
{
    struct Case {
        IExDataItems* from;
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {&Root(), "a\\a1", "a1"},
        {&Root(), "a/a1/a11", "a11"},
        {&Root(), "x\\b", "b"},          // a segment that names nothing is skipped
        {&Root(), "a\\..\\c", "c"},      // two dots climb to the list that holds a
        {&Root(), "a\\a2\\", "a2"},      // a trailing separator is ignored
        {&ChildrenOf(a1), "\\b", "b"},   // a leading separator starts at the root
        {&ChildrenOf(a1), "b", "(none)"},
        {&ChildrenOf(a11), "..\\..\\a2", "a2"},
        {&Root(), "", "(none)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IdOf(c.from->ItemByPath(c.path)), c.expected) << c.path;
}

TEST_F(TreeFixture, ItemByIndexPathWalksDownThroughChildLists)
{
    EXPECT_EQ(IdOf(Root().ItemByIndexPath({0, 0, 0})), "a11");
    EXPECT_EQ(IdOf(Root().ItemByIndexPath({0, 1})), "a2");
    EXPECT_EQ(IdOf(Root().ItemByIndexPath({2})), "c");
    EXPECT_EQ(Root().ItemByIndexPath({1, 0}), nullptr); // b has no child list
    EXPECT_EQ(Root().ItemByIndexPath({}), nullptr);
}

TEST_F(TreeFixture, IsParentItemOfSeesDirectAndIndirectParents)
{
    EXPECT_TRUE(a->IsParentItemOf(a1, true));
    EXPECT_FALSE(a->IsParentItemOf(a11, true));
    EXPECT_TRUE(a->IsParentItemOf(deep, false));
    EXPECT_FALSE(b->IsParentItemOf(deep, false));
    EXPECT_FALSE(a1->IsParentItemOf(a, false));
}

TEST_F(TreeFixture, AnItemAnswersForItsChildListAndTheListsExtensions)
{
    EXPECT_EQ(ChildItemsOf(b), nullptr);
    IExDataItems* children = ChildItemsOf(a);
    ASSERT_NE(children, nullptr);
    EXPECT_EQ(children->ParentItem(), a);
    EXPECT_EQ(children->OwnerProvider(), &provider);
    EXPECT_EQ(Supports<IExDataItemsPainter>(a), nullptr);
    auto* renderer = Construct<TExCustomDataItemsTextRenderer>(*dynamic_cast<TExDataItemsList*>(children->Implementer()));
    EXPECT_EQ(Supports<IExDataItemsPainter>(a), renderer);
    // The list painter of an item's own list, or of a list above it.
    EXPECT_EQ(FindListPainter(a11), renderer);
    EXPECT_EQ(FindListPainter(a1), renderer);
    EXPECT_EQ(FindListPainter(b), nullptr);
}

TEST(DataItem, ASecondExtensionOfOneClassIsRefusedAndTheLastExtensionAnswersFirst)
{
    TTestProvider provider;
    TExBaseDataItem* item = provider.Add("x", "first");
    try {
        Construct<TExDataItemTextImpl>(*item);
        FAIL() << "no exception";
    } catch (const EExLibException& e) {
        EXPECT_STREQ(e.what(), "Implementation of that class already exists");
    }
    EXPECT_EQ(item->ExtensionCount(), 1);

    // A text extension of another class, added later, answers for the text.
    class TOtherText : public TExDataItemTextImpl {
    public:
        using TExDataItemTextImpl::TExDataItemTextImpl;
        std::string Caption() override { return "other"; }
    };
    Construct<TOtherText>(*item);
    EXPECT_EQ(Supports<IExDataItemText>(item)->Caption(), "other");
    // An extension passes questions it cannot answer to its item.
    auto* glyphless = Supports<IExDataItemText>(item);
    EXPECT_EQ(Supports<IExDataItem>(glyphless), item);
    EXPECT_EQ(Supports<IExDataItemGlyph>(glyphless), nullptr);
}

TEST(DataItem, CaptionAndGlyphChangesAreReportedAroundTheChangeOnlyWhenTheValueDiffers)
{
    TTestProvider provider;
    TExBaseDataItem* item = provider.Add("x", "Caption");
    auto* glyph = Construct<TExDataItemImageImpl>(*item);
    EXPECT_EQ(glyph->ImageIndex(), 0);
    EXPECT_EQ(glyph->Alignment(), taLeftJustify);
    auto* text = Supports<IExDataItemText>(item);
    text->SetCaption("Caption");
    text->SetCaption("caption");
    glyph->SetImageIndex(0);
    glyph->SetImageIndex(4);
    glyph->SetSelectedIndex(4);
    glyph->SetAlignment(taCenter);
    const std::vector<std::string> expected = {
        "before 2 item x", "after 2 item x", "before 2 item x", "after 2 item x",
        "before 2 item x", "after 2 item x", "before 2 item x", "after 2 item x",
    };
    EXPECT_EQ(provider.Log, expected);
    EXPECT_EQ(text->Caption(), "caption");
}

TEST(DataItem, TheListEditorAppendsAndRemovesBetweenItsNotifications)
{
    TTestProvider provider;
    provider.Add("x");
    auto* added = Construct<TExBaseDataItem>(provider.RootItems());
    added->SetID("new");
    provider.Editor->AppendItem(added);
    EXPECT_EQ(added->IndexInOwner(), 1);
    provider.Editor->RemoveAt(0);
    EXPECT_EQ(provider.RootItems()->ItemCount(), 1);
    provider.Editor->RemoveAll();
    EXPECT_EQ(provider.RootItems()->ItemCount(), 0);
    const std::vector<std::string> expected = {
        "before 0 list", "after 0 item new", "before 1 item x", "after 1 none", "before 3 list", "after 3 list",
    };
    EXPECT_EQ(provider.Log, expected);
    EXPECT_THROW(provider.Editor->RemoveAt(0), EListError);
}

TEST(DataItem, AnItemThatCannotBeDeletedStaysAndSaysSo)
{
    TTestProvider provider;
    auto* fixed = Construct<TFixedItem>(provider.RootItems());
    provider.RootList()->AddItemObject(fixed);
    try {
        provider.Editor->RemoveAt(0);
        FAIL() << "no exception";
    } catch (const EExLibDataItems& e) {
        EXPECT_STREQ(e.what(), "Item cannot be deleted");
    }
    IExDataItem* reference = fixed;
    EXPECT_THROW(provider.Editor->RemoveItem(reference), EExLibDataItems);
    EXPECT_EQ(provider.RootItems()->ItemCount(), 1);
    EXPECT_TRUE(provider.Log.empty());
}

TEST(DataItem, RemoveItemClearsTheCallersReferenceAndFreesTheItem)
{
    TTestProvider provider;
    provider.Add("keep");
    IExDataItem* reference = provider.Add("gone");
    provider.Editor->RemoveItem(reference);
    EXPECT_EQ(reference, nullptr);
    ASSERT_EQ(provider.RootItems()->ItemCount(), 1);
    EXPECT_EQ(provider.RootItems()->ItemAt(0)->ItemID(), "keep");
    const std::vector<std::string> expected = {"before 1 item gone", "after 1 none"};
    EXPECT_EQ(provider.Log, expected);
}

TEST(DataItem, ItemsOfACountingListLiveUntilTheirLastReference)
{
    // A list that holds its items by counted references.
    class TCountingList : public TExBaseDataItems {
    public:
        using TExBaseDataItems::TExBaseDataItems;
        void AddItemObject(TExBaseDataItem* item) override { FItems.emplace_back(item); }
        int ItemCount() override { return static_cast<int>(FItems.size()); }
        IExDataItem* ItemAt(int index) override { return FItems.at(static_cast<size_t>(index)).get(); }
        void Drop(int index) { FItems.erase(FItems.begin() + index); }

    protected:
        std::vector<TExBaseDataItem*> ItemObjects() const override { return {}; }

    private:
        std::vector<TIntf<IExDataItem>> FItems;
    };
    static int itemsAlive = 0;
    struct TTracked : TExBaseDataItem {
        explicit TTracked(IExDataItems* owner) : TExBaseDataItem(owner) { ++itemsAlive; }
        ~TTracked() override { --itemsAlive; }
    };
    TTestProvider provider;
    auto* counting = Construct<TCountingList>(static_cast<IExDataProvider*>(&provider));
    TIntf<IExDataItems> list(counting);
    auto* item = Construct<TTracked>(static_cast<IExDataItems*>(counting));
    EXPECT_EQ(item->RefCount(), 0);
    counting->AddItemObject(item);
    EXPECT_EQ(item->RefCount(), 1);
    {
        TIntf<IExDataItem> extra(item);
        EXPECT_EQ(item->RefCount(), 2);
    }
    EXPECT_EQ(item->RefCount(), 1);
    // Every counting step put the provider into no context and back.
    EXPECT_EQ(provider.ContextPushes, 3);
    EXPECT_TRUE(provider.Contexts.empty());
    counting->Drop(0);
    EXPECT_EQ(itemsAlive, 0);
}

TEST(DataItem, DeletingAParentItemFreesItsChildList)
{
    static int listsAlive = 0;
    struct TCountedList : TExDataItemsList {
        explicit TCountedList(IExDataItem* parent) : TExDataItemsList(parent) { ++listsAlive; }
        ~TCountedList() override { --listsAlive; }
    };
    TTestProvider provider;
    TExBaseDataItem* parent = provider.Add("parent");
    auto* children = Construct<TCountedList>(static_cast<IExDataItem*>(parent));
    TTestProvider::Add(*children, "child");
    EXPECT_EQ(listsAlive, 1);
    EXPECT_EQ(children->RefCount(), 1);
    provider.Editor->RemoveAt(0);
    EXPECT_EQ(listsAlive, 0);
}

TEST(DataItemsPainter, TheTextRendererMeasuresCaptionsAndChecksIndices)
{
    TTestProvider provider;
    provider.Add("x", "Caption");
    provider.Add("mute");
    auto* selfPainting = Construct<TSelfPaintingItem>(provider.RootItems());
    provider.RootList()->AddItemObject(selfPainting);
    auto* renderer = Construct<TExCustomDataItemsTextRenderer>(*provider.RootList());
    TCanvas canvas;
    EXPECT_EQ(renderer->SizeOfItemAt(canvas, -1), canvas.TextExtent("WyWyWyWyWyWyWyWyWyWy"));
    EXPECT_EQ(renderer->SizeOfItemAt(canvas, 0), canvas.TextExtent("Caption"));
    EXPECT_EQ(renderer->SizeOfItemAt(canvas, 1), canvas.TextExtent("(item does not support the IExDataItemText interface)"));
    EXPECT_EQ(renderer->SizeOfItemAt(canvas, 2), (TSize{7, 9}));
    for (int bad : {3, -2}) {
        try {
            renderer->SizeOfItemAt(canvas, bad);
            FAIL() << bad;
        } catch (const EExLibDataItems& e) {
            EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
        }
    }

    QImage image(200, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    TCanvas drawing(&painter);
    drawing.Font().SetColor(clBlack);
    renderer->PaintItemAt(drawing, Rect(0, 0, 200, 20), 2, pdsSelected | pdsFocused);
    EXPECT_EQ(selfPainting->Painted, pdsSelected | pdsFocused);
    renderer->PaintItemAt(drawing, Rect(0, 0, 200, 20), 0, 0);
    painter.end();
    int dark = 0;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 20; ++y)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 10);
    EXPECT_THROW(renderer->PaintItemAt(drawing, Rect(0, 0, 1, 1), 9, 0), EExLibDataItems);
}

TEST(DataItemsPainter, TheDrawStateIsTheLowByteOfTheOwnerDrawState)
{
    EXPECT_EQ(ProviderDrawStateOf(TOwnerDrawState{odSelected, odDisabled, odComboBoxEdit}), pdsSelected | pdsDisabled);
    EXPECT_EQ(ProviderDrawStateOf(TOwnerDrawState{odInactive, odHotLight, odNoAccel}), pdsInactive | pdsHot);
}

TEST(DataClasses, StartUpRegistersTheThirteenClassesInOrder)
{
    const std::vector<std::string> names = RegisteredDataClassNames();
    const std::vector<std::string> expected = {
        "TExDataItemsList", "TExCustomDataItemsImages", "TExCustomDataItemsTextRenderer",
        "TExBaseDataItemsListManagement", "TExBaseDataItem", "TExDataItemTextImpl", "TExDataItemImageImpl",
        "TExDataConsumer", "TExDataConsumerItemSelect", "TExDataContexts", "TExDataContext",
        "TExManagedDataContext", "TExFixedDataContext",
    };
    ASSERT_GE(names.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 13), expected);
    EXPECT_THROW(FindDataClass("TNoSuchClass"), EClassNotFound);
}

// ---- streaming

namespace {

// The list's properties as a sub-object written under `path`.
std::string Written(const TExBaseDataItems& list, const std::string& path = {})
{
    TMemoryStream stream;
    TWriter writer(stream);
    writer.PropPath = path;
    writer.WriteListBegin();
    list.WriteProperties(writer);
    writer.WriteListEnd();
    EXPECT_EQ(writer.PropPath, path);
    return std::string(stream.View());
}

void ReadInto(TExBaseDataItems& list, const std::string& bytes)
{
    TMemoryStream stream(bytes);
    TReader reader(stream);
    reader.ReadListBegin();
    list.ReadProperties(reader);
    reader.ReadListEnd();
}

// The IDs, captions and image indices of a tree, depth first.
std::string Dump(IExDataItems* list)
{
    std::string text;
    for (int i = 0; list && i < list->ItemCount(); ++i) {
        IExDataItem* item = list->ItemAt(i);
        text += item->ItemID();
        if (auto* caption = Supports<IExDataItemText>(item))
            text += "=" + caption->Caption();
        if (auto* glyph = Supports<IExDataItemGlyph>(item))
            text += "#" + std::to_string(glyph->ImageIndex());
        if (IExDataItems* children = ChildItemsOf(item))
            text += "(" + Dump(children) + ")";
        text += " ";
    }
    return text;
}

} // namespace

TEST_F(TreeFixture, AnItemTreeReadsBackAsItWasWritten)
{
    Construct<TExDataItemImageImpl>(*b)->SetImageIndex(7);
    Construct<TExCustomDataItemsTextRenderer>(*provider.RootList());
    const std::string bytes = Written(*provider.RootList());

    TTestProvider copy;
    ReadInto(*copy.RootList(), bytes);
    EXPECT_EQ(Dump(copy.RootItems()), Dump(provider.RootItems()));
    EXPECT_EQ(Dump(copy.RootItems()), "a=A(a1=A1(a11=A11(deep=Deep ) ) a2=A2 ) b=B#7 c=C ");
    // The list's own extensions come back too.
    EXPECT_NE(Supports<IExDataItemsPainter>(copy.RootItems()), nullptr);
    EXPECT_EQ(ChildItemsOf(copy.RootItems()->ItemAt(0))->ParentItem(), copy.RootItems()->ItemAt(0));

    // Under a property path only the list's own properties carry it; names inside the
    // collections are written without it.
    const std::string nested = Written(*provider.RootList(), "Outer.");
    EXPECT_NE(nested.find("Outer.Items"), std::string::npos);
    EXPECT_NE(nested.find("Outer.Extensions"), std::string::npos);
    EXPECT_EQ(nested.find("Outer.ID"), std::string::npos);
    EXPECT_EQ(nested.find("Outer.Caption"), std::string::npos);
    EXPECT_NE(nested.find("Caption"), std::string::npos);
}

TEST(DataStreaming, ItemsOfUnregisteredClassesAreLeftOut)
{
    class TUnregisteredItem : public TExBaseDataItem {
    public:
        using TExBaseDataItem::TExBaseDataItem;
    };
    TTestProvider provider;
    provider.RootList()->AddItemObject(Construct<TUnregisteredItem>(provider.RootItems()));
    TTestProvider copy;
    ReadInto(*copy.RootList(), Written(*provider.RootList()));
    EXPECT_EQ(copy.RootItems()->ItemCount(), 0);
}

TEST(DataStreaming, AStreamedExtensionOfAClassAlreadyPresentUpdatesIt)
{
    TTestProvider provider;
    provider.Add("x", "streamed");
    TTestProvider copy;
    TExBaseDataItem* existing = copy.Add("x", "old");
    auto* text = existing->FindExtension<TExDataItemTextImpl>();

    // Read the item's properties (its extensions) into the existing item.
    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteListBegin();
    dynamic_cast<TExBaseDataItem*>(provider.RootItems()->ItemAt(0))->WriteProperties(writer);
    writer.WriteListEnd();
    stream.SetPosition(0);
    TReader reader(stream);
    reader.ReadListBegin();
    existing->ReadProperties(reader);
    EXPECT_EQ(existing->ExtensionCount(), 1);
    EXPECT_EQ(existing->FindExtension<TExDataItemTextImpl>(), text);
    EXPECT_EQ(text->Caption(), "streamed");
}

TEST(DataStreaming, MalformedStreamsAreRefusedWithTheirMessages)
{
    auto stream = [](auto&& write) {
        TMemoryStream bytes;
        TWriter writer(bytes);
        writer.WriteListBegin();
        writer.WritePropName("Items");
        write(writer);
        return std::string(bytes.View());
    };
    struct Case {
        const char* expected;
        std::string bytes;
    };
    const Case cases[] = {
        {"Expected collection", stream([](TWriter& w) { w.WriteString("not a collection"); })},
        {"Missing ClassName property", stream([](TWriter& w) {
             w.WriteCollectionBegin();
             w.WriteListBegin();
             w.WritePropName("ID");
             w.WriteString("x");
         })},
        {"Invalid class type", stream([](TWriter& w) {
             w.WriteCollectionBegin();
             w.WriteListBegin();
             w.WritePropName("ClassName");
             w.WriteString("TExDataItemTextImpl");
         })},
        {"Class TNoSuchItem not found", stream([](TWriter& w) {
             w.WriteCollectionBegin();
             w.WriteListBegin();
             w.WritePropName("ClassName");
             w.WriteString("TNoSuchItem");
         })},
        {"Stream read error", stream([](TWriter& w) {
             w.WriteCollectionBegin();
             w.WriteListBegin();
             w.WritePropName("ClassName");
             w.WriteValue(TValueType::vaString);
         }) + std::string("\xFF\xFF\xFF\x7F", 4)}, // a length far beyond the data
    };
    for (const Case& c : cases) {
        TTestProvider provider;
        try {
            ReadInto(*provider.RootList(), c.bytes);
            ADD_FAILURE() << "no exception for " << c.expected;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.expected);
        }
    }
}
