#include "Platform/graphics/ImgList.h"

#include <QPainter>

QImage MaskedImage(const QImage& image, TColor maskColor)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    if (maskColor == clNone || result.isNull())
        return result;
    const QRgb mask = maskColor == clDefault ? (result.pixel(0, result.height() - 1) | 0xFF000000u)
                                             : ToQColor(ColorToRGB(maskColor)).rgb();
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if ((line[x] | 0xFF000000u) == mask && qAlpha(line[x]) == 255)
                line[x] = 0;
    }
    return result;
}

QImage GrayedImage(const QImage& image)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb p = line[x];
            const int gray = 128 + qGray(p) / 2;
            line[x] = qRgba(gray, gray, gray, qAlpha(p));
        }
    }
    return result;
}

TCustomImageList::TCustomImageList(TComponent* AOwner, int width, int height)
    : TComponent(AOwner), FWidth(std::max(1, width)), FHeight(std::max(1, height))
{
}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::SetSize(int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == FWidth && height == FHeight)
        return;
    FWidth = width;
    FHeight = height;
    FImages.clear();
    Changed();
}

int TCustomImageList::Add(const QImage& image, TColor maskColor)
{
    const int first = Count();
    const QImage masked = MaskedImage(image, maskColor);
    const int pieces = std::max(1, masked.width() / FWidth);
    for (int i = 0; i < pieces; ++i) {
        QImage piece = masked.copy(i * FWidth, 0, std::min(FWidth, masked.width()), std::min(FHeight, masked.height()));
        if (piece.size() != QSize(FWidth, FHeight))
            piece = piece.scaled(FWidth, FHeight);
        FImages.push_back(piece);
    }
    Changed();
    return first;
}

void TCustomImageList::Replace(int index, const QImage& image, TColor maskColor)
{
    if (!ValidIndex(index))
        return;
    FImages[static_cast<size_t>(index)] = MaskedImage(image, maskColor).scaled(FWidth, FHeight);
    Changed();
}

void TCustomImageList::Delete(int index)
{
    if (!ValidIndex(index))
        return;
    FImages.erase(FImages.begin() + index);
    Changed();
}

void TCustomImageList::Clear()
{
    if (FImages.empty())
        return;
    FImages.clear();
    Changed();
}

QImage TCustomImageList::Image(int index) const
{
    return ValidIndex(index) ? FImages[static_cast<size_t>(index)] : QImage();
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const
{
    if (!ValidIndex(index))
        return;
    const QImage& image = FImages[static_cast<size_t>(index)];
    canvas.Draw(x, y, enabled ? image : GrayedImage(image));
}

int TCustomImageList::RegisterChanges(TNotifyEvent handler)
{
    const int link = FNextLink++;
    FLinks[link] = std::move(handler);
    return link;
}

void TCustomImageList::UnRegisterChanges(int link)
{
    FLinks.erase(link);
}

void TCustomImageList::Changed()
{
    // why: a handler may register or unregister links while the list is told.
    const std::map<int, TNotifyEvent> links = FLinks;
    for (const auto& [link, handler] : links)
        if (handler && FLinks.count(link))
            handler(this);
}
