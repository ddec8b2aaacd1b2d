#include "TreeView/input/InputTestSupport.h"

#include <QApplication>
#include <QTest>

TInputTree::TInputTree(std::uint32_t roots, std::uint32_t children) : Children(children)
{
    resize(300, 200);
    OnInitNode = [this](TBaseLazyTree*, PLazyNode, PLazyNode node, TShellNodeInitStates& states) {
        if (Children > 0 && DepthOfNode(node) == 0)
            states.Include(ivsHasChildren);
    };
    OnInitChildren = [this](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = Children; };
    OnGetText = [this](TCustomLazyStringTree*, PLazyNode node, TColumnIndex, TVSTTextType type, QString& text) {
        if (type == TVSTTextType::ttStatic)
            return;
        if (DepthOfNode(node) > 0)
            text = QString("c%1").arg(node->SiblingIndex);
        else if (node->SiblingIndex < Names.size())
            text = Names[node->SiblingIndex];
        else
            text = QString("Node %1").arg(node->SiblingIndex);
    };
    SetRootNodeCount(roots);
    show();
}

PLazyNode TInputTree::Root(std::uint32_t index) const
{
    return Child(HiddenRoot(), index);
}

PLazyNode TInputTree::Child(PLazyNode node, std::uint32_t index) const
{
    PLazyNode child = node->ChildHead;
    while (child && index-- > 0)
        child = child->NextLink;
    return child;
}

QPoint TInputTree::LabelPoint(PLazyNode node)
{
    const TRect r = NodeDisplayRect(node, NoColumn, true);
    return {r.Left + 3, (r.Top + r.Bottom) / 2};
}

QPoint TInputTree::RowRightPoint(PLazyNode node)
{
    const TRect r = NodeDisplayRect(node, NoColumn, true);
    return {r.Right + 30, (r.Top + r.Bottom) / 2};
}

QPoint TInputTree::ButtonPoint(PLazyNode node)
{
    const TRect r = NodeDisplayRect(node, NoColumn, false);
    const int level = DepthOfNode(node) + (HasOption(toShowRoot) ? 1 : 0);
    return {r.Left + (level - 1) * static_cast<int>(Indent()) + 8, (r.Top + r.Bottom) / 2};
}

QPoint TInputTree::CheckPoint(PLazyNode node)
{
    const TRect r = NodeDisplayRect(node, NoColumn, false);
    const int level = DepthOfNode(node) + (HasOption(toShowRoot) ? 1 : 0);
    return {r.Left + level * static_cast<int>(Indent()) + Margin() + 8, (r.Top + r.Bottom) / 2};
}

void TInputTree::Activate()
{
    QApplication::setActiveWindow(this);
    activateWindow();
    setFocus();
    QApplication::processEvents();
}

std::vector<PLazyNode> TInputTree::Selected() const
{
    return CollectSelectedNodes(false);
}
