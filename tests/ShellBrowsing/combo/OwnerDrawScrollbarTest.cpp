#include "ShellBrowsing/Source/combo/OwnerDrawScrollbar.h"

#include "Platform/controls/ScrollCodes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QThread>

namespace {

// Records the scroll messages a bar sends.
class TScrollTarget : public TCustomControl {
public:
    TScrollTarget() : TCustomControl(nullptr) {}
    std::vector<std::pair<int, int>> Received; // code, position

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg == WM_VSCROLL) {
            Received.emplace_back(static_cast<int>(message.WParam & 0xFFFF), static_cast<int>(message.WParam >> 16));
            return;
        }
        TCustomControl::WndProc(message);
    }
};

class TScrollbarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Bar = std::make_unique<TOwnerDrawScrollbar>();
        Bar->SetBounds(0, 0, 50, 200);
        Bar->show();
        QApplication::processEvents();
    }
    QImage Render()
    {
        QImage image(Bar->size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        Bar->PaintTo(painter);
        return image;
    }
    static QPoint Middle(const TRect& r) { return {r.Left + r.Width() / 2, r.Top + r.Height() / 2}; }
    void Press(QPoint p) { QTest::mousePress(Bar.get(), Qt::LeftButton, Qt::NoModifier, p); }
    void Release(QPoint p) { QTest::mouseRelease(Bar.get(), Qt::LeftButton, Qt::NoModifier, p); }
    // Lets timers run until the position stays put for a while (or 5 seconds passed).
    void WaitUntilSettled()
    {
        QElapsedTimer clock;
        clock.start();
        int last = Bar->Position();
        qint64 lastChange = 0;
        while (clock.elapsed() < 5000 && clock.elapsed() - lastChange < 900) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
            if (Bar->Position() != last) {
                last = Bar->Position();
                lastChange = clock.elapsed();
            }
        }
    }

    std::unique_ptr<TOwnerDrawScrollbar> Bar;
};

