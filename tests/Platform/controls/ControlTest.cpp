// The message core: Qt events arrive at a control as messages, through its replaceable
// WindowProc, in the order the class library gives them; unhandled messages return to Qt;
// exceptions stop at the event boundary and the loop goes on.

#include "Platform/core/Application.h"
#include "Platform/controls/Control.h"
#include "Platform/core/Exceptions.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

namespace {

std::string Describe(const TMessage& m)
{
    switch (m.Msg) {
    case WM_KEYDOWN: return "keydown " + std::to_string(m.WParam);
    case WM_KEYUP: return "keyup " + std::to_string(m.WParam);
    case WM_CHAR: return "char " + std::to_string(m.WParam);
    case WM_SYSKEYDOWN: return "syskeydown " + std::to_string(m.WParam);
    case WM_SYSKEYUP: return "syskeyup " + std::to_string(m.WParam);
    case WM_SYSCHAR: return "syschar " + std::to_string(m.WParam);
    case WM_LBUTTONDOWN: return "ldown " + std::to_string(LowWordSigned(m.LParam)) + "," + std::to_string(HighWordSigned(m.LParam));
    case WM_LBUTTONUP: return "lup";
    case WM_LBUTTONDBLCLK: return "ldbl";
    case WM_RBUTTONDOWN: return "rdown";
    case WM_RBUTTONUP: return "rup";
    case WM_MOUSEMOVE: return "move";
    case WM_MOUSEWHEEL: return "wheel " + std::to_string(static_cast<std::int16_t>(m.WParam >> 16));
    case WM_PAINT: return "paint";
    case WM_SIZE: return "size " + std::to_string(LowWordSigned(m.LParam)) + "x" + std::to_string(HighWordSigned(m.LParam));
    case WM_SETFOCUS: return "setfocus";
    case WM_KILLFOCUS: return "killfocus";
    case WM_TIMER: return "timer " + std::to_string(m.WParam);
    case CM_MOUSEENTER: return "mouseenter";
    case CM_MOUSELEAVE: return "mouseleave";
    case CM_VISIBLECHANGED: return "visiblechanged " + std::to_string(m.WParam);
    case CM_SHOWINGCHANGED: return "showingchanged";
    case CM_ENABLEDCHANGED: return "enabledchanged";
    case CM_FONTCHANGED: return "fontchanged";
    case CM_TEXTCHANGED: return "textchanged";
    default:
        if (m.Msg >= WM_APP)
            return "app+" + std::to_string(m.Msg - WM_APP) + " " + std::to_string(m.WParam) + " " + std::to_string(m.LParam);
        return {};
    }
}

// A control that logs the messages it receives and the operations they turn into.
class ProbeControl : public TCustomControl {
public:
    explicit ProbeControl(QWidget* parent = nullptr) : TCustomControl(nullptr, parent)
    {
        resize(120, 80);
        setFocusPolicy(Qt::StrongFocus);
    }

    std::vector<std::string> Log;
    std::vector<std::string> Operations;
    bool SwallowKeys = false;
    bool ThrowOnKey = false;

    void WndProc(TMessage& m) override
    {
        const std::string d = Describe(m);
        if (!d.empty())
            Log.push_back(d);
        TCustomControl::WndProc(m);
    }

