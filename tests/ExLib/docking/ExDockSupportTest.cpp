// The docking framework's small procedures and its general zone tree.

#include "ExLib/run/docking/support/ExDockSupportClass.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"

#include "Platform/core/Exceptions.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(ExDockSupport, HexTextOfStreams)
{
    TMemoryStream bytes(std::string("\x00\x00\x04\x00\xAB", 5));
    EXPECT_EQ(StreamToHexText(bytes), "00000400AB");
    TMemoryStream empty;
    EXPECT_EQ(StreamToHexText(empty), "");

    struct Case {
        std::string text;
        std::string bytes;
    } cases[] = {
        {"0A1", "\x0A"},          // a last single digit is ignored
        {"ff00", std::string("\xFF\x00", 2)},
        {"", ""},
    };
    for (const Case& c : cases) {
        TMemoryStream s;
        HexTextToStream(s, c.text);
        EXPECT_EQ(std::string(s.View()), c.bytes) << c.text;
    }
    TMemoryStream bad;
    EXPECT_THROW(HexTextToStream(bad, "0G"), EConvertError);
}

TEST(ExDockSupport, FindFormByNameComparesLetterCase)
{
    TCustomForm form(nullptr);
    form.SetName("ProjectExplorerForm");
    EXPECT_EQ(FindFormByName("ProjectExplorerForm"), &form);
    EXPECT_EQ(FindFormByName("projectexplorerform"), nullptr);
    EXPECT_EQ(FindFormByName(""), nullptr);
}

TEST(ExDockSupport, DesktopLocksNest)
{
    EXPECT_FALSE(DesktopUpdatesLocked());
    LockDesktopUpdates();
    LockDesktopUpdates();
    UnlockDesktopUpdates();
    EXPECT_TRUE(DesktopUpdatesLocked()) << "only the outermost unlock releases";
    UnlockDesktopUpdates();
    EXPECT_FALSE(DesktopUpdatesLocked());
    {
        const TDesktopUpdateLock lock;
        EXPECT_TRUE(DesktopUpdatesLocked());
    }
    EXPECT_FALSE(DesktopUpdatesLocked());
}

TEST(ExDockSupport, DockOrientationOfAlign)
{
    TCustomForm form(nullptr);
    TWinControl control(nullptr, &form);
    const std::pair<TAlign, int> cases[] = {
        {TAlign::alTop, 1}, {TAlign::alBottom, 1}, {TAlign::alLeft, 2}, {TAlign::alRight, 2},
        {TAlign::alClient, 0}, {TAlign::alCustom, 0}, {TAlign::alNone, 0},
    };
    for (const auto& [align, orientation] : cases) {
        SetAlign(control, align);
        EXPECT_EQ(DockOrientationOf(&control), orientation) << static_cast<int>(align);
    }
}

TEST(ExDockSupport, MouseMessagesCarryTheScreenPoint)
{
    TCustomForm form(nullptr);
    form.setGeometry(30, 40, 100, 100);
    form.show();
    TMessage m;
    MakeMouseMessage(form, WM_MOUSEMOVE, MK_LBUTTON, {5, 7}, m);
    const TPoint screen = form.ClientToScreen({5, 7});
    EXPECT_EQ(m.Msg, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(m.WParam, WPARAM(MK_LBUTTON));
    EXPECT_EQ(LowWordSigned(m.LParam), screen.X);
    EXPECT_EQ(HighWordSigned(m.LParam), screen.Y);
}

TEST(ExDockSupport, SystemChangeHandlersComeAndGoWithTheSharedWindow)
{
    int a = 0, b = 0;
    std::vector<std::string> calls;
    RemoveSystemChangeHandler(&a);
    EXPECT_EQ(SystemChangeWindow(), nullptr) << "removing what was never added changes nothing";
    AddSystemChangeHandler(&a, [&](void*, TExMsgWindow&) { calls.push_back("a"); });
    AddSystemChangeHandler(&b, [&](void*, TExMsgWindow&) { calls.push_back("b"); });
    ASSERT_NE(SystemChangeWindow(), nullptr);
    SystemChangeWindow()->Handle()->Perform(WM_SYSCOLORCHANGE);
    SystemChangeWindow()->Handle()->Perform(WM_PAINT);
    EXPECT_EQ(calls, (std::vector<std::string>{"a", "b"}));
    RemoveSystemChangeHandler(&a);
    EXPECT_NE(SystemChangeWindow(), nullptr);
    RemoveSystemChangeHandler(&b);
    EXPECT_EQ(SystemChangeWindow(), nullptr);
}

TEST(ExDockBaseTree, ScansVisitInTheirOrder)
{
    TExDockBaseTree tree(nullptr);
    TExDockBaseZone* root = tree.TopTreeZone;
    TExDockBaseZone* a = tree.AddChildZone(root, nullptr);
    TExDockBaseZone* a1 = tree.AddChildZone(a, nullptr);
    TExDockBaseZone* a2 = tree.AddChildZone(a, nullptr);
    TExDockBaseZone* b = tree.AddChildZone(root, nullptr);
    TExDockBaseZone* first = tree.InsertPrevSibling(a, nullptr);
    std::map<TExDockBaseZone*, std::string> names{{root, "R"}, {a, "A"}, {a1, "A1"}, {a2, "A2"}, {b, "B"}, {first, "F"}};
    std::string seen;
    tree.ScanProc = [&](TExDockBaseZone* z) { seen += names[z] + " "; };
    tree.PreOrderScan(root);
    EXPECT_EQ(seen, "R F A A1 A2 B ");
    seen.clear();
    tree.PostOrderScan(root);
    EXPECT_EQ(seen, "A2 A1 B A F R ");
    seen.clear();
    tree.MiddleOrderScan(root);
    EXPECT_EQ(seen, "F A1 A2 A B R ");
    EXPECT_EQ(root->ChildCount(), 3);
    EXPECT_EQ(root->ChildAt(1), a);
    EXPECT_EQ(root->ChildAt(3), nullptr);
    EXPECT_EQ(a2->GetParentZone(), a);
    EXPECT_EQ(first->GetParentZone(), root);
}
