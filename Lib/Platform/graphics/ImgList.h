#pragma once
// TCustomImageList: a list of same-size pictures with transparency, as menus, buttons and tool
// bars share them. Pictures are kept as ARGB images; a picture added with a mask colour has that
// colour's pixels made transparent. Whoever shows the list's pictures registers for changes.

#include "Platform/graphics/Canvas.h"
#include "Platform/core/Component.h"

#include <QImage>
#include <map>
#include <vector>

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner, int width = 16, int height = 16);
    ~TCustomImageList() override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Clears the list when the size changes.
    void SetSize(int width, int height);
    int Count() const { return static_cast<int>(FImages.size()); }

    // Adds the picture, cut into as many list-sized pictures as it holds side by side (at least
    // one, scaled when it is smaller); returns the index of the first. clNone keeps every pixel,
    // clDefault makes the colour of the bottom-left pixel transparent, any other colour that colour.
    int Add(const QImage& image, TColor maskColor = clNone);
    void Replace(int index, const QImage& image, TColor maskColor = clNone);
    void Delete(int index);
    void Clear();

    // The picture at `index` (a null image for an invalid index).
    QImage Image(int index) const;
    bool ValidIndex(int index) const { return index >= 0 && index < Count(); }
    // Draws the picture at (x, y); a disabled picture is drawn greyed.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

    // Change links: the handler is called after every change of the list.
    int RegisterChanges(TNotifyEvent handler);
    void UnRegisterChanges(int link);

private:
    void Changed();
    int FWidth;
    int FHeight;
    std::vector<QImage> FImages;
    std::map<int, TNotifyEvent> FLinks;
    int FNextLink = 1;
};

using TImageList = TCustomImageList;

// A copy of `image` whose pixels of `maskColor` are transparent (clDefault: the bottom-left
// pixel's colour; clNone: none).
QImage MaskedImage(const QImage& image, TColor maskColor);
// The picture in the disabled look: its opaque pixels in grey levels, lighter.
QImage GrayedImage(const QImage& image);
