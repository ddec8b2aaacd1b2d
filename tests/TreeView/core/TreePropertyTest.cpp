// A randomized property test: random inserts, deletions, moves, copies, expansions, collapses,
// hiding, sorting and row-height changes applied to a tree and to a simple reference model.
// After every step the tree must have the model's shape, its stored counts, heights and visible
// rows must match a recomputation, and its position lookups (with and without the position
// cache) must answer as a linear walk does.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/stream/LTTreeMimeData.h"

#include "Platform/files/Streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>

namespace {

struct TRef {
    std::uint32_t Id = 0;
    bool Open = false;
    bool Shown = true;
    int Height = 18;
    TRef* Parent = nullptr;
    std::vector<std::unique_ptr<TRef>> Kids;
};

class TModel {
public:
    TRef Root;

    // Nodes in pre-order, without the root.
    std::vector<TRef*> All()
    {
        std::vector<TRef*> out;
        std::vector<TRef*> stack;
        for (auto it = Root.Kids.rbegin(); it != Root.Kids.rend(); ++it)
            stack.push_back(it->get());
        while (!stack.empty()) {
            TRef* r = stack.back();
            stack.pop_back();
            out.push_back(r);
            for (auto it = r->Kids.rbegin(); it != r->Kids.rend(); ++it)
                stack.push_back(it->get());
        }
        return out;
    }

    static std::size_t IndexIn(TRef* r)
    {
        auto& kids = r->Parent->Kids;
        return static_cast<std::size_t>(
            std::find_if(kids.begin(), kids.end(), [&](const auto& k) { return k.get() == r; }) - kids.begin());
    }

    static std::unique_ptr<TRef> Detach(TRef* r)
    {
        TRef* parent = r->Parent;
        const auto index = static_cast<std::ptrdiff_t>(IndexIn(r));
        auto owned = std::move(parent->Kids[static_cast<std::size_t>(index)]);
        parent->Kids.erase(parent->Kids.begin() + index);
        return owned;
    }

    // The tree collapses a node that loses its last child.
    static void AfterRemoval(TRef* parent)
    {
        if (parent->Parent && parent->Kids.empty())
            parent->Open = false;
    }

    static void Attach(std::unique_ptr<TRef> r, TRef* target, TLTNodeAttachMode mode, TRef* root)
    {
        if (target == root) {
            if (mode == TLTNodeAttachMode::amInsertBefore)
                mode = TLTNodeAttachMode::amAddChildFirst;
            if (mode == TLTNodeAttachMode::amInsertAfter)
                mode = TLTNodeAttachMode::amAddChildLast;
        }
        TRef* parent = (mode == TLTNodeAttachMode::amAddChildFirst || mode == TLTNodeAttachMode::amAddChildLast)
                           ? target
                           : target->Parent;
        r->Parent = parent;
        auto& kids = parent->Kids;
        switch (mode) {
        case TLTNodeAttachMode::amInsertBefore:
            kids.insert(kids.begin() + static_cast<std::ptrdiff_t>(IndexIn(target)), std::move(r));
            break;
        case TLTNodeAttachMode::amInsertAfter:
            kids.insert(kids.begin() + static_cast<std::ptrdiff_t>(IndexIn(target)) + 1, std::move(r));
            break;
        case TLTNodeAttachMode::amAddChildFirst:
            kids.insert(kids.begin(), std::move(r));
            break;
        default:
            kids.push_back(std::move(r));
            break;
        }
    }

