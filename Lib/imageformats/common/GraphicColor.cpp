#include "imageformats/common/GraphicColor.h"

#include "imageformats/common/GraphicStrings.h"

#include <algorithm>
#include <bit>
#include <cmath>

using namespace GraphicStrings;

namespace {

std::uint8_t Clamp(long v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0L, 255L));
}

bool HasAlpha(TColorScheme scheme)
{
    return scheme == schemeGrayAlpha || scheme == schemeRGBA || scheme == schemeBGRA;
}

bool IsRGBLike(TColorScheme scheme)
{
    return scheme == schemeRGB || scheme == schemeRGBA || scheme == schemeBGR || scheme == schemeBGRA;
}

bool IsBGR(TColorScheme scheme)
{
    return scheme == schemeBGR || scheme == schemeBGRA;
}

// Number of mask-selected pixels among the first `count`.
std::uint32_t SelectedPixels(std::uint32_t count, std::uint8_t mask)
{
    const auto perGroup = static_cast<std::uint32_t>(std::popcount(mask));
    std::uint32_t selected = count / 8 * perGroup;
    for (std::uint32_t i = 0; i < count % 8; ++i)
        if (mask & (0x80 >> i))
            ++selected;
    return selected;
}

// Red-green-blue to blue-green-red (or back) for pixels of a fixed size, which the compiler
// turns into byte shuffles.
template <std::size_t pixelBytes>
void SwapOuterSamples(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, std::uint32_t count)
{
    for (std::size_t i = 0; i < std::size_t{count} * pixelBytes; i += pixelBytes) {
        out[i] = in[i + 2];
        out[i + 1] = in[i + 1];
        out[i + 2] = in[i];
        if constexpr (pixelBytes == 4)
            out[i + 3] = in[i + 3];
    }
}

[[noreturn]] void ConversionFailed()
{
    throw EColorConversionError(gesConversionUnsupported);
}

} // namespace

TColorManager::TColorManager()
{
    SetGamma(1.0f, 2.2f);
}

// Stores a bit or sample count in 1 .. `max` (else raises `message`); a new value marks the
// manager changed.
void TColorManager::SetCount(std::uint8_t& field, std::uint8_t value, std::uint8_t max, const char* message)
{
    if (value == 0 || value > max)
        throw EColorConversionError(message);
    if (value != field) {
        field = value;
        MarkChanged();
    }
}

void TColorManager::SetSourceBits(std::uint8_t bits) { SetCount(FSourceBits, bits, 16, gesInvalidColorFormat); }
void TColorManager::SetTargetBits(std::uint8_t bits) { SetCount(FTargetBits, bits, 16, gesInvalidColorFormat); }
void TColorManager::SetSourceSamples(std::uint8_t samples) { SetCount(FSourceSamples, samples, 4, gesInvalidSampleCount); }
void TColorManager::SetTargetSamples(std::uint8_t samples) { SetCount(FTargetSamples, samples, 4, gesInvalidSampleCount); }

void TColorManager::SetSourceScheme(TColorScheme scheme)
{
    if (scheme != FSourceScheme) {
        FSourceScheme = scheme;
        MarkChanged();
    }
}

void TColorManager::SetTargetScheme(TColorScheme scheme)
{
    if (scheme != FTargetScheme) {
        FTargetScheme = scheme;
        MarkChanged();
    }
}

void TColorManager::SetGamma(float mainGamma, float displayGamma)
{
    FMainGamma = mainGamma > 0 ? mainGamma : 1.0f;
    FDisplayGamma = displayGamma > 0 ? displayGamma : 2.2f;
    const float exponent = 1.0f / (FMainGamma * FDisplayGamma);
    const int n = FSourceBits >= 8 ? 255 : (1 << FTargetBits) - 1;
    const int m = FTargetBits >= 8 ? 255 : (1 << FTargetBits) - 1;
    for (int i = 0; i <= n && i < 256; ++i)
        FGammaTable[static_cast<std::size_t>(i)] =
            Clamp(std::lrint(std::pow(static_cast<double>(i) / n, static_cast<double>(exponent)) * m));
}

