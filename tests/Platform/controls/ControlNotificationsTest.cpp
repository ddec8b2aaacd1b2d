// Notifications the message core generates itself: child-list changes around SetParent and
// destruction, parent font and colour, the erase before painting, hints from tool tips, dialog
// keys and focus changes on forms, and posted messages that are taken back.

#include "Platform/core/Application.h"
#include "Platform/controls/Control.h"
#include "Platform/core/Exceptions.h"
#include "Platform/controls/Forms.h"
#include "Platform/core/MessageWindow.h"
#include "Platform/core/PostedMessage.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>
#include <thread>

namespace {

using V = std::vector<std::string>;

std::string Name(UINT msg)
{
    switch (msg) {
    case CM_CONTROLLISTCHANGE: return "listchange";
    case CM_CONTROLCHANGE: return "change";
    case CM_FONTCHANGED: return "font";
    case CM_PARENTFONTCHANGED: return "parentfont";
    case CM_COLORCHANGED: return "color";
    case CM_PARENTCOLORCHANGED: return "parentcolor";
    case WM_ERASEBKGND: return "erase";
    case WM_PAINT: return "paint";
    case CM_HINTSHOW: return "hintshow";
    case CM_DIALOGKEY: return "dialogkey";
    case CM_FOCUSCHANGED: return "focuschanged";
    default: return {};
    }
}

// Logs the notifications a control receives through its window procedure.
struct Watch {
    Watch(TWinControlCore& control, V& log, std::string name) : Control(control), Previous(control.WindowProc)
    {
        control.WindowProc = [this, &log, name = std::move(name)](TMessage& m) {
            const std::string n = Name(m.Msg);
            if (!n.empty()) {
                std::string entry = name + " " + n;
                if (m.Msg == CM_CONTROLLISTCHANGE || m.Msg == CM_CONTROLCHANGE)
                    entry += " " + std::to_string(m.LParam);
                log.push_back(entry);
            }
            if (OnMessage)
                OnMessage(m);
            if (!Swallow || !Swallow(m))
                Previous(m);
        };
    }
    ~Watch() { Control.WindowProc = Previous; }
    TWinControlCore& Control;
    TWndMethod Previous;
    std::function<void(TMessage&)> OnMessage;
    std::function<bool(TMessage&)> Swallow;
};

class Painted : public TCustomControl {
public:
    Painted() : TCustomControl(nullptr) { resize(40, 30); }

protected:
    void Paint() override
    {
        Canvas().Brush().SetColor(clLime);
        Canvas().FillRect(Rect(0, 0, 10, 10));
    }
};

} // namespace

TEST(ChildList, SetParentNotifiesBothParentsAroundTheMove)
{
    V log;
    TWinControl a(nullptr), b(nullptr), child(nullptr);
    Watch wa(a, log, "a"), wb(b, log, "b");
    bool insideDuringListChange = true;
    wb.OnMessage = [&](TMessage& m) {
        if (m.Msg == CM_CONTROLLISTCHANGE && m.LParam == 1)
            insideDuringListChange = child.parentWidget() == &b;
    };
    child.SetParent(&a);
    child.SetParent(&b);
    EXPECT_EQ(log, (V{"a listchange 1", "a change 1", "a change 0", "a listchange 0", "b listchange 1", "b change 1"}));
    EXPECT_FALSE(insideDuringListChange);
    EXPECT_EQ(child.Parent(), &b);
    EXPECT_TRUE(child.isVisibleTo(&b));
    log.clear();
    child.SetParent(&b); // no change, no notification
    EXPECT_TRUE(log.empty());
}

TEST(ChildList, AnExplicitlyHiddenControlStaysHiddenInItsNewParent)
{
    TWinControl parent(nullptr), child(nullptr);
    child.Hide();
    child.SetParent(&parent);
    EXPECT_FALSE(child.isVisibleTo(&parent));
}

TEST(ChildList, ADestroyedChildLeavesItsParentWithTheNotifications)
{
    V log;
    TWinControl parent(nullptr);
    Watch w(parent, log, "p");
    auto child = std::make_unique<TWinControl>(nullptr);
    child->SetParent(&parent);
    log.clear();
    child.reset();
    EXPECT_EQ(log, (V{"p change 0", "p listchange 0"}));
    EXPECT_TRUE(parent.findChildren<QWidget*>().isEmpty());
}

