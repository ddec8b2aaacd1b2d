// Drawing utilities and hidden message windows: gradient bands, masked and disabled pictures,
// image cells, the checker pattern, the hot-track font rule and the parent's image.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/controls/ExDesktopCanvas.h"
#include "ExLib/run/controls/ExDrawUtils.h"
#include "ExLib/run/common/ExMessageWindow.h"

#include "Platform/core/Application.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QColor RgbOf(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// Runs `draw` on a canvas over a fresh image.
template <class F>
QImage Draw(int w, int h, F draw)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    TCanvas canvas(&p);
    draw(canvas);
    canvas.SetHandle(nullptr);
    p.end();
    return image;
}

// The distinct colours down the first column, with the rows each covers.
std::vector<std::pair<QColor, int>> BandsDown(const QImage& image)
{
    std::vector<std::pair<QColor, int>> bands;
    for (int y = 0; y < image.height(); ++y) {
        const QColor c = image.pixelColor(0, y);
        if (bands.empty() || bands.back().first != c)
            bands.push_back({c, 0});
        ++bands.back().second;
    }
    return bands;
}

} // namespace

TEST(Gradient, BandsFollowTheColourCountAndTheExtent)
{
    const QImage ten = Draw(4, 10, [](TCanvas& c) { FillGradient(c, Rect(0, 0, 4, 10), clBlack, clWhite, 0, 32); });
    const auto tenBands = BandsDown(ten);
    ASSERT_EQ(tenBands.size(), 10u); // 10 bands of one pixel
    EXPECT_EQ(tenBands.front().first, QColor(0, 0, 0));
    EXPECT_EQ(tenBands.back().first, QColor(255, 255, 255));

    const QImage seventy = Draw(4, 70, [](TCanvas& c) { FillGradient(c, Rect(0, 0, 4, 70), clBlack, clWhite, 0, 32); });
    const auto bands = BandsDown(seventy);
    ASSERT_EQ(bands.size(), 32u); // the last band and the 6 leftover pixels share the end colour
    for (size_t i = 0; i + 1 < bands.size(); ++i)
        EXPECT_EQ(bands[i].second, 2) << i;
    EXPECT_EQ(bands.back().second, 2 + 6);
    EXPECT_EQ(bands.back().first, QColor(255, 255, 255));
    EXPECT_EQ(bands[1].first, QColor(8, 8, 8)); // 255 * 1 / 31 rounded
}

TEST(Gradient, DirectionsAndDegenerateCases)
{
    const QImage up = Draw(4, 20, [](TCanvas& c) { FillGradient(c, Rect(0, 0, 4, 20), clRed, clBlue, 1, 8); });
    EXPECT_EQ(up.pixelColor(0, 0), RgbOf(clBlue)); // upwards: the end colour along the top
    EXPECT_EQ(up.pixelColor(0, 19), RgbOf(clRed));
    const QImage left = Draw(20, 4, [](TCanvas& c) { FillGradient(c, Rect(0, 0, 20, 4), clRed, clBlue, 3, 8); });
    EXPECT_EQ(left.pixelColor(0, 0), RgbOf(clBlue));
    const QImage right = Draw(20, 4, [](TCanvas& c) { FillGradient(c, Rect(0, 0, 20, 4), clRed, clBlue, 2, 8); });
    EXPECT_EQ(right.pixelColor(0, 0), RgbOf(clRed));
    EXPECT_EQ(right.pixelColor(19, 0), RgbOf(clBlue));
    const QImage single = Draw(4, 4, [](TCanvas& c) { FillGradient(c, Rect(0, 0, 4, 4), clRed, clBlue, 1, 1); });
    EXPECT_EQ(single.pixelColor(3, 3), RgbOf(clBlue)); // one colour: the (swapped) start colour
    const QImage none = Draw(4, 4, [](TCanvas& c) { FillGradient(c, Rect(0, 0, 4, 4), clNone, clNone, 0, 8); });
    EXPECT_EQ(none.pixelColor(1, 1), QColor(0, 0, 0));
}

