#pragma once
// TPNGGraphic: loads a PNG image into the bitmap. Every chunk it reads has its CRC checked; the
// image data is inflated, unfiltered, taken through the Adam7 passes when interlaced, and
// converted row by row by the colour manager. IHDR, PLTE, IDAT, IEND, gAMA, bKGD and tRNS are
// understood, other ancillary chunks skipped and other critical chunks refused.

#include "imageformats/common/ImgLibGraphic.h"

#include <memory>
#include <vector>

class TLZ77Decoder;

class TPNGGraphic : public TImgLibGraphic {
public:
    TPNGGraphic();
    ~TPNGGraphic() override;

    static TGraphicClass ClassInfo();
    static bool IsStreamOfThisFormat(TStream& stream);
    bool ReadImageHeader(TStream& stream, int imageIndex) override;
    void LoadFromStream(TStream& stream) override;

private:
    struct TChunkHeader {
        std::uint32_t Length = 0;
        char Type[4] = {};
    };

    void ReadChunkHead();
    void LoadChunkData();
    void SkipChunk();
    bool ChunkIs(const char* name) const;
    int SetupPixelLayout(std::uint8_t colorType, std::uint8_t bitDepth);
    void ReadImageData();
    void InflateRow(std::uint8_t* buffer, std::uint32_t size);
    void ReadBackground();
    void ReadTransparency();
    // A grey level or colour sample of the header's depth as an 8-bit value.
    std::uint8_t Level(std::uint16_t value) const;

    std::unique_ptr<TLZ77Decoder> FDecoder;
    std::uint32_t FIDATSize = 0;
    std::vector<std::uint8_t> FRawBuffer;
    std::uint32_t FCurrentSource = 0;
    TChunkHeader FHeader;
    std::uint32_t FCRC = 0;
    int FSourceBPP = 0;
    bool FPaletteBuilt = false;
    bool FLayoutDone = false;
    TPalette FPalette;
    TColor FTransparentColor = clNone;
    TColor FBackgroundColor = clWhite;
    std::uint8_t FBitDepth = 0;
    std::uint8_t FColorType = 0;
    std::uint8_t FInterlaceMethod = 0;
};
