// The label: auto-size with margins, glyphs and rotation, the engraved disabled look, frames,
// transparency, the accelerator, hot tracking and a linked data provider.

#include "ExLib/data/DataTestProvider.h"

#include "ExLib/run/controls/ExTextDraw.h"
#include "ExLib/run/controls/ExThemes.h"
#include "ExLib/run/data/ExDataConsumer.h"
#include "ExLib/run/panels/ExLabel.h"

#include "Platform/controls/Forms.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

struct LabelFixture : ::testing::Test {
    TCustomForm form{nullptr};
    TExLabel* label = new TExLabel(&form, &form);

    LabelFixture()
    {
        form.resize(400, 300);
        label->move(10, 10);
    }
    // The canvas extent of `s` in the label's font.
    TSize Extent(const std::string& s, unsigned flags = DT_EXPANDTABS)
    {
        TCanvas canvas;
        canvas.Font().Assign(label->Font());
        TRect r{};
        DrawTextOnCanvas(canvas, s, -1, flags | DT_CALCRECT, r);
        return {r.Width(), r.Height()};
    }
    // The label drawn on a background of `background`.
    QImage Render(QColor background = Qt::white)
    {
        QImage image(label->size(), QImage::Format_RGB32);
        image.fill(background);
        label->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
};

// The bounding box of the pixels that differ from `background`.
QRect InkBox(const QImage& image, QColor background)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

int CountColor(const QImage& image, TColor color)
{
    const QColor wanted = ToQColor(ColorToRGB(color));
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == wanted;
    return n;
}

QImage Square(QColor color)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace

TEST_F(LabelFixture, ANewLabelIs65By17AndAnEmptyCaptionFitsOneBlankLine)
{
    EXPECT_EQ(label->Width(), 65);
    EXPECT_EQ(label->Height(), 17);
    EXPECT_TRUE(label->AutoSize());
    label->Loaded();
    const TSize blank = Extent(" ");
    EXPECT_EQ(label->Height(), blank.cy);
    EXPECT_EQ(label->Width(), blank.cx + 2);
}

TEST_F(LabelFixture, AutoSizeFollowsCaptionMarginsAndGlyph)
{
    label->SetCaption("Caption");
    const TSize text = Extent("Caption");
    EXPECT_EQ(label->Width(), text.cx + 2);
    EXPECT_EQ(label->Height(), text.cy);
    label->SetMargin(-5); // clamped to 0: no change
    EXPECT_EQ(label->Margin(), 0);
    label->SetMargin(3);
    EXPECT_EQ(label->TextMargins(), (std::array<int, 4>{3, 3, 3, 3}));
    EXPECT_EQ(label->Width(), text.cx + 2 + 6);
    EXPECT_EQ(label->Height(), text.cy + 6);

    auto* images = new TImageList(&form, 16, 24);
    images->Add(Square(Qt::red));
    label->SetImages(images);
    label->SetImageIndex(0);
    EXPECT_EQ(label->Width(), text.cx + 2 + 6 + 16 + label->Spacing());
    EXPECT_EQ(label->Height(), std::max(text.cy + 6, 24));
    delete images; // the label lets go of a freed list
    EXPECT_EQ(label->Images(), nullptr);

    label->SetAutoSize(false);
    label->SetCaption("A much longer caption than before");
    EXPECT_EQ(label->Width(), text.cx + 2 + 6);
}

TEST_F(LabelFixture, ARightJustifiedLabelKeepsItsRightEdgeUnlessItShowsAGlyph)
{
    label->SetAlignment(taRightJustify);
    label->SetCaption("Right");
    EXPECT_EQ(label->Left() + label->Width(), 10 + 65);
    const int right = label->Left() + label->Width();
    label->SetCaption("Right aligned text");
    EXPECT_EQ(label->Left() + label->Width(), right);

    auto* images = new TImageList(&form);
    images->Add(Square(Qt::blue));
    label->SetImages(images);
    const int left = label->Left();
    label->SetImageIndex(0);
    EXPECT_EQ(label->Left(), left);
}

TEST_F(LabelFixture, ANegativeAngleIsStoredPlus360AndRotationSizesTheLabel)
{
    label->SetCaption("Rotated");
    label->SetAngle(-90);
    EXPECT_EQ(label->Angle(), 270);
    TCanvas canvas;
    canvas.Font().Assign(label->Font());
    const int tw = canvas.TextWidth("Rotated"), th = canvas.TextHeight("Rotated");
    label->SetAngle(90);
    EXPECT_EQ(label->Width(), th + 4 + 2);
    EXPECT_EQ(label->Height(), tw + 4);
    label->SetAngle(180);
    EXPECT_EQ(label->Width(), tw + 4 + 2);
    EXPECT_EQ(label->Height(), th + 4);
    // 360 takes the rotated path, 0 the plain one.
    label->SetAngle(360);
    EXPECT_EQ(label->Height(), th + 4);
    label->SetAngle(0);
    EXPECT_EQ(label->Height(), Extent("Rotated").cy);
}

TEST_F(LabelFixture, RotatedTextStaysInsideTheLabelAtEveryAngle)
{
    label->SetCaption("Rotated text");
    label->Font().SetColor(clBlack);
    for (int angle = 30; angle < 360; angle += 30) {
        label->SetAngle(angle);
        const QImage image = Render();
        const QRect ink = InkBox(image, Qt::white);
        ASSERT_FALSE(ink.isEmpty()) << angle;
        EXPECT_GT(ink.left(), 0) << angle;
        EXPECT_GT(ink.top(), 0) << angle;
        // Nothing is cut off, and the text fills at least half the fitted box each way.
        EXPECT_LT(ink.right(), label->Width() - 1) << angle;
        EXPECT_LT(ink.bottom(), label->Height() - 1) << angle;
        EXPECT_GE(ink.width() * 2, label->Width()) << angle;
        EXPECT_GE(ink.height() * 2, label->Height()) << angle;
    }
}

TEST_F(LabelFixture, ADisabledLabelIsEngravedWithAOnePixelHighlightBelowRight)
{
    label->SetCaption("Disabled");
    form.SetColor(clBlack);
    label->SetEnabled(false);
    const QImage image = Render(Qt::black);
    EXPECT_GT(CountColor(image, clGrayText), 0);
    EXPECT_GT(CountColor(image, clBtnHighlight), 0);
    // The highlight lies one pixel right of and below the text: it shows at the lowest row.
    QRect gray, light;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == ToQColor(ColorToRGB(clGrayText)))
                gray |= QRect(x, y, 1, 1);
            if (image.pixelColor(x, y) == ToQColor(ColorToRGB(clBtnHighlight)))
                light |= QRect(x, y, 1, 1);
        }
    EXPECT_EQ(light.bottom(), gray.bottom() + 1);
    EXPECT_GT(light.top(), gray.top());
    EXPECT_GT(light.left(), gray.left());
}

