#pragma once
// Word wrap: the buffer plug-in interface through which the editor maps lines to display rows,
// and the plug-in that cuts every line into rows no wider than the text area.

#include "SrcEdit/Source/text/SrcEditTypes.h"

#include <cstdint>
#include <vector>

class TSrcEditStringList;

// A column within a whole line (tab-expanded, 1-based) and a 1-based line.
struct TLineColumn {
    std::int32_t Column = 1;
    std::int32_t Line = 1;
    constexpr bool operator==(const TLineColumn&) const = default;
};

// Maps buffer lines to display rows. Line and row operations are 1-based; the line-change
// operations take the line store's 0-based index and a count, after the store has changed.
class ISrcEditBufferPlugin {
public:
    virtual ~ISrcEditBufferPlugin() = default;

    virtual TDisplayPoint LineToRowPos(int column, int line) const = 0;
    virtual TLineColumn RowToLinePos(int column, int row) const = 0;
    virtual int RowCount() const = 0;
    virtual int RowLength(int row) const = 0;
    // Each returns the change in the number of rows.
    virtual int LinesAdded(int index, int count) = 0;
    virtual int LinesRemoved(int index, int count) = 0;
    virtual int LinesReplaced(int index, int count) = 0;
    virtual void WidthChanged() = 0;
    virtual void Rewrap() = 0;
};

// What the word-wrap plug-in takes from the editor that owns it.
class ISrcWordWrapOwner {
public:
    virtual const TSrcEditStringList& LineStore() const = 0;
    // Whole character columns that fit in the text area.
    virtual int CharsInWindow() const = 0;
    virtual int TabWidth() const = 0;
    virtual TSrcCharSet GetIdentifierChars() const = 0;

protected:
    ~ISrcWordWrapOwner() = default;
};

class TSrcWordWrapPlugin : public ISrcEditBufferPlugin {
public:
    // Wraps every line at once. Raises Exception "TSrcWordWrapPlugin must be owned by
    // TCustomSrcEdit" without an owner.
    explicit TSrcWordWrapPlugin(const ISrcWordWrapOwner* owner);

    TDisplayPoint LineToRowPos(int column, int line) const override;
    TLineColumn RowToLinePos(int column, int row) const override;
    int RowCount() const override;
    // Raises EListError "List index out of bounds (%d)" for a row outside 1..RowCount.
    int RowLength(int row) const override;
    int LinesAdded(int index, int count) override;
    int LinesRemoved(int index, int count) override;
    int LinesReplaced(int index, int count) override;
    void WidthChanged() override;
    void Rewrap() override;

    int MaxRowLength() const { return FMaxRowLength; }
    int MinRowLength() const { return FMinRowLength; }
    int LineCount() const { return static_cast<int>(FLineOffsets.size()); }

private:
    int RowsBefore(int lineIndex) const;
    // Rewraps one line (0-based) in place; returns the change in its number of rows.
    int WrapLine(int lineIndex);
    // Cuts an expanded line into row lengths, appended to `rows`.
    void CutRows(const std::vector<std::uint16_t>& cells, std::vector<std::uint8_t>& rows) const;
    void ReserveLines(size_t count);
    void ReserveRows(size_t count);
    void EmptyTables();

    const ISrcWordWrapOwner* FOwner;
    std::uint8_t FMaxRowLength = 0;
    std::uint8_t FMinRowLength = 1;
    TSrcCharSet FBreakChars;
    // Per line: rows of that line and all lines before it.
    std::vector<std::int32_t> FLineOffsets;
    // Per row: its length in display columns.
    std::vector<std::uint8_t> FRowLengths;
};