    bool Saw(const std::string& entry) const { return std::find(Log.begin(), Log.end(), entry) != Log.end(); }

protected:
    void KeyDown(WORD& key, TShiftState shift) override
    {
        if (ThrowOnKey)
            throw Exception("boom");
        Operations.push_back("KeyDown " + std::to_string(key) + (shift.Contains(ssCtrl) ? " ctrl" : ""));
        if (SwallowKeys)
            key = 0;
        TCustomControl::KeyDown(key, shift);
    }
    void KeyPress(char32_t& key) override
    {
        Operations.push_back("KeyPress " + std::to_string(static_cast<unsigned>(key)));
        TCustomControl::KeyPress(key);
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override
    {
        Operations.push_back("MouseDown " + std::to_string(static_cast<int>(button)) + " " + std::to_string(x) + "," +
                             std::to_string(y) + (shift.Contains(ssDouble) ? " double" : ""));
        TCustomControl::MouseDown(button, shift, x, y);
    }
    void Click() override
    {
        Operations.push_back("Click");
        TCustomControl::Click();
    }
    void DblClick() override
    {
        Operations.push_back("DblClick");
        TCustomControl::DblClick();
    }
    void Paint() override
    {
        Canvas().Brush().SetColor(clRed);
        Canvas().FillRect(ClientRect());
        Canvas().Brush().SetColor(clBlue);
        Canvas().FillRect(Rect(10, 10, 20, 20));
    }
};

// Runs the event loop until `done` holds or a second passes.
template <class F>
bool SpinUntil(F done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Installs an exception handler for one test and restores the default afterwards.
struct CollectExceptions {
    CollectExceptions()
    {
        Application()->OnException = [this](TObject*, const std::exception& e) { Messages.push_back(e.what()); };
    }
    ~CollectExceptions() { Application()->OnException = nullptr; }
    std::vector<std::string> Messages;
};

using V = std::vector<std::string>;

} // namespace

TEST(MessageCore, KeysArriveAsKeyDownCharAndKeyUp)
{
    ProbeControl c;
    QTest::keyClick(&c, Qt::Key_A);
    EXPECT_EQ(c.Log, (V{"keydown 65", "char 97", "keyup 65"}));
    EXPECT_EQ(c.Operations, (V{"KeyDown 65", "KeyPress 97"}));
}

TEST(MessageCore, ControlAndAltKeysGiveTheSystemsCharacters)
{
    ProbeControl c;
    // The modifier keys arrive as keys of their own, as they do on the system.
    QTest::keyClick(&c, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(c.Log, (V{"keydown 17", "keydown 83", "char 19", "keyup 83", "keyup 17"}));
    EXPECT_EQ(c.Operations[1], "KeyDown 83 ctrl");
    c.Log.clear();
    QTest::keyClick(&c, Qt::Key_F, Qt::AltModifier);
    EXPECT_EQ(c.Log, (V{"syskeydown 18", "syskeydown 70", "syschar 102", "syskeyup 70", "keyup 18"}));
    c.Log.clear();
    QTest::keyClick(&c, Qt::Key_Left);
    EXPECT_EQ(c.Log, (V{"keydown 37", "keyup 37"}));
    c.Log.clear();
    QTest::keyClick(&c, Qt::Key_Delete);
    EXPECT_EQ(c.Log, (V{"keydown 46", "keyup 46"})); // Delete types no character
}

TEST(MessageCore, UnhandledKeysReturnToQtAndSwallowedKeysDoNot)
{
    QWidget window;
    auto* first = new ProbeControl(&window);
    auto* second = new ProbeControl(&window);
    second->move(0, 90);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    first->setFocus();
    ASSERT_TRUE(SpinUntil([&] { return first->hasFocus(); }));

    first->SwallowKeys = true;
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_TRUE(first->hasFocus()); // the control took Tab for itself

    first->SwallowKeys = false;
    QTest::keyClick(first, Qt::Key_Tab);
    EXPECT_TRUE(SpinUntil([&] { return second->hasFocus(); })); // Qt's default moved the focus
    EXPECT_TRUE(first->Saw("killfocus"));
    EXPECT_TRUE(second->Saw("setfocus"));
}

TEST(MessageCore, MouseClicksBecomeMouseDownAndClick)
{
    ProbeControl c;
    int clicks = 0;
    c.OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &c);
        ++clicks;
    };
    QTest::mouseClick(&c, Qt::LeftButton, {}, QPoint(10, 12));
    EXPECT_EQ(c.Log, (V{"ldown 10,12", "lup"}));
    EXPECT_EQ(c.Operations, (V{"MouseDown 0 10,12", "Click"}));
    EXPECT_EQ(clicks, 1);