void TColorManager::SetChromaParameters(std::initializer_list<float> coefficients, std::uint8_t horizontal,
                                        std::uint8_t vertical)
{
    auto it = coefficients.begin();
    if (it != coefficients.end())
        FKr = *it++;
    if (it != coefficients.end())
        FKg = *it++;
    if (it != coefficients.end())
        FKb = *it;
    const auto valid = [](std::uint8_t v) { return v == 1 || v == 2 || v == 4; };
    if (!valid(horizontal) || !valid(vertical))
        throw EColorConversionError(gesInvalidSubSampling);
    if (horizontal < vertical)
        throw EColorConversionError(gesVerticalSubSamplingError);
    FHSubsampling = horizontal;
    FVSubsampling = vertical;
}

TPixelFormat TColorManager::PixelFormatFor(int which) const
{
    const int bits = which == 0 ? FSourceBits : FTargetBits;
    const int samples = which == 0 ? FSourceSamples : FTargetSamples;
    switch (samples) {
    case 1:
        if (bits == 1)
            return TPixelFormat::pf1bit;
        if (bits <= 4)
            return TPixelFormat::pf4bit;
        return bits >= 8 ? TPixelFormat::pf8bit : TPixelFormat::pfCustom;
    case 3: return bits <= 5 ? TPixelFormat::pf15bit : TPixelFormat::pf24bit;
    case 4: return bits >= 8 ? TPixelFormat::pf32bit : TPixelFormat::pfCustom;
    default: return TPixelFormat::pfCustom;
    }
}

void TColorManager::BuildChromaTables()
{
    const float fR = 2 - 2 * FKr, fB = 2 - 2 * FKb;
    const float fRG = FKr * fR / FKg, fBG = FKb * fB / FKg;
    const bool photo = FSourceScheme == schemePhotoYCC;
    const float c1 = photo ? 156.0f : 128.0f, c2 = photo ? 137.0f : 128.0f;
    for (int i = 0; i < 256; ++i) {
        const auto k = static_cast<std::size_t>(i);
        FCrToRed[k] = static_cast<int>(std::nearbyint(fR * (static_cast<float>(i) - c2)));
        FCbToBlue[k] = static_cast<int>(std::nearbyint(fB * (static_cast<float>(i) - c1)));
        FCrToGreen[k] = -static_cast<int>(std::nearbyint(fRG * (static_cast<float>(i) - c2)));
        FCbToGreen[k] = -static_cast<int>(std::nearbyint(fBG * (static_cast<float>(i) - c1)));
    }
}

