// Editor option objects: they react only to real changes, clamp as stated and report every
// change once; the gutter's digit count and line-number text; glyphs and shared image strips.

#include "SrcEdit/Source/view/SrcEditGlyph.h"
#include "SrcEdit/Source/view/SrcEditOptions.h"
#include "SrcEdit/Source/text/SrcEditResources.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <functional>

namespace {

// Counts OnChange calls of an option object and checks their sender.
template <class T>
struct ChangeCounter {
    explicit ChangeCounter(T& object) : Object(object)
    {
        object.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &Object);
            ++Count;
        };
    }
    T& Object;
    int Count = 0;
};

struct SetterCase {
    const char* Name;
    std::function<void(TSrcGutter&)> Set;
};

} // namespace

TEST(Gutter, DefaultsAsPublished)
{
    const TSrcGutter g;
    EXPECT_FALSE(g.AutoSize());
    EXPECT_EQ(g.BorderStyle(), TSrcGutterBorderStyle::gbsMiddle);
    EXPECT_EQ(g.Color(), clBtnFace);
    EXPECT_EQ(g.BorderColor(), clWindow);
    EXPECT_EQ(g.Cursor(), 0);
    EXPECT_EQ(g.DigitCount(), 4);
    EXPECT_EQ(g.AutoDigitCount(), 4);
    EXPECT_EQ(g.Font().Name(), "Courier New");
    EXPECT_EQ(g.Font().Size(), 8);
    EXPECT_TRUE(g.Font().Style().Empty());
    EXPECT_FALSE(g.LeadingZeros());
    EXPECT_EQ(g.LeftOffset(), 16);
    EXPECT_EQ(g.RightOffset(), 2);
    EXPECT_FALSE(g.ShowLineNumbers());
    EXPECT_TRUE(g.UseFontStyle());
    EXPECT_TRUE(g.Visible());
    EXPECT_EQ(g.Width(), 30);
    EXPECT_FALSE(g.ZeroStart());
    EXPECT_EQ(g.LineNumberStart(), 1);
    EXPECT_FALSE(g.Gradient());
    EXPECT_EQ(g.GradientStartColor(), clWindow);
    EXPECT_EQ(g.GradientEndColor(), clBtnFace);
    EXPECT_EQ(g.GradientSteps(), 48);
}

