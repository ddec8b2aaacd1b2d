// Tree options, scroll bars, colours and the published properties: reactions to changes,
// loading from a form, the legacy option set and copying settings between trees.

#include "TreeView/TreeTestSupport.h"

#include "TreeView/Source/core/LTColors.h"
#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/core/LTScrollBarOptions.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/ImgList.h"

#include <QScrollBar>
#include <gtest/gtest.h>

TEST(TreeOptions, Defaults)
{
    TTestTree tree;
    const TCustomLazyTreeOptions& o = tree.TreeOptions();
    EXPECT_EQ(o.PaintOptions(), DefaultPaintOptions);
    EXPECT_EQ(o.AutoOptions(), DefaultAutoOptions);
    EXPECT_EQ(o.MiscOptions(), DefaultMiscOptions);
    EXPECT_TRUE(o.SelectionOptions().Empty());
    EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
    EXPECT_EQ(tree.Indent(), 18u);
    EXPECT_EQ(tree.Color(), clWindow);
    EXPECT_EQ(tree.Header().Height(), 17);
    EXPECT_EQ(tree.Header().Options(), (TLTHeaderOptions{hoColumnResize, hoDrag}));
}

TEST(TreeOptions, AnimationDurationSwitchesAnimatedToggle)
{
    TTestTree tree;
    tree.SetAnimationDuration(150);
    EXPECT_TRUE(tree.HasOption(toAnimatedToggle));
    tree.SetAnimationDuration(0);
    EXPECT_FALSE(tree.HasOption(toAnimatedToggle));
}

TEST(TreeOptions, LegacyOptionsSwitchOnExactlyTheirNames)
{
    TTestTree tree;
    tree.ReadLegacyOptions({"voShowRoot", "voMultiSelect", "voUnknown"});
    EXPECT_EQ(tree.TreeOptions().PaintOptions(), TLTPaintOptions{toShowRoot});
    EXPECT_EQ(tree.TreeOptions().SelectionOptions(), TLTSelectionOptions{toMultiSelect});
    EXPECT_TRUE(tree.TreeOptions().AutoOptions().Empty());
    EXPECT_TRUE(tree.TreeOptions().MiscOptions().Empty());
    EXPECT_TRUE(tree.TreeOptions().AnimationOptions().Empty());
}

TEST(TreeOptions, CopyingToAnotherOptionsObject)
{
    TTestTree a;
    TTestTree b;
    a.TreeOptions().SetSelectionOptions({toMultiSelect, toFullRowSelect});
    b.TreeOptions().Assign(a.TreeOptions());
    EXPECT_EQ(b.TreeOptions().SelectionOptions(), a.TreeOptions().SelectionOptions());
    TScrollBarOptions other(&a);
    EXPECT_THROW(other.Assign(a.TreeOptions()), EConvertError);
}

TEST(TreeProperties, RootNodesStoredWhileLoadingAreMadeAtTheEnd)
{
    TTestTree tree;
    tree.BeginLoading();
    tree.TreeOptions().SetMiscOptions(tree.TreeOptions().MiscOptions() + toReadOnly);
    tree.SetRootNodeCount(5);
    EXPECT_EQ(tree.HiddenRoot()->ChildHead, nullptr);
    EXPECT_TRUE(tree.TreeStates().Contains(tsNeedRootCountUpdate));
    tree.Loaded();
    EXPECT_EQ(tree.RootNodeCount(), 5u);
    EXPECT_NE(tree.HiddenRoot()->ChildHead, nullptr) << "also under toReadOnly";
    EXPECT_TRUE(tree.HasOption(toReadOnly));
    EXPECT_FALSE(tree.TreeStates().Contains(tsNeedRootCountUpdate));
    EXPECT_TRUE(TreeInvariantsHold(tree));
}

