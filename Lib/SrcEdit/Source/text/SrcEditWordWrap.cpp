// The word-wrap plug-in: the row map of an editor's lines.

#include "SrcEdit/Source/text/SrcEditWordWrap.h"

#include "SrcEdit/Source/text/SrcEditStringList.h"

#include "Platform/text/Format.h"
#include "Platform/text/TextChars.h"

#include <algorithm>

namespace {

// A display column that continues the wide character started in the column before it.
constexpr std::uint16_t ContinuationCell = 0x100;
constexpr int MaxRow = 255;

bool IsBlank(std::uint16_t cell)
{
    return cell == ' ' || cell == '\t';
}

// One cell per display column: the first byte of the character that starts there, or
// ContinuationCell.
void BuildCells(std::string_view text, std::vector<std::uint16_t>& cells)
{
    cells.clear();
    cells.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const int len = TextChars::CharLength(text, i);
        cells.push_back(static_cast<unsigned char>(text[i]));
        if (len > 1 && TextChars::CharColumns(text, i) == 2)
            cells.push_back(ContinuationCell);
        i += static_cast<size_t>(len);
    }
}

void Check(bool condition)
{
    if (!condition)
        throw EAssertionFailed("Assertion failed");
}

size_t RoundUpAbove(size_t need, size_t step)
{
    return (need / step + 1) * step;
}

} // namespace

TSrcWordWrapPlugin::TSrcWordWrapPlugin(const ISrcWordWrapOwner* owner) : FOwner(owner)
{
    if (!owner)
        throw Exception("TSrcWordWrapPlugin must be owned by TCustomSrcEdit");
    Rewrap();
}

int TSrcWordWrapPlugin::RowsBefore(int lineIndex) const
{
    return lineIndex == 0 ? 0 : FLineOffsets[static_cast<size_t>(lineIndex) - 1];
}

int TSrcWordWrapPlugin::RowCount() const
{
    return FLineOffsets.empty() ? 0 : FLineOffsets.back();
}

int TSrcWordWrapPlugin::RowLength(int row) const
{
    if (row < 1 || row > RowCount())
        throw EListError(Format("List index out of bounds (%d)", {row}));
    return FRowLengths[static_cast<size_t>(row) - 1];
}

TDisplayPoint TSrcWordWrapPlugin::LineToRowPos(int column, int line) const
{
    if (line > LineCount())
        return {column, RowCount() + line - LineCount()};
    Check(line >= 1);
    const int first = RowsBefore(line - 1);
    const int end = FLineOffsets[static_cast<size_t>(line) - 1];
    int before = 0; // columns of the line's rows before the current one
    for (int row = first; row < end; ++row) {
        const int length = FRowLengths[static_cast<size_t>(row)];
        if (before + length >= column || row == end - 1)
            return {column - before, row + 1};
        before += length;
    }
    return {column, first + 1}; // not reached: every line has at least one row
}

TLineColumn TSrcWordWrapPlugin::RowToLinePos(int column, int row) const
{
    if (row > RowCount())
        return {column, row + LineCount() - RowCount()};
    Check(row >= 1);
    const auto line = std::lower_bound(FLineOffsets.begin(), FLineOffsets.end(), row);
    const int lineIndex = static_cast<int>(line - FLineOffsets.begin());
    const int first = RowsBefore(lineIndex);
    const int limit = row == *line ? FMaxRowLength + 1 : FRowLengths[static_cast<size_t>(row) - 1] + 1;
    column = std::min(column, limit);
    for (int r = first; r < row - 1; ++r)
        column += FRowLengths[static_cast<size_t>(r)];
    return {column, lineIndex + 1};
}

void TSrcWordWrapPlugin::CutRows(const std::vector<std::uint16_t>& cells, std::vector<std::uint8_t>& rows) const
{
    const int length = static_cast<int>(cells.size());
    const int tabWidth = std::max(FOwner->TabWidth(), 1);
    auto cell = [&](int column) { return cells[static_cast<size_t>(column)]; };
    int start = 0;
    int next = start + FMaxRowLength;
    while (next < length) {
        int end = next;
        if (IsBlank(cell(next))) {
            // The blanks stay at the end of this row, which may grow past the width.
            while (end < length && IsBlank(cell(end)))
                ++end;
        } else {
            for (int k = next - 1; k > start + FMinRowLength; --k) {
                const std::uint16_t c = cell(k);
                if (c != ContinuationCell && FBreakChars.test(c)) {
                    end = k + 1;
                    break;
                }
            }
        }
        if (end - start > MaxRow) {
            end = start + MaxRow;
            const int floor = start + MaxRow - MaxRow % tabWidth;
            int back = end;
            while (back > floor && cell(back) == '\t')
                --back;
            // why: a tab width above 255 puts the floor at the row start; an empty row would
            // never advance the cut.
            if (back > start)
                end = back;
        }
        if (end < length && cell(end) == ContinuationCell) {
            // Keep the wide character whole; a row too narrow for it takes it anyway.
            end = end - 1 > start ? end - 1 : end + 1;
        }
        rows.push_back(static_cast<std::uint8_t>(end - start));
        start = end;
        next = start + FMaxRowLength;
    }
    if (start < length || length == 0)
        rows.push_back(static_cast<std::uint8_t>(length - start));
}

