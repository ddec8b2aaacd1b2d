// The static text: auto-size, its accelerator, the layout of its caption with margins, and the
// hot-track font.

#include "ExLib/run/controls/ExTextDraw.h"
#include "ExLib/run/panels/ExStaticText.h"

#include "Platform/controls/Forms.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct TextFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExStaticText* text = new TExStaticText(&form, &form);
    TCanvas canvas;

    TextFixture()
    {
        form.resize(300, 200);
        canvas.Font().Assign(text->Font());
    }
    TSize Extent(const std::string& s)
    {
        TRect r{};
        DrawTextOnCanvas(canvas, s, -1, DT_EXPANDTABS | DT_CALCRECT, r);
        return {r.Width(), r.Height()};
    }
};

} // namespace

TEST_F(TextFixture, AutoSizeFollowsTheCaptionUnlessItIsOff)
{
    EXPECT_EQ(text->Width(), 65);
    text->SetCaption("Application options");
    const TSize e = Extent("Application options");
    EXPECT_EQ(text->Width(), e.cx + 4);
    EXPECT_EQ(text->Height(), e.cy + 4);
    text->SetAutoSize(false);
    text->resize(300, 20);
    text->SetCaption("Short");
    EXPECT_EQ(text->Width(), 300);
    EXPECT_EQ(text->Height(), 20);
}

TEST_F(TextFixture, TheAcceleratorFocusesItsControlOnlyWhenItHasOne)
{
    text->SetCaption("&Name:");
    const auto accel = [&](char32_t key) { return text->Perform(CM_DIALOGCHAR, key, KF_ALTDOWN_BIT); };
    EXPECT_EQ(accel('n'), 0);
    auto* edit = new TWinControl(&form, &form);
    edit->setFocusPolicy(Qt::StrongFocus);
    text->SetFocusControl(edit);
    form.show();
    QApplication::setActiveWindow(&form);
    EXPECT_EQ(accel('x'), 0);
    EXPECT_EQ(accel('n'), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); }));
    // Without Alt, or with the accelerator shown as text, nothing happens.
    EXPECT_EQ(text->Perform(CM_DIALOGCHAR, 'n', 0), 0);
    text->SetShowAccelChar(false);
    EXPECT_EQ(accel('n'), 0);
    delete edit;
    EXPECT_EQ(text->FocusControl(), nullptr);
}

TEST_F(TextFixture, CentredCaptionsIgnoreTheVerticalMarginBottomOnesKeepIt)
{
    text->SetAutoSize(false);
    text->resize(200, 60);
    text->SetCaption("Header");
    text->TextMargins().SetX(7);
    text->TextMargins().SetY(5);
    const int h = Extent("Header").cy;
    text->SetLayout(TTextLayout::tlCenter);
    EXPECT_EQ(text->CaptionRect(canvas, text->ClientRect()).Top, (60 - h) / 2);
    text->SetLayout(TTextLayout::tlBottom);
    EXPECT_EQ(text->CaptionRect(canvas, text->ClientRect()).Top, 60 - h - 5);
    text->SetLayout(TTextLayout::tlTop);
    EXPECT_EQ(text->CaptionRect(canvas, text->ClientRect()).Top, 5);
    EXPECT_EQ(text->CaptionRect(canvas, text->ClientRect()).Left, 7);
    text->SetAlignment(TAlignment::taRightJustify);
    EXPECT_EQ(text->CaptionRect(canvas, text->ClientRect()).Right, 200 - 7);
    text->SetAlignment(TAlignment::taCenter);
    TRect centred{};
    DrawTextOnCanvas(canvas, "Header", -1, DT_CENTER | DT_EXPANDTABS | DT_CALCRECT, centred);
    const int w = centred.Width();
    EXPECT_EQ(text->CaptionRect(canvas, text->ClientRect()).Left, (200 - w) / 2);
}

TEST_F(TextFixture, TheHotFontIsShownWhileTheMouseIsOver)
{
    text->HotTrack = true;
    text->HotTrackFont().SetColor(clRed);
    text->HotTrackFont().SetStyle({fsUnderline});
    const auto enter = [&] { text->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(text)); };
    const auto leave = [&] { text->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(text)); };
    enter();
    EXPECT_TRUE(text->font().underline());
    EXPECT_EQ(text->Font().Color(), clRed);
    leave();
    EXPECT_FALSE(text->font().underline());
    EXPECT_NE(text->Font().Color(), clRed);
}
