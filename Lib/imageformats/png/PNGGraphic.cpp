#include "imageformats/png/PNGGraphic.h"

#include "imageformats/common/GraphicStrings.h"
#include "imageformats/common/StreamBytes.h"
#include "imageformats/compression/LZ77Decoder.h"

#include "Platform/text/Format.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace GraphicStrings;

namespace {

constexpr std::uint8_t Signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
// why: deflate expands at most 1032 times; a bitmap row may be four times its data row.
constexpr std::uint64_t MaxExpansion = 1032 * 4;

[[noreturn]] void Fail(const char* text)
{
    throw EInvalidGraphic(Format(text, {gesFormatPNG}));
}

void UnfilterRow(std::uint8_t filter, std::uint8_t* row, const std::uint8_t* previous, std::size_t length,
                 std::size_t bpp)
{
    switch (filter) {
    case 1:
        for (std::size_t i = bpp; i < length; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + row[i - bpp]);
        break;
    case 2:
        for (std::size_t i = 0; i < length; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + previous[i]);
        break;
    case 3:
        for (std::size_t i = 0; i < length; ++i) {
            const unsigned left = i >= bpp ? row[i - bpp] : 0;
            row[i] = static_cast<std::uint8_t>(row[i] + (left + previous[i]) / 2);
        }
        break;
    case 4:
        for (std::size_t i = 0; i < length; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0, b = previous[i], c = i >= bpp ? previous[i - bpp] : 0;
            const int p = a + b - c;
            const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            const int predictor = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
            row[i] = static_cast<std::uint8_t>(row[i] + predictor);
        }
        break;
    default: break;
    }
}

// The bit depths PNG allows for each colour type.
bool ValidDepth(std::uint8_t colorType, std::uint8_t bitDepth)
{
    const auto among = [bitDepth](std::initializer_list<int> depths) {
        return std::find(depths.begin(), depths.end(), bitDepth) != depths.end();
    };
    switch (colorType) {
    case 0: return among({1, 2, 4, 8, 16});
    case 3: return among({1, 2, 4, 8});
    case 2:
    case 4:
    case 6: return among({8, 16});
    default: return false;
    }
}

} // namespace

TPNGGraphic::TPNGGraphic() = default;
TPNGGraphic::~TPNGGraphic() = default;

TGraphicClass TPNGGraphic::ClassInfo()
{
    static const TImgLibGraphicClassInfo info{
        {"TPNGGraphic", TImgLibGraphic::ClassInfo(), [] { return std::unique_ptr<TGraphic>(new TPNGGraphic); }},
        &TPNGGraphic::IsStreamOfThisFormat};
    return &info;
}

bool TPNGGraphic::IsStreamOfThisFormat(TStream& stream)
{
    if (BytesLeft(stream) <= 8)
        return false;
    TStreamPositionGuard guard(stream);
    std::uint8_t head[8];
    stream.ReadBuffer(head, 8);
    return std::memcmp(head, Signature, 8) == 0;
}

void TPNGGraphic::ReadChunkHead()
{
    std::uint8_t head[8];
    FStream->ReadBuffer(head, 8);
    FHeader.Length = BigEndian32(head);
    std::memcpy(FHeader.Type, head + 4, 4);
    FCRC = static_cast<std::uint32_t>(crc32(0, head + 4, 4));
}

void TPNGGraphic::LoadChunkData()
{
    FRawBuffer = ReadBytes(*FStream, std::uint64_t{FHeader.Length} + 4);
    const std::uint32_t stored = BigEndian32(FRawBuffer.data() + FHeader.Length);
    FRawBuffer.resize(FHeader.Length);
    FCRC = static_cast<std::uint32_t>(crc32(FCRC, FRawBuffer.data(), FHeader.Length));
    if (FCRC != stored)
        Fail(gesInvalidCRC);
}

