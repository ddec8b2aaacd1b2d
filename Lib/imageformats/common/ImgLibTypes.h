#pragma once
// What the image readers share: the error kinds, colour schemes, compression kinds and the
// record of image properties read from a file's header.

#include "Platform/core/Exceptions.h"
#include "Platform/graphics/Bitmap.h"

#include <cstdint>
#include <vector>

ZENTU_DECLARE_EXCEPTION(EColorConversionError, Exception);
ZENTU_DECLARE_EXCEPTION(EGraphicCompression, Exception);

enum TColorScheme : std::uint8_t {
    schemeUnknown, schemeIndexed, schemeGray, schemeGrayAlpha, schemeRGB, schemeRGBA, schemeBGR, schemeBGRA,
    schemeCMY, schemeCMYK, schemeCIELab, schemeYCbCr, schemePhotoYCC,
};

enum TCompressionKind : std::uint8_t {
    ckUnknown = 0, ckNone = 1, ckPackBits = 3, ckLZW, ckFax3, ckModifiedHuffman, ckFax4, ckModifiedHuffmanWords,
    ckDeflate, ckJPEG, ckOldJPEG, ckThunderscan, ckNeXT, ckIT8CTPAD, ckIT8LW, ckIT8MP, ckIT8BL, ckPixarFilm,
    ckPixarLog, ckDCS, ckJBIG,
};

// Bits of TImageProperties::Flags.
enum : std::uint8_t {
    ioTiled = 1, ioBigEndian = 2, ioMinIsWhite = 4, ioReversed = 8, ioUseGamma = 16,
};

struct TImageProperties {
    std::uint32_t FormatVersion = 0;
    std::uint8_t Flags = 0;
    std::uint32_t ImageWidth = 0;
    std::uint32_t ImageHeight = 0;
    TColorScheme Scheme = schemeUnknown;
    std::uint8_t SampleBits = 0;
    std::uint8_t SampleCount = 0;
    std::uint8_t PixelBits = 0;
    TCompressionKind CompressionKind = ckUnknown;
    float Gamma = 1.0f;
    float ResolutionX = 0;
    float ResolutionY = 0;
    bool IsInterlaced = false;
    bool AlphaPresent = false;
    std::uint32_t FirstDirectory = 0;
    std::uint32_t PlaneLayout = 0;
    std::uint32_t RowIndex = 0;
    std::uint32_t TileColumns = 0;
    std::uint32_t TileRows = 0;
    std::uint32_t LineBytes = 0;
    std::vector<std::uint32_t> StripRows;
    std::vector<std::uint8_t> ChromaSubsampling;
    std::vector<std::uint8_t> JPEGTableData;
    std::uint32_t StripIndex = 0;
    std::uint32_t StripTotal = 0;
    std::uint32_t PredictorKind = 0;
    bool LocalPalette = false;
    std::uint8_t RowFilterMethod = 0;
};
