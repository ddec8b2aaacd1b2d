#pragma once
// TColorManager: turns rows of pixels from the layout an image file stores them in (the source:
// colour scheme, bits per sample, samples per pixel, byte order, gamma) into the rows of the
// platform bitmap (the target), and builds the bitmap's palettes. The row converter is chosen at
// the first conversion after a setting changed.

#include "imageformats/common/ImgLibTypes.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

// Bits of SourceOptions and TargetOptions.
enum : std::uint8_t {
    coAlpha = 1,       // the pixels carry alpha (kept by the manager from the schemes)
    coApplyGamma = 2,  // colour samples pass through the gamma table (target)
    coNeedByteSwap = 4, // 16-bit samples are stored most significant byte first (source)
    coLabByteRange = 8, // CIE L* is stored as 0 to 255 for 0 to 100 (source)
};

class TColorManager {
public:
    TColorManager();

    std::uint8_t SourceBits() const { return FSourceBits; }
    std::uint8_t TargetBits() const { return FTargetBits; }
    std::uint8_t SourceSamples() const { return FSourceSamples; }
    std::uint8_t TargetSamples() const { return FTargetSamples; }
    TColorScheme SourceScheme() const { return FSourceScheme; }
    TColorScheme TargetScheme() const { return FTargetScheme; }
    void SetSourceBits(std::uint8_t bits);
    void SetTargetBits(std::uint8_t bits);
    void SetSourceSamples(std::uint8_t samples);
    void SetTargetSamples(std::uint8_t samples);
    void SetSourceScheme(TColorScheme scheme);
    void SetTargetScheme(TColorScheme scheme);

    void SetGamma(float mainGamma, float displayGamma = 2.2f);
    float MainGamma() const { return FMainGamma; }
    float DisplayGamma() const { return FDisplayGamma; }
    const std::array<std::uint8_t, 256>& GammaTable() const { return FGammaTable; }
    // One to three luma coefficients (Kr, then Kg and Kb) and the YCbCr subsampling.
    void SetChromaParameters(std::initializer_list<float> coefficients, std::uint8_t horizontal,
                             std::uint8_t vertical);

    // The bitmap pixel format for the source (0) or the target (1).
    TPixelFormat PixelFormatFor(int which) const;

    // Converts `count` pixels of one row: one source span for interleaved samples, one per plane
    // otherwise. The mask's bits select pixels (128 for pixel 0 of each group of eight); the
    // source holds the selected pixels only, unselected target pixels keep their contents.
    // Spans too small for the row raise EColorConversionError.
    void ConvertLine(std::span<const std::span<const std::uint8_t>> sources, std::span<std::uint8_t> target,
                     std::uint32_t count, std::uint8_t mask);
    void ConvertLine(std::span<const std::uint8_t> source, std::span<std::uint8_t> target, std::uint32_t count,
                     std::uint8_t mask);

    // A palette from colour data in `dataFormat` (0, 1: 8-bit triples, the second with a fourth
    // byte; 2, 3: three 8-bit planes; 4, 5: 16-bit triples, the second with a fourth value; 6, 7:
    // three 16-bit planes), rescaled when source and target bits of an index differ.
    TPalette BuildColorPalette(std::span<const std::span<const std::uint8_t>> data, std::uint8_t dataFormat,
                               std::uint32_t colorCount);
    // A grey ramp with 2^(target bits × target samples, at most 8) entries, black first unless
    // white is zero.
    TPalette BuildGrayPalette(bool whiteIsZero);

    std::uint8_t SourceOptions = 0;
    std::uint8_t TargetOptions = 0;

private:
    enum class TConverter {
        None, IndexedBits, Indexed16, Gray, RGBToRGB, RGBToBGR, BGRToRGB, BGRToBGR, CMYKToRGB, CMYKToBGR,
        LabToRGB, LabToBGR, YCbCrToRGB, YCbCrToBGR, PhotoYCCToRGB, PhotoYCCToBGR,
    };

    void MarkChanged() { FChanged = true; }
    void SetCount(std::uint8_t& field, std::uint8_t value, std::uint8_t max, const char* message);
    void PrepareConversion();
    void BuildChromaTables();
    std::uint8_t Scale16(const std::uint8_t* p) const;
    std::uint8_t Gamma(std::uint8_t v) const;

    void ConvertIndexed(std::span<const std::uint8_t> source, std::span<std::uint8_t> target, std::uint32_t count,
                        std::uint8_t mask);
    void ConvertPixels(std::span<const std::span<const std::uint8_t>> sources, std::span<std::uint8_t> target,
                       std::uint32_t count, std::uint8_t mask);

    bool FChanged = true;
    std::uint8_t FSourceBits = 8, FTargetBits = 8;
    std::uint8_t FSourceSamples = 3, FTargetSamples = 3;
    float FMainGamma = 1.0f, FDisplayGamma = 2.2f;
    std::array<std::uint8_t, 256> FGammaTable{};
    float FKr = 0.299f, FKg = 0.587f, FKb = 0.114f;
    std::uint8_t FHSubsampling = 1, FVSubsampling = 1;
    std::array<int, 256> FCrToRed{}, FCbToBlue{}, FCrToGreen{}, FCbToGreen{};
    TColorScheme FSourceScheme = schemeRGB, FTargetScheme = schemeBGR;
    TConverter FConverter = TConverter::None;
};
