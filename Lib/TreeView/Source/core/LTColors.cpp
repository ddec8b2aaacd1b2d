#include "TreeView/Source/core/LTColors.h"

#include "TreeView/Source/core/LazyTree.h"

TLTColors::TLTColors(TBaseLazyTree* owner)
    : FOwner(owner),
      FColors{clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace, clBtnShadow, clBtnFace, clBtnFace,
              clWindowText, clHighlight, clBtnFace, clHighlight, clHighlight, clHighlight, clBtnShadow}
{
}

void TLTColors::SetColor(TIndex index, TColor value)
{
    if (FColors[index] == value)
        return;
    FColors[index] = value;
    if (!FOwner || FOwner->Loading() || !FOwner->WindowExists())
        return;
    if (index == BorderColorIndex)
        FOwner->update();
    else
        FOwner->InvalidateClient();
}

void TLTColors::Assign(const TPersistent& source)
{
    const auto* colors = dynamic_cast<const TLTColors*>(&source);
    if (!colors) {
        TPersistent::Assign(source);
        return;
    }
    FColors = colors->FColors;
    if (FOwner && FOwner->UpdateDepth() == 0)
        FOwner->InvalidateClient();
}