void TColorManager::PrepareConversion()
{
    FConverter = TConverter::None;
    const bool sourceIndexed =
        FSourceScheme == schemeIndexed || FSourceScheme == schemeGray || FSourceScheme == schemeGrayAlpha;
    const bool targetIndexed = FTargetScheme == schemeIndexed || FTargetScheme == schemeGray;
    if (sourceIndexed != targetIndexed)
        throw EColorConversionError(gesIndexedNotSupported);
    SourceOptions = HasAlpha(FSourceScheme) ? (SourceOptions | coAlpha) : (SourceOptions & ~coAlpha);
    TargetOptions = HasAlpha(FTargetScheme) ? (TargetOptions | coAlpha) : (TargetOptions & ~coAlpha);

    const bool toRGB = IsRGBLike(FTargetScheme);
    const bool toBGR = IsBGR(FTargetScheme);
    switch (FSourceScheme) {
    case schemeIndexed:
        FConverter = FSourceBits == 16 ? TConverter::Indexed16 : TConverter::IndexedBits;
        break;
    case schemeGray:
        if (FSourceBits != 16 && FTargetBits != 16)
            FConverter = TConverter::IndexedBits;
        else if (FSourceBits >= 8 && FTargetBits >= 8)
            FConverter = TConverter::Gray;
        break;
    case schemeGrayAlpha:
        if ((FSourceBits == 8 || FSourceBits == 16) && (FTargetBits == 8 || FTargetBits == 16))
            FConverter = TConverter::Gray;
        break;
    case schemeRGB:
    case schemeRGBA:
        if (toRGB)
            FConverter = toBGR ? TConverter::RGBToBGR : TConverter::RGBToRGB;
        break;
    case schemeBGR:
    case schemeBGRA:
        if (toRGB)
            FConverter = toBGR ? TConverter::BGRToBGR : TConverter::BGRToRGB;
        break;
    case schemeCMYK:
        if (toRGB)
            FConverter = toBGR ? TConverter::CMYKToBGR : TConverter::CMYKToRGB;
        break;
    case schemeCIELab:
        if (toRGB)
            FConverter = toBGR ? TConverter::LabToBGR : TConverter::LabToRGB;
        break;
    case schemeYCbCr:
        if (toRGB) {
            BuildChromaTables();
            FConverter = toBGR ? TConverter::YCbCrToBGR : TConverter::YCbCrToRGB;
        }
        break;
    case schemePhotoYCC:
        if (toRGB) {
            BuildChromaTables();
            FConverter = toBGR ? TConverter::PhotoYCCToBGR : TConverter::PhotoYCCToRGB;
        }
        break;
    default: break;
    }
    FChanged = false;
}

std::uint8_t TColorManager::Scale16(const std::uint8_t* p) const
{
    const unsigned v = (SourceOptions & coNeedByteSwap) ? (unsigned(p[0]) << 8 | p[1]) : (unsigned(p[1]) << 8 | p[0]);
    return static_cast<std::uint8_t>(v * 255 / 65535);
}

std::uint8_t TColorManager::Gamma(std::uint8_t v) const
{
    return (TargetOptions & coApplyGamma) ? FGammaTable[v] : v;
}

void TColorManager::ConvertLine(std::span<const std::uint8_t> source, std::span<std::uint8_t> target,
                                std::uint32_t count, std::uint8_t mask)
{
    const std::span<const std::uint8_t> sources[] = {source};
    ConvertLine(sources, target, count, mask);
}

void TColorManager::ConvertLine(std::span<const std::span<const std::uint8_t>> sources, std::span<std::uint8_t> target,
                                std::uint32_t count, std::uint8_t mask)
{
    if (FChanged)
        PrepareConversion();
    if (FConverter == TConverter::None || sources.empty())
        ConversionFailed();
    if (FConverter == TConverter::IndexedBits || FConverter == TConverter::Indexed16)
        ConvertIndexed(sources[0], target, count, mask);
    else
        ConvertPixels(sources, target, count, mask);
}