void TPNGGraphic::SkipChunk()
{
    const std::uint64_t skip = std::uint64_t{FHeader.Length} + 4;
    if (skip > BytesLeft(*FStream))
        throw EReadError("Stream read error");
    FStream->Seek(static_cast<std::int64_t>(skip), TSeekOrigin::soCurrent);
}

bool TPNGGraphic::ChunkIs(const char* name) const
{
    for (int i = 0; i < 4; ++i)
        if ((FHeader.Type[i] & ~0x20) != (name[i] & ~0x20))
            return false;
    return true;
}

bool TPNGGraphic::ReadImageHeader(TStream& stream, int imageIndex)
{
    TImgLibGraphic::ReadImageHeader(stream, imageIndex);
    FStream = &stream;
    std::uint8_t head[8];
    if (stream.Read(head, 8) != 8 || std::memcmp(head, Signature, 8) != 0)
        return false;
    ReadChunkHead();
    if (!ChunkIs("IHDR") || FHeader.Length < 13)
        return false;
    FImageProperties.Flags |= ioBigEndian;
    LoadChunkData();
    const std::uint8_t* d = FRawBuffer.data();
    const std::uint32_t width = BigEndian32(d), height = BigEndian32(d + 4);
    if (width == 0 || height == 0)
        return false;
    FImageProperties.ImageWidth = width;
    FImageProperties.ImageHeight = height;
    FImageProperties.CompressionKind = d[10] == 0 ? ckDeflate : ckUnknown;
    FImageProperties.SampleBits = d[8];
    switch (d[9]) {
    case 0: FImageProperties.Scheme = schemeGray; FImageProperties.SampleCount = 1; break;
    case 2: FImageProperties.Scheme = schemeRGB; FImageProperties.SampleCount = 3; break;
    case 3: FImageProperties.Scheme = schemeIndexed; FImageProperties.SampleCount = 1; break;
    case 4: FImageProperties.Scheme = schemeGrayAlpha; FImageProperties.SampleCount = 2; break;
    case 6: FImageProperties.Scheme = schemeRGBA; FImageProperties.SampleCount = 4; break;
    default: FImageProperties.Scheme = schemeUnknown; FImageProperties.SampleCount = 1; break;
    }
    FImageProperties.PixelBits = static_cast<std::uint8_t>(FImageProperties.SampleCount * d[8]);
    FImageProperties.RowFilterMethod = d[11];
    FImageProperties.IsInterlaced = d[12] != 0;
    const TColorScheme scheme = FImageProperties.Scheme;
    FImageProperties.AlphaPresent = scheme == schemeGrayAlpha || scheme == schemeRGBA || scheme == schemeBGRA;
    for (;;) {
        ReadChunkHead();
        if (ChunkIs("gAMA") && FHeader.Length >= 4) {
            LoadChunkData();
            FImageProperties.Gamma = static_cast<float>(BigEndian32(FRawBuffer.data()) / 100000.0);
            return true;
        }
        if (ChunkIs("IEND"))
            return true;
        SkipChunk();
    }
}

