#include "ExLib/run/data/ExDataViewList.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/data/ExDataItems.h"

#include "Platform/files/PropertyStream.h"
#include "Platform/text/Format.h"

namespace {

bool HasItems(IExDataItems* items)
{
    return items && items->ItemCount() > 0;
}

} // namespace

// ---- common part

void TExCustomDataConsumerViewList::AfterConstruction()
{
    TExDataConsumerAggregatedObject::AfterConstruction();
    if (Consumer().Provider())
        BuildView();
}

void TExCustomDataConsumerViewList::SetLevelIndent(int value)
{
    if (value == FLevelIndent)
        return;
    FLevelIndent = value;
    NotifyChanged(ccrLevelIndent);
}

void TExCustomDataConsumerViewList::EmptyView()
{
    while (RowCount() > 0)
        RemoveRow(0);
}

void TExCustomDataConsumerViewList::BuildView()
{
    EmptyView();
    TExDataConsumer& consumer = Consumer();
    if (consumer.Provider())
        consumer.WithAccess([this] {
            int row = 0;
            AddItemList(row, ExtensionRootItems(), FInitialExpandDepth);
        });
    NotifyViewChanged();
}

void TExCustomDataConsumerViewList::ViewChangedBy(TExDataConsumerAggregatedObject* extension)
{
    (void)extension;
    BuildView();
}

void TExCustomDataConsumerViewList::RevealItem(IExDataItem* item)
{
    if (!item || ItemVisibleState(item) == 0 || RowOfItem(item) >= 0)
        return;
    IExDataItems* owner = item->OwnerItems();
    IExDataItem* parent = owner ? owner->ParentItem() : nullptr;
    if (!parent)
        return;
    RevealItem(parent);
    const int parentRow = RowOfItem(parent);
    if (parentRow < 0)
        return;
    if (RowExpanded(parentRow))
        throw EExLibDataConsumer(ExRes::ViewListOutOfSync);
    FlipExpanded(parentRow);
}

int TExCustomDataConsumerViewList::RowOfItem(IExDataItem* item)
{
    return item ? RowOfID(item->ItemID()) : -1;
}

int TExCustomDataConsumerViewList::ChildPositionOfItem(IExDataItem* item)
{
    return item ? ChildPositionOfID(item->ItemID()) : -1;
}

IExDataItem* TExCustomDataConsumerViewList::RowItem(int row)
{
    if (row < 0 || row >= RowCount())
        return nullptr;
    IExDataItem* parent = RowParentItem(row);
    IExDataItems* list = parent ? ChildItemsOf(parent) : ExtensionRootItems();
    auto* finder = Supports<IExDataItemFinder>(list);
    return finder ? finder->FindItemByID(RowID(row), false) : nullptr;
}

IExDataItem* TExCustomDataConsumerViewList::RowParentItem(int row)
{
    const int parent = RowParent(row);
    return parent >= 0 ? RowItem(parent) : nullptr;
}

IExDataItem* TExCustomDataConsumerViewList::NextSiblingItem(int row)
{
    const int sibling = NextSibling(row);
    return sibling >= 0 ? RowItem(sibling) : nullptr;
}

int TExCustomDataConsumerViewList::ChildRowOf(IExDataItem* parent, int n)
{
    if (!parent)
        return ChildRowAt(-1, n);
    const int parentRow = RowOfItem(parent);
    return parentRow >= 0 ? ChildRowAt(parentRow, n) : -1;
}

IExDataItem* TExCustomDataConsumerViewList::ChildItemOf(IExDataItem* parent, int n)
{
    const int row = ChildRowOf(parent, n);
    return row >= 0 ? RowItem(row) : nullptr;
}

IExDataItem* TExCustomDataConsumerViewList::ChildItemAt(int parentRow, int n)
{
    const int row = ChildRowAt(parentRow, n);
    return row >= 0 ? RowItem(row) : nullptr;
}

std::vector<std::int32_t> TExCustomDataConsumerViewList::RowLineInfo(int row)
{
    const int level = RowLevel(row);
    std::vector<std::int32_t> bits(static_cast<size_t>((level + 31) / 32), 0);
    for (int ancestor = RowParent(row); ancestor >= 0; ancestor = RowParent(ancestor))
        if (NextSibling(ancestor) >= 0) {
            const int bit = RowLevel(ancestor);
            bits[static_cast<size_t>(bit / 32)] |= static_cast<std::int32_t>(1u << (bit % 32));
        }
    return bits;
}

void TExCustomDataConsumerViewList::DataChanging(IExDataProvider* provider, int reason, IExInterface* source)
{
    (void)provider;
    auto* item = dynamic_cast<IExDataItem*>(source);
    if (reason != pcrDelete || !item)
        return;
    Consumer().WithAccess([&] {
        const int row = RowOfItem(item);
        if (row >= 0) {
            RemoveRow(row);
            NotifyViewChanged();
        }
    });
}

