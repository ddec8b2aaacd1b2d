// The gutter's glyph and the shared image strips with their process-wide bitmap cache.

#include "SrcEdit/Source/view/SrcEditGlyph.h"

#include "SrcEdit/Source/text/SrcEditResources.h"

#include "Platform/text/TextUtils.h"

#include <map>
#include <memory>

namespace {

// The part of `bitmap` (from column `left`, `width` wide) that fits a row of `lineHeight`
// pixels, and the y at which it goes.
QImage RowPart(const QImage& bitmap, int left, int width, int y, int lineHeight, int& destY)
{
    const int height = bitmap.height();
    if (lineHeight < height) {
        destY = y;
        return bitmap.copy(left, (height - lineHeight) / 2, width, lineHeight);
    }
    destY = y + (lineHeight - height) / 2;
    return bitmap.copy(left, 0, width, height);
}

QImage WithTransparentColor(const QImage& image, TColor maskColor)
{
    if (maskColor == clNone)
        return image;
    const QRgb mask = ToQColor(ColorToRGB(maskColor)).rgb() & 0xFFFFFF;
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] & 0xFFFFFF) == mask)
                line[x] = 0;
    }
    return result;
}

struct TCachedBitmap {
    QImage Bitmap;
    int UsageCount = 0;
};
using TBitmapCache = std::map<std::string, TCachedBitmap>;

// invariant: the cache exists only while some strip uses it (GUI thread only, no lock)
std::unique_ptr<TBitmapCache>& BitmapCache()
{
    static std::unique_ptr<TBitmapCache> cache;
    return cache;
}

} // namespace

// ---- TSrcGlyph

TSrcGlyph::TSrcGlyph(const std::string& resourceName, TColor internalMaskColor)
    : FInternalMaskColor(resourceName.empty() ? clNone : internalMaskColor)
{
    if (!resourceName.empty())
        FInternalGlyph = LoadSrcEditBitmap(resourceName);
}

void TSrcGlyph::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TSrcGlyph::SetGlyph(const QImage& value)
{
    if (value == FGlyph)
        return;
    FGlyph = value;
    Changed();
}

void TSrcGlyph::SetMaskColor(TColor value)
{
    if (value == FMaskColor)
        return;
    FMaskColor = value;
    Changed();
}

void TSrcGlyph::SetVisible(bool value)
{
    if (value == FVisible)
        return;
    FVisible = value;
    Changed();
}

int TSrcGlyph::GlyphWidth() const
{
    if (!FGlyph.isNull())
        return FGlyph.width();
    if (!FInternalGlyph.isNull())
        return FInternalGlyph.width();
    return 0;
}

void TSrcGlyph::DrawGlyph(TCanvas& canvas, int X, int Y, int LineHeight) const
{
    const bool own = !FGlyph.isNull();
    const QImage& bitmap = own ? FGlyph : FInternalGlyph;
    if (bitmap.isNull())
        return;
    int destY = Y;
    const QImage part = RowPart(bitmap, 0, bitmap.width(), Y, LineHeight, destY);
    canvas.Draw(X, destY, WithTransparentColor(part, own ? FMaskColor : FInternalMaskColor));
}

void TSrcGlyph::Assign(const TPersistent& source)
{
    if (auto src = dynamic_cast<const TSrcGlyph*>(&source)) {
        // why: QImage shares pixels until written; copy() gives each object its own bitmap
        FGlyph = src->FGlyph.copy();
        FInternalGlyph = src->FInternalGlyph.copy();
        FMaskColor = src->FMaskColor;
        FInternalMaskColor = src->FInternalMaskColor;
        FVisible = src->FVisible;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---- TSrcInternalImage

TSrcInternalImage::TSrcInternalImage(const std::string& resourceName, int count)
    : FKey(UpperCase(resourceName)), FCount(std::max(1, count))
{
    auto& cache = BitmapCache();
    TCachedBitmap* entry = nullptr;
    if (cache) {
        const auto it = cache->find(FKey);
        if (it != cache->end())
            entry = &it->second;
    }
    if (!entry) {
        QImage bitmap = LoadSrcEditBitmap(resourceName);
        if (!cache)
            cache = std::make_unique<TBitmapCache>();
        entry = &(*cache)[FKey];
        entry->Bitmap = std::move(bitmap);
    }
    ++entry->UsageCount;
    FBitmap = entry->Bitmap;
    FWidth = (FBitmap.width() + FCount / 2) / FCount;
    FHeight = FBitmap.height();
}

TSrcInternalImage::~TSrcInternalImage()
{
    auto& cache = BitmapCache();
    if (!cache)
        return;
    const auto it = cache->find(FKey);
    if (it != cache->end() && --it->second.UsageCount <= 0)
        cache->erase(it);
    if (cache->empty())
        cache.reset();
}

void TSrcInternalImage::DrawImage(TCanvas& canvas, int index, int X, int Y, int LineHeight) const
{
    if (index < 0 || index >= FCount)
        return;
    int destY = Y;
    const QImage part = RowPart(FBitmap, index * FWidth, FWidth, Y, LineHeight, destY);
    canvas.Draw(X, destY, part);
}

int TSrcInternalImage::CachedBitmapCount()
{
    const auto& cache = BitmapCache();
    return cache ? static_cast<int>(cache->size()) : 0;
}
