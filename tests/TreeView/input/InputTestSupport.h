#pragma once
// A string tree shown on the offscreen screen with focus, for scripted mouse and key input:
// nodes with texts "<name><index>" (children "c<index>") and the geometry of their rows.

#include "TreeView/Source/strings/LazyStringTree.h"

#include <QPoint>
#include <QString>
#include <vector>

class TInputTree : public TCustomLazyStringTree {
public:
    explicit TInputTree(std::uint32_t roots = 10, std::uint32_t children = 0);

    PLazyNode Root(std::uint32_t index) const;
    PLazyNode Child(PLazyNode node, std::uint32_t index) const;
    // A point on the label (text) of a visible node's row, in viewport coordinates.
    QPoint LabelPoint(PLazyNode node);
    // A point on the row right of the label (empty row space).
    QPoint RowRightPoint(PLazyNode node);
    QPoint ButtonPoint(PLazyNode node);
    QPoint CheckPoint(PLazyNode node);
    void Activate();
    std::vector<PLazyNode> Selected() const;
    // New texts for the root-level nodes; their measured widths are forgotten.
    void SetNames(std::vector<QString> names)
    {
        Names = std::move(names);
        ResetAllTextWidths();
    }

    using TBaseLazyTree::AutoScrollStep;
    using TBaseLazyTree::HitTestAt;

    std::vector<QString> Names;
    std::uint32_t Children;
};