void TExCustomDataConsumerViewList::DataChanged(IExDataProvider* provider, int reason, IExInterface* source)
{
    (void)provider;
    auto* item = dynamic_cast<IExDataItem*>(source);
    if (reason != pcrAdd || !item)
        return;
    Consumer().WithAccess([&] {
        IExDataItems* owner = item->OwnerItems();
        IExDataItem* parent = owner ? owner->ParentItem() : nullptr;
        if (!parent) {
            AppendChildItem(-1, item);
            NotifyViewChanged();
            return;
        }
        int parentRow = RowOfItem(parent);
        if (parentRow < 0 && FExpandForNewItems) {
            RevealItem(parent);
            parentRow = RowOfItem(parent);
        }
        if (parentRow < 0)
            return;
        if (RowExpanded(parentRow)) {
            AppendChildItem(parentRow, item);
            NotifyViewChanged();
        } else if (FExpandForNewItems) {
            if (!RowHasChildren(parentRow))
                SetRowFlags(parentRow, vrHasChildList | vrHasChildren, vrHasChildList | vrHasChildren);
            FlipExpanded(parentRow);
        }
    });
}

void TExCustomDataConsumerViewList::WriteProperties(TWriter& writer) const
{
    if (FLevelIndent != 16) {
        writer.WritePropName("LevelIndent");
        writer.WriteInteger(FLevelIndent);
    }
}

bool TExCustomDataConsumerViewList::ReadProperty(const std::string& name, TReader& reader)
{
    if (name != "LevelIndent")
        return false;
    SetLevelIndent(reader.ReadInteger());
    return true;
}

// ---- the rows

const TExDataConsumerViewList::TViewRow& TExDataConsumerViewList::Row(int row) const
{
    if (row < 0 || row >= static_cast<int>(FRows.size()))
        throw EListError(Format("List index out of bounds (%d)", {row}));
    return FRows[static_cast<size_t>(row)];
}

TExDataConsumerViewList::TViewRow TExDataConsumerViewList::MakeRow(IExDataItem* item, int level)
{
    TViewRow row{item->ItemID(), static_cast<std::uint32_t>(level) & vrLevelMask};
    if (IExDataItems* children = ChildItemsOf(item)) {
        row.Flags |= vrHasChildList;
        if (children->ItemCount() > 0)
            row.Flags |= vrHasChildren;
    }
    return row;
}

int TExDataConsumerViewList::SubtreeEnd(int row) const
{
    const std::uint32_t level = Row(row).Flags & vrLevelMask;
    int end = row + 1;
    while (end < static_cast<int>(FRows.size()) && (FRows[static_cast<size_t>(end)].Flags & vrLevelMask) > level)
        ++end;
    return end;
}

void TExDataConsumerViewList::Expand(int row)
{
    int next = row + 1;
    AddItemList(next, ChildItemsOf(RowItem(row)), 0);
}

void TExDataConsumerViewList::AddItemList(int& row, IExDataItems* items, int expandLevels)
{
    if (!items)
        return;
    const int level = row > 0 ? RowLevel(row - 1) + 1 : 0;
    if (row > 0)
        Row(row - 1).Flags |= vrExpanded;
    for (int i = 0; i < items->ItemCount(); ++i) {
        IExDataItem* item = items->ItemAt(i);
        if (ItemVisibleState(item) == 0)
            continue;
        FRows.insert(FRows.begin() + row, MakeRow(item, level));
        ++row;
        IExDataItems* children = ChildItemsOf(item);
        if (expandLevels != 0 && HasItems(children))
            AddItemList(row, children, expandLevels - 1);
    }
}

void TExDataConsumerViewList::PlaceItem(int row, int parentRow, IExDataItem* item)
{
    const int level = parentRow >= 0 ? RowLevel(parentRow) + 1 : 0;
    FRows.insert(FRows.begin() + row, MakeRow(item, level));
    if (parentRow >= 0)
        Row(parentRow).Flags |= vrExpanded | vrHasChildList | vrHasChildren;
}

void TExDataConsumerViewList::AddItemUnder(int parentRow, IExDataItem* item, int expandLevels)
{
    if (ItemVisibleState(item) == 0)
        return;
    if (parentRow >= 0 && RowHasChildren(parentRow) && !RowExpanded(parentRow)) {
        // Expanding brings the new item in with its siblings.
        Expand(parentRow);
        return;
    }
    const int row = parentRow >= 0 ? SubtreeEnd(parentRow) : RowCount();
    PlaceItem(row, parentRow, item);
    IExDataItems* children = ChildItemsOf(item);
    if (expandLevels != 0 && HasItems(children)) {
        int next = row + 1;
        AddItemList(next, children, expandLevels - 1);
    }
}

