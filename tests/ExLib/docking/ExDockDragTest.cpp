// Dock drags through the global dock manager: into a dock panel, cancelled by Escape, short of
// the threshold, floating while Ctrl is held, and out to float where the frame was.

#include "DockFixture.h"

#include <gtest/gtest.h>

TEST(ExDockDrag, AFormDraggedToTheLeftEdgeDocksInTheLeftPanel)
{
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    DockFixture::Drag(tool, CaptionPoint(tool), {105, 400});
    EXPECT_EQ(GlobalDockManager()->DragObject(), nullptr) << "the drag is over";
    EXPECT_EQ(HostDockSite(*tool), f.Panel(0));
    EXPECT_EQ(tool->Parent(), f.Panel(0));
    EXPECT_FALSE(tool->isWindow());
    EXPECT_TRUE(tool->isVisible());
    EXPECT_EQ(f.Panel(0)->Width(), 100) << "opened to the tool's docked width";
    EXPECT_FALSE(GlobalDockManager()->IsRegisteredDockSite(tool)) << "a docked form is no target itself";
}

TEST(ExDockDrag, EachEdgeTakesTheFormWhereItsPanelIs)
{
    struct Case {
        TPoint to;
        int panel;
    } cases[] = {
        {{105, 400}, 0}, {{895, 400}, 1}, {{500, 103}, 2}, {{500, 697}, 3},
    };
    for (const Case& c : cases) {
        DockFixture f;
        TExForm* tool = f.Tool("Tool");
        DockFixture::Drag(tool, CaptionPoint(tool), c.to);
        EXPECT_EQ(HostDockSite(*tool), f.Panel(c.panel)) << c.panel;
    }
}

TEST(ExDockDrag, EscapeCancelsAndTheFormStaysWhereItWas)
{
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    const QRect before = tool->geometry();
    DockFixture::Drag(tool, CaptionPoint(tool), {105, 400}, false);
    ASSERT_NE(GlobalDockManager()->DragObject(), nullptr);
    EXPECT_EQ(GlobalDockManager()->DragObject()->DropTarget, f.Panel(0));
    const TExDockOverlay* frame = GlobalDockManager()->DragObject()->Overlay();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->Shown()) << "the frame follows the mouse";
    QTest::keyClick(tool, Qt::Key_Escape);
    EXPECT_EQ(GlobalDockManager()->DragObject(), nullptr);
    EXPECT_TRUE(Floating(*tool));
    EXPECT_EQ(tool->geometry(), before);
    EXPECT_EQ(f.Panel(0)->Width(), 0);
}

TEST(ExDockDrag, AReleaseShortOfTheThresholdDropsNothing)
{
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    const TPoint start = CaptionPoint(tool);
    QCursor::setPos(start.ToQt());
    SetCurrentDockClient(DockFixture::ClientOf(tool));
    GlobalDockManager()->BeginControlDrag(tool, false, 20);
    GlobalDockManager()->DragMoveTo({start.X + 5, start.Y + 5});
    EXPECT_EQ(GlobalDockManager()->DragState(), 0);
    GlobalDockManager()->MouseReleased();
    EXPECT_EQ(GlobalDockManager()->DragObject(), nullptr);
    EXPECT_TRUE(Floating(*tool));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the cursor is back";
}

TEST(ExDockDrag, HoldingCtrlShowsTheFloatingFrameAndReleasingItDocksAgain)
{
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    DockFixture::Drag(tool, CaptionPoint(tool), {105, 400}, false);
    TExDockDragDockObject* drag = GlobalDockManager()->DragObject();
    ASSERT_NE(drag, nullptr);
    const TRect docking = drag->DockRect;
    GlobalDockManager()->KeyChanged(Qt::Key_Control, true);
    EXPECT_EQ(drag->DropTarget, nullptr);
    EXPECT_EQ(drag->DockRect.Width(), 200) << "the form's floating size";
    EXPECT_TRUE(drag->DockRect.Contains({105, 400}));
    GlobalDockManager()->KeyChanged(Qt::Key_Control, false);
    EXPECT_EQ(drag->DropTarget, f.Panel(0));
    EXPECT_EQ(drag->DockRect, docking);
    GlobalDockManager()->MouseReleased();
    EXPECT_EQ(HostDockSite(*tool), f.Panel(0));
}

TEST(ExDockDrag, ADockedFormReleasedOverNothingFloatsAtTheFrame)
{
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    ManualDock(*tool, f.Panel(0));
    ASSERT_EQ(f.Panel(0)->Width(), 100);
    const TPoint grabber = f.Panel(0)->ClientToScreen({30, 5});
    DockFixture::Drag(tool, grabber, {1300, 500});
    EXPECT_TRUE(Floating(*tool));
    EXPECT_TRUE(tool->isVisible());
    EXPECT_TRUE(tool->geometry().contains(QPoint(1300, 500))) << "where the frame was";
    EXPECT_EQ(tool->size(), QSize(200, 150)) << "at its floating size";
    EXPECT_EQ(f.Panel(0)->Width(), 0) << "the emptied panel collapses";
    EXPECT_TRUE(GlobalDockManager()->IsRegisteredDockSite(tool));
}

TEST(ExDockDrag, AFormThatMayNotFloatStaysDockedOverNothing)
{
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    DockFixture::ClientOf(tool)->CanFloat = false;
    ManualDock(*tool, f.Panel(0));
    DockFixture::Drag(tool, f.Panel(0)->ClientToScreen({30, 5}), {1300, 500});
    EXPECT_EQ(HostDockSite(*tool), f.Panel(0));
}

TEST(ExDockDrag, APressOnAFloatingCaptionStartsADrag)
{
    DockFixture f;
    TExForm* tool = f.Tool("Tool");
    QCursor::setPos(CaptionPoint(tool).ToQt());
    QTest::mousePress(tool, Qt::LeftButton, {}, QPoint(40, 8));
    ASSERT_NE(GlobalDockManager()->DragObject(), nullptr);
    EXPECT_EQ(GlobalDockManager()->DragControl(), tool);
    EXPECT_EQ(CurrentDockClient(), DockFixture::ClientOf(tool));
    GlobalDockManager()->AbortDrag();
}
