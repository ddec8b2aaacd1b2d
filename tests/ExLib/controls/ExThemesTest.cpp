// Theme services: which frame-control requests draw as themed elements, backgrounds that show
// the parent's colour or fill their own, and erasing with the parent's background.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/controls/ExThemes.h"

#include <QCursor>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

using E = TThemedElement;
using S = TThemedState;
using C = TThemedCheck;

// Turns themes off for one test.
struct ThemesOff {
    ThemesOff() { CurrentThemeServices().SetThemesEnabled(false); }
    ~ThemesOff() { CurrentThemeServices().SetThemesEnabled(true); }
};

// A parent that records the erases its children ask for.
class RecordingParent : public TExExCustomControl {
public:
    RecordingParent() : TExExCustomControl(nullptr)
    {
        resize(100, 100);
        setAutoFillBackground(true);
        SetColor(clYellow);
    }
    std::vector<QTransform> Erases;

protected:
    bool EraseBackground(TCanvas& canvas, LPARAM param) override
    {
        Erases.push_back(canvas.Handle()->worldTransform());
        return TExExCustomControl::EraseBackground(canvas, param);
    }
};

QImage Blank()
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

} // namespace

TEST(FrameControls, RequestsMapToThemedElementsInTheStatesOrder)
{
    struct Case {
        unsigned Kind, State;
        std::optional<TThemedElementDetails> Details;
    };
    const std::vector<Case> cases = {
        {DFC_SCROLL, DFCS_SCROLLUP, TThemedElementDetails{E::ScrollArrowUp, S::Normal}},
        {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_PUSHED | DFCS_INACTIVE, TThemedElementDetails{E::ScrollArrowDown, S::Disabled}},
        {DFC_SCROLL, DFCS_SCROLLUP | DFCS_PUSHED | DFCS_HOT, TThemedElementDetails{E::ScrollArrowUp, S::Pressed}},
        {DFC_SCROLL, DFCS_SCROLLUP | DFCS_TRANSPARENT, std::nullopt},
        {DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_TRANSPARENT | DFCS_HOT, TThemedElementDetails{E::ComboDropDown, S::Hot}},
        {DFC_SCROLL, 2 /* left arrow */, std::nullopt},
        {DFC_BUTTON, DFCS_BUTTONPUSH, TThemedElementDetails{E::PushButton, S::Normal}},
        {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_MONO, TThemedElementDetails{E::PushButton, S::Default}},
        {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_MONO | DFCS_HOT, TThemedElementDetails{E::PushButton, S::Hot}},
        {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_FLAT, std::nullopt},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED, TThemedElementDetails{E::CheckBox, S::Normal, C::Checked}},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_MONO, TThemedElementDetails{E::CheckBox, S::Normal, C::Mixed}},
        {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_INACTIVE,
         TThemedElementDetails{E::RadioButton, S::Disabled, C::Checked}},
        {1 /* caption */, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Kind) + "/" + std::to_string(c.State));
        EXPECT_EQ(ThemedFrameControlDetails(c.Kind, c.State), c.Details);
    }
}

TEST(FrameControls, DrawingAnswersNonZeroForWhatItCanDraw)
{
    for (const bool themes : {true, false}) {
        SCOPED_TRACE(themes ? "themed" : "classic");
        CurrentThemeServices().SetThemesEnabled(themes);
        QImage image = Blank();
        QPainter p(&image);
        EXPECT_NE(PaintThemedFrameControl(nullptr, p, Rect(0, 0, 16, 16), DFC_BUTTON, DFCS_BUTTONPUSH), 0);
        EXPECT_NE(PaintThemedFrameControl(nullptr, p, Rect(16, 0, 32, 16), DFC_SCROLL, DFCS_SCROLLUP | DFCS_TRANSPARENT),
                  0);
        EXPECT_EQ(PaintThemedFrameControl(nullptr, p, Rect(0, 0, 16, 16), 1, 0), 0);
        p.end();
        EXPECT_NE(image.pixelColor(8, 8), QColor(Qt::black));
    }
    CurrentThemeServices().SetThemesEnabled(true);
}