void TExDataConsumerViewList::AppendChildItem(int parentRow, IExDataItem* item)
{
    if (ItemVisibleState(item) == 0)
        return;
    if (parentRow < 0) {
        PlaceItem(RowCount(), -1, item);
        return;
    }
    if (!RowExpanded(parentRow)) {
        if (!RowHasChildren(parentRow))
            SetRowFlags(parentRow, vrHasChildList | vrHasChildren, vrHasChildList | vrHasChildren);
        Expand(parentRow);
    }
    if (RowOfItem(item) < 0)
        PlaceItem(SubtreeEnd(parentRow), parentRow, item);
}

void TExDataConsumerViewList::RemoveRow(int row)
{
    const int level = RowLevel(row);
    FRows.erase(FRows.begin() + row, FRows.begin() + SubtreeEnd(row));
    const bool parentBefore = row > 0 && RowLevel(row - 1) == level - 1;
    if (parentBefore && (row >= RowCount() || RowLevel(row) < level))
        Row(row - 1).Flags &= ~(vrExpanded | vrHasChildren);
}

void TExDataConsumerViewList::RemoveChildRows(int row)
{
    TViewRow& parent = Row(row);
    if ((parent.Flags & (vrHasChildren | vrExpanded)) != (vrHasChildren | vrExpanded))
        return;
    parent.Flags &= ~vrExpanded;
    FRows.erase(FRows.begin() + row + 1, FRows.begin() + SubtreeEnd(row));
}

void TExDataConsumerViewList::SetRowFlags(int row, std::uint32_t value, std::uint32_t mask)
{
    TViewRow& r = Row(row);
    r.Flags = (r.Flags & ~mask) | (value & mask);
}

void TExDataConsumerViewList::FlipExpanded(int row)
{
    if (!RowHasChildren(row))
        return;
    if (RowExpanded(row))
        RemoveChildRows(row);
    else
        Expand(row);
    NotifyViewChanged();
}

int TExDataConsumerViewList::RowOfID(const std::string& id)
{
    for (int row = RowCount() - 1; row >= 0; --row)
        if (SameTextIgnoringCase(FRows[static_cast<size_t>(row)].ID, id))
            return row;
    return -1;
}

int TExDataConsumerViewList::ChildPositionOfID(const std::string& id)
{
    const int row = RowOfID(id);
    if (row <= 0)
        return row;
    const int level = RowLevel(row);
    int position = 0;
    for (int above = row - 1; above >= 0 && RowLevel(above) >= level; --above)
        if (RowLevel(above) == level)
            ++position;
    return position;
}

int TExDataConsumerViewList::RowLevel(int row)
{
    return static_cast<int>(Row(row).Flags & vrLevelMask);
}

bool TExDataConsumerViewList::RowExpanded(int row)
{
    return (Row(row).Flags & vrExpanded) != 0;
}

bool TExDataConsumerViewList::RowHasChildren(int row)
{
    return (Row(row).Flags & vrHasChildren) != 0;
}

int TExDataConsumerViewList::RowParent(int row)
{
    const int level = RowLevel(row);
    for (int above = row - 1; above >= 0; --above)
        if (RowLevel(above) <= level - 1)
            return above;
    return -1;
}

int TExDataConsumerViewList::NextSibling(int row)
{
    const int end = SubtreeEnd(row);
    return end < RowCount() && RowLevel(end) == RowLevel(row) ? end : -1;
}

int TExDataConsumerViewList::ChildRowAt(int parentRow, int n)
{
    int row = parentRow + 1;
    // why: past the last row, or below a parent without child rows, there is no child to take.
    if (row >= RowCount() || (parentRow >= 0 && RowLevel(row) != RowLevel(parentRow) + 1))
        return -1;
    for (int i = 0; i < n && row >= 0; ++i)
        row = NextSibling(row);
    return row;
}

// ---- strings

int TExConsumerStrings::Count() const
{
    int count = 0;
    if (FConsumer.Provider())
        FConsumer.WithAccess([&] {
            if (TExCustomDataConsumerViewList* viewList = FConsumer.ViewList())
                count = viewList->RowCount();
        });
    return count;
}

std::string TExConsumerStrings::Get(int index) const
{
    if (index < 0)
        Error("List index out of bounds (%d)", index);
    std::string text;
    if (FConsumer.Provider())
        FConsumer.WithAccess([&] {
            TExCustomDataConsumerViewList* viewList = FConsumer.ViewList();
            if (!viewList)
                return;
            if (index >= viewList->RowCount())
                Error("List index out of bounds (%d)", index);
            if (auto* caption = Supports<IExDataItemText>(viewList->RowItem(index)))
                text = caption->Caption();
        });
    return text;
}
