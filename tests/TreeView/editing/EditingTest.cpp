// The in-place editing protocol: who may edit, the edit link's answers, and the events around
// starting, committing and cancelling.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/header/LTHeader.h"

#include "TreeView/Source/core/LTErrors.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TFakeLink : ILTEditLink {
    bool Attach = true;
    bool Show = true;
    bool Conclude = true;
    bool Abandon = true;
    int Placed = 0;
    std::vector<std::string> Calls;

    bool ShowEditor() override
    {
        Calls.push_back("show");
        return Show;
    }
    bool AbandonEdit() override
    {
        Calls.push_back("abandon");
        return Abandon;
    }
    bool ConcludeEdit() override
    {
        Calls.push_back("conclude");
        return Conclude;
    }
    bool AttachToCell(TBaseLazyTree*, PLazyNode, TColumnIndex) override
    {
        Calls.push_back("attach");
        return Attach;
    }
    TRect EditorBounds() override { return {}; }
    void RelayMessage(TMessage&) override {}
    void PlaceEditor(const TRect&) override { ++Placed; }
};

class EditingFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toEditable);
        tree.SetRootNodeCount(3);
        link = std::make_shared<TFakeLink>();
        tree.OnCreateEditor = [this](TBaseLazyTree*, PLazyNode, TColumnIndex, PLTEditLink& out) { out = link; };
        tree.OnEdited = [this](TBaseLazyTree*, PLazyNode, TColumnIndex) { ++edited; };
        tree.OnEditCancelled = [this](TBaseLazyTree*, TColumnIndex) { ++cancelled; };
    }

    TTestTree tree;
    std::shared_ptr<TFakeLink> link;
    int edited = 0;
    int cancelled = 0;
};

} // namespace

TEST_F(EditingFixture, BeginCommitAndCancel)
{
    ASSERT_TRUE(tree.BeginNodeEdit(tree.Root(1), NoColumn));
    EXPECT_EQ(tree.FocusNode(), tree.Root(1));
    EXPECT_TRUE(tree.EditorActive());
    EXPECT_EQ(link->Calls, (std::vector<std::string>{"attach", "show"}));
    EXPECT_GE(link->Placed, 1);
    EXPECT_TRUE(tree.FinishNodeEdit());
    EXPECT_EQ(edited, 1);
    EXPECT_FALSE(tree.EditorActive());
    ASSERT_TRUE(tree.BeginNodeEdit(tree.Root(2), NoColumn));
    EXPECT_TRUE(tree.CancelNodeEdit());
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(tree.EditorActive());
}

TEST_F(EditingFixture, NoEditingWithoutTheOption)
{
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() - toEditable);
    EXPECT_FALSE(tree.BeginNodeEdit(tree.Root(0), NoColumn));
    EXPECT_TRUE(link->Calls.empty());
}

TEST_F(EditingFixture, OnEditingMayRefuseOneColumn)
{
    TLazyTreeColumns& columns = tree.Header().Columns();
    columns.AddColumn();
    columns.AddColumn();
    tree.OnEditing = [](TBaseLazyTree*, PLazyNode, TColumnIndex column, bool& allowed) { allowed = column != 1; };
    EXPECT_FALSE(tree.BeginNodeEdit(tree.Root(0), 1));
    EXPECT_TRUE(tree.BeginNodeEdit(tree.Root(0), 0));
    EXPECT_THROW(tree.BeginNodeEdit(tree.Root(0), 2), EAssertionFailed);
}

TEST_F(EditingFixture, AnEditorThatRefusesToEndBlocksTheFocusChange)
{
    ASSERT_TRUE(tree.BeginNodeEdit(tree.Root(0), NoColumn));
    link->Conclude = false;
    tree.AssignFocusedNode(tree.Root(2));
    EXPECT_EQ(tree.FocusNode(), tree.Root(0));
    EXPECT_TRUE(tree.EditorActive());
    link->Conclude = true;
    tree.AssignFocusedNode(tree.Root(2));
    EXPECT_EQ(tree.FocusNode(), tree.Root(2));
    EXPECT_FALSE(tree.EditorActive());
}

TEST_F(EditingFixture, ALinkThatRefusesToAttachOrShowEndsTheEdit)
{
    link->Attach = false;
    EXPECT_FALSE(tree.BeginNodeEdit(tree.Root(0), NoColumn));
    link->Attach = true;
    link->Show = false;
    EXPECT_FALSE(tree.BeginNodeEdit(tree.Root(1), NoColumn));
    EXPECT_FALSE(tree.EditorActive());
}

TEST_F(EditingFixture, ACreateHandlerWithoutALinkRaisesError2000)
{
    tree.OnCreateEditor = [](TBaseLazyTree*, PLazyNode, TColumnIndex, PLTEditLink&) {};
    try {
        tree.BeginNodeEdit(tree.Root(0), NoColumn);
        FAIL() << "no error";
    } catch (const ELazyTreeError& e) {
        EXPECT_EQ(e.HelpContext(), 2000);
        EXPECT_STREQ(e.what(), "Edit link must not be nil.");
    }
}

TEST_F(EditingFixture, DestroyingTheTreeDuringAnEditCancelsIt)
{
    auto doomed = std::make_unique<TTestTree>();
    doomed->TreeOptions().SetMiscOptions(doomed->TreeOptions().MiscOptions() + toEditable);
    doomed->SetRootNodeCount(1);
    doomed->OnCreateEditor = [this](TBaseLazyTree*, PLazyNode, TColumnIndex, PLTEditLink& out) { out = link; };
    ASSERT_TRUE(doomed->BeginNodeEdit(doomed->Root(0), NoColumn));
    doomed.reset();
    EXPECT_EQ(link->Calls.back(), "abandon");
    EXPECT_EQ(link.use_count(), 1) << "the tree dropped its reference";
}

TEST_F(EditingFixture, ScrollingMovesTheEditor)
{
    tree.SetRootNodeCount(100);
    ASSERT_TRUE(tree.BeginNodeEdit(tree.Root(1), NoColumn));
    const int before = link->Placed;
    tree.SetOffsetY(-30);
    EXPECT_GT(link->Placed, before);
}