TEST(ParentNotifications, InheritedFontAndColourComeFromTheParentFirst)
{
    V log;
    TWinControl parent(nullptr), child(nullptr);
    child.SetParent(&parent);
    Watch wc(child, log, "child");
    QFont f = parent.font();
    f.setPointSize(f.pointSize() + 5);
    parent.setFont(f);
    EXPECT_EQ(log, (V{"child parentfont", "child font"}));
    log.clear();
    parent.SetColor(clAqua);
    EXPECT_EQ(log, (V{"child parentcolor", "child color"}));
    EXPECT_EQ(child.Color(), clAqua);
    EXPECT_TRUE(child.ParentColor());
    log.clear();
    child.SetColor(clNavy);
    EXPECT_EQ(log, (V{"child color"}));
    EXPECT_FALSE(child.ParentColor());
    EXPECT_EQ(child.Color(), clNavy);
}

TEST(Painting, TheEraseComesBeforeThePaintWithAPainter)
{
    V log;
    Painted c;
    Watch w(c, log, "c");
    bool painter = false;
    w.OnMessage = [&](TMessage& m) {
        if (m.Msg == WM_ERASEBKGND) {
            auto* p = reinterpret_cast<QPainter*>(m.WParam);
            painter = p && p->isActive();
            p->fillRect(QRect(0, 0, 40, 30), Qt::red); // paints under the control's own painting
        }
    };
    const QImage image = c.grab().toImage();
    EXPECT_EQ(log, (V{"c erase", "c paint"}));
    EXPECT_TRUE(painter);
    EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(20, 20), QColor(255, 0, 0));
}

TEST(Painting, AChildAsksAnAutoFillingParentForItsBackground)
{
    TWinControl parent(nullptr);
    parent.setAutoFillBackground(true);
    parent.SetColor(clYellow);
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    const auto dc = reinterpret_cast<WPARAM>(&p);
    EXPECT_EQ(parent.Perform(WM_ERASEBKGND, dc, static_cast<LPARAM>(dc)), 1);
    p.end();
    EXPECT_EQ(image.pixelColor(3, 3), QColor(255, 255, 0));
}

TEST(Painting, AParentWhoseEraseRaisesLeavesTheChildsPainterAsItWas)
{
    V log;
    TWinControl parent(nullptr);
    TWinControl child(nullptr);
    child.SetParent(&parent);
    child.setGeometry(7, 9, 20, 20);
    Watch w(parent, log, "parent");
    w.OnMessage = [](TMessage& m) {
        if (m.Msg == WM_ERASEBKGND)
            throw Exception("no background");
    };
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter p(&image);
    const auto dc = reinterpret_cast<WPARAM>(&p);
    EXPECT_THROW(child.Perform(WM_ERASEBKGND, dc, static_cast<LPARAM>(dc)), Exception);
    EXPECT_TRUE(p.transform().isIdentity()) << "the translation into the parent's coordinates stays behind";
    p.end();
}

TEST(Hints, AToolTipAsksTheControlAndShowsTheShortHint)
{
    V log;
    TWinControl c(nullptr);
    c.resize(50, 50);
    c.SetHint("short|long");
    Watch w(c, log, "c");
    THintInfo seen;
    w.OnMessage = [&](TMessage& m) {
        if (m.Msg == CM_HINTSHOW)
            seen = *reinterpret_cast<THintInfo*>(m.LParam);
    };
    c.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c));
    log.clear();
    QHelpEvent help(QEvent::ToolTip, QPoint(4, 5), c.mapToGlobal(QPoint(4, 5)));
    QCoreApplication::sendEvent(&c, &help);
    EXPECT_EQ(log, (V{"c hintshow"}));
    EXPECT_EQ(seen.HintControl, &c);
    EXPECT_EQ(seen.HintStr, "short");
    EXPECT_EQ(seen.CursorPos, (TPoint{4, 5}));
    EXPECT_EQ(seen.HintColor, Application()->HintColor);
    EXPECT_EQ(QToolTip::text(), "short");
    QToolTip::hideText();
}