void TColorManager::ConvertIndexed(std::span<const std::uint8_t> source, std::span<std::uint8_t> target,
                                   std::uint32_t count, std::uint8_t mask)
{
    const unsigned sourceBits = FSourceBits, targetBits = FTargetBits;
    if (targetBits > 8 || 8 % targetBits != 0 || (FConverter == TConverter::IndexedBits && sourceBits > 8))
        ConversionFailed();
    const std::uint64_t selected = SelectedPixels(count, mask);
    if ((selected * sourceBits + 7) / 8 > source.size() || (std::uint64_t{count} * targetBits + 7) / 8 > target.size())
        ConversionFailed();
    if (FConverter == TConverter::IndexedBits && sourceBits == targetBits && mask == 0xFF) {
        std::copy_n(source.begin(), (std::size_t{count} * sourceBits + 7) / 8, target.begin());
        return;
    }
    const unsigned targetMax = (1u << targetBits) - 1;
    const unsigned sourceMax = (1u << sourceBits) - 1;
    std::uint64_t sourceBit = 0;
    std::uint8_t bit = 0x80;
    for (std::uint32_t i = 0; i < count; ++i, bit = std::rotr(bit, 1)) {
        if (!(mask & bit))
            continue;
        unsigned v;
        if (FConverter == TConverter::Indexed16) {
            const std::uint8_t* p = source.data() + sourceBit / 8;
            v = (SourceOptions & coNeedByteSwap) ? (unsigned(p[0]) << 8 | p[1]) : (unsigned(p[1]) << 8 | p[0]);
            v = v * targetMax / 65535;
        } else {
            // a value of 3, 5, 6 or 7 bits may run into the next byte
            const std::size_t at = static_cast<std::size_t>(sourceBit / 8);
            const unsigned window = unsigned(source[at]) << 8 | (at + 1 < source.size() ? source[at + 1] : 0u);
            const unsigned shift = 16 - sourceBits - static_cast<unsigned>(sourceBit % 8);
            v = ((window >> shift) & sourceMax) * targetMax / sourceMax;
        }
        sourceBit += sourceBits;
        const std::uint64_t targetBit = std::uint64_t{i} * targetBits;
        std::uint8_t& out = target[targetBit / 8];
        const unsigned shift = 8 - targetBits - targetBit % 8;
        out = static_cast<std::uint8_t>((out & ~(targetMax << shift)) | (v << shift));
    }
}