    static std::unique_ptr<TRef> Copy(const TRef& r)
    {
        auto copy = std::make_unique<TRef>();
        copy->Id = r.Id;
        copy->Open = r.Open;
        copy->Shown = r.Shown;
        copy->Height = r.Height;
        for (const auto& kid : r.Kids) {
            copy->Kids.push_back(Copy(*kid));
            copy->Kids.back()->Parent = copy.get();
        }
        return copy;
    }
};

std::string ModelShape(const TRef& parent)
{
    std::string out;
    bool first = true;
    for (const auto& kid : parent.Kids) {
        if (!first)
            out += ' ';
        first = false;
        out += std::to_string(kid->Id);
        if (!kid->Kids.empty())
            out += '(' + ModelShape(*kid) + ')';
    }
    return out;
}

std::string ModelStates(TModel& model)
{
    std::string out;
    for (TRef* r : model.All())
        out += std::to_string(r->Id) + (r->Open ? "o" : "") + (r->Shown ? "" : "h") + std::to_string(r->Height) + ' ';
    return out;
}

std::string TreeStates(const TTestTree& tree)
{
    std::string out;
    for (PLazyNode n = tree.FirstNodeRaw(); n; n = tree.NextNodeRaw(n))
        out += std::to_string(tree.Id(n)) + (n->Has(nsOpen) ? "o" : "") + (n->Has(nsShown) ? "" : "h") +
               std::to_string(n->RowHeight) + ' ';
    return out;
}

std::vector<PLazyNode> TreeAll(const TTestTree& tree)
{
    std::vector<PLazyNode> out;
    for (PLazyNode n = tree.FirstNodeRaw(); n; n = tree.NextNodeRaw(n))
        out.push_back(n);
    return out;
}

class TPropertyRun {
public:
    explicit TPropertyRun(unsigned seed) : FRandom(seed)
    {
        FTree.OnCompareNodes = [this](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
            result = static_cast<int>(FTree.Id(a) % 13) - static_cast<int>(FTree.Id(b) % 13);
        };
        FTree.OnSaveNode = [this](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            const std::uint32_t id = FTree.Id(node);
            stream.WriteBuffer(&id, 4);
        };
        FTree.OnLoadNode = [this](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            std::uint32_t id = 0;
            stream.ReadBuffer(&id, 4);
            FTree.SetId(node, id);
        };
    }

    void Seed(std::uint32_t rootCount)
    {
        FTree.SetRootNodeCount(rootCount);
        for (std::uint32_t i = 0; i < rootCount; ++i) {
            FTree.SetId(FTree.Root(i), FNextId);
            auto r = std::make_unique<TRef>();
            r->Id = FNextId++;
            r->Parent = &FModel.Root;
            FModel.Root.Kids.push_back(std::move(r));
        }
    }

    TTestTree FTree;
    TModel FModel;

    std::uint32_t Pick(std::size_t count) { return static_cast<std::uint32_t>(FRandom() % count); }

    TLTNodeAttachMode PickMode()
    {
        return static_cast<TLTNodeAttachMode>(1 + Pick(4));
    }

    // A new last child on both sides.
    void Append(PLazyNode node, TRef* ref)
    {
        FTree.SetId(FTree.AppendChildNode(node), FNextId);
        auto r = std::make_unique<TRef>();
        r->Id = FNextId++;
        r->Parent = ref;
        ref->Kids.push_back(std::move(r));
    }