TEST(DialogKeys, AKeyTheControlDoesNotWantGoesToTheFormFirst)
{
    V log;
    TCustomForm form(nullptr);
    auto* first = new TCustomControl(nullptr, &form);
    auto* second = new TCustomControl(nullptr, &form);
    first->setFocusPolicy(Qt::StrongFocus);
    second->setFocusPolicy(Qt::StrongFocus);
    second->move(0, 40);
    form.resize(100, 100);
    Watch w(form, log, "form");
    bool takeTab = true;
    w.Swallow = [&](TMessage& m) {
        if (m.Msg == CM_DIALOGKEY && m.WParam == VK_TAB && takeTab) {
            m.Result = 1;
            return true;
        }
        return false;
    };
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QApplication::setActiveWindow(&form);
    first->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->hasFocus(); }));
    EXPECT_NE(std::find(log.begin(), log.end(), "form focuschanged"), log.end());

    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_TRUE(first->hasFocus()); // the form took the key
    takeTab = false;
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_TRUE(QTest::qWaitFor([&] { return second->hasFocus(); })); // Qt's default moved on
    EXPECT_EQ(std::count(log.begin(), log.end(), "form dialogkey"), 2);

    // A control that wants the key keeps it from the form.
    log.clear();
    const TWndMethod previous = second->WindowProc;
    second->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_GETDLGCODE) {
            m.Result = DLGC_WANTTAB;
            return;
        }
        previous(m);
    };
    QTest::keyClick(second, Qt::Key_Tab);
    EXPECT_TRUE(second->hasFocus());
    EXPECT_EQ(std::count(log.begin(), log.end(), "form dialogkey"), 0);
    second->WindowProc = previous;
}

TEST(PostedMessages, APendingMessageCanBeTakenBack)
{
    V log;
    TWinControl c(nullptr);
    std::vector<WPARAM> seen;
    const TWndMethod previous = c.WindowProc;
    c.WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_APP + 5)
            seen.push_back(m.WParam);
        previous(m);
    };
    c.PostMessage(WM_APP + 5, 1);
    c.PostMessage(WM_APP + 5, 2);
    c.PostMessage(WM_APP + 6, 3);
    EXPECT_TRUE(DiscardPostedMessage(&c, WM_APP + 5)); // the oldest goes
    EXPECT_FALSE(DiscardPostedMessage(&c, WM_APP + 7));
    QCoreApplication::processEvents();
    EXPECT_EQ(seen, (std::vector<WPARAM>{2}));
    EXPECT_FALSE(DiscardPostedMessage(&c, WM_APP + 5)); // nothing pending any more
    c.WindowProc = previous;
}

TEST(MessageWindows, MessagesFromOtherThreadsArriveOnTheOwnersThreadInOrder)
{
    std::vector<WPARAM> seen;
    std::vector<std::thread::id> threads;
    TMessageWindow window([&](TMessage& m) {
        seen.push_back(m.WParam);
        threads.push_back(std::this_thread::get_id());
        m.Result = 7;
    });
    std::thread poster([&] {
        for (WPARAM i = 0; i < 50; ++i)
            window.PostMessage(WM_USER + 1, i);
    });
    poster.join();
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() == 50; }));
    ASSERT_EQ(seen.size(), 50u);
    for (WPARAM i = 0; i < 50; ++i)
        EXPECT_EQ(seen[i], i);
    EXPECT_TRUE(std::all_of(threads.begin(), threads.end(), [](auto id) { return id == std::this_thread::get_id(); }));
    EXPECT_EQ(window.Perform(WM_USER), 7);

    TMessageWindow silent;
    EXPECT_EQ(silent.Perform(WM_USER, 1, 2), 0); // no handler: the default answer
}

TEST(MessageWindows, AnExceptionInTheHandlerGoesToTheApplication)
{
    std::vector<std::string> reported;
    Application()->OnException = [&](TObject*, const std::exception& e) { reported.push_back(e.what()); };
    TMessageWindow window([](TMessage&) { throw Exception("from the handler"); });
    window.PostMessage(WM_USER);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !reported.empty(); }));
    Application()->OnException = nullptr;
    EXPECT_EQ(reported, (V{"from the handler"}));
}
