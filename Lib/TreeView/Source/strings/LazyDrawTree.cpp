#include "TreeView/Source/strings/LazyDrawTree.h"

void TCustomLazyDrawTree::FireGetHintSize(PLazyNode node, TColumnIndex column, TRect& r)
{
    if (OnGetHintSize)
        OnGetHintSize(this, node, column, r);
}

void TCustomLazyDrawTree::FireDrawHint(TCanvas& canvas, PLazyNode node, const TRect& r, TColumnIndex column)
{
    if (OnDrawHint)
        OnDrawHint(this, canvas, node, r, column);
}

int TCustomLazyDrawTree::NodeContentWidth(PLazyNode node, TColumnIndex column, TCanvas* canvas)
{
    int width = 2 * TextMargin();
    if (OnGetNodeWidth)
        OnGetNodeWidth(this, canvas ? *canvas : Canvas(), node, column, width);
    return width;
}

void TCustomLazyDrawTree::DrawNodeContent(TTreeCellPaintRecord& record)
{
    if (OnDrawNode)
        OnDrawNode(this, record);
}