    // One random step on both the tree and the model; answers what it did.
    std::string Step()
    {
        std::vector<PLazyNode> nodes = TreeAll(FTree);
        std::vector<TRef*> refs = FModel.All();
        const bool empty = nodes.empty();
        const std::uint32_t choice = Pick(11);
        const std::uint32_t k = empty ? 0 : Pick(nodes.size());
        PLazyNode node = empty ? nullptr : nodes[k];
        TRef* ref = empty ? nullptr : refs[k];
        if (empty || choice <= 1) {
            const bool atRoot = empty || Pick(5) == 0;
            const TLTNodeAttachMode mode = PickMode();
            PLazyNode added = FTree.PlaceNewNode(atRoot ? nullptr : node, mode);
            FTree.SetId(added, FNextId);
            auto r = std::make_unique<TRef>();
            r->Id = FNextId++;
            TModel::Attach(std::move(r), atRoot ? &FModel.Root : ref, mode, &FModel.Root);
            return "place";
        }
        switch (choice) {
        case 2: {
            Append(node, ref);
            return "append";
        }
        case 3: {
            TRef* parent = ref->Parent;
            FTree.RemoveNode(node);
            auto gone = TModel::Detach(ref);
            TModel::AfterRemoval(parent);
            return "remove";
        }
        case 4: {
            const std::uint32_t t = Pick(nodes.size());
            const TLTNodeAttachMode mode = PickMode();
            const bool intoOwnSubtree = t == k || nodes[t] == node || FTree.IsDescendantOf(nodes[t], node);
            try {
                FTree.RelocateNode(node, nodes[t], mode, false);
            } catch (const ELazyTreeError& e) {
                EXPECT_EQ(e.HelpContext(), 2001);
                EXPECT_TRUE(intoOwnSubtree);
                return "move refused";
            }
            if (t == k)
                return "move onto itself";
            TRef* oldParent = ref->Parent;
            auto moved = TModel::Detach(ref);
            TModel::AfterRemoval(oldParent);
            TModel::Attach(std::move(moved), refs[t], mode, &FModel.Root);
            return "move";
        }
        case 5: {
            // A copy of a subtree through the tree's clipboard data, inserted at another node.
            const std::uint32_t t = Pick(nodes.size());
            const TLTNodeAttachMode mode = PickMode();
            const std::string data = FTree.RenderTreeData({node});
            TLTTreeMimeData mime(nullptr, QByteArray(data.data(), static_cast<qsizetype>(data.size())));
            auto copy = TModel::Copy(*ref);
            FTree.InsertFromDataObject(nullptr, &mime, false, mode, nodes[t]);
            TModel::Attach(std::move(copy), refs[t], mode, &FModel.Root);
            return "copy";
        }
        case 6: {
            const bool hadChildren = node->ChildHead != nullptr;
            FTree.FlipExpanded(node);
            if (hadChildren)
                ref->Open = !ref->Open;
            return "flip";
        }
        case 7:
            FTree.SetNodeShown(node, !node->Has(nsShown));
            ref->Shown = !ref->Shown;
            return "shown";
        case 8: {
            const auto direction = Pick(2) ? TSortDirection::sdAscending : TSortDirection::sdDescending;
            FTree.SortChildren(node, 0, direction, false);
            std::stable_sort(ref->Kids.begin(), ref->Kids.end(), [&](const auto& a, const auto& b) {
                const int d = static_cast<int>(a->Id % 13) - static_cast<int>(b->Id % 13);
                return direction == TSortDirection::sdAscending ? d < 0 : d > 0;
            });
            return "sort";
        }
        case 9: {
            const int height = 5 + static_cast<int>(Pick(40));
            FTree.SetRowHeight(node, height);
            ref->Height = height;
            return "height";
        }
        default: {
            // A batch of changes: nothing repaints or rebuilds until the batch ends.
            FTree.StartBatchUpdate();
            Append(node, ref);
            FTree.SetNodeExpanded(node, true);
            ref->Open = true;
            FTree.FinishBatchUpdate();
            return "batch";
        }
        }
    }

    void CheckPositions()
    {
        const int extent = static_cast<int>(FTree.HiddenRoot()->SubtreeHeight - FTree.HiddenRoot()->RowHeight);
        for (int probe = 0; probe < 12; ++probe) {
            const int y = static_cast<int>(Pick(static_cast<std::size_t>(extent) + 40));
            int top = -1;
            int expectedTop = -1;
            PLazyNode expected = NodeAtYByWalk(FTree, y, &expectedTop);
            ASSERT_EQ(FTree.NodeAtY(y, false, &top), expected) << "y " << y;
            if (expected) {
                ASSERT_EQ(top, expectedTop);
                ASSERT_EQ(FTree.AbsoluteTopOf(expected), expectedTop);
            }
        }
    }

private:
    std::mt19937 FRandom;
    std::uint32_t FNextId = 1;
};

void RunProperty(unsigned seed, std::uint32_t rootCount, int steps, bool waitForCache)
{
    TPropertyRun run(seed);
    run.Seed(rootCount);
    for (int step = 0; step < steps; ++step) {
        const std::string what = run.Step();
        SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step) + " " + what);
        ASSERT_EQ(Shape(run.FTree), ModelShape(run.FModel.Root));
        ASSERT_EQ(TreeStates(run.FTree), ModelStates(run.FModel));
        ASSERT_TRUE(TreeInvariantsHold(run.FTree));
        if (waitForCache && run.FTree.VisibleRowCount() > CacheThreshold) {
            ASSERT_TRUE(WaitForCache(run.FTree));
        }
        ASSERT_NO_FATAL_FAILURE(run.CheckPositions());
    }
}

} // namespace

TEST(TreeProperty, SmallTreesFollowTheModel)
{
    for (unsigned seed = 1; seed <= 12; ++seed)
        ASSERT_NO_FATAL_FAILURE(RunProperty(seed, 6, 250, false));
}

TEST(TreeProperty, LargeTreesFollowTheModelAndTheirCacheAnswersAsAWalk)
{
    for (unsigned seed = 100; seed <= 102; ++seed)
        ASSERT_NO_FATAL_FAILURE(RunProperty(seed, 2600, 120, true));
}