TEST(ThemedBackground, AColourOtherThanTheParentsIsAlwaysFilled)
{
    RecordingParent parent;
    TExExCustomControl child(nullptr);
    child.SetParent(&parent);
    child.setGeometry(10, 10, 20, 20);
    AddThemeStyle(child, {csParentBackground});
    for (const bool themes : {true, false}) {
        SCOPED_TRACE(themes);
        CurrentThemeServices().SetThemesEnabled(themes);
        QImage image = Blank();
        QPainter p(&image);
        TCanvas canvas(&p);
        PaintThemedBackground(child, canvas, Rect(0, 0, 20, 20), clRed);
        canvas.SetHandle(nullptr);
        p.end();
        EXPECT_EQ(image.pixelColor(5, 5), QColor(255, 0, 0));
        EXPECT_TRUE(parent.Erases.empty());
    }
    CurrentThemeServices().SetThemesEnabled(true);
}

TEST(ThemedBackground, TheParentsColourShowsItsBackgroundWhenThemed)
{
    RecordingParent parent;
    TExExCustomControl child(nullptr);
    child.SetParent(&parent);
    child.setGeometry(10, 15, 20, 20);
    QImage image = Blank();
    QPainter p(&image);
    TCanvas canvas(&p);
    canvas.Brush().SetColor(clGreen);
    // Without the parent-background style the control fills.
    PaintThemedBackground(child, canvas, Rect(0, 0, 20, 20), clYellow);
    EXPECT_TRUE(parent.Erases.empty());
    AddThemeStyle(child, {csParentBackground, csOpaque});
    EXPECT_EQ(ThemeStyleOf(child), (TControlStyle{csParentBackground}));
    image.fill(Qt::black);
    PaintThemedBackground(child, canvas, Rect(0, 0, 20, 20), clYellow);
    ASSERT_EQ(parent.Erases.size(), 1u);
    EXPECT_EQ(parent.Erases[0].dx(), -10);
    EXPECT_EQ(parent.Erases[0].dy(), -15);
    EXPECT_EQ(canvas.Brush().Color(), clGreen);
    canvas.SetHandle(nullptr);
    p.end();
    EXPECT_EQ(image.pixelColor(5, 5), QColor(255, 255, 0)); // the parent's own background
    {
        ThemesOff off;
        QPainter q(&image);
        TCanvas c2(&q);
        PaintThemedBackground(child, c2, Rect(0, 0, 20, 20), clYellow);
        c2.SetHandle(nullptr);
        EXPECT_EQ(parent.Erases.size(), 1u); // themes off: filled
    }
}

TEST(ThemedBackground, ErasingWithTheParentMovesTheOriginByTheOffset)
{
    RecordingParent parent;
    TExExCustomControl child(nullptr);
    QImage image = Blank();
    QPainter p(&image);
    EraseWithParentBackground(child, p, nullptr); // no parent: nothing
    child.SetParent(&parent);
    EraseWithParentBackground(child, p, TPoint{0, 5}, nullptr);
    ASSERT_EQ(parent.Erases.size(), 1u);
    EXPECT_EQ(parent.Erases[0].dx(), 0);
    EXPECT_EQ(parent.Erases[0].dy(), -5);
    EXPECT_EQ(p.worldTransform(), QTransform()); // put back
    const TRect clip = Rect(2, 2, 4, 4);
    EraseWithParentBackground(child, p, TPoint{0, 0}, &clip);
    EXPECT_FALSE(p.hasClipping());
    p.end();
    EXPECT_EQ(image.pixelColor(3, 3), QColor(255, 255, 0));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(255, 255, 0)); // the first erase had no clip
}

TEST(ThemedBackground, TheMouseInTheClientRectangle)
{
    TExExCustomControl c(nullptr);
    c.resize(50, 50);
    c.show();
    QCursor::setPos(c.mapToGlobal(QPoint(10, 10)));
    EXPECT_TRUE(MouseInClientRect(c));
    QCursor::setPos(c.mapToGlobal(QPoint(60, 10)));
    EXPECT_FALSE(MouseInClientRect(c));
}
