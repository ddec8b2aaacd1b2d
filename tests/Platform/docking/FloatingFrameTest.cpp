// The frame of a frameless window: the contents margins stand for the non-client area while it
// is a window, the hit-test codes of each part, and presses there arriving as non-client messages
// whose default handling closes the window from its close button.

#include "Platform/docking/FloatingFrame.h"
#include "Platform/docking/DockCore.h"
#include "Platform/controls/Forms.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct FrameFixture {
    FrameFixture()
    {
        form.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        form.setGeometry(40, 40, 200, 120);
        frame = &TFloatingFrame::Attach(form);
        form.show();
    }
    TCustomForm form{nullptr};
    TFloatingFrame* frame;
};

} // namespace

TEST(FloatingFrame, MarginsFollowWhetherTheFormIsAWindow)
{
    FrameFixture f;
    const int b = TFloatingFrame::BorderWidth();
    const int c = TFloatingFrame::CaptionHeight();
    EXPECT_TRUE(f.frame->Active());
    EXPECT_EQ(f.form.ClientRect(), Rect(0, 0, 200 - 2 * b, 120 - 2 * b - c));
    EXPECT_EQ(f.form.ClientToScreen({0, 0}), TPoint::FromQt(f.form.mapToGlobal(QPoint(b, b + c))));

    TCustomForm host(nullptr);
    host.show();
    f.form.SetParent(&host);
    EXPECT_FALSE(f.frame->Active());
    EXPECT_EQ(f.form.contentsMargins(), QMargins(0, 0, 0, 0));
    f.form.SetParent(nullptr);
}

TEST(FloatingFrame, HitTestCodes)
{
    FrameFixture f;
    const int b = TFloatingFrame::BorderWidth();
    struct Case {
        QPoint pos;
        int code;
    } cases[] = {
        {{0, 60}, HTLEFT},          {{199, 60}, HTRIGHT},       {{100, 0}, HTTOP},
        {{100, 119}, HTBOTTOM},     {{0, 0}, HTTOPLEFT},        {{199, 119}, HTBOTTOMRIGHT},
        {{50, b + 5}, HTCAPTION},   {{100, 60}, HTCLIENT},      {{300, 60}, HTNOWHERE},
        {f.frame->CloseButtonRect().center(), HTCLOSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(f.frame->HitTest(c.pos), c.code) << c.pos.x() << "," << c.pos.y();
}

TEST(FloatingFrame, CaptionPressesArriveAsNonClientMessagesAndTheCloseButtonCloses)
{
    FrameFixture f;
    std::vector<std::pair<UINT, WPARAM>> seen;
    const TWndMethod next = f.form.WindowProc;
    f.form.WindowProc = [&](TMessage& m) {
        if (m.Msg >= WM_NCMOUSEMOVE && m.Msg <= WM_NCMBUTTONDBLCLK && m.Msg != WM_NCMOUSEMOVE)
            seen.emplace_back(m.Msg, m.WParam);
        next(m);
    };
    const QPoint caption(60, TFloatingFrame::BorderWidth() + 4);
    QTest::mousePress(&f.form, Qt::LeftButton, {}, caption);
    QTest::mouseRelease(&f.form, Qt::LeftButton, {}, caption);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(UINT(WM_NCLBUTTONDOWN), WPARAM(HTCAPTION)));
    EXPECT_EQ(seen[1], std::make_pair(UINT(WM_NCLBUTTONUP), WPARAM(HTCAPTION)));
    EXPECT_TRUE(f.form.isVisible());

    const QPoint close = f.frame->CloseButtonRect().center();
    QTest::mousePress(&f.form, Qt::LeftButton, {}, close);
    QTest::mouseRelease(&f.form, Qt::LeftButton, {}, close);
    EXPECT_FALSE(f.form.isVisible()) << "closed by its close button";
    f.form.WindowProc = next;
}
