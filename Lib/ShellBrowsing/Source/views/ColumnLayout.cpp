#include "ShellBrowsing/Source/views/ColumnLayout.h"

#include "TreeView/Source/header/LTColumn.h"

#include <algorithm>
#include <numeric>

TColumnLayout TakeColumnLayout(const TLazyTreeColumns& columns)
{
    TColumnLayout layout;
    for (int i = 0; i < columns.Count(); ++i)
        layout.push_back({columns[i]->Position(), columns[i]->Width(), columns[i]->Options().Contains(coVisible)});
    return layout;
}

bool ApplyColumnLayout(TLazyTreeColumns& columns, const TColumnLayout& layout)
{
    if (static_cast<int>(layout.size()) != columns.Count())
        return false;
    // Positions from the left, so each column lands where the layout puts it.
    std::vector<int> order(layout.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&layout](int a, int b) { return layout[a].Position < layout[b].Position; });
    columns.BeginUpdate();
    for (int i : order) {
        TLazyTreeColumn* column = columns[i];
        column->SetPosition(layout[i].Position);
        column->SetWidth(layout[i].Width);
        column->SetOptions(layout[i].Visible ? column->Options() + coVisible : column->Options() - coVisible);
    }
    columns.EndUpdate();
    return true;
}
