#include "Platform/graphics/Bitmap.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cstring>
#include <limits>

void TGraphic::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                        const TRect& rect, const std::string& message)
{
    if (OnProgress)
        OnProgress(sender, stage, percentDone, redrawNow, rect, message);
}

int TBitmap::BitsPerPixel(TPixelFormat format)
{
    switch (format) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf4bit: return 4;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf15bit:
    case TPixelFormat::pf16bit: return 16;
    case TPixelFormat::pf24bit: return 24;
    case TPixelFormat::pf32bit: return 32;
    default: return 0;
    }
}

std::uint64_t TBitmap::RowBytes(TPixelFormat format, std::uint64_t width)
{
    return (width * static_cast<std::uint64_t>(BitsPerPixel(format)) + 31) / 32 * 4;
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    FPixelFormat = format;
    const int width = FWidth, height = FHeight;
    FWidth = FHeight = 0;
    FBits.clear();
    SetSize(width, height);
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const std::uint64_t bytes = RowBytes(FPixelFormat, static_cast<std::uint64_t>(width)) * static_cast<std::uint64_t>(height);
    if (bytes > MaxBytes)
        throw EInvalidGraphic("Bitmap image is not valid");
    FBits.assign(static_cast<std::size_t>(bytes), 0);
    FWidth = width;
    FHeight = height;
}

void TBitmap::Clear()
{
    FBits.clear();
    FBits.shrink_to_fit();
    FWidth = FHeight = 0;
    FPalette.clear();
    Transparent = false;
    TransparentColor = clNone;
}

std::uint8_t* TBitmap::ScanLine(int row)
{
    if (row < 0 || row >= FHeight || FBits.empty())
        throw ERangeError("Scan line index out of range");
    return FBits.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(RowStride());
}

const std::uint8_t* TBitmap::ScanLine(int row) const
{
    return const_cast<TBitmap*>(this)->ScanLine(row);
}

static int NearestEntry(const TPalette& palette, TColor color)
{
    int best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long dr = palette[i].Red - GetRValue(color), dg = palette[i].Green - GetGValue(color),
                   db = palette[i].Blue - GetBValue(color);
        const long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void TBitmap::Fill(TColor color)
{
    const int bits = BitsPerPixel(FPixelFormat);
    if (FBits.empty() || bits == 0)
        return;
    std::vector<std::uint8_t> pattern;
    const std::uint8_t r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    switch (bits) {
    case 1:
    case 4:
    case 8: {
        int index = NearestEntry(FPalette, color);
        std::uint8_t byte = static_cast<std::uint8_t>(index);
        if (bits == 4)
            byte = static_cast<std::uint8_t>((index & 15) * 0x11);
        else if (bits == 1)
            byte = (index & 1) ? 0xFF : 0x00;
        pattern = {byte};
        break;
    }
    case 16: {
        const unsigned v = (unsigned(r >> 3) << 10) | (unsigned(g >> 3) << 5) | unsigned(b >> 3);
        pattern = {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)};
        break;
    }
    case 24: pattern = {b, g, r}; break;
    default: pattern = {b, g, r, 0}; break;
    }
    const std::size_t stride = static_cast<std::size_t>(RowStride());
    const std::size_t used = (static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(bits) + 7) / 8;
    for (std::size_t i = 0; i < used; ++i)
        FBits[i] = pattern[i % pattern.size()];
    for (int y = 1; y < FHeight; ++y)
        std::memcpy(FBits.data() + static_cast<std::size_t>(y) * stride, FBits.data(), used);
}

std::uint8_t TBitmap::IndexAt(int x, int y) const
{
    const std::uint8_t* row = ScanLine(y);
    switch (BitsPerPixel(FPixelFormat)) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (x % 2) ? (row[x / 2] & 15) : (row[x / 2] >> 4);
    default: return row[x];
    }
}

TColor TBitmap::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight)
        return clNone;
    const int bits = BitsPerPixel(FPixelFormat);
    if (bits == 0)
        return clBlack;
    if (bits <= 8) {
        const std::uint8_t index = IndexAt(x, y);
        if (index >= FPalette.size())
            return clBlack;
        const TPaletteEntry& entry = FPalette[index];
        return RGBColor(entry.Red, entry.Green, entry.Blue);
    }
    const std::uint8_t* row = ScanLine(y);
    if (bits == 16) {
        const unsigned v = row[2 * x] | (unsigned(row[2 * x + 1]) << 8);
        const auto scale = [](unsigned five) { return static_cast<int>((five << 3) | (five >> 2)); };
        return RGBColor(scale((v >> 10) & 31), scale((v >> 5) & 31), scale(v & 31));
    }
    const std::uint8_t* p = row + static_cast<std::size_t>(x) * static_cast<std::size_t>(bits / 8);
    return RGBColor(p[2], p[1], p[0]);
}

std::uint8_t TBitmap::Alpha(int x, int y) const
{
    if (FPixelFormat != TPixelFormat::pf32bit || x < 0 || y < 0 || x >= FWidth || y >= FHeight)
        return 255;
    return ScanLine(y)[4 * x + 3];
}

void TBitmap::Assign(const TPersistent& source)
{
    const auto* bitmap = dynamic_cast<const TBitmap*>(&source);
    if (!bitmap) {
        TPersistent::Assign(source);
        return;
    }
    FPixelFormat = bitmap->FPixelFormat;
    FWidth = bitmap->FWidth;
    FHeight = bitmap->FHeight;
    FBits = bitmap->FBits;
    FPalette = bitmap->FPalette;
    Transparent = bitmap->Transparent;
    TransparentColor = bitmap->TransparentColor;
}

std::unique_ptr<TGraphic> TBitmap::Clone() const
{
    auto copy = std::make_unique<TBitmap>();
    copy->TBitmap::Assign(*this);
    return copy;
}

static QImage ReadQtImage(TStream& stream, const char* format)
{
    const std::int64_t size = stream.Size() - stream.Position();
    QByteArray bytes;
    if (size > 0) {
        bytes.resize(static_cast<qsizetype>(size));
        stream.ReadBuffer(bytes.data(), size);
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    QImage image = reader.read();
    if (image.isNull())
        throw EInvalidGraphic("Bitmap image is not valid");
    return image;
}

void TBitmap::LoadWithQt(TStream& stream, const char* format)
{
    const QImage image = ReadQtImage(stream, format).convertToFormat(QImage::Format_ARGB32);
    Clear();
    FPixelFormat = TPixelFormat::pf32bit;
    SetSize(image.width(), image.height());
    for (int y = 0; y < FHeight; ++y)
        std::memcpy(ScanLine(y), image.constScanLine(y), static_cast<std::size_t>(FWidth) * 4);
}

void TBitmap::LoadFromStream(TStream& stream)
{
    LoadWithQt(stream, "bmp");
}

void TQtReadBitmap::LoadFromStream(TStream& stream)
{
    LoadWithQt(stream, FFormat);
}

QImage TBitmap::ToQImage() const
{
    if (Empty() || BitsPerPixel(FPixelFormat) == 0)
        return {};
    QImage image(FWidth, FHeight, QImage::Format_ARGB32);
    const bool keyed = Transparent && TransparentColor != clNone;
    const TColor key = keyed ? ColorToRGB(TransparentColor) : clNone;
    for (int y = 0; y < FHeight; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < FWidth; ++x) {
            const TColor c = Pixel(x, y);
            const int alpha = (keyed && c == key) ? 0 : Alpha(x, y);
            out[x] = qRgba(GetRValue(c), GetGValue(c), GetBValue(c), alpha);
        }
    }
    return image;
}