int TPNGGraphic::SetupPixelLayout(std::uint8_t colorType, std::uint8_t bitDepth)
{
    TColorManager& colors = ColorManager();
    if (!ValidDepth(colorType, bitDepth))
        Fail(gesInvalidPNGColorFormat);
    // The layouts of the colour types: source and target scheme, samples of each side, pixel
    // format (device: the colour manager's for the target), grey palette, samples per pixel.
    struct TLayout {
        TColorScheme Source, Target;
        std::uint8_t SourceSamples, TargetSamples;
        TPixelFormat Format;
        bool GrayPalette;
        int Samples;
    };
    static constexpr TLayout Layouts[7] = {
        {schemeGray, schemeGray, 1, 1, TPixelFormat::pfDevice, true, 1},
        {},
        {schemeRGB, schemeBGR, 3, 3, TPixelFormat::pf24bit, false, 3},
        {schemeIndexed, schemeIndexed, 1, 1, TPixelFormat::pfDevice, false, 1},
        {schemeGrayAlpha, schemeIndexed, 1, 1, TPixelFormat::pf8bit, true, 2},
        {},
        {schemeRGBA, schemeBGRA, 4, 4, TPixelFormat::pf32bit, false, 4},
    };
    const TLayout& layout = Layouts[colorType];
    colors.SetSourceBits(bitDepth);
    colors.SetSourceScheme(layout.Source);
    colors.SetTargetScheme(layout.Target);
    colors.SetSourceSamples(layout.SourceSamples);
    colors.SetTargetSamples(layout.TargetSamples);
    const bool indexLike = colorType == 0 || colorType == 3;
    colors.SetTargetBits(!indexLike || bitDepth == 16 ? 8 : bitDepth == 2 ? 4 : bitDepth);
    const TPixelFormat format = layout.Format == TPixelFormat::pfDevice ? colors.PixelFormatFor(1) : layout.Format;
    const bool grayPalette = layout.GrayPalette;
    const int bpp = colorType == 3 ? 1 : std::max(1, bitDepth * layout.Samples / 8);
    SetPixelFormat(format);
    if (grayPalette) {
        FPalette = colors.BuildGrayPalette(false);
        FPaletteBuilt = true;
    }
    FLayoutDone = true;
    return bpp;
}

std::uint8_t TPNGGraphic::Level(std::uint16_t value) const
{
    if (FBitDepth == 16)
        return static_cast<std::uint8_t>(std::uint32_t{value} * 255 / 65535);
    if (FBitDepth < 8 && FColorType != 3) {
        const unsigned max = (1u << FBitDepth) - 1;
        return static_cast<std::uint8_t>(std::min<unsigned>(value, max) * 255 / max);
    }
    return static_cast<std::uint8_t>(value & 0xFF);
}

void TPNGGraphic::ReadBackground()
{
    LoadChunkData();
    const std::uint8_t* d = FRawBuffer.data();
    const std::uint32_t n = FHeader.Length;
    if ((FColorType == 0 || FColorType == 4) && n >= 2) {
        const std::uint8_t g = Level(BigEndian16(d));
        FBackgroundColor = RGBColor(g, g, g);
    } else if ((FColorType == 2 || FColorType == 6) && n >= 6) {
        FBackgroundColor = RGBColor(Level(BigEndian16(d)), Level(BigEndian16(d + 2)), Level(BigEndian16(d + 4)));
    } else if (FColorType == 3 && n >= 1 && d[0] < FPalette.size()) {
        const TPaletteEntry& e = FPalette[d[0]];
        FBackgroundColor = RGBColor(e.Red, e.Green, e.Blue);
    }
}

void TPNGGraphic::ReadTransparency()
{
    LoadChunkData();
    const std::uint8_t* d = FRawBuffer.data();
    const std::uint32_t n = FHeader.Length;
    // why: the colour is compared with drawn pixels, which carry the gamma of the file.
    const auto shown = [this](std::uint8_t v) {
        return (ColorManager().TargetOptions & coApplyGamma) ? ColorManager().GammaTable()[v] : v;
    };
    if (FColorType == 0 && n >= 2) {
        const std::uint8_t g = shown(Level(BigEndian16(d)));
        FTransparentColor = RGBColor(g, g, g);
    } else if (FColorType == 2 && n >= 6) {
        FTransparentColor = RGBColor(shown(Level(BigEndian16(d))), shown(Level(BigEndian16(d + 2))),
                                     shown(Level(BigEndian16(d + 4))));
    }
}

