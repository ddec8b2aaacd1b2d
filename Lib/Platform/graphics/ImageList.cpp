#include "Platform/graphics/ImageList.h"

#include "Platform/graphics/Canvas.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

TCustomImageList::TCustomImageList(TComponent* AOwner, int width, int height)
    : TComponent(AOwner), FWidth(width), FHeight(height)
{
}

void TCustomImageList::SetSize(int width, int height)
{
    if (width == FWidth && height == FHeight)
        return;
    FWidth = width;
    FHeight = height;
    FImages.clear();
    Changed();
}

int TCustomImageList::Add(const QPixmap& image)
{
    if (image.width() == FWidth && image.height() == FHeight)
        FImages.push_back(image);
    else
        FImages.push_back(image.scaled(FWidth, FHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    Changed();
    return Count() - 1;
}

void TCustomImageList::Clear()
{
    if (FImages.empty())
        return;
    FImages.clear();
    Changed();
}

QPixmap TCustomImageList::Image(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return FImages[static_cast<size_t>(index)];
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const
{
    if (index < 0 || index >= Count())
        return;
    const QPixmap& image = FImages[static_cast<size_t>(index)];
    if (enabled) {
        canvas.Draw(x, y, image);
        return;
    }
    QStyleOption option;
    option.palette = QApplication::palette();
    canvas.Draw(x, y, QApplication::style()->generatedIconPixmap(QIcon::Disabled, image, &option));
}

int TCustomImageList::RegisterChanges(std::function<void()> onChange)
{
    const int link = FNextLink++;
    FLinks.emplace(link, std::move(onChange));
    return link;
}

void TCustomImageList::UnRegisterChanges(int link)
{
    FLinks.erase(link);
}

void TCustomImageList::Changed()
{
    // why: a handler may unregister itself (or another link) while the notice runs.
    const auto links = FLinks;
    for (const auto& [link, onChange] : links)
        if (FLinks.count(link) != 0 && onChange)
            onChange();
}
