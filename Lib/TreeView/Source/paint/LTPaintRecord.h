#pragma once
// What the tree painter hands to its primitives: the paint flags of a pass, the record of the
// cell being painted and the line image of a row.

#include "TreeView/Source/core/LTTypes.h"

#include "Platform/core/Set.h"
#include "Platform/core/Types.h"

#include <vector>

class TCanvas;
class TCustomImageList;
class QPainter;

enum TTreePaintFlag {
    tpBackground, tpColumnColors, tpFocusRect, tpSelection, tpDropMark, tpGridLines, tpMainColumnOnly, tpSelectedOnly,
};
using TTreePaintFlags = TSet<TTreePaintFlag>;
// What the control's own paint handler passes (bits 0 to 5).
constexpr TTreePaintFlags ControlPaintFlags{tpBackground, tpColumnColors, tpFocusRect,
                                            tpSelection,  tpDropMark,     tpGridLines};

// What the tree lines draw in one indentation step of a row.
enum TLTLineType : std::uint8_t {
    ltNone, ltBottomRight, ltTopDown, ltTopDownRight, ltRight, ltTopRight, ltLeft, ltLeftBottom,
};
using TLineImage = std::vector<TLTLineType>;

// The three image places of a cell.
enum TLTImageSlotKind { iiCheck, iiState, iiNormal };

struct TLTImageSlot {
    int Index = -1;
    TCustomImageList* Images = nullptr;
    bool Ghosted = false;
    TPoint Position;
};

// The cell being painted. Rectangles are in the row's coordinates: x as on the tree surface
// (content coordinates), y from the row's upper edge.
struct TTreeCellPaintRecord {
    TCanvas* Canvas = nullptr;
    PLazyNode Node = nullptr;
    TColumnIndex Column = NoColumn;
    TColumnPosition Position = 0;
    TRect CellRect;
    TRect ContentRect;
    int NodeWidth = 0;
    TTreePaintFlags PaintFlags;
    TBiDiMode BidiMode = TBiDiMode::bdLeftToRight;
    TAlignment Alignment = taLeftJustify;
    int ImageAnchor = 0;
    int ButtonAnchor = 0;
    TLTImageSlot ImageSlots[3];

    QPainter& Painter() const;
    bool RightToLeft() const { return BidiMode != TBiDiMode::bdLeftToRight; }
};
