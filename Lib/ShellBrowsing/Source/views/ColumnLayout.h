#pragma once
// A header's layout as plain values: where each column stands, how wide it is and whether it
// shows, by column index. Taken before the user edits the header and put back afterwards.

#include <vector>

class TLazyTreeColumns;

struct TColumnLayoutEntry {
    int Position;
    int Width;
    bool Visible;
    bool operator==(const TColumnLayoutEntry&) const = default;
};
using TColumnLayout = std::vector<TColumnLayoutEntry>;

TColumnLayout TakeColumnLayout(const TLazyTreeColumns& columns);
// Applies a layout of as many entries as there are columns (false, and nothing done, otherwise).
bool ApplyColumnLayout(TLazyTreeColumns& columns, const TColumnLayout& layout);