void TColorManager::ConvertPixels(std::span<const std::span<const std::uint8_t>> sources, std::span<std::uint8_t> target,
                                  std::uint32_t count, std::uint8_t mask)
{
    const bool wide = FSourceBits == 16;
    if ((FSourceBits != 8 && !wide) || FTargetBits != 8)
        ConversionFailed();
    const bool sourceAlpha = SourceOptions & coAlpha;
    const bool targetAlpha = TargetOptions & coAlpha;
    const std::size_t sampleBytes = wide ? 2 : 1;
    std::size_t colourSamples = 3, targetStride = targetAlpha ? 4 : 3;
    switch (FConverter) {
    case TConverter::Gray: colourSamples = 1; targetStride = 1; break;
    case TConverter::CMYKToRGB:
    case TConverter::CMYKToBGR: colourSamples = 4; break;
    default: break;
    }
    const std::size_t neededSamples = colourSamples + ((sourceAlpha && colourSamples != 4) ? 1 : 0);
    const bool planar = sources.size() > 1;
    if (planar && sources.size() < neededSamples)
        ConversionFailed();
    const std::size_t stride = planar ? sampleBytes : std::max<std::size_t>(FSourceSamples, neededSamples) * sampleBytes;
    const std::size_t selected = SelectedPixels(count, mask);
    if (selected > 0) {
        const std::size_t last = (selected - 1) * stride;
        for (std::size_t s = 0; s < (planar ? neededSamples : 1); ++s)
            if (last + (planar ? sampleBytes : neededSamples * sampleBytes) > sources[s].size())
                ConversionFailed();
    }
    if (std::size_t{count} * targetStride > target.size())
        ConversionFailed();

    // why: whole rows of interleaved 8-bit samples are the common case and worth a tight loop.
    if (!wide && !planar && mask == 0xFF && !(TargetOptions & coApplyGamma) &&
        FConverter >= TConverter::RGBToRGB && FConverter <= TConverter::BGRToBGR) {
        const bool reverse = FConverter == TConverter::RGBToBGR || FConverter == TConverter::BGRToRGB;
        const bool alpha = sourceAlpha && targetAlpha;
        const std::uint8_t* in = sources[0].data();
        std::uint8_t* out = target.data();
        if (reverse && !alpha && stride == 3 && targetStride == 3)
            SwapOuterSamples<3>(in, out, count);
        else if (reverse && alpha && stride == 4 && targetStride == 4)
            SwapOuterSamples<4>(in, out, count);
        else
            for (std::uint32_t i = 0; i < count; ++i, in += stride, out += targetStride) {
                out[0] = in[reverse ? 2 : 0];
                out[1] = in[1];
                out[2] = in[reverse ? 0 : 2];
                if (alpha)
                    out[3] = in[3];
            }
        return;
    }
    // The k-th sample of the pixel at source offset `at`, scaled to 8 bits.
    const auto sample = [&](std::size_t at, std::size_t k) -> std::uint8_t {
        const std::uint8_t* p = planar ? sources[k].data() + at : sources[0].data() + at + k * sampleBytes;
        return wide ? Scale16(p) : *p;
    };
    std::size_t at = 0;
    std::uint8_t bit = 0x80;
    for (std::uint32_t i = 0; i < count; ++i, bit = std::rotr(bit, 1)) {
        if (!(mask & bit))
            continue;
        std::uint8_t* out = target.data() + std::size_t{i} * targetStride;
        switch (FConverter) {
        case TConverter::Gray: out[0] = sample(at, 0); break;
        case TConverter::RGBToRGB:
        case TConverter::RGBToBGR:
        case TConverter::BGRToRGB:
        case TConverter::BGRToBGR: {
            const bool reverse = FConverter == TConverter::RGBToBGR || FConverter == TConverter::BGRToRGB;
            for (std::size_t k = 0; k < 3; ++k)
                out[reverse ? 2 - k : k] = Gamma(sample(at, k));
            if (sourceAlpha && targetAlpha)
                out[3] = sample(at, 3);
            break;
        }
        case TConverter::CMYKToRGB:
        case TConverter::CMYKToBGR: {
            const bool bgr = FConverter == TConverter::CMYKToBGR;
            std::uint8_t rgb[3];
            if (wide) {
                const auto raw = [&](std::size_t k) {
                    const std::uint8_t* p = planar ? sources[k].data() + at : sources[0].data() + at + k * 2;
                    return (SourceOptions & coNeedByteSwap) ? (long(p[0]) << 8 | p[1]) : (long(p[1]) << 8 | p[0]);
                };
                const long k = raw(3);
                for (std::size_t c = 0; c < 3; ++c) {
                    const long s = raw(c);
                    const long t = s * k / 65535;
                    rgb[c] = Clamp(255 - ((s + k - t) % 65536) * 255 / 65535);
                }
            } else {
                const long k = sample(at, 3);
                for (std::size_t c = 0; c < 3; ++c) {
                    const long s = sample(at, c);
                    rgb[c] = Clamp(255 - s - k + s * k / 255);
                }
            }
            for (std::size_t c = 0; c < 3; ++c)
                out[bgr ? 2 - c : c] = rgb[c];
            break;
        }
        case TConverter::LabToRGB:
        case TConverter::LabToBGR: {
            long double L = sample(at, 0);
            if (SourceOptions & coLabByteRange)
                L /= 2.55L;
            const auto signedSample = [&](std::size_t k) -> long double {
                if (!wide)
                    return static_cast<std::int8_t>(sample(at, k));
                const std::uint8_t* p = planar ? sources[k].data() + at : sources[0].data() + at + k * 2;
                const auto v = static_cast<std::int16_t>((SourceOptions & coNeedByteSwap) ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]));
                return static_cast<long double>(v) / 256;
            };
            const long double a = signedSample(1), b = signedSample(2);
            long double X, Y, Z;
            if (L < 7.9996L) {
                Y = L / 903.3L;
                X = Y + a / 3893.5L;
                Z = Y - b / 1557.4L;
            } else {
                const long double f = (L + 16) / 116;
                X = std::pow(f + a / 500, 3.0L);
                Y = f * f * f;
                Z = std::pow(f - b / 200, 3.0L);
            }
            const std::uint8_t r = Clamp(std::lrint(static_cast<double>((2.998L * X - 1.458L * Y - 0.541L * Z) * 255)));
            const std::uint8_t g = Clamp(std::lrint(static_cast<double>((-0.952L * X + 1.893L * Y + 0.059L * Z) * 255)));
            const std::uint8_t bl = Clamp(std::lrint(static_cast<double>((0.099L * X - 0.198L * Y + 1.099L * Z) * 255)));
            const bool bgr = FConverter == TConverter::LabToBGR;
            out[0] = bgr ? bl : r;
            out[1] = g;
            out[2] = bgr ? r : bl;
            break;
        }
        default: {
            const bool bgr = FConverter == TConverter::YCbCrToBGR || FConverter == TConverter::PhotoYCCToBGR;
            const long y = sample(at, 0);
            const std::uint8_t c1 = sample(at, 1), c2 = sample(at, 2);
            const std::uint8_t r = Clamp(y + FCrToRed[c2]);
            const std::uint8_t g = Clamp(y + FCbToGreen[c1] + FCrToGreen[c2]);
            const std::uint8_t bl = Clamp(y + FCbToBlue[c1]);
            out[0] = bgr ? bl : r;
            out[1] = g;
            out[2] = bgr ? r : bl;
            break;
        }
        }
        at += stride;
    }
}

