#pragma once
// TCustomLazyDrawTree: a tree without text whose cells, content widths and hints the application
// paints and measures itself through four callbacks.

#include "TreeView/Source/core/LazyTree.h"

class TCustomLazyDrawTree;
using TLTDrawNodeEvent = std::function<void(TCustomLazyDrawTree* Sender, const TTreeCellPaintRecord& PaintInfo)>;
using TLTGetNodeWidthEvent =
    std::function<void(TCustomLazyDrawTree* Sender, TCanvas& HintCanvas, PLazyNode Node, TColumnIndex Column, int& NodeWidth)>;
using TLTGetHintSizeEvent =
    std::function<void(TCustomLazyDrawTree* Sender, PLazyNode Node, TColumnIndex Column, TRect& R)>;
using TLTDrawHintEvent =
    std::function<void(TCustomLazyDrawTree* Sender, TCanvas& HintCanvas, PLazyNode Node, TRect R, TColumnIndex Column)>;

class TCustomLazyDrawTree : public TBaseLazyTree {
public:
    using TBaseLazyTree::TBaseLazyTree;

    TLTDrawNodeEvent OnDrawNode;
    TLTGetNodeWidthEvent OnGetNodeWidth;
    TLTGetHintSizeEvent OnGetHintSize;
    TLTDrawHintEvent OnDrawHint;

    // The hint of a cell: its size and its painting, both left to the application.
    virtual void FireGetHintSize(PLazyNode node, TColumnIndex column, TRect& r);
    virtual void FireDrawHint(TCanvas& canvas, PLazyNode node, const TRect& r, TColumnIndex column);
    int NodeContentWidth(PLazyNode node, TColumnIndex column, TCanvas* canvas) override;

protected:
    void DrawNodeContent(TTreeCellPaintRecord& record) override;
};
