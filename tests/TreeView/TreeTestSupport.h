#pragma once
// Helpers of the tree view tests: a tree whose nodes carry a 32-bit id in their data, access to
// the tree's protected operations, a check of the structural invariants recomputed from the
// links, and a linear walk that answers what the position cache must answer.

#include "TreeView/Source/core/LazyTree.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

class TTestTree : public TBaseLazyTree {
public:
    explicit TTestTree(int dataSize = 4);

    std::uint32_t Id(PLazyNode node) const { return *NodeData<std::uint32_t>(node); }
    void SetId(PLazyNode node, std::uint32_t id) { *NodeData<std::uint32_t>(node) = id; }
    // The root-level node at `index` and the child at `index` of `node` (no initialisation).
    PLazyNode Root(std::uint32_t index) const;
    PLazyNode Child(PLazyNode node, std::uint32_t index) const;

    // The tree's own operations, for the tests.
    using TBaseLazyTree::AbsoluteTopOf;
    using TBaseLazyTree::ApplyBandSelection;
    using TBaseLazyTree::EmitNodeBlock;
    using TBaseLazyTree::LinkNodeAt;
    using TBaseLazyTree::PrepareNode;
    using TBaseLazyTree::RenderTreeData;
    using TBaseLazyTree::ScheduleCacheValidation;

    // Content width reported for every cell (the base tree reports 0).
    int ContentWidth = 0;

protected:
    int NodeContentWidth(PLazyNode node, TColumnIndex column, TCanvas* canvas) override;
};

// Every count, height, link, index and flag that the tree keeps, recomputed from the links.
::testing::AssertionResult TreeInvariantsHold(const TBaseLazyTree& tree);

// The visible nodes in display order, found by a walk over the links.
std::vector<PLazyNode> VisibleRowsByWalk(const TBaseLazyTree& tree);
// The node whose row covers content position `y`, by a linear walk; nil below the last row.
PLazyNode NodeAtYByWalk(const TBaseLazyTree& tree, int y, int* rowTop = nullptr);

// Lets posted messages arrive until `done` holds or `ms` milliseconds passed.
bool WaitFor(const std::function<bool()>& done, int ms = 10000);
// Waits until the cache worker has rebuilt the tree's position cache.
bool WaitForCache(TBaseLazyTree& tree);

// The ids of the tree's nodes in pre-order, with '(' and ')' around children: "1(2 3) 4".
std::string Shape(const TTestTree& tree);