    c.Log.clear();
    c.Operations.clear();
    QTest::mouseClick(&c, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(c.Log, (V{"rdown", "rup"}));
    EXPECT_EQ(c.Operations, (V{"MouseDown 1 5,5"})); // only the left button clicks
}

TEST(MessageCore, ReleasingOutsideTheControlIsNoClick)
{
    ProbeControl c;
    QTest::mousePress(&c, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&c, Qt::LeftButton, {}, QPoint(500, 10));
    EXPECT_EQ(std::count(c.Operations.begin(), c.Operations.end(), "Click"), 0);
}

TEST(MessageCore, DoubleClicksCarryTheDoubleFlag)
{
    ProbeControl c;
    QTest::mouseDClick(&c, Qt::LeftButton, {}, QPoint(3, 4));
    EXPECT_TRUE(c.Saw("ldbl"));
    EXPECT_NE(std::find(c.Operations.begin(), c.Operations.end(), "MouseDown 0 3,4 double"), c.Operations.end());
    EXPECT_NE(std::find(c.Operations.begin(), c.Operations.end(), "DblClick"), c.Operations.end());
}

TEST(MessageCore, PaintingGoesThroughTheCanvas)
{
    ProbeControl c;
    const QImage image = c.grab().toImage();
    EXPECT_TRUE(c.Saw("paint"));
    EXPECT_EQ(image.pixelColor(2, 2), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(15, 15), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(20, 20), QColor(255, 0, 0)); // Right and Bottom lie outside
}

TEST(MessageCore, ResizeShowAndStateChangesArriveAsMessages)
{
    ProbeControl c;
    c.resize(200, 50);
    c.show();
    EXPECT_TRUE(c.Saw("size 200x50"));
    EXPECT_TRUE(c.Saw("showingchanged"));
    c.Log.clear();
    c.setEnabled(false);
    EXPECT_TRUE(c.Saw("enabledchanged"));
    QFont f = c.font();
    f.setPointSize(f.pointSize() + 3);
    c.setFont(f);
    EXPECT_TRUE(c.Saw("fontchanged"));
    c.SetText("caption");
    EXPECT_TRUE(c.Saw("textchanged"));
    EXPECT_EQ(c.windowTitle(), "caption");
}

TEST(MessageCore, TimersDeliverTheirNumberUntilKilled)
{
    ProbeControl c;
    c.SetTimer(7, 5);
    ASSERT_TRUE(SpinUntil([&] { return c.Saw("timer 7"); }));
    c.KillTimer(7);
    c.Log.clear();
    QTest::qWait(30);
    EXPECT_FALSE(c.Saw("timer 7"));
}

TEST(MessageCore, PostedMessagesArriveLaterThroughWindowProc)
{
    ProbeControl c;
    c.PostMessage(WM_APP + 1, 2, -3);
    EXPECT_FALSE(c.Saw("app+1 2 -3"));
    ASSERT_TRUE(SpinUntil([&] { return c.Saw("app+1 2 -3"); }));
}

TEST(MessageCore, ReplacingWindowProcSubclassesTheControl)
{
    ProbeControl c;
    std::vector<std::string> seen;
    const TWndMethod previous = c.WindowProc;
    c.WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_KEYDOWN)
            seen.push_back("hook keydown");
        if (m.Msg == WM_APP + 9) {
            m.Result = 42; // handled here; the control never sees it
            return;
        }
        previous(m);
    };
    QTest::keyClick(&c, Qt::Key_B);
    EXPECT_EQ(seen, (V{"hook keydown"}));
    EXPECT_EQ(c.Operations.front(), "KeyDown 66");
    EXPECT_EQ(c.Perform(WM_APP + 9), 42);
    EXPECT_FALSE(c.Saw("app+9 0 0"));
}

