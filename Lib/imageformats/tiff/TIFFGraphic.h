#pragma once
// TTIFFGraphic: loads the first image of a TIFF file (both byte orders) into the bitmap. The
// image's strips or tiles, of interleaved pixels or one plane per sample, are expanded by the
// decoder of the compression tag, the horizontal predictor is undone, and each row is converted
// by the colour manager, which also builds the palette. Rows fill the bitmap from the top; the
// orientation tag is not read.

#include "imageformats/common/ImgLibGraphic.h"

#include <memory>
#include <vector>

class TDecoder;
class TTIFFDirectory;

class TTIFFGraphic : public TImgLibGraphic {
public:
    TTIFFGraphic();
    ~TTIFFGraphic() override;

    static TGraphicClass ClassInfo();
    static bool IsStreamOfThisFormat(TStream& stream);
    bool ReadImageHeader(TStream& stream, int imageIndex) override;
    void LoadFromStream(TStream& stream) override;

private:
    // Where the decoded rows of one plane go, and how they are read back.
    struct TPlaneImage {
        std::uint64_t LineBytes = 0;
        std::vector<std::uint8_t> Rows;
    };

    void SetupColorManager(bool jpeg);
    void BuildPalette(const TTIFFDirectory& directory);
    std::unique_ptr<TDecoder> MakeDecoder(const TTIFFDirectory& directory);
    // Reads and expands one strip or tile of `width` × `rows` pixels into `rows` × `lineBytes`
    // bytes at `block`, which start cleared.
    void ReadBlock(TDecoder* decoder, std::uint32_t offset, std::uint32_t byteCount, std::uint32_t width,
                   std::uint32_t rows, std::uint64_t lineBytes, std::uint8_t* block);
    void UndoPredictor(std::uint8_t* row, std::uint32_t width, std::uint32_t samples) const;

    std::unique_ptr<TTIFFDirectory> FDirectory;
    std::uint32_t FYCbCrPositioning = 1;
    std::vector<float> FYCbCrCoefficients;
};