TEST_F(LabelFixture, FramesAreSquareOrChamferedAndOversizedCornersAreIgnored)
{
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 60, 20);
    label->SetFrameColor(clRed);
    QImage image = Render();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(59, 19), QColor(Qt::red));
    label->SetRoundedFrame(10); // not below half the height
    EXPECT_EQ(label->RoundedFrame(), 0);
    label->SetRoundedFrame(4);
    EXPECT_EQ(label->RoundedFrame(), 4);
    image = Render();
    EXPECT_NE(image.pixelColor(0, 0), QColor(Qt::red)); // the corner is cut
    EXPECT_EQ(image.pixelColor(4, 0), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(0, 4), QColor(Qt::red));
}

TEST_F(LabelFixture, WithThemesALabelCannotBeMadeOpaque)
{
    ASSERT_TRUE(CurrentThemeServices().ThemesEnabled());
    EXPECT_TRUE(label->Transparent());
    label->SetTransparent(false);
    EXPECT_TRUE(label->Transparent());
    CurrentThemeServices().SetThemesEnabled(false);
    label->SetTransparent(false);
    EXPECT_FALSE(label->Transparent());
    label->SetTransparent(true);
    EXPECT_TRUE(label->Transparent());
    CurrentThemeServices().SetThemesEnabled(true);
}

TEST_F(LabelFixture, AnAmpersandCaptionMeasuresWithABlankOnlyAsAnAccelerator)
{
    label->SetCaption("&");
    EXPECT_EQ(label->Height(), Extent(" ").cy);
    label->SetShowAccelChar(false);
    label->Loaded();
    EXPECT_EQ(label->Width(), Extent("&", DT_EXPANDTABS | DT_NOPREFIX).cx + 2);
}