TEST(MessageCore, SendMessageFromAnotherThreadWaitsForTheGuiThread)
{
    ProbeControl c;
    const TWndMethod previous = c.WindowProc;
    std::thread::id handledOn;
    c.WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_APP + 2) {
            handledOn = std::this_thread::get_id();
            m.Result = static_cast<LRESULT>(m.WParam * 2);
            return;
        }
        previous(m);
    };
    LRESULT result = 0;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        result = c.SendMessage(WM_APP + 2, 21, 0);
        finished = true;
    });
    ASSERT_TRUE(SpinUntil([&] { return finished.load(); }));
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
}

TEST(ExceptionBoundary, AnExceptionInAHandlerIsReportedAndTheLoopGoesOn)
{
    CollectExceptions collected;
    ProbeControl c;
    c.ThrowOnKey = true;
    QTest::keyClick(&c, Qt::Key_X);
    EXPECT_EQ(collected.Messages, (V{"boom"}));

    // The loop still delivers events afterwards.
    c.ThrowOnKey = false;
    c.PostMessage(WM_APP + 3, 1, 1);
    EXPECT_TRUE(SpinUntil([&] { return c.Saw("app+3 1 1"); }));

    // Exceptions from Qt-side callbacks (timers, queued calls) stop at the boundary too.
    QTimer::singleShot(0, [] { throw EConvertError("from a timer"); });
    EXPECT_TRUE(SpinUntil([&] { return collected.Messages.size() == 2; }));
    EXPECT_EQ(collected.Messages.back(), "from a timer");
}

TEST(ExceptionBoundary, TheDefaultHandlerShowsTheMessageCaptionedZentu)
{
    std::vector<TMessageBoxRequest> boxes;
    auto saved = Application()->MessageBoxHook;
    Application()->MessageBoxHook = [&](const TMessageBoxRequest& r) {
        boxes.push_back(r);
        return IDOK;
    };
    ProbeControl c;
    c.ThrowOnKey = true;
    QTest::keyClick(&c, Qt::Key_X);
    QTimer::singleShot(0, [] { Abort(); }); // the silent exception shows nothing
    QTest::qWait(20);
    Application()->MessageBoxHook = saved;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "Zentu");
    EXPECT_EQ(boxes[0].Text, "boom.");
}

namespace {

// A scroll area whose client area is its viewport.
class ProbeScrollControl : public TQtScrollControl<> {
public:
    ProbeScrollControl() : TQtScrollControl<>(nullptr)
    {
        SetCustomPaint(true);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        resize(200, 100);
    }
    std::vector<std::string> Log;
    void WndProc(TMessage& m) override
    {
        const std::string d = Describe(m);
        if (!d.empty())
            Log.push_back(d);
        TQtScrollControl<>::WndProc(m);
    }

protected:
    void Paint() override
    {
        Canvas().Brush().SetColor(clLime);
        Canvas().FillRect(ClientRect());
    }
};

} // namespace

TEST(MessageCore, ScrollAreasTakeTheirViewportAsTheClientArea)
{
    ProbeScrollControl c;
    c.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c));
    QWidget* viewport = c.viewport();
    EXPECT_EQ(c.ClientRect(), Rect(0, 0, viewport->width(), viewport->height()));
    EXPECT_LT(c.ClientWidth(), c.Width()); // the scroll bar is outside the client area
    const std::string size = "size " + std::to_string(viewport->width()) + "x" + std::to_string(viewport->height());
    EXPECT_NE(std::find(c.Log.begin(), c.Log.end(), size), c.Log.end());

    c.Log.clear();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(7, 8));
    EXPECT_EQ(c.Log, (V{"ldown 7,8", "lup"}));

    const QImage image = c.grab().toImage();
    EXPECT_EQ(image.pixelColor(viewport->geometry().center()), QColor(0, 255, 0));
}
