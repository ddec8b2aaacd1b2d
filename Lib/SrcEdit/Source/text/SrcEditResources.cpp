// Pixel art of the editor's bitmap resources.

#include "SrcEdit/Source/text/SrcEditResources.h"

#include "Platform/graphics/Colors.h"
#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

namespace {

constexpr int BookmarkWidth = 11, BookmarkHeight = 14, BookmarkCount = 10;

// 5 x 7 digits, one row per string.
constexpr const char* Digits[10][7] = {
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
};

QImage BookmarkStrip()
{
    QImage image(BookmarkWidth * BookmarkCount, BookmarkHeight, QImage::Format_RGB32);
    const QRgb frame = qRgb(0, 0, 128), paper = qRgb(255, 255, 192), ink = qRgb(0, 0, 0);
    for (int n = 0; n < BookmarkCount; ++n) {
        const int left = n * BookmarkWidth;
        for (int y = 0; y < BookmarkHeight; ++y)
            for (int x = 0; x < BookmarkWidth; ++x) {
                const bool border = x == 0 || y == 0 || x == BookmarkWidth - 1 || y == BookmarkHeight - 1;
                image.setPixel(left + x, y, border ? frame : paper);
            }
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (Digits[n][row][col] == '#')
                    image.setPixel(left + 3 + col, 3 + row, ink);
    }
    return image;
}

QImage WrappedGlyph()
{
    // A return arrow: down the right side, then left to an arrow head.
    constexpr const char* rows[14] = {
        "...............", "...............", "...........#...", "...........#...", "...........#...",
        "...........#...", ".....#.....#...", "....##.....#...", "...#########...", "....##.........",
        ".....#.........", "...............", "...............", "...............",
    };
    QImage image(15, 14, QImage::Format_RGB32);
    const QRgb mask = ToQColor(clLime).rgb(), ink = qRgb(0, 0, 128);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 15; ++x)
            image.setPixel(x, y, rows[y][x] == '#' ? ink : mask);
    return image;
}

} // namespace

QImage LoadSrcEditBitmap(const std::string& resourceName)
{
    if (SameText(resourceName, "SrcEditInternalImages"))
        return BookmarkStrip();
    if (SameText(resourceName, "SrcEditWrapped"))
        return WrappedGlyph();
    throw EResNotFound(Format("Resource %s not found", {resourceName}));
}
