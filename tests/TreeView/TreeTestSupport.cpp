#include "TreeView/TreeTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

TTestTree::TTestTree(int dataSize)
{
    SetNodeDataSize(dataSize);
    resize(300, 200);
    // why: a shown widget has its real client area (hidden ones keep a pending resize).
    show();
}

PLazyNode TTestTree::Root(std::uint32_t index) const
{
    return Child(HiddenRoot(), index);
}

PLazyNode TTestTree::Child(PLazyNode node, std::uint32_t index) const
{
    PLazyNode child = node->ChildHead;
    while (child && index-- > 0)
        child = child->NextLink;
    return child;
}

int TTestTree::NodeContentWidth(PLazyNode, TColumnIndex, TCanvas*)
{
    return ContentWidth;
}

namespace {
struct TTotals {
    std::uint64_t Count = 0;
    std::uint64_t Height = 0;
};
} // namespace

::testing::AssertionResult TreeInvariantsHold(const TBaseLazyTree& tree)
{
    const PLazyNode root = tree.HiddenRoot();
    std::uint32_t visible = 0;
    std::string failure;
    // Post-order by an explicit stack: (node, children done).
    std::vector<std::pair<PLazyNode, bool>> stack{{root, false}};
    while (!stack.empty() && failure.empty()) {
        auto [node, done] = stack.back();
        stack.pop_back();
        if (!done) {
            stack.push_back({node, true});
            for (PLazyNode child = node->ChildTail; child; child = child->PrevLink)
                stack.push_back({child, false});
            continue;
        }
        std::uint64_t count = 1;
        std::uint64_t height = node->RowHeight;
        std::uint32_t index = 0;
        bool anyShown = false;
        PLazyNode previous = nullptr;
        for (PLazyNode child = node->ChildHead; child; child = child->NextLink) {
            if (child->ParentLink != node)
                failure = "a child's parent link is wrong";
            if (child->PrevLink != previous)
                failure = "a previous link is wrong";
            if (child->SiblingIndex != index)
                failure = "sibling index " + std::to_string(child->SiblingIndex) + " where " +
                          std::to_string(index) + " belongs";
            count += child->SubtreeCount;
            if (child->Has(nsShown)) {
                anyShown = true;
                if (node->Has(nsOpen))
                    height += child->SubtreeHeight;
            }
            previous = child;
            ++index;
        }
        if (node->ChildTail != previous)
            failure = "the child tail is wrong";
        if (node->NumChildren != index)
            failure = "NumChildren " + std::to_string(node->NumChildren) + " for " + std::to_string(index) +
                      " children";
        if (index > 0 && !node->Has(nsMayHaveChildren))
            failure = "children without nsMayHaveChildren";
        if (node != root && index > 0 && node->Has(nsKidsAllHidden) == anyShown)
            failure = "nsKidsAllHidden is wrong";
        if (node->SubtreeCount != count)
            failure = "SubtreeCount " + std::to_string(node->SubtreeCount) + " where " + std::to_string(count) +
                      " belongs";
        if (node->SubtreeHeight != height)
            failure = "SubtreeHeight " + std::to_string(node->SubtreeHeight) + " where " +
                      std::to_string(height) + " belongs";
        if (node != root && tree.ReachableRow(node))
            ++visible;
    }
    if (failure.empty() && tree.VisibleRowCount() != visible)
        failure = "VisibleRowCount " + std::to_string(tree.VisibleRowCount()) + " where " + std::to_string(visible) +
                  " belongs";
    if (!failure.empty())
        return ::testing::AssertionFailure() << failure;
    return ::testing::AssertionSuccess();
}

std::vector<PLazyNode> VisibleRowsByWalk(const TBaseLazyTree& tree)
{
    std::vector<PLazyNode> rows;
    std::vector<PLazyNode> stack;
    for (PLazyNode child = tree.HiddenRoot()->ChildTail; child; child = child->PrevLink)
        stack.push_back(child);
    while (!stack.empty()) {
        PLazyNode node = stack.back();
        stack.pop_back();
        if (!node->Has(nsShown))
            continue;
        rows.push_back(node);
        if (node->Has(nsOpen))
            for (PLazyNode child = node->ChildTail; child; child = child->PrevLink)
                stack.push_back(child);
    }
    return rows;
}

PLazyNode NodeAtYByWalk(const TBaseLazyTree& tree, int y, int* rowTop)
{
    int top = 0;
    for (PLazyNode node : VisibleRowsByWalk(tree)) {
        if (y < top + node->RowHeight) {
            if (rowTop)
                *rowTop = top;
            return node;
        }
        top += node->RowHeight;
    }
    return nullptr;
}

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::yieldCurrentThread();
    }
    return true;
}

bool WaitForCache(TBaseLazyTree& tree)
{
    return WaitFor([&] { return tree.TreeStates().Contains(tsUseCache); });
}

std::string Shape(const TTestTree& tree)
{
    std::string out;
    std::function<void(PLazyNode)> walk = [&](PLazyNode parent) {
        bool first = true;
        for (PLazyNode child = parent->ChildHead; child; child = child->NextLink) {
            if (!first)
                out += ' ';
            first = false;
            out += std::to_string(tree.Id(child));
            if (child->ChildHead) {
                out += '(';
                walk(child);
                out += ')';
            }
        }
    };
    walk(tree.HiddenRoot());
    return out;
}
