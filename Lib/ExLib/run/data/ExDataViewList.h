#pragma once
// The view list: a consumer's flattened view of the provider's item tree, one row per shown item
// in display order (a row's children follow it directly, one level deeper), with rows expanded
// and collapsed on demand; and TExConsumerStrings, the row captions as a read-only string list.

#include "ExLib/run/data/ExDataConsumer.h"

#include "Platform/text/Strings.h"

#include <cstdint>

// The flags word of a row.
enum : std::uint32_t {
    vrLevelMask = 0x00FFFFFF,
    vrExpanded = 1u << 29,
    vrHasChildList = 1u << 30,
    vrHasChildren = 1u << 31,
};

class TExCustomDataConsumerViewList : public TExDataConsumerAggregatedObject, public virtual IExDataViewList {
public:
    using TExDataConsumerAggregatedObject::TExDataConsumerAggregatedObject;

    // Builds the view when the consumer has a provider.
    void AfterConstruction() override;

    int InitialExpandDepth() override { return FInitialExpandDepth; }
    void SetInitialExpandDepth(int value) override { FInitialExpandDepth = value; }
    bool ExpandForNewItems() override { return FExpandForNewItems; }
    void SetExpandForNewItems(bool value) override { FExpandForNewItems = value; }
    int LevelIndent() override { return FLevelIndent; }
    // A new value is reported with reason 4.
    void SetLevelIndent(int value) override;

    void BuildView() override;
    // Expands the rows above a shown-to-be item; EExLibDataConsumer "ViewList out of sync" when
    // its parent's row is expanded and yet the item has no row.
    void RevealItem(IExDataItem* item) override;
    int RowOfItem(IExDataItem* item) override;
    int ChildPositionOfItem(IExDataItem* item) override;
    IExDataItem* RowItem(int row) override;
    IExDataItem* RowParentItem(int row) override;
    IExDataItem* NextSiblingItem(int row) override;
    IExDataItem* ChildItemOf(IExDataItem* parent, int n) override;
    IExDataItem* ChildItemAt(int parentRow, int n) override;
    int ChildRowOf(IExDataItem* parent, int n) override;
    std::vector<std::int32_t> RowLineInfo(int row) override;

    // The ID of the row's item.
    virtual std::string RowID(int row) = 0;
    virtual void EmptyView();
    virtual void AddItemUnder(int parentRow, IExDataItem* item, int expandLevels) = 0;
    virtual void AddItemList(int& row, IExDataItems* items, int expandLevels) = 0;
    virtual void AppendChildItem(int parentRow, IExDataItem* item) = 0;
    virtual void PlaceItem(int row, int parentRow, IExDataItem* item) = 0;
    virtual void RemoveRow(int row) = 0;
    virtual void RemoveChildRows(int row) = 0;
    virtual void SetRowFlags(int row, std::uint32_t value, std::uint32_t mask) = 0;

    bool KeepOnProviderSwitch() override { return true; }
    void ProviderSwitching() override { EmptyView(); }
    void ProviderSwitched() override { BuildView(); }
    void ContextSwitched() override { BuildView(); }
    void ViewChangedBy(TExDataConsumerAggregatedObject* extension) override;
    void DataChanging(IExDataProvider* provider, int reason, IExInterface* source) override;
    void DataChanged(IExDataProvider* provider, int reason, IExInterface* source) override;

    void WriteProperties(TWriter& writer) const override;
    bool ReadProperty(const std::string& name, TReader& reader) override;

private:
    int FInitialExpandDepth = 0;
    bool FExpandForNewItems = false;
    int FLevelIndent = 16;
};

class TExDataConsumerViewList : public TExCustomDataConsumerViewList {
public:
    using TExCustomDataConsumerViewList::TExCustomDataConsumerViewList;

    void AddItemUnder(int parentRow, IExDataItem* item, int expandLevels) override;
    void AddItemList(int& row, IExDataItems* items, int expandLevels) override;
    void AppendChildItem(int parentRow, IExDataItem* item) override;
    void PlaceItem(int row, int parentRow, IExDataItem* item) override;
    void RemoveRow(int row) override;
    void RemoveChildRows(int row) override;
    void SetRowFlags(int row, std::uint32_t value, std::uint32_t mask) override;

    void FlipExpanded(int row) override;
    int RowOfID(const std::string& id) override;
    int ChildPositionOfID(const std::string& id) override;
    int RowLevel(int row) override;
    bool RowExpanded(int row) override;
    bool RowHasChildren(int row) override;
    int RowParent(int row) override;
    int NextSibling(int row) override;
    // -1 when the chain of children ends, also when the parent row has no child rows at all.
    int ChildRowAt(int parentRow, int n) override;
    int RowCount() override { return static_cast<int>(FRows.size()); }
    std::string RowID(int row) override { return Row(row).ID; }
    std::uint32_t RowFlags(int row) const { return Row(row).Flags; }

private:
    struct TViewRow {
        std::string ID;
        std::uint32_t Flags = 0;
    };
    const TViewRow& Row(int row) const;
    TViewRow& Row(int row) { return const_cast<TViewRow&>(static_cast<const TExDataConsumerViewList&>(*this).Row(row)); }
    // The row of `item` at `level`, with the flags of its child list.
    static TViewRow MakeRow(IExDataItem* item, int level);
    // The row after the last row of `row`'s subtree.
    int SubtreeEnd(int row) const;
    // Adds the child rows of a collapsed row.
    void Expand(int row);

    std::vector<TViewRow> FRows;
};

// The captions of a consumer's view-list rows, read-only: writes do nothing.
class TExConsumerStrings : public TStrings {
public:
    explicit TExConsumerStrings(TExDataConsumer& consumer) : FConsumer(consumer) {}

    int Count() const override;
    // EListError "List index out of bounds (%d)" outside the rows.
    std::string Get(int index) const override;
    void Put(int, const std::string&) override {}
    void Clear() override {}
    void Delete(int) override {}
    void Insert(int, const std::string&) override {}

private:
    TExDataConsumer& FConsumer;
};