int TSrcWordWrapPlugin::WrapLine(int lineIndex)
{
    std::vector<std::uint16_t> cells;
    BuildCells(FOwner->LineStore().ExpandedLine(lineIndex), cells);
    std::vector<std::uint8_t> rows;
    CutRows(cells, rows);

    const int first = RowsBefore(lineIndex);
    const int oldCount = FLineOffsets[static_cast<size_t>(lineIndex)] - first;
    const int newCount = static_cast<int>(rows.size());
    const int delta = newCount - oldCount;
    if (delta > 0) {
        ReserveRows(FRowLengths.size() + static_cast<size_t>(delta));
        FRowLengths.insert(FRowLengths.begin() + first + oldCount, static_cast<size_t>(delta), 0);
    } else if (delta < 0) {
        FRowLengths.erase(FRowLengths.begin() + first + newCount, FRowLengths.begin() + first + oldCount);
    }
    std::copy(rows.begin(), rows.end(), FRowLengths.begin() + first);
    if (delta != 0)
        for (size_t i = static_cast<size_t>(lineIndex); i < FLineOffsets.size(); ++i)
            FLineOffsets[i] += delta;
    return delta;
}

int TSrcWordWrapPlugin::LinesAdded(int index, int count)
{
    if (FMaxRowLength == 0)
        return 0;
    Check(index >= 0 && index <= LineCount() && count > 0);
    ReserveLines(FLineOffsets.size() + static_cast<size_t>(count));
    FLineOffsets.insert(FLineOffsets.begin() + index, static_cast<size_t>(count), RowsBefore(index));
    int added = 0;
    for (int i = index; i < index + count; ++i)
        added += WrapLine(i);
    return added;
}

int TSrcWordWrapPlugin::LinesRemoved(int index, int count)
{
    if (FMaxRowLength == 0)
        return 0;
    Check(index >= 0 && count > 0 && index + count <= LineCount());
    const int firstRow = RowsBefore(index);
    const int endRow = FLineOffsets[static_cast<size_t>(index + count) - 1];
    const int removed = endRow - firstRow;
    FRowLengths.erase(FRowLengths.begin() + firstRow, FRowLengths.begin() + endRow);
    FLineOffsets.erase(FLineOffsets.begin() + index, FLineOffsets.begin() + index + count);
    for (size_t i = static_cast<size_t>(index); i < FLineOffsets.size(); ++i)
        FLineOffsets[i] -= removed;
    return removed;
}

int TSrcWordWrapPlugin::LinesReplaced(int index, int count)
{
    if (FMaxRowLength == 0)
        return 0;
    Check(index >= 0 && count > 0 && index + count <= LineCount());
    int change = 0;
    for (int i = index; i < index + count; ++i)
        change += WrapLine(i);
    return change;
}

void TSrcWordWrapPlugin::WidthChanged()
{
    if (std::clamp(FOwner->CharsInWindow(), 0, MaxRow) != FMaxRowLength)
        Rewrap();
}

void TSrcWordWrapPlugin::Rewrap()
{
    FMaxRowLength = static_cast<std::uint8_t>(std::clamp(FOwner->CharsInWindow(), 0, MaxRow));
    FMinRowLength = static_cast<std::uint8_t>(std::max(FMaxRowLength - FMaxRowLength / 3, 1));
    FBreakChars = ~FOwner->GetIdentifierChars();
    const TSrcEditStringList& lines = FOwner->LineStore();
    if (lines.Count() == 0 || FMaxRowLength == 0) {
        EmptyTables();
        return;
    }
    FLineOffsets.clear();
    FRowLengths.clear();
    ReserveLines(static_cast<size_t>(lines.Count()));
    ReserveRows(static_cast<size_t>(lines.Count()));
    std::vector<std::uint16_t> cells;
    std::vector<std::uint8_t> rows;
    for (int i = 0; i < lines.Count(); ++i) {
        BuildCells(lines.ExpandedLine(i), cells);
        rows.clear();
        CutRows(cells, rows);
        ReserveRows(FRowLengths.size() + rows.size());
        FRowLengths.insert(FRowLengths.end(), rows.begin(), rows.end());
        FLineOffsets.push_back(static_cast<std::int32_t>(FRowLengths.size()));
    }
}

void TSrcWordWrapPlugin::ReserveLines(size_t count)
{
    if (count > FLineOffsets.capacity())
        FLineOffsets.reserve(RoundUpAbove(count, 256));
}

void TSrcWordWrapPlugin::ReserveRows(size_t count)
{
    if (count > FRowLengths.capacity())
        FRowLengths.reserve(RoundUpAbove(count, 512));
}

void TSrcWordWrapPlugin::EmptyTables()
{
    FLineOffsets.clear();
    FLineOffsets.shrink_to_fit();
    FRowLengths.clear();
    FRowLengths.shrink_to_fit();
}
