#pragma once
// TShellSysImages: an image list that shows the system image list (TSystemIconTable) at one
// size without owning it: freeing the component leaves the table and its indices usable by
// every other list. The list follows the table as it grows; Flush renders it afresh (after the
// icon theme or the file associations changed).
//
// Two process-wide instances, small (16 pixels) and large (32), are created on first request and
// freed when the library stops; an extra-large slot (48) is flushed and freed with them.

#include "Platform/graphics/ImgList.h"

#include <cstdint>
#include <memory>

enum class TSysImageSize : std::uint8_t { Small = 0, Large = 1, ExtraLarge = 2 };

class TShellSysImages : public TCustomImageList {
public:
    explicit TShellSysImages(TComponent* AOwner = nullptr, TSysImageSize size = TSysImageSize::Small);
    ~TShellSysImages() override;

    TSysImageSize ImageSize() const { return FImageSize; }
    // Stores the size and reloads the pictures.
    void SetImageSize(TSysImageSize size);
    // Renders every picture afresh.
    void Flush();
    // Adds the pictures of table entries that are new since the last call (GUI thread).
    void Sync();

    static int PixelSize(TSysImageSize size);

private:
    TSysImageSize FImageSize;
};

// The shared lists.
TShellSysImages* SmallSysImages();
TShellSysImages* LargeSysImages();
// The extra-large slot; nil unless something filled it.
std::unique_ptr<TShellSysImages>& ExtraLargeSysImages();
// Flush on every shared list that exists.
void FlushImageLists();
// Frees the shared lists (the library's end).
void FreeSysImageLists();