TEST(MaskedPictures, TheTransparentColourIsLeftOut)
{
    QImage bitmap(2, 2, QImage::Format_RGB32);
    bitmap.setPixelColor(0, 0, Qt::red);
    bitmap.setPixelColor(1, 0, Qt::green);
    bitmap.setPixelColor(0, 1, Qt::blue); // bottom-left
    bitmap.setPixelColor(1, 1, Qt::red);
    struct Case {
        TColor Transparent;
        QColor At00, At01;
    };
    const std::vector<Case> cases = {
        {clNone, Qt::red, Qt::blue},
        {clDefault, Qt::red, Qt::black}, // the bottom-left pixel's colour
        {clRed, Qt::black, Qt::blue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Transparent);
        const QImage out = Draw(4, 4, [&](TCanvas& canvas) { DrawBitmapMasked(canvas, 1, 1, bitmap, c.Transparent); });
        EXPECT_EQ(out.pixelColor(1, 1), c.At00);
        EXPECT_EQ(out.pixelColor(1, 2), c.At01);
        EXPECT_EQ(out.pixelColor(2, 1), QColor(Qt::green));
    }
    QImage mono(2, 1, QImage::Format_Mono);
    mono.setColor(0, qRgb(255, 255, 255));
    mono.setColor(1, qRgb(0, 0, 0));
    mono.setPixel(0, 0, 0);
    mono.setPixel(1, 0, 1);
    const QImage out = Draw(2, 1, [&](TCanvas& canvas) { DrawBitmapMasked(canvas, 0, 0, mono, clRed); });
    EXPECT_EQ(out.pixelColor(0, 0), QColor(Qt::black)); // white masked away
    // A stretch with a zero size takes the bitmap's size.
    const QImage stretched = Draw(4, 4, [&](TCanvas& canvas) {
        StretchBitmapMasked(canvas, bitmap, clNone, 0, 0, 0, 0, 0, 0, 0, 0);
    });
    EXPECT_EQ(stretched.pixelColor(1, 0), QColor(Qt::green));
    EXPECT_EQ(stretched.pixelColor(2, 0), QColor(Qt::black));
}

TEST(DisabledPictures, TheShapeInShadowWithAHighlightBelowRight)
{
    QImage glyph(3, 3, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    glyph.setPixelColor(0, 0, Qt::black);
    glyph.setPixelColor(2, 2, Qt::red);
    const QImage d = MakeDisabledBitmapWith(glyph, clBlack, clBtnFace, true, clGray, clWhite);
    EXPECT_EQ(d.size(), glyph.size());
    EXPECT_EQ(d.pixelColor(0, 0), RgbOf(clGray));
    EXPECT_EQ(d.pixelColor(1, 1), RgbOf(clWhite));
    EXPECT_EQ(d.pixelColor(2, 2), RgbOf(clBtnFace)); // red is no outline
    const QImage flat = MakeDisabledBitmapWith(glyph, clBlack, clBtnFace, false, clGray, clWhite);
    EXPECT_EQ(flat.pixelColor(1, 1), RgbOf(clBtnFace));

    QImage icon(3, 3, QImage::Format_RGB32);
    icon.fill(RgbOf(clSilver));
    icon.setPixelColor(0, 0, Qt::white);
    icon.setPixelColor(1, 0, Qt::blue);
    const QImage e = MakeEmbossedDisabledBitmap(icon, clSilver);
    EXPECT_EQ(e.pixelColor(0, 0), RgbOf(clSilver)); // white is no part of the shape
    EXPECT_EQ(e.pixelColor(1, 0), RgbOf(clBtnShadow));
    EXPECT_EQ(e.pixelColor(2, 1), RgbOf(clBtnHighlight));

    QImage alpha(2, 2, QImage::Format_ARGB32);
    alpha.fill(Qt::transparent);
    alpha.setPixelColor(0, 0, Qt::black);
    const QImage out = Draw(4, 4, [&](TCanvas& canvas) { DrawImageDisabled(alpha, canvas, 1, 1, true, clGray, clWhite); });
    EXPECT_EQ(out.pixelColor(1, 1), RgbOf(clGray));
    EXPECT_EQ(out.pixelColor(2, 2), RgbOf(clWhite));
    EXPECT_EQ(out.pixelColor(2, 1), QColor(Qt::black));
}

TEST(Pictures, CellsCheckersAndPaletteColours)
{
    QImage strip(6, 2, QImage::Format_RGB32);
    for (int x = 0; x < 6; ++x)
        for (int y = 0; y < 2; ++y)
            strip.setPixel(x, y, qRgb(x * 40, y * 40, 0));
    QImage cell;
    ExtractBitmapCell(strip, cell, 3, 1, 2);
    EXPECT_EQ(cell.size(), QSize(2, 2));
    EXPECT_EQ(cell.pixelColor(0, 0), QColor(160, 0, 0));
    ExtractBitmapCell(strip, cell, 0, 0, -4); // one column, one row, index 0
    EXPECT_EQ(cell.size(), strip.size());
    QImage untouched(1, 1, QImage::Format_RGB32);
    ExtractBitmapCell(QImage(), untouched, 2, 2, 1);
    EXPECT_EQ(untouched.size(), QSize(1, 1));

    const QImage checker = MakeCheckerPattern(clRed, clBlue);
    EXPECT_EQ(checker.size(), QSize(8, 8));
    EXPECT_EQ(checker.pixelColor(0, 0), RgbOf(clBlue));
    EXPECT_EQ(checker.pixelColor(1, 1), RgbOf(clBlue));
    EXPECT_EQ(checker.pixelColor(1, 0), RgbOf(clRed));
    EXPECT_EQ(PaletteColorOf(clRed), 0x020000FF);
}

TEST(HotTrackFont, FollowsTheFontExceptWhatIsPreserved)
{
    TFont font;
    font.SetName("DejaVu Sans");
    font.SetColor(clRed);
    font.SetHeight(-20);
    font.SetStyle({fsBold});
    TFont track;
    track.SetColor(clBlue);
    ApplyTrackFontOptions(track, font, {hoPreserveColor, hoPreserveStyle}); // without hoFollowFont
    EXPECT_EQ(track.Height(), -11);
    ApplyTrackFontOptions(track, font, {hoFollowFont, hoPreserveColor, hoPreserveStyle});
    EXPECT_EQ(track.Name(), "DejaVu Sans");
    EXPECT_EQ(track.Height(), -20);
    EXPECT_EQ(track.Color(), clBlue);
    EXPECT_TRUE(track.Style().Empty());
}

TEST(MessageBoxes, AnEmptyCaptionShowsTheApplicationsTitle)
{
    std::vector<TMessageBoxRequest> boxes;
    auto saved = Application()->MessageBoxHook;
    Application()->MessageBoxHook = [&](const TMessageBoxRequest& r) {
        boxes.push_back(r);
        return IDYES;
    };
    EXPECT_EQ(ShowMessageBox("Question?", "", MB_YESNO), IDYES);
    ShowMessageBox("Text", "Own caption", MB_OK);
    Application()->MessageBoxHook = saved;
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Caption, "Zentu");
    EXPECT_EQ(boxes[0].Flags, static_cast<unsigned>(MB_YESNO));
    EXPECT_EQ(boxes[1].Caption, "Own caption");
}

