// Sorting by name through keys: each child's key is made once, instead of comparing the names
// again (number by number, letter by letter) for every pair the sort looks at.

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"
#include "ShellBrowsing/Source/threads/BackgroundEnumThread.h"

#include "TreeView/Source/header/LTHeader.h"

bool TCustomShellExplorerTree::SortsByName() const
{
    return ColumnSortsByName(Header().SortColumn());
}

void TCustomShellExplorerTree::SortChildren(PLazyNode node, TColumnIndex column, TSortDirection direction,
                                            bool doInit)
{
    PLazyNode parent = node ? node : HiddenRoot();
    std::vector<TEnumEntry> keys;
    bool keyed = !FSortKeys && parent->NumChildren > 1 && ColumnSortsByName(column) && !Has(toUserSort);
    if (keyed) {
        keys.reserve(parent->NumChildren);
        std::uint32_t index = 0;
        for (PLazyNode child = parent->ChildHead; child && keyed; child = child->NextLink, ++index) {
            TEnumEntry entry;
            entry.Item = NodeNamespace(child);
            // why: the compare finds a node's key by its place before the sort.
            keyed = entry.Item && child->SiblingIndex == index && KeyEnumEntry(entry);
            keys.push_back(std::move(entry));
        }
    }
    if (!keyed) {
        TCustomLazyStringTree::SortChildren(node, column, direction, doInit);
        return;
    }
    FSortKeys = &keys;
    try {
        TCustomLazyStringTree::SortChildren(node, column, direction, doInit);
    } catch (...) {
        FSortKeys = nullptr;
        throw;
    }
    FSortKeys = nullptr;
}

int TCustomShellExplorerTree::CompareSortKeys(PLazyNode node1, PLazyNode node2) const
{
    const TEnumEntry& a = (*FSortKeys)[node1->SiblingIndex];
    const TEnumEntry& b = (*FSortKeys)[node2->SiblingIndex];
    if (EnumEntryLess(a, b))
        return -1;
    return EnumEntryLess(b, a) ? 1 : 0;
}
