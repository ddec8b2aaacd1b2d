// The preview control: scale modes and percent, the page selector of the whole-page view, paging
// with and without an engine, the wheel, and the page drawn through the engine.

#include "SrcEdit/Source/print/SrcEditPrintPreview.h"
#include "SrcEdit/Source/print/SrcEditPrint.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TStringList lines;
        for (int i = 0; i < 200; ++i)
            lines.Add("line " + std::to_string(i + 1));
        Print.SetLines(lines);
        Preview.resize(600, 500);
        Preview.show();
        Preview.SetSrcEditPrint(&Print);
        Preview.OnPreviewPage = [this](TObject*, int page) { Pages.push_back(page); };
        Preview.RefreshPages();
        QApplication::processEvents();
    }

    TSrcEditPrint Print;
    TSrcEditPrintPreview Preview;
    std::vector<int> Pages;
};

} // namespace

TEST_F(PreviewTest, PercentScalesThePageAndAModeChangeResetsTheScrollPosition)
{
    Preview.SetScalePercent(100);
    const QSize full = Preview.PageExtent();
    Preview.SetScalePercent(200);
    EXPECT_NEAR(Preview.PageExtent().width(), 2 * full.width(), 1);
    EXPECT_NEAR(Preview.PageExtent().height(), 2 * full.height(), 1);
    EXPECT_GT(Preview.horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(Preview.verticalScrollBar()->maximum(), 0);
    Preview.VScrollBy(-300);
    Preview.HScrollBy(-100);
    EXPECT_EQ(Preview.ViewOffset(), QPoint(-100, -300));
    Preview.SetScaleMode(pscPageWidth);
    EXPECT_EQ(Preview.ViewOffset(), QPoint(0, 0));
    EXPECT_EQ(Preview.PageExtent().width(), Preview.viewport()->width() - 26);
}

TEST_F(PreviewTest, TheWholePageViewPagesWithItsScrollBarAndStaysAtTheEnds)
{
    Preview.SetScaleMode(pscWholePage);
    const int total = Preview.PageTotal();
    ASSERT_GE(total, 3);
    EXPECT_LE(Preview.PageExtent().height(), Preview.viewport()->height() - 26);
    EXPECT_EQ(Preview.verticalScrollBar()->minimum(), 1);
    EXPECT_EQ(Preview.verticalScrollBar()->maximum(), total);
    Preview.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Preview.ShownPage(), 2);
    Preview.GoLastPage();
    Pages.clear();
    Preview.GoNextPage();
    EXPECT_EQ(Preview.ShownPage(), total);
    EXPECT_EQ(Pages, std::vector<int>{total}) << "the page event fires also when the page stays";
    Preview.GoFirstPage();
    Preview.GoPreviousPage();
    EXPECT_EQ(Preview.ShownPage(), 1);
    QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(Preview.viewport(), &wheel);
    EXPECT_EQ(Preview.ViewOffset(), QPoint(0, 0)) << "the whole page always fits";
}

TEST_F(PreviewTest, ThePageShowsTheEnginesTextOnPaper)
{
    Preview.SetScaleMode(pscPageWidth);
    const QImage image = Preview.Render();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 30; x < image.width() - 30; ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 100);
}

TEST(PreviewWithoutEngine, PagesMoveFreelyAndOnlyThePlaceholderIsDrawn)
{
    TSrcEditPrintPreview preview;
    preview.resize(300, 200);
    preview.GoPreviousPage();
    EXPECT_EQ(preview.ShownPage(), 0);
    preview.GoNextPage();
    preview.GoNextPage();
    EXPECT_EQ(preview.ShownPage(), 2);
    const QImage image = preview.Render();
    EXPECT_EQ(image.pixel(30, 25), qRgb(255, 255, 255));
    EXPECT_NE(image.pixel(150, 150), qRgb(255, 255, 255));
}

TEST(PreviewWithoutEngine, AnEngineThatGoesIsForgotten)
{
    TSrcEditPrintPreview preview;
    {
        TSrcEditPrint print;
        preview.SetSrcEditPrint(&print);
    }
    EXPECT_EQ(preview.SrcEditPrint(), nullptr);
}