TEST(HiddenMessageWindows, PostedMessagesReachTheMethodAndCanBeTakenBack)
{
    std::vector<UINT> seen;
    THiddenMessageWindow window = CreateHiddenMessageWindow({}, [&](TMessage& m) { seen.push_back(m.Msg); });
    EXPECT_EQ(window->ClassName(), "TPUtilWindowEx");
    window->PostMessage(WM_USER + 1);
    window->PostMessage(WM_USER + 2);
    window->PostMessage(WM_USER + 1);
    EXPECT_TRUE(DiscardPendingMessage(window.get(), WM_USER + 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 2, WM_USER + 1}));
    window->PostMessage(WM_USER + 3);
    DestroyHiddenMessageWindow(window); // pending messages go with it
    EXPECT_EQ(window, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(seen.size(), 2u);

    THiddenMessageWindow plain = CreateHiddenMessageWindow("Other", nullptr);
    EXPECT_EQ(plain->ClassName(), "Other");
    EXPECT_EQ(plain->Perform(WM_USER, 1, 2), 0);
}

TEST(ParentImage, PaintsTheParentAndTheWindowlessSiblingsBelow)
{
    class Solid : public TExCustomControl {
    public:
        explicit Solid(TColor c) : TExCustomControl(nullptr), Color(c) {}
        TColor Color;

    protected:
        void Paint() override
        {
            Canvas().Brush().SetColor(Color);
            Canvas().FillRect(ClientRect());
        }
    };
    class Patch : public TExGraphicControl {
    public:
        Patch() : TExGraphicControl(nullptr) {}

    protected:
        void Paint() override
        {
            Canvas().Brush().SetColor(clBlue);
            Canvas().FillRect(ClientRect());
        }
    };
    Solid parent(clRed);
    parent.resize(60, 60);
    Patch below;
    below.SetParent(&parent);
    below.setGeometry(0, 0, 30, 30);
    TExGraphicControl self(nullptr);
    self.SetParent(&parent);
    self.setGeometry(20, 20, 20, 20);
    Patch above;
    above.SetParent(&parent);
    above.setGeometry(30, 30, 20, 20); // above the control: not part of its background
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    const QImage image = Draw(20, 20, [&](TCanvas& canvas) { PaintParentImage(self, canvas); });
    EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 0, 255));   // the sibling below
    EXPECT_EQ(image.pixelColor(15, 15), QColor(255, 0, 0)); // the parent
}

TEST(DesktopCanvas, DrawsOnAPictureOfTheScreen)
{
    TExDesktopCanvas canvas;
    EXPECT_FALSE(canvas.HandleAllocated());
    canvas.HandleNeeded();
    ASSERT_TRUE(canvas.HandleAllocated());
    canvas.Brush().SetColor(clRed);
    canvas.FillRect(Rect(5, 5, 10, 10));
    canvas.Flush();
    EXPECT_EQ(canvas.Picture().pixelColor(7, 7), QColor(255, 0, 0));
    canvas.Clear();
    EXPECT_EQ(canvas.Picture().pixelColor(7, 7).alpha(), 0);
}
