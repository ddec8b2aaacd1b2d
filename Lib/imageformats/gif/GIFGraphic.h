#pragma once
// TGIFGraphic: loads the first image of a GIF file (87a or 89a) into an 8-bit palette bitmap:
// the colour table becomes the palette and the LZW-decoded values the indices, with GIF
// interlacing undone. Extension blocks are skipped: no transparency, no animation, and the
// image's place on the logical screen is not used.

#include "imageformats/common/ImgLibGraphic.h"

class TGIFGraphic : public TImgLibGraphic {
public:
    static TGraphicClass ClassInfo();
    static bool IsStreamOfThisFormat(TStream& stream);
    bool ReadImageHeader(TStream& stream, int imageIndex) override;
    void LoadFromStream(TStream& stream) override;

private:
    // Reads past extensions up to an image descriptor (",") or the trailer (";"), returning it.
    std::uint8_t SkipToImageBlock();
    // Reads 2 << (flags & 7) colour table entries as the palette.
    void ReadColorTable(std::uint8_t flags);
};