TEST_F(TScrollbarTest, SettersKeepTheValuesInRange)
{
    struct TCase {
        const char* what;
        std::function<void(TOwnerDrawScrollbar&)> change;
        int min, max, page, position;
    };
    const TCase cases[] = {
        {"the defaults", [](TOwnerDrawScrollbar&) {}, 0, 100, 1, 0},
        {"a position beyond the largest", [](auto& b) { b.SetPageSize(10); b.SetPosition(95); }, 0, 100, 10, 90},
        {"a position below the minimum", [](auto& b) { b.SetPosition(-5); }, 0, 100, 1, 0},
        {"a page larger than the range", [](auto& b) { b.SetPageSize(500); }, 0, 100, 100, 0},
        {"a page of nothing", [](auto& b) { b.SetPageSize(0); }, 0, 100, 1, 0},
        {"a maximum not above the minimum", [](auto& b) { b.SetMax(0); }, 0, 1, 1, 0},
        {"a minimum not below the maximum", [](auto& b) { b.SetMin(200); }, 99, 100, 1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TOwnerDrawScrollbar bar;
        c.change(bar);
        EXPECT_EQ(bar.Min(), c.min);
        EXPECT_EQ(bar.Max(), c.max);
        EXPECT_EQ(bar.PageSize(), c.page);
        EXPECT_EQ(bar.Position(), c.position);
    }
    TOwnerDrawScrollbar bar;
    bar.SetPageSize(10);
    EXPECT_EQ(bar.LargestPosition(), 90);
    bar.SetBounds(0, 0, 300, 100);
    EXPECT_EQ(bar.Width(), ScrollBarWidth()) << "the width is always the system's";
}

TEST_F(TScrollbarTest, TheThumbFollowsThePositionAndTheMouseFollowsTheThumb)
{
    Bar->SetPageSize(10);
    const int button = ScrollBarButtonHeight();
    EXPECT_EQ(Bar->UpButtonRect().Bottom, button);
    EXPECT_EQ(Bar->DownButtonRect().Top, 200 - button);
    const int track = 200 - 2 * button;
    EXPECT_EQ(Bar->TrackHeight(), track);
    EXPECT_EQ(Bar->ThumbHeight(), std::max(static_cast<int>(std::nearbyint(track * 0.1F)), ScrollBarMinThumb() / 2));

    EXPECT_EQ(Bar->ThumbRect().Top, Bar->TrackRect().Top);
    Bar->SetPosition(90);
    EXPECT_EQ(Bar->ThumbRect().Bottom, Bar->TrackRect().Bottom);
    EXPECT_EQ(Bar->PageDownRect().Height(), 0);
    for (int position : {0, 13, 45, 77, 90}) {
        SCOPED_TRACE(position);
        Bar->SetPosition(position);
        EXPECT_NEAR(Bar->PositionFromY(Bar->ThumbCenter()), position, 1);
        EXPECT_EQ(Bar->PageUpRect().Bottom, Bar->ThumbRect().Top);
        EXPECT_EQ(Bar->PageDownRect().Top, Bar->ThumbRect().Bottom);
    }
    EXPECT_EQ(Bar->PositionFromY(-50), 0);
    EXPECT_EQ(Bar->PositionFromY(500), 90);

    // A bar no taller than two buttons has half-height buttons and no track or thumb.
    Bar->SetBounds(0, 0, 0, button);
    EXPECT_EQ(Bar->ButtonHeight(), button / 2);
    EXPECT_EQ(Bar->TrackHeight(), 0);
    EXPECT_EQ(Bar->ThumbHeight(), 0);
    EXPECT_TRUE(Bar->ThumbRect().IsEmpty());
}

TEST_F(TScrollbarTest, WithATargetTheBarReportsInsteadOfMoving)
{
    TScrollTarget target;
    Bar->SetScrollTarget(&target);
    Bar->SetPageSize(10);
    Bar->SetPosition(40);

    Press(Middle(Bar->UpButtonRect()));
    Release(Middle(Bar->UpButtonRect()));
    EXPECT_EQ(target.Received, (std::vector<std::pair<int, int>>{{SB_LINEUP, 40}, {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(Bar->Position(), 40) << "the target moves the bar";

    target.Received.clear();
    const QPoint thumb = Middle(Bar->ThumbRect());
    Press(thumb);
    QTest::mouseMove(Bar.get(), thumb + QPoint(0, 20));
    QTest::mouseMove(Bar.get(), thumb + QPoint(0, 40));
    Release(thumb + QPoint(0, 40));
    ASSERT_EQ(target.Received.size(), 3U);
    EXPECT_EQ(target.Received[0].first, SB_THUMBTRACK);
    EXPECT_EQ(target.Received[1].first, SB_THUMBTRACK);
    EXPECT_LT(target.Received[0].second, target.Received[1].second);
    EXPECT_EQ(target.Received[1].second, Bar->Position()) << "dragging moves the thumb itself";
    EXPECT_EQ(target.Received[2].first, SB_ENDSCROLL);
    EXPECT_EQ(Bar->ScrollState() & (ssThumbHeld | ssLButtonDown), 0);
}

TEST_F(TScrollbarTest, HoldingAPageAreaRepeatsUntilTheThumbReachesTheMouse)
{
    Bar->SetPageSize(10);
    Bar->SetLargeChange(10);
    Bar->SetSmallChange(1);
    Press(Middle(Bar->DownButtonRect()));
    Release(Middle(Bar->DownButtonRect()));
    EXPECT_EQ(Bar->Position(), 1);

    Bar->SetPosition(0);
    const QPoint p(Bar->Width() / 2, Bar->TrackRect().Top + Bar->TrackHeight() * 3 / 4);
    Press(p);
    EXPECT_EQ(Bar->Position(), 10) << "the press itself steps once";
    EXPECT_TRUE(Bar->ScrollState() & ssPageDownHeld);
    WaitUntilSettled();
    EXPECT_EQ(Bar->Position() % 10, 0) << "by whole pages";
    EXPECT_GT(Bar->Position(), 10) << "the held button repeated";
    EXPECT_LT(Bar->Position(), 90) << "and stopped at the mouse";
    EXPECT_FALSE(Bar->PageDownRect().Contains({p.x(), p.y()}));
    EXPECT_FALSE(Bar->ScrollState() & ssMouseInHeldPage);
    Release(p);
    EXPECT_EQ(Bar->ScrollState() & (ssPageDownHeld | ssLButtonDown), 0);
}

TEST_F(TScrollbarTest, TheClassicLookAndCustomPainting)
{
    Bar->SetOptions({});
    Bar->SetPageSize(20);
    Bar->SetPosition(40);
    Bar->Colors().SetThumbButton(RGBColor(255, 0, 0));
    Bar->Colors().SetBackground(RGBColor(0, 0, 255));
    Bar->Colors().SetBackgroundBlend(RGBColor(255, 255, 255));
    Bar->Colors().SetPageScrollHot(RGBColor(0, 255, 0));
    const QColor red(255, 0, 0), blue(0, 0, 255), white(255, 255, 255);

    QImage image = Render();
    const QPoint thumb = Middle(Bar->ThumbRect());
    EXPECT_EQ(image.pixelColor(thumb), red);
    // The track is a checker of the two background colours.
    const TRect page = Bar->PageUpRect();
    for (const QPoint p : {QPoint(page.Left + 3, page.Top + 4), QPoint(page.Left + 4, page.Top + 4)})
        EXPECT_EQ(image.pixelColor(p), (p.x() + p.y()) % 2 ? blue : white) << p.x() << "," << p.y();

    std::vector<TScrollPaintCycle> asked;
    Bar->OnScrollCustomPaint = [&](TObject*, TScrollPaintCycle cycle, TScrollPaintState, TRect& r, TCanvas&,
                                   bool& handled) {
        asked.push_back(cycle);
        if (cycle == TScrollPaintCycle::pcThumb) {
            EXPECT_EQ(r.Top, Bar->ThumbRect().Top);
            handled = true;
        }
    };
    image = Render();
    EXPECT_EQ(asked, (std::vector<TScrollPaintCycle>{TScrollPaintCycle::pcBackground, TScrollPaintCycle::pcScrollUp,
                                                     TScrollPaintCycle::pcScrollDown, TScrollPaintCycle::pcThumb}));
    EXPECT_NE(image.pixelColor(thumb), red) << "the handler drew the thumb (here: nothing)";
    const QImage classic = image;
    const TRect up = Bar->UpButtonRect();
    EXPECT_NE(image.pixelColor(Middle(up)), QColor(Qt::transparent)) << "the buttons are still drawn";

    // A held page area takes the hot colour.
    Bar->OnScrollCustomPaint = nullptr;
    Press(Middle(Bar->PageDownRect()));
    image = Render();
    EXPECT_EQ(image.pixelColor(QPoint(Bar->Width() / 2, Bar->TrackRect().Bottom - 2)), QColor(0, 255, 0));
    Release(Middle(Bar->PageDownRect()));
}

} // namespace