TPalette TColorManager::BuildGrayPalette(bool whiteIsZero)
{
    const auto product = static_cast<std::uint8_t>(FTargetBits * FTargetSamples);
    const int n = std::max(2, 1 << std::min<int>(product, 8));
    const int step = 255 / (n - 1);
    TPalette palette(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const auto level = static_cast<std::uint8_t>(step * i);
        const std::uint8_t v = (TargetOptions & coApplyGamma) ? FGammaTable[level] : level;
        palette[static_cast<std::size_t>(whiteIsZero ? n - 1 - i : i)] = {v, v, v};
    }
    return palette;
}

TPalette TColorManager::BuildColorPalette(std::span<const std::span<const std::uint8_t>> data,
                                          std::uint8_t dataFormat, std::uint32_t colorCount)
{
    const std::size_t count = std::min<std::uint32_t>(colorCount, 256);
    std::vector<TPaletteEntry> entries(256);
    const bool wide = dataFormat >= 4 && dataFormat <= 7;
    const bool planes = dataFormat == 2 || dataFormat == 3 || dataFormat == 6 || dataFormat == 7;
    const std::size_t sampleBytes = wide ? 2 : 1;
    const std::size_t stride = planes ? sampleBytes : ((dataFormat % 2) ? 4 : 3) * sampleBytes;
    const auto value = [&](std::size_t entry, std::size_t c) -> std::uint8_t {
        const std::uint8_t* p = planes ? data[c].data() + entry * sampleBytes : data[0].data() + entry * stride + c * sampleBytes;
        return wide ? Scale16(p) : *p;
    };
    if (dataFormat <= 7 && !data.empty() && (!planes || data.size() >= 3)) {
        std::size_t usable = count;
        for (std::size_t c = 0; c < (planes ? 3 : 1); ++c) {
            const std::size_t need = planes ? sampleBytes : stride;
            usable = std::min(usable, data[c].size() / need);
        }
        for (std::size_t j = 0; j < usable; ++j)
            entries[j] = {Gamma(value(j, 0)), Gamma(value(j, 1)), Gamma(value(j, 2))};
    }
    std::size_t size = count;
    if (FSourceBits <= 8 && FTargetBits <= 8 && FSourceBits != FTargetBits) {
        const unsigned s = (1u << FSourceBits) - 1, t = (1u << FTargetBits) - 1;
        if (s < t) {
            for (unsigned j = t + 1; j-- > 0;)
                entries[j] = entries[j * s / t];
        } else {
            for (unsigned j = 0; j <= t; ++j)
                entries[j] = entries[j * s / t];
        }
        size = t + 1;
    }
    entries.resize(size);
    return entries;
}