TEST(TreeProperties, ARemovedCustomCheckListFallsBackToTheLightImages)
{
    TTestTree tree;
    auto* list = new TCustomImageList(nullptr);
    tree.SetCustomCheckImages(list);
    tree.SetCheckImageKind(TCheckImageKind::ckCustom);
    EXPECT_EQ(tree.CheckImages(), list);
    delete list;
    EXPECT_EQ(tree.CustomCheckImages(), nullptr);
    EXPECT_EQ(tree.CheckImageKind(), TCheckImageKind::ckLightCheck);
    EXPECT_EQ(tree.CheckImages()->Count(), 25);
}

TEST(TreeProperties, ARemovedImageListIsForgotten)
{
    TTestTree tree;
    auto* images = new TCustomImageList(nullptr);
    tree.SetImages(images);
    tree.Header().SetImages(images);
    delete images;
    EXPECT_EQ(tree.Images(), nullptr);
    EXPECT_EQ(tree.Header().Images(), nullptr);
}

TEST(TreeProperties, CopyingSettingsFromAnotherTree)
{
    TTestTree a;
    a.SetIndent(30);
    a.SetDefaultNodeHeight(22);
    a.TreeOptions().SetMiscOptions(a.TreeOptions().MiscOptions() + toCheckSupport);
    a.Header().Columns().AddColumn()->SetText("One");
    a.SetRootNodeCount(4);
    a.Colors().SetColor(TLTColors::GridLineColorIndex, clRed);
    TTestTree b;
    b.CopySettingsFrom(a);
    EXPECT_EQ(b.Indent(), 30u);
    EXPECT_EQ(b.DefaultNodeHeight(), 22u);
    EXPECT_TRUE(b.HasOption(toCheckSupport));
    EXPECT_EQ(b.Header().Columns().Count(), 1);
    EXPECT_EQ(b.RootNodeCount(), 4u);
    EXPECT_EQ(b.Colors().GridLineColor(), clRed);
}

TEST(ScrollBars, TheVerticalBarFollowsTheRows)
{
    TTestTree tree;
    tree.SetRootNodeCount(3);
    QScrollBar* bar = tree.verticalScrollBar();
    EXPECT_EQ(tree.RangeY(), 3 * 18);
    EXPECT_EQ(bar->maximum(), 0) << "the rows fit";
    std::vector<std::pair<int, bool>> shown;
    tree.OnShowScrollbar = [&](TBaseLazyTree*, int which, bool show) { shown.push_back({which, show}); };
    tree.SetRootNodeCount(100);
    EXPECT_EQ(tree.RangeY(), 100 * 18);
    EXPECT_EQ(bar->maximum(), 100 * 18 - tree.ClientHeight());
    EXPECT_NE(std::find(shown.begin(), shown.end(), std::pair<int, bool>{SB_VERT, true}), shown.end());
    tree.SetOffsetY(-50);
    EXPECT_EQ(bar->value(), 50);
    bar->setValue(120);
    EXPECT_EQ(tree.OffsetY(), -120);
    tree.SetRootNodeCount(3);
    EXPECT_EQ(tree.OffsetY(), 0) << "the offset stays within the range";
}

TEST(ScrollBars, AlwaysVisibleShowsADisabledBar)
{
    TTestTree tree;
    tree.ScrollBarOptions().SetAlwaysVisible(true);
    tree.SetRootNodeCount(2);
    QCoreApplication::processEvents();
    EXPECT_TRUE(tree.verticalScrollBar()->isVisible());
    EXPECT_FALSE(tree.verticalScrollBar()->isEnabled());
    tree.ScrollBarOptions().SetScrollBars(TScrollStyle::ssNone);
    QCoreApplication::processEvents();
    EXPECT_FALSE(tree.verticalScrollBar()->isVisible());
}

TEST(ScrollBars, FlatStylesFailTheirAssertion)
{
    TTestTree tree;
    EXPECT_THROW(tree.ScrollBarOptions().SetScrollBarStyle(TScrollBarStyle::sbmFlat), EAssertionFailed);
    tree.ScrollBarOptions().SetVerticalIncrement(0);
    EXPECT_EQ(tree.ScrollBarOptions().VerticalIncrement(), 1);
}
