#pragma once
// TLTColors: the fifteen colours of a tree for selection, lines, drop marks and the header.

#include "TreeView/Source/core/LTTypes.h"

#include "Platform/core/Component.h"
#include "Platform/graphics/Colors.h"

#include <array>

class TLTColors : public TPersistent {
public:
    enum TIndex {
        DisabledColorIndex, DropMarkColorIndex, DropTargetColorIndex, FocusedSelectionColorIndex,
        GridLineColorIndex, TreeLineColorIndex, UnfocusedSelectionColorIndex, BorderColorIndex, HotColorIndex,
        FocusedSelectionBorderColorIndex, UnfocusedSelectionBorderColorIndex, DropTargetBorderColorIndex,
        SelectionRectangleBlendColorIndex, SelectionRectangleBorderColorIndex, HeaderHotColorIndex, ColorCount,
    };

    explicit TLTColors(TBaseLazyTree* owner);

    TColor Color(TIndex index) const { return FColors[index]; }
    void SetColor(TIndex index, TColor value);

    TColor DisabledColor() const { return Color(DisabledColorIndex); }
    TColor DropMarkColor() const { return Color(DropMarkColorIndex); }
    TColor DropTargetColor() const { return Color(DropTargetColorIndex); }
    TColor FocusedSelectionColor() const { return Color(FocusedSelectionColorIndex); }
    TColor GridLineColor() const { return Color(GridLineColorIndex); }
    TColor TreeLineColor() const { return Color(TreeLineColorIndex); }
    TColor UnfocusedSelectionColor() const { return Color(UnfocusedSelectionColorIndex); }
    TColor BorderColor() const { return Color(BorderColorIndex); }
    TColor HotColor() const { return Color(HotColorIndex); }
    TColor FocusedSelectionBorderColor() const { return Color(FocusedSelectionBorderColorIndex); }
    TColor UnfocusedSelectionBorderColor() const { return Color(UnfocusedSelectionBorderColorIndex); }
    TColor DropTargetBorderColor() const { return Color(DropTargetBorderColorIndex); }
    TColor SelectionRectangleBlendColor() const { return Color(SelectionRectangleBlendColorIndex); }
    TColor SelectionRectangleBorderColor() const { return Color(SelectionRectangleBorderColorIndex); }
    TColor HeaderHotColor() const { return Color(HeaderHotColorIndex); }

    void Assign(const TPersistent& source) override;

private:
    TBaseLazyTree* FOwner;
    std::array<TColor, ColorCount> FColors;
};