TEST(Gutter, SettersReportOnlyRealChanges)
{
    const std::vector<SetterCase> cases = {
        {"AutoSize", [](TSrcGutter& g) { g.SetAutoSize(true); }},
        {"Color", [](TSrcGutter& g) { g.SetColor(clRed); }},
        {"BorderColor", [](TSrcGutter& g) { g.SetBorderColor(clRed); }},
        {"DigitCount", [](TSrcGutter& g) { g.SetDigitCount(6); }},
        {"LeadingZeros", [](TSrcGutter& g) { g.SetLeadingZeros(true); }},
        {"LeftOffset", [](TSrcGutter& g) { g.SetLeftOffset(3); }},
        {"RightOffset", [](TSrcGutter& g) { g.SetRightOffset(3); }},
        {"ShowLineNumbers", [](TSrcGutter& g) { g.SetShowLineNumbers(true); }},
        {"UseFontStyle", [](TSrcGutter& g) { g.SetUseFontStyle(false); }},
        {"Visible", [](TSrcGutter& g) { g.SetVisible(false); }},
        {"Width", [](TSrcGutter& g) { g.SetWidth(40); }},
        {"ZeroStart", [](TSrcGutter& g) { g.SetZeroStart(true); }},
        {"LineNumberStart", [](TSrcGutter& g) { g.SetLineNumberStart(10); }},
        {"Gradient", [](TSrcGutter& g) { g.SetGradient(true); }},
        {"GradientStartColor", [](TSrcGutter& g) { g.SetGradientStartColor(clRed); }},
        {"GradientEndColor", [](TSrcGutter& g) { g.SetGradientEndColor(clRed); }},
        {"GradientSteps", [](TSrcGutter& g) { g.SetGradientSteps(10); }},
        {"Font in place", [](TSrcGutter& g) { g.Font().SetSize(12); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSrcGutter g;
        ChangeCounter<TSrcGutter> changes(g);
        c.Set(g);
        EXPECT_EQ(changes.Count, 1) << "a new value";
        c.Set(g);
        EXPECT_EQ(changes.Count, 1) << "the same value again";
    }
}

TEST(Gutter, WritersClampTheirValues)
{
    TSrcGutter g;
    g.SetDigitCount(20);
    EXPECT_EQ(g.DigitCount(), 12);
    EXPECT_EQ(g.AutoDigitCount(), 12);
    g.SetDigitCount(1);
    EXPECT_EQ(g.DigitCount(), 2);
    g.SetLeftOffset(-5);
    g.SetRightOffset(-5);
    g.SetWidth(-1);
    EXPECT_EQ(g.LeftOffset(), 0);
    EXPECT_EQ(g.RightOffset(), 0);
    EXPECT_EQ(g.Width(), 0);
    g.SetGradientSteps(1);
    EXPECT_EQ(g.GradientSteps(), 2);
    g.SetLineNumberStart(-3);
    EXPECT_EQ(g.LineNumberStart(), 0);
    EXPECT_TRUE(g.ZeroStart());
    g.SetLineNumberStart(5);
    EXPECT_FALSE(g.ZeroStart());
}

TEST(Gutter, PlainStoresAndTheAlwaysReportingBorderStyle)
{
    TSrcGutter g;
    ChangeCounter<TSrcGutter> changes(g);
    g.SetCursor(5);
    EXPECT_EQ(g.Cursor(), 5);
    EXPECT_EQ(changes.Count, 0);
    g.SetBorderStyle(TSrcGutterBorderStyle::gbsMiddle);
    EXPECT_EQ(changes.Count, 1) << "BorderStyle reports even an unchanged value";
    g.SetBorderStyle(TSrcGutterBorderStyle::gbsRight);
    EXPECT_EQ(changes.Count, 2);
    TFont same;
    same.Assign(g.Font());
    g.SetFont(same);
    EXPECT_EQ(changes.Count, 2) << "an equal font is no change";
    same.SetName("Terminal");
    g.SetFont(same);
    EXPECT_EQ(changes.Count, 3);
    EXPECT_EQ(g.Font().Name(), "Terminal");
}

TEST(Gutter, AutomaticDigitCountFollowsTheLastLine)
{
    TSrcGutter g;
    g.SetShowLineNumbers(true);
    g.SetAutoSize(true);
    ChangeCounter<TSrcGutter> changes(g);
    g.UpdateDigitCount(12345);
    EXPECT_EQ(g.AutoDigitCount(), 5);
    EXPECT_EQ(changes.Count, 1);
    g.UpdateDigitCount(12345);
    EXPECT_EQ(changes.Count, 1) << "same count, no change";
    g.UpdateDigitCount(10);
    EXPECT_EQ(g.AutoDigitCount(), 4) << "never below DigitCount";
    EXPECT_EQ(changes.Count, 2);

    g.SetLineNumberStart(99990);
    changes.Count = 0;
    g.UpdateDigitCount(10); // the last line shows 99999
    EXPECT_EQ(g.AutoDigitCount(), 5);
    g.SetLineNumberStart(0);
    g.UpdateDigitCount(100000); // zero start: 99999
    EXPECT_EQ(g.AutoDigitCount(), 5);

    g.UpdateDigitCount(1000000);
    g.SetAutoSize(false);
    changes.Count = 0;
    g.UpdateDigitCount(1000000);
    EXPECT_EQ(g.AutoDigitCount(), 4) << "without AutoSize it returns to DigitCount";
    EXPECT_EQ(changes.Count, 0) << "silently";
}

TEST(Gutter, LineNumberText)
{
    struct Case {
        const char* Name;
        int DigitCount;
        bool LeadingZeros;
        int LineNumberStart;
        int Line;
        const char* Text;
    };
    const std::vector<Case> cases = {
        {"blanks", 4, false, 1, 7, "   7"},
        {"leading zeros", 4, true, 1, 7, "0007"},
        {"zero start", 4, false, 0, 7, "   6"},
        {"zero start, first line", 4, true, 0, 1, "0000"},
        {"offset start", 4, false, 100, 7, " 106"},
        {"wider than the digits", 2, true, 1, 12345, "12345"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TSrcGutter g;
        g.SetDigitCount(c.DigitCount);
        g.SetLeadingZeros(c.LeadingZeros);
        g.SetLineNumberStart(c.LineNumberStart);
        EXPECT_EQ(g.LineNumberText(c.Line), c.Text);
    }
}

TEST(Gutter, PixelWidth)
{
    TSrcGutter g;
    EXPECT_EQ(g.PixelWidth(8), 30) << "line numbers off: Width";
    g.SetShowLineNumbers(true);
    EXPECT_EQ(g.PixelWidth(8), 16 + 2 + 8 * 4 + 2);
    g.SetVisible(false);
    EXPECT_EQ(g.PixelWidth(8), 0);
}

TEST(Gutter, AssignCopiesTheListedValuesAndReportsOnce)
{
    TSrcGutter source;
    source.Font().SetName("Terminal");
    source.SetUseFontStyle(false);
    source.SetColor(clRed);
    source.SetWidth(24);
    source.SetShowLineNumbers(true);
    source.SetLeadingZeros(true);
    source.SetLeftOffset(5);
    source.SetDigitCount(2);
    source.SetRightOffset(7);
    source.SetAutoSize(true);
    source.UpdateDigitCount(123);
    source.SetLineNumberStart(0);
    source.SetBorderStyle(TSrcGutterBorderStyle::gbsNone);
    source.SetGradient(true);
    source.SetCursor(3);

    TSrcGutter g;
    ChangeCounter<TSrcGutter> changes(g);
    g.Assign(source);
    EXPECT_EQ(changes.Count, 1);
    EXPECT_EQ(g.Font().Name(), "Terminal");
    EXPECT_FALSE(g.UseFontStyle());
    EXPECT_EQ(g.Color(), clRed);
    EXPECT_EQ(g.Width(), 24);
    EXPECT_TRUE(g.ShowLineNumbers());
    EXPECT_TRUE(g.LeadingZeros());
    EXPECT_EQ(g.LeftOffset(), 5);
    EXPECT_EQ(g.DigitCount(), 2);
    EXPECT_EQ(g.RightOffset(), 7);
    EXPECT_TRUE(g.AutoSize());
    EXPECT_EQ(g.AutoDigitCount(), 3);
    EXPECT_EQ(g.LineNumberStart(), 0);
    EXPECT_TRUE(g.ZeroStart());
    EXPECT_EQ(g.BorderStyle(), TSrcGutterBorderStyle::gbsMiddle) << "border not copied";
    EXPECT_FALSE(g.Gradient()) << "gradient not copied";
    EXPECT_EQ(g.Cursor(), 0) << "cursor not copied";

    TSrcSelectedColor other;
    EXPECT_THROW(g.Assign(other), EConvertError);
}

TEST(SelectedColor, ReportsRealChangesAndAssignsBothColours)
{
    TSrcSelectedColor colours;
    EXPECT_EQ(colours.Background(), clHighlight);
    EXPECT_EQ(colours.Foreground(), clHighlightText);
    ChangeCounter<TSrcSelectedColor> changes(colours);
    colours.SetBackground(clHighlight);
    colours.SetForeground(clHighlightText);
    EXPECT_EQ(changes.Count, 0);
    colours.SetBackground(clNavy);
    EXPECT_EQ(changes.Count, 1);

    TSrcSelectedColor copy;
    ChangeCounter<TSrcSelectedColor> copyChanges(copy);
    copy.Assign(colours);
    EXPECT_EQ(copy.Background(), clNavy);
    EXPECT_EQ(copy.Foreground(), clHighlightText);
    EXPECT_EQ(copyChanges.Count, 1);
    EXPECT_THROW(copy.Assign(TSrcGutter()), EConvertError);
}

namespace {

class Owner : public TComponent {
public:
    using TComponent::TComponent;
    std::vector<TComponent*> Removed;

protected:
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation == TOperation::opRemove)
            Removed.push_back(component);
    }
};

} // namespace

TEST(BookMarkOpt, DefaultsChangesAndTheImageListsDestructionNotice)
{
    Owner editor(nullptr);
    TSrcBookMarkOpt options(&editor);
    EXPECT_EQ(options.BookmarkImages(), nullptr);
    EXPECT_TRUE(options.DrawBookmarksFirst());
    EXPECT_TRUE(options.EnableKeys());
    EXPECT_TRUE(options.GlyphsVisible());
    EXPECT_EQ(options.LeftMargin(), 2);
    EXPECT_EQ(options.Xoffset(), 12);

    ChangeCounter<TSrcBookMarkOpt> changes(options);
    options.SetEnableKeys(false);
    EXPECT_EQ(changes.Count, 0) << "EnableKeys is a plain store";
    options.SetXoffset(12);
    options.SetLeftMargin(2);
    options.SetGlyphsVisible(true);
    options.SetDrawBookmarksFirst(true);
    EXPECT_EQ(changes.Count, 0);
    options.SetXoffset(8);
    options.SetGlyphsVisible(false);
    EXPECT_EQ(changes.Count, 2);

    {
        TComponent images(nullptr);
        options.SetBookmarkImages(&images);
        EXPECT_EQ(changes.Count, 3);
        options.SetBookmarkImages(&images);
        EXPECT_EQ(changes.Count, 3);
    }
    ASSERT_EQ(editor.Removed.size(), 1u) << "the editor hears of the image list's end";

    TSrcBookMarkOpt copy(&editor);
    ChangeCounter<TSrcBookMarkOpt> copyChanges(copy);
    options.SetBookmarkImages(nullptr);
    options.SetLeftMargin(4);
    options.SetDrawBookmarksFirst(false);
    copy.Assign(options);
    EXPECT_EQ(copyChanges.Count, 1);
    EXPECT_FALSE(copy.DrawBookmarksFirst());
    EXPECT_FALSE(copy.EnableKeys());
    EXPECT_FALSE(copy.GlyphsVisible());
    EXPECT_EQ(copy.LeftMargin(), 4);
    EXPECT_EQ(copy.Xoffset(), 8);
}

namespace {

QImage Blank(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

template <class Draw>
QImage Render(int w, int h, Draw draw)
{
    QImage image = Blank(w, h);
    QPainter painter(&image);
    TCanvas canvas(&painter);
    draw(canvas);
    painter.end();
    return image;
}

bool SameRows(const QImage& a, int ay, const QImage& b, int by, int ax, int bx, int width)
{
    for (int x = 0; x < width; ++x)
        if (a.pixel(ax + x, ay) != b.pixel(bx + x, by))
            return false;
    return true;
}

} // namespace

TEST(Resources, BitmapsHaveTheirSizesAndUnknownNamesFail)
{
    const QImage strip = LoadSrcEditBitmap("SRCEDITINTERNALIMAGES");
    EXPECT_EQ(strip.size(), QSize(110, 14));
    const QImage wrapped = LoadSrcEditBitmap("SrcEditWrapped");
    EXPECT_EQ(wrapped.size(), QSize(15, 14));
    EXPECT_EQ(wrapped.pixel(0, 0), ToQColor(clLime).rgb()) << "the mask colour surrounds the glyph";
    try {
        LoadSrcEditBitmap("NoSuchBitmap");
        FAIL() << "no exception";
    } catch (const EResNotFound& e) {
        EXPECT_STREQ(e.what(), "Resource NoSuchBitmap not found");
    }
    EXPECT_THROW(TSrcGlyph("NoSuchBitmap", clLime), EResNotFound);
    EXPECT_THROW(TSrcInternalImage("NoSuchBitmap", 10), EResNotFound);
}

TEST(Glyph, OwnGlyphBeforeTheInternalOne)
{
    TSrcGlyph glyph("SrcEditWrapped", clLime);
    EXPECT_EQ(glyph.GlyphWidth(), 15);
    EXPECT_EQ(glyph.InternalMaskColor(), clLime);
    EXPECT_EQ(TSrcGlyph().GlyphWidth(), 0);
    EXPECT_EQ(TSrcGlyph().InternalMaskColor(), clNone);

    ChangeCounter<TSrcGlyph> changes(glyph);
    QImage own(9, 5, QImage::Format_RGB32);
    own.fill(Qt::red);
    glyph.SetGlyph(own);
    EXPECT_EQ(glyph.GlyphWidth(), 9);
    glyph.SetGlyph(own.copy());
    EXPECT_EQ(changes.Count, 1) << "the same picture is no change";
    glyph.SetMaskColor(clNone);
    glyph.SetVisible(true);
    EXPECT_EQ(changes.Count, 1);
    glyph.SetVisible(false);
    EXPECT_EQ(changes.Count, 2);

    TSrcGlyph copy;
    ChangeCounter<TSrcGlyph> copyChanges(copy);
    copy.Assign(glyph);
    EXPECT_EQ(copyChanges.Count, 1);
    EXPECT_EQ(copy.GlyphWidth(), 9);
    EXPECT_EQ(copy.InternalGlyph(), glyph.InternalGlyph());
    EXPECT_EQ(copy.InternalMaskColor(), clLime);
    EXPECT_FALSE(copy.Visible());
    glyph.SetGlyph(QImage());
    EXPECT_EQ(copy.GlyphWidth(), 9) << "each object keeps its own bitmap";
}

TEST(Glyph, DrawingCentresOrCutsAndKeepsMaskPixelsTransparent)
{
    const TSrcGlyph glyph("SrcEditWrapped", clLime);
    const QImage bitmap = glyph.InternalGlyph();
    const QRgb lime = ToQColor(clLime).rgb();

    // A row of 20 pixels: centred 3 pixels down.
    const QImage tall = Render(30, 30, [&](TCanvas& c) { glyph.DrawGlyph(c, 5, 4, 20); });
    int limeSeen = 0, inkMatched = 0;
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 15; ++x) {
            const QRgb src = bitmap.pixel(x, y);
            const QRgb dst = tall.pixel(5 + x, 4 + 3 + y);
            if (src == lime) {
                ++limeSeen;
                EXPECT_EQ(dst, qRgb(255, 255, 255)) << x << "," << y;
            } else {
                ++inkMatched;
                EXPECT_EQ(dst, src) << x << "," << y;
            }
        }
    EXPECT_GT(limeSeen, 0);
    EXPECT_GT(inkMatched, 0);
    EXPECT_EQ(tall.pixel(5 + 11, 4 + 2), qRgb(255, 255, 255)) << "nothing above the centred glyph";

    // A row of 10 pixels: the middle 10 rows (from row 2) drawn at Y.
    const QImage low = Render(30, 30, [&](TCanvas& c) { glyph.DrawGlyph(c, 0, 0, 10); });
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 15; ++x) {
            if (bitmap.pixel(x, y + 2) != lime) {
                EXPECT_EQ(low.pixel(x, y), bitmap.pixel(x, y + 2)) << x << "," << y;
            }
        }
    for (int x = 0; x < 15; ++x)
        EXPECT_EQ(low.pixel(x, 10), qRgb(255, 255, 255));
}

