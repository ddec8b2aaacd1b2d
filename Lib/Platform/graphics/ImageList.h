#pragma once
// TCustomImageList: a list of same-size images drawn by index, as controls take their glyphs.
// Objects that show images from a list register for its change notice (the class library's
// change links) and drop their reference when the list is destroyed (free notification).

#include "Platform/core/Component.h"

#include <QPixmap>
#include <functional>
#include <map>
#include <vector>

class TCanvas;

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner = nullptr, int width = 16, int height = 16);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // A new size empties the list.
    void SetSize(int width, int height);
    int Count() const { return static_cast<int>(FImages.size()); }

    // Appends an image, scaled to the list's size when it differs; answers its index.
    int Add(const QPixmap& image);
    void Clear();
    // The image at `index`; a null pixmap for an index outside the list.
    QPixmap Image(int index) const;
    // Draws image `index` with its upper left corner at (x, y); a disabled image is drawn greyed.
    // Nothing happens for an index outside the list.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

    // Change links: `onChange` runs after every change of the list's images or size.
    int RegisterChanges(std::function<void()> onChange);
    void UnRegisterChanges(int link);

private:
    void Changed();

    int FWidth;
    int FHeight;
    std::vector<QPixmap> FImages;
    std::map<int, std::function<void()>> FLinks;
    int FNextLink = 1;
};