TEST_F(LabelFixture, AnEllipsisShortensTheDrawnText)
{
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 60, 20);
    label->Font().SetColor(clBlack);
    label->SetCaption("A caption far too long to fit");
    const QImage clipped = Render();
    label->SetTextEllipsis(TExTextEllipsis::teWordEllipsis);
    const QImage shortened = Render();
    EXPECT_NE(clipped, shortened);
    label->SetTextEllipsis(TExTextEllipsis::teEndEllipsis);
    EXPECT_EQ(Render(), shortened);
}

TEST_F(LabelFixture, TheAcceleratorFocusesTheFocusControl)
{
    auto* edit = new TWinControl(&form, &form);
    edit->setFocusPolicy(Qt::StrongFocus);
    label->SetCaption("&Name");
    form.show();
    QApplication::setActiveWindow(&form);
    const auto accel = [&](char32_t key, LPARAM alt) { return label->Perform(CM_DIALOGCHAR, key, alt); };
    EXPECT_EQ(accel('n', KF_ALTDOWN_BIT), 0); // no focus control
    label->SetFocusControl(edit);
    EXPECT_EQ(accel('x', KF_ALTDOWN_BIT), 0);
    EXPECT_EQ(accel('n', 0), 0);
    EXPECT_EQ(accel('N', KF_ALTDOWN_BIT), 1);
    EXPECT_TRUE(edit->Focused());
    delete edit;
    EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST_F(LabelFixture, HotTrackingSizesTheLabelForTheHotFontOnlyWhileTheMouseIsOver)
{
    label->SetCaption("Hover");
    label->SetHotTrack(true);
    label->HotTrackFont().SetHeight(-24);
    label->HotTrackFont().SetStyle(TFontStyles{fsBold});
    const int normal = label->Width();
    form.show();
    QApplication::setActiveWindow(&form);
    label->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(label));
    EXPECT_TRUE(label->MouseInside());
    EXPECT_GT(label->Width(), normal);
    label->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(label->Width(), normal);
}

TEST_F(LabelFixture, ALinkedProviderShowsTheSelectedItemUntilTheCaptionChanges)
{
    TTestProvider provider;
    provider.Add("first", "From the provider");
    provider.Extensions = {ConsumerExtensionClassOf<TExDataConsumerItemSelect>()};
    label->SetCaption("Own");
    auto* images = new TImageList(&form);
    label->SetImages(images);
    label->Provider().SetProvider(&provider);
    label->Provider().FindExtension<TExDataConsumerItemSelect>()->SetItem("first");
    EXPECT_EQ(label->DisplayedCaption(), "From the provider");
    EXPECT_EQ(label->Width(), Extent("From the provider").cx + 2);

    label->SetImages(images); // the same list: the link stays
    EXPECT_TRUE(label->HasProviderLink());
    label->SetImages(nullptr);
    EXPECT_FALSE(label->HasProviderLink());

    label->Provider().SetProvider(&provider);
    label->SetCaption("Typed");
    EXPECT_FALSE(label->HasProviderLink());
    EXPECT_EQ(label->DisplayedCaption(), "Typed");
}

TEST_F(LabelFixture, AClickGoesToTheLinkedItemFirst)
{
    class TClickItem : public TExBaseDataItem, public virtual IExDataItemClick {
    public:
        using TExBaseDataItem::TExBaseDataItem;
        bool Click(TComponent*) override { return Handles; }
        bool Handles = true;
    };
    TTestProvider provider;
    auto* item = Construct<TClickItem>(provider.RootItems());
    item->SetID("item");
    provider.RootList()->AddItemObject(item);
    provider.Extensions = {ConsumerExtensionClassOf<TExDataConsumerItemSelect>()};
    int clicks = 0;
    label->OnClick = [&](TObject*) { ++clicks; };
    label->Click();
    EXPECT_EQ(clicks, 1);
    label->Provider().SetProvider(&provider);
    label->Provider().FindExtension<TExDataConsumerItemSelect>()->SetItem("item");
    label->Click();
    EXPECT_EQ(clicks, 1);
    item->Handles = false;
    label->Click();
    EXPECT_EQ(clicks, 2);
    label->Provider().SetProvider(nullptr);
}