TEST(InternalImage, StripsShareOneCachedBitmap)
{
    ASSERT_EQ(TSrcInternalImage::CachedBitmapCount(), 0);
    {
        TSrcInternalImage first("SrcEditInternalImages", 10);
        EXPECT_EQ(first.Count(), 10);
        EXPECT_EQ(first.Width(), 11);
        EXPECT_EQ(first.Height(), 14);
        {
            TSrcInternalImage second("srceditinternalimages", 10);
            EXPECT_EQ(TSrcInternalImage::CachedBitmapCount(), 1);
            EXPECT_EQ(second.Bitmap().cacheKey(), first.Bitmap().cacheKey()) << "one shared bitmap";
            TSrcInternalImage other("SrcEditWrapped", 1);
            EXPECT_EQ(TSrcInternalImage::CachedBitmapCount(), 2);
        }
        EXPECT_EQ(TSrcInternalImage::CachedBitmapCount(), 1);
    }
    EXPECT_EQ(TSrcInternalImage::CachedBitmapCount(), 0) << "the last user frees it";
}

TEST(InternalImage, DrawsOneImageOfTheStripOpaque)
{
    const TSrcInternalImage images("SrcEditInternalImages", 10);
    const QImage strip = images.Bitmap();
    const QImage drawn = Render(40, 30, [&](TCanvas& c) {
        images.DrawImage(c, 3, 2, 1, 18);
        images.DrawImage(c, 10, 20, 1, 18);
        images.DrawImage(c, -1, 20, 1, 18);
    });
    for (int y = 0; y < 14; ++y)
        EXPECT_TRUE(SameRows(drawn, 1 + 2 + y, strip, y, 2, 33, 11)) << "row " << y;
    for (int y = 0; y < 30; ++y)
        for (int x = 20; x < 40; ++x)
            ASSERT_EQ(drawn.pixel(x, y), qRgb(255, 255, 255)) << "indexes outside 0..9 draw nothing";

    // Different images differ (each shows its own number).
    EXPECT_NE(strip.copy(0, 0, 11, 14), strip.copy(11, 0, 11, 14));
}