void TPNGGraphic::InflateRow(std::uint8_t* buffer, std::uint32_t size)
{
    std::uint32_t filled = 0;
    while (filled < size) {
        if (FDecoder->AvailableInput() == 0 || FCurrentSource >= FIDATSize) {
            FIDATSize = 0;
            while (FIDATSize == 0) {
                // why: image data that ends before the last row is a damaged file, not a picture.
                if (!ChunkIs("IDAT"))
                    Fail(gesCompressionError);
                LoadChunkData();
                FCurrentSource = 0;
                FIDATSize = FHeader.Length;
                ReadChunkHead();
            }
        }
        const std::uint8_t* source = FRawBuffer.data() + FCurrentSource;
        std::uint8_t* target = buffer + filled;
        FDecoder->DecodeBlock(source, target, FIDATSize - FCurrentSource, size - filled);
        FCurrentSource = static_cast<std::uint32_t>(source - FRawBuffer.data());
        filled = static_cast<std::uint32_t>(target - buffer);
        if (FDecoder->ZLibResult() == Z_STREAM_END) {
            if (filled < size || FCurrentSource < FIDATSize)
                Fail(gesExtraCompressedData);
            return;
        }
        if (FDecoder->ZLibResult() != Z_OK)
            Fail(gesCompressionError);
    }
}

void TPNGGraphic::ReadImageData()
{
    Report(TProgressStage::psStarting, 0, gesTransfering);
    if (!FLayoutDone)
        FSourceBPP = SetupPixelLayout(FColorType, FBitDepth);
    const std::uint32_t rowFactor = FBitDepth == 16 ? static_cast<std::uint32_t>(FSourceBPP / 2)
                                                    : static_cast<std::uint32_t>(FSourceBPP);
    const std::uint64_t width = FImageProperties.ImageWidth, height = FImageProperties.ImageHeight;
    CheckImageSize(width, height, static_cast<std::uint64_t>(BitsPerPixel(PixelFormat())), BytesLeft(*FStream),
                   MaxExpansion, gesFormatPNG);
    const std::uint64_t rowSize = (width * FBitDepth + 7) / 8 * rowFactor + 1;
    if (FPaletteBuilt)
        SetPalette(FPalette);
    SetSize(static_cast<int>(width), static_cast<int>(height));
    Fill(FBackgroundColor);
    if (FTransparentColor != clNone) {
        TransparentColor = FTransparentColor;
        Transparent = true;
    }
    std::vector<std::uint8_t> current(rowSize), previous(rowSize);
    const std::size_t stride = static_cast<std::size_t>(RowStride());
    const auto convert = [&](std::uint64_t row, std::uint64_t size, std::uint8_t mask) {
        InflateRow(current.data(), static_cast<std::uint32_t>(size));
        UnfilterRow(current[0], current.data() + 1, previous.data() + 1, size - 1, static_cast<std::size_t>(FSourceBPP));
        ColorManager().ConvertLine(std::span<const std::uint8_t>(current.data() + 1, size - 1),
                                   std::span<std::uint8_t>(ScanLine(static_cast<int>(row)), stride),
                                   static_cast<std::uint32_t>(width), mask);
        std::swap(current, previous);
    };
    if (FInterlaceMethod == 1) {
        static constexpr std::uint32_t RowStart[7] = {0, 0, 4, 0, 2, 0, 1};
        static constexpr std::uint32_t ColumnStart[7] = {0, 4, 0, 2, 0, 1, 0};
        static constexpr std::uint32_t RowStep[7] = {8, 8, 8, 4, 4, 2, 2};
        static constexpr std::uint32_t ColumnStep[7] = {8, 8, 4, 4, 2, 2, 1};
        static constexpr std::uint8_t Mask[7] = {0x80, 0x08, 0x88, 0x22, 0xAA, 0x55, 0xFF};
        for (int pass = 0; pass < 7; ++pass) {
            if (ColumnStart[pass] >= width)
                continue;
            const std::uint64_t passSize =
                ((width + ColumnStep[pass] - ColumnStart[pass] - 1) / ColumnStep[pass] * FBitDepth + 7) / 8 * rowFactor + 1;
            std::fill(previous.begin(), previous.end(), 0);
            for (std::uint64_t row = RowStart[pass]; row < height; row += RowStep[pass]) {
                convert(row, passSize, Mask[pass]);
                if (pass == 6)
                    ReportRow(row + RowStep[pass], height);
            }
        }
    } else {
        for (std::uint64_t row = 0; row < height; ++row) {
            convert(row, rowSize, 0xFF);
            ReportRow(row, height);
        }
    }
    while (ChunkIs("IDAT")) {
        LoadChunkData();
        ReadChunkHead();
    }
}

void TPNGGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    FBasePosition = stream.Position();
    if (!ReadImageHeader(stream, 0))
        InvalidImage(gesFormatPNG);
    FStream = &stream;
    FDecoder.reset();
    stream.SetPosition(FBasePosition + 8);
    FProgressRect = TRect{0, 0, static_cast<int>(FImageProperties.ImageWidth), 1};
    Report(TProgressStage::psStarting, 0, gesPreparing);
    FPalette.clear();
    FPaletteBuilt = false;
    FLayoutDone = false;
    FBackgroundColor = clWhite;
    FTransparentColor = clNone;
    FIDATSize = FCurrentSource = 0;
    const auto finish = [this] {
        FDecoder.reset();
        FRawBuffer = {};
        Report(TProgressStage::psEnding, 0);
    };
    try {
        ReadChunkHead();
        FRawBuffer.clear();
        ColorManager().SourceOptions = coNeedByteSwap;
        ColorManager().TargetOptions = 0;
        LoadChunkData();
        const std::uint8_t* d = FRawBuffer.data();
        FBitDepth = d[8];
        FColorType = d[9];
        FInterlaceMethod = d[12];
        if (FImageProperties.CompressionKind != ckDeflate)
            throw EInvalidGraphic(Format(gesUnsupportedFeature, {gesCompression, gesFormatPNG}));
        // why: the chunks before the image data scale their levels by the bit depth
        if (!ValidDepth(FColorType, FBitDepth))
            Fail(gesInvalidPNGColorFormat);
        if (d[11] != 0 || FInterlaceMethod > 1 || BigEndian32(d) > 0x7FFFFFFFu || BigEndian32(d + 4) > 0x7FFFFFFFu)
            InvalidImage(gesFormatPNG);
        FDecoder = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
        FDecoder->BeginDecoding();
        for (;;) {
            ReadChunkHead();
            if (ChunkIs("IDAT")) {
                Report(TProgressStage::psEnding, 0);
                ReadImageData();
                // the chunk after the image data is skipped like any other
                SkipChunk();
                if (ChunkIs("IEND"))
                    break;
                if (!(FHeader.Type[0] & 0x20))
                    Fail(gesUnknownCriticalChunk);
            } else if (ChunkIs("PLTE")) {
                if (FHeader.Length % 3 != 0)
                    Fail(gesInvalidPalette);
                LoadChunkData();
                if (FColorType == 3) {
                    FSourceBPP = SetupPixelLayout(FColorType, FBitDepth);
                    const std::span<const std::uint8_t> planes[] = {FRawBuffer};
                    FPalette = ColorManager().BuildColorPalette(planes, 0, FHeader.Length / 3);
                    FPaletteBuilt = true;
                }
            } else if (ChunkIs("gAMA")) {
                LoadChunkData();
                if (FHeader.Length >= 4) {
                    ColorManager().SetGamma(static_cast<float>(BigEndian32(FRawBuffer.data()) / 100000.0), 2.2f);
                    ColorManager().TargetOptions |= coApplyGamma;
                    FImageProperties.Flags |= ioUseGamma;
                }
            } else if (ChunkIs("bKGD")) {
                ReadBackground();
            } else if (ChunkIs("tRNS")) {
                ReadTransparency();
            } else {
                SkipChunk();
                if (ChunkIs("IEND"))
                    break;
                if (!(FHeader.Type[0] & 0x20))
                    Fail(gesUnknownCriticalChunk);
            }
        }
        if (Empty())
            Fail(gesCompressionError);
        FDecoder->EndDecoding();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}
