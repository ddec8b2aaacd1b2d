// The image list: pictures cut to the list's size, mask colours made transparent, change links.

#include "Platform/graphics/ImgList.h"

#include <QPainter>
#include <gtest/gtest.h>

TEST(ImageList, AStripIsCutIntoListSizedPicturesWithTheMaskColourTransparent)
{
    TImageList list(nullptr, 4, 4);
    QImage strip(12, 4, QImage::Format_RGB32);
    strip.fill(Qt::magenta);
    QPainter(&strip).fillRect(5, 1, 2, 2, Qt::blue);
    EXPECT_EQ(list.Add(strip, clFuchsia), 0);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(qAlpha(list.Image(0).pixel(0, 0)), 0);
    EXPECT_EQ(list.Image(1).pixel(1, 1), QColor(Qt::blue).rgb());
    EXPECT_EQ(qAlpha(list.Image(1).pixel(0, 0)), 0);

    // clDefault takes the bottom-left pixel's colour; clNone keeps every pixel.
    QImage corner(4, 4, QImage::Format_RGB32);
    corner.fill(Qt::green);
    corner.setPixel(0, 3, QColor(Qt::yellow).rgb());
    EXPECT_EQ(list.Add(corner, clDefault), 3);
    EXPECT_EQ(qAlpha(list.Image(3).pixel(0, 3)), 0);
    EXPECT_EQ(qAlpha(list.Image(3).pixel(1, 1)), 255);
    list.Add(corner, clNone);
    EXPECT_EQ(qAlpha(list.Image(4).pixel(0, 3)), 255);
    EXPECT_TRUE(list.Image(9).isNull());
    EXPECT_FALSE(list.ValidIndex(-1));
}

TEST(ImageList, ChangeLinksHearEveryChangeUntilTheyUnregister)
{
    TImageList list(nullptr, 2, 2);
    int heard = 0;
    const int link = list.RegisterChanges([&](TObject*) { ++heard; });
    list.Add(QImage(2, 2, QImage::Format_RGB32));
    list.Delete(0);
    list.SetSize(3, 3);
    EXPECT_EQ(heard, 3);
    list.UnRegisterChanges(link);
    list.Add(QImage(3, 3, QImage::Format_RGB32));
    EXPECT_EQ(heard, 3);
}
