#include "imageformats/tiff/TIFFGraphic.h"

#include "imageformats/common/GraphicStrings.h"
#include "imageformats/common/StreamBytes.h"
#include "imageformats/compression/CCITTDecoder.h"
#include "imageformats/compression/LZ77Decoder.h"
#include "imageformats/compression/LZWDecoder.h"
#include "imageformats/compression/RunLengthDecoders.h"
#include "imageformats/compression/TIFFJPEGDecoder.h"
#include "imageformats/tiff/TIFFDirectory.h"

#include <algorithm>
#include <cstring>

using namespace GraphicStrings;

namespace {

enum : std::uint16_t {
    TIFFTAG_IMAGEWIDTH = 256, TIFFTAG_IMAGELENGTH = 257, TIFFTAG_BITSPERSAMPLE = 258, TIFFTAG_COMPRESSION = 259,
    TIFFTAG_PHOTOMETRIC = 262, TIFFTAG_FILLORDER = 266, TIFFTAG_STRIPOFFSETS = 273, TIFFTAG_SAMPLESPERPIXEL = 277,
    TIFFTAG_ROWSPERSTRIP = 278, TIFFTAG_STRIPBYTECOUNTS = 279, TIFFTAG_XRESOLUTION = 282, TIFFTAG_YRESOLUTION = 283,
    TIFFTAG_PLANARCONFIG = 284, TIFFTAG_T4OPTIONS = 292, TIFFTAG_RESOLUTIONUNIT = 296, TIFFTAG_PREDICTOR = 317,
    TIFFTAG_COLORMAP = 320, TIFFTAG_TILEWIDTH = 322, TIFFTAG_TILELENGTH = 323, TIFFTAG_TILEOFFSETS = 324,
    TIFFTAG_TILEBYTECOUNTS = 325, TIFFTAG_EXTRASAMPLES = 338, TIFFTAG_JPEGTABLES = 347,
    TIFFTAG_YCBCRCOEFFICIENTS = 529, TIFFTAG_YCBCRSUBSAMPLING = 530, TIFFTAG_YCBCRPOSITIONING = 531,
};

// why: no decoder here expands one byte into more than 2731 (LZW codes of 12 bits yielding 4096
// bytes), except fax rows of a lone end-of-line, which are whole rows.
constexpr std::uint64_t MaxExpansion = 2731;
// why: an end-of-line code alone makes a whole white fax row, so a fax row may hold far more than
// its data; but not without bound, or a 100-byte file asks for a gigabyte of rows.
constexpr std::uint64_t MaxFaxRowBytes = 1 << 16;

TCompressionKind KindOfTag(std::uint32_t tag)
{
    switch (tag) {
    case 1: return ckNone;
    case 2: return ckModifiedHuffman;
    case 3: return ckFax3;
    case 4: return ckFax4;
    case 5: return ckLZW;
    case 6: return ckOldJPEG;
    case 7: return ckJPEG;
    case 8:
    case 32946: return ckDeflate;
    case 32766: return ckNeXT;
    case 32771: return ckModifiedHuffmanWords;
    case 32773: return ckPackBits;
    case 32809: return ckThunderscan;
    case 32895: return ckIT8CTPAD;
    case 32896: return ckIT8LW;
    case 32897: return ckIT8MP;
    case 32898: return ckIT8BL;
    case 32908: return ckPixarFilm;
    case 32909: return ckPixarLog;
    case 32947: return ckDCS;
    case 34661: return ckJBIG;
    default: return ckUnknown;
    }
}

bool IsFax(TCompressionKind kind)
{
    return kind == ckFax3 || kind == ckModifiedHuffman || kind == ckModifiedHuffmanWords;
}

std::uint8_t Reversed(std::uint8_t b)
{
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

// Target bits of index and grey pixels: the bitmap's formats hold 1, 4 or 8 bits.
std::uint8_t IndexTargetBits(std::uint8_t bits)
{
    return bits == 1 ? 1 : bits <= 4 ? 4 : 8;
}

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b)
{
    return (a + b - 1) / b;
}

} // namespace

TTIFFGraphic::TTIFFGraphic() = default;
TTIFFGraphic::~TTIFFGraphic() = default;

TGraphicClass TTIFFGraphic::ClassInfo()
{
    static const TImgLibGraphicClassInfo info{
        {"TTIFFGraphic", TImgLibGraphic::ClassInfo(), [] { return std::unique_ptr<TGraphic>(new TTIFFGraphic); }},
        &TTIFFGraphic::IsStreamOfThisFormat};
    return &info;
}

bool TTIFFGraphic::IsStreamOfThisFormat(TStream& stream)
{
    const std::uint64_t left = BytesLeft(stream);
    if (left <= 8)
        return false;
    TStreamPositionGuard guard(stream);
    std::uint8_t head[8];
    stream.ReadBuffer(head, 8);
    const bool little = head[0] == 'I' && head[1] == 'I';
    const bool big = head[0] == 'M' && head[1] == 'M';
    if (!little && !big)
        return false;
    const std::uint16_t version = big ? BigEndian16(head + 2) : LittleEndian16(head + 2);
    const auto offset = static_cast<std::int32_t>(big ? BigEndian32(head + 4) : LittleEndian32(head + 4));
    return version == 42 && static_cast<std::int64_t>(offset) < static_cast<std::int64_t>(left);
}

bool TTIFFGraphic::ReadImageHeader(TStream& stream, int imageIndex)
{
    TImgLibGraphic::ReadImageHeader(stream, imageIndex);
    FStream = &stream;
    FBasePosition = stream.Position();
    std::uint8_t head[8];
    if (stream.Read(head, 8) != 8)
        return false;
    const bool big = head[0] == 'M' && head[1] == 'M';
    if (!big && !(head[0] == 'I' && head[1] == 'I'))
        return false;
    if (big)
        FImageProperties.Flags |= ioBigEndian;
    FDirectory = std::make_unique<TTIFFDirectory>(stream, FBasePosition, big);
    TTIFFDirectory& directory = *FDirectory;
    FImageProperties.FormatVersion = directory.Word(head + 2);
    FImageProperties.FirstDirectory = directory.Long(head + 4);
    if (FImageProperties.FormatVersion != 42)
        return false;
    const std::uint64_t size = static_cast<std::uint64_t>(stream.Size() - FBasePosition);
    std::uint32_t offset = FImageProperties.FirstDirectory;
    for (; imageIndex > 0; --imageIndex) {
        if (offset < 8 || offset >= size)
            return false;
        offset = directory.Read(offset);
    }
    if (offset < 8 || offset >= size)
        return false;
    directory.Read(offset);

    TImageProperties& p = FImageProperties;
    p.ImageWidth = directory.Number(TIFFTAG_IMAGEWIDTH, 0);
    p.ImageHeight = directory.Number(TIFFTAG_IMAGELENGTH, 0);
    if (p.ImageWidth == 0 || p.ImageHeight == 0)
        return false;
    p.StripRows = directory.Numbers(TIFFTAG_ROWSPERSTRIP);
    if (p.StripRows.empty() || p.StripRows[0] == 0xFFFFFFFF)
        p.StripRows = {p.ImageHeight};
    const std::uint32_t samples = directory.Number(TIFFTAG_SAMPLESPERPIXEL, 1);
    const std::vector<std::uint32_t> bits = directory.Numbers(TIFFTAG_BITSPERSAMPLE);
    const std::uint32_t sampleBits = bits.empty() ? 1 : bits[0];
    if (samples == 0 || samples > 255 || sampleBits == 0 || sampleBits > 255)
        return false;
    p.SampleCount = static_cast<std::uint8_t>(samples);
    p.SampleBits = static_cast<std::uint8_t>(sampleBits);
    p.TileColumns = directory.Number(TIFFTAG_TILEWIDTH, 0);
    p.TileRows = directory.Number(TIFFTAG_TILELENGTH, 0);
    if (p.TileColumns > 0 && p.TileRows > 0)
        p.Flags |= ioTiled;
    const std::vector<std::uint32_t> extra = directory.Numbers(TIFFTAG_EXTRASAMPLES);
    p.AlphaPresent = !extra.empty() && std::none_of(extra.begin(), extra.end(), [](std::uint32_t v) { return v > 2; });
    p.PixelBits = static_cast<std::uint8_t>(p.SampleBits * p.SampleCount);
    p.CompressionKind = KindOfTag(directory.Number(TIFFTAG_COMPRESSION, 0));
    switch (directory.Number(TIFFTAG_PHOTOMETRIC, 0)) {
    case 0: p.Scheme = schemeGray; p.Flags |= ioMinIsWhite; break;
    case 1: p.Scheme = schemeGray; break;
    case 2: p.Scheme = p.SampleCount < 4 ? schemeRGB : schemeRGBA; break;
    case 3: p.Scheme = schemeIndexed; break;
    case 5: p.Scheme = schemeCMYK; break;
    case 6: p.Scheme = schemeYCbCr; break;
    case 8: p.Scheme = schemeCIELab; break;
    default: p.Scheme = schemeUnknown; break;
    }
    if (p.Scheme == schemeYCbCr) {
        p.ChromaSubsampling = directory.Bytes(TIFFTAG_YCBCRSUBSAMPLING);
        if (p.ChromaSubsampling.size() < 2)
            p.ChromaSubsampling = {2, 2};
        FYCbCrPositioning = directory.Number(TIFFTAG_YCBCRPOSITIONING, 1);
        FYCbCrCoefficients = directory.Reals(TIFFTAG_YCBCRCOEFFICIENTS);
        if (FYCbCrCoefficients.size() < 3)
            FYCbCrCoefficients = {0.299f, 0.587f, 0.114f};
    }
    p.PlaneLayout = directory.Number(TIFFTAG_PLANARCONFIG, 1);
    p.ResolutionX = directory.Real(TIFFTAG_XRESOLUTION, 0);
    p.ResolutionY = directory.Real(TIFFTAG_YRESOLUTION, 0);
    if (directory.Number(TIFFTAG_RESOLUTIONUNIT, 2) == 3) {
        p.ResolutionX *= 2.54f;
        p.ResolutionY *= 2.54f;
    }
    p.PredictorKind = directory.Number(TIFFTAG_PREDICTOR, 0);
    if (directory.Number(TIFFTAG_FILLORDER, 1) == 2)
        p.Flags |= ioReversed;
    return true;
}

void TTIFFGraphic::SetupColorManager(bool jpeg)
{
    TImageProperties& p = FImageProperties;
    TColorManager& colors = ColorManager();
    colors.SourceOptions = (p.Flags & ioBigEndian) ? coNeedByteSwap : 0;
    colors.TargetOptions = 0;
    colors.SetSourceBits(jpeg ? 8 : p.SampleBits);
    TColorScheme source = jpeg ? schemeBGR : p.Scheme;
    TColorScheme target = source;
    std::uint8_t targetSamples = p.SampleCount;
    switch (source) {
    case schemeIndexed:
        if (p.AlphaPresent && p.SampleCount > 1)
            source = schemeGrayAlpha;
        target = schemeIndexed;
        targetSamples = 1;
        break;
    case schemeGray:
        // why: a grey image with an extra sample keeps its grey levels; the extra sample goes.
        if (p.SampleCount > 1)
            source = schemeGrayAlpha;
        target = schemeGray;
        targetSamples = 1;
        break;
    case schemeRGB: target = schemeBGR; break;
    case schemeRGBA: target = schemeBGRA; break;
    case schemeCMY:
    case schemeCMYK:
    case schemeCIELab:
    case schemeYCbCr:
        target = schemeBGR;
        targetSamples = 3;
        break;
    case schemeBGR:
        targetSamples = 3;
        break;
    default: break;
    }
    const bool indexLike = target == schemeIndexed || target == schemeGray;
    colors.SetTargetBits(indexLike ? IndexTargetBits(p.SampleBits) : 8);
    colors.SetSourceScheme(source);
    colors.SetTargetScheme(target);
    colors.SetSourceSamples(jpeg ? 3 : std::min<std::uint8_t>(p.SampleCount, 4));
    colors.SetTargetSamples(std::min<std::uint8_t>(targetSamples, 4));
    if (source == schemeCIELab)
        colors.SourceOptions |= coLabByteRange;
    SetPixelFormat(source == schemeGrayAlpha || (indexLike && colors.TargetBits() == 8) ? TPixelFormat::pf8bit
                                                                                        : colors.PixelFormatFor(1));
    if (PixelFormat() == TPixelFormat::pfCustom || PixelFormat() == TPixelFormat::pf15bit)
        throw EColorConversionError(gesConversionUnsupported);
}

void TTIFFGraphic::BuildPalette(const TTIFFDirectory& directory)
{
    TColorManager& colors = ColorManager();
    const TImageProperties& p = FImageProperties;
    if (colors.TargetScheme() == schemeIndexed && p.Scheme == schemeIndexed) {
        // The colour map: three planes of 16-bit values, read whole with the file as the bound.
        const std::vector<std::uint32_t> map = directory.Numbers(TIFFTAG_COLORMAP);
        const std::size_t n = map.size() / 3;
        if (n == 0)
            return;
        TPalette palette;
        if (p.SampleBits == 16) {
            // why: 16-bit indices become index × 255 ÷ 65535; each entry shows the first value
            // that lands on it.
            palette.resize(256);
            for (std::size_t j = 0; j < 256; ++j) {
                const std::size_t k = std::min(n - 1, j * 257);
                palette[j] = {static_cast<std::uint8_t>(map[k] * 255 / 65535), static_cast<std::uint8_t>(map[n + k] * 255 / 65535),
                              static_cast<std::uint8_t>(map[2 * n + k] * 255 / 65535)};
            }
        } else {
            const bool swapped = colors.SourceOptions & coNeedByteSwap;
            std::vector<std::uint8_t> bytes(map.size() * 2);
            for (std::size_t i = 0; i < map.size(); ++i) {
                bytes[2 * i + (swapped ? 1 : 0)] = static_cast<std::uint8_t>(map[i] & 0xFF);
                bytes[2 * i + (swapped ? 0 : 1)] = static_cast<std::uint8_t>(map[i] >> 8);
            }
            const std::span<const std::uint8_t> planes[] = {
                std::span<const std::uint8_t>(bytes).subspan(0, 2 * n), std::span<const std::uint8_t>(bytes).subspan(2 * n, 2 * n),
                std::span<const std::uint8_t>(bytes).subspan(4 * n, 2 * n)};
            palette = colors.BuildColorPalette(planes, 6, static_cast<std::uint32_t>(n));
        }
        SetPalette(std::move(palette));
    } else if (colors.TargetScheme() == schemeGray || colors.TargetScheme() == schemeIndexed) {
        SetPalette(colors.BuildGrayPalette(p.Flags & ioMinIsWhite));
    } else if (colors.SourceScheme() == schemeYCbCr) {
        const std::vector<float>& k = FYCbCrCoefficients;
        colors.SetChromaParameters({k[0], k[1], k[2]}, p.ChromaSubsampling[0], p.ChromaSubsampling[1]);
    }
}

std::unique_ptr<TDecoder> TTIFFGraphic::MakeDecoder(const TTIFFDirectory& directory)
{
    const TImageProperties& p = FImageProperties;
    const bool reversed = p.Flags & ioReversed;
    switch (p.CompressionKind) {
    case ckNone: return nullptr;
    case ckLZW: return std::make_unique<TTIFFLZWDecoder>();
    case ckPackBits: return std::make_unique<TPackbitsRLEDecoder>();
    case ckDeflate: return std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, true);
    case ckThunderscan: return std::make_unique<TThunderDecoder>(p.ImageWidth);
    case ckJPEG:
        FImageProperties.JPEGTableData = directory.Bytes(TIFFTAG_JPEGTABLES);
        return std::make_unique<TTIFFJPEGDecoder>(FImageProperties);
    case ckFax3: {
        const std::uint32_t options = directory.Number(TIFFTAG_T4OPTIONS, 0);
        // why: two-dimensional and uncompressed-mode data read as one-dimensional codes would
        // load as a damaged picture without a word.
        if (options & 3)
            break;
        return std::make_unique<TCCITTFax3Decoder>(options, reversed, false, p.ImageWidth);
    }
    case ckModifiedHuffman:
    case ckModifiedHuffmanWords:
        return std::make_unique<TCCITTMHDecoder>(0, reversed, p.CompressionKind == ckModifiedHuffmanWords, p.ImageWidth);
    default: break;
    }
    UnsupportedCompression(gesFormatTIFF);
}

void TTIFFGraphic::UndoPredictor(std::uint8_t* row, std::uint32_t width, std::uint32_t samples) const
{
    if (FImageProperties.SampleBits == 16) {
        const bool big = FImageProperties.Flags & ioBigEndian;
        const auto get = [big](const std::uint8_t* q) { return big ? BigEndian16(q) : LittleEndian16(q); };
        for (std::uint64_t i = samples; i < std::uint64_t{width} * samples; ++i) {
            std::uint8_t* q = row + 2 * i;
            const auto v = static_cast<std::uint16_t>(get(q) + get(q - 2 * samples));
            q[big ? 0 : 1] = static_cast<std::uint8_t>(v >> 8);
            q[big ? 1 : 0] = static_cast<std::uint8_t>(v & 0xFF);
        }
    } else if (FImageProperties.SampleBits == 8) {
        for (std::uint64_t i = samples; i < std::uint64_t{width} * samples; ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + row[i - samples]);
    }
}

void TTIFFGraphic::ReadBlock(TDecoder* decoder, std::uint32_t offset, std::uint32_t byteCount, std::uint32_t width,
                             std::uint32_t rows, std::uint64_t lineBytes, std::uint8_t* block)
{
    const TImageProperties& p = FImageProperties;
    const std::uint64_t size = lineBytes * rows;
    FStream->SetPosition(FBasePosition + offset);
    const bool reverseBits = (p.Flags & ioReversed) && !IsFax(p.CompressionKind);
    if (!decoder) {
        // why: a strip cut off by the end of the file is a damaged file, not a picture.
        if (size > BytesLeft(*FStream))
            throw EReadError("Stream read error");
        FStream->ReadBuffer(block, static_cast<std::int64_t>(size));
        if (reverseBits)
            std::transform(block, block + size, block, Reversed);
        return;
    }
    std::vector<std::uint8_t> packed = ReadBytes(*FStream, byteCount);
    if (reverseBits)
        std::transform(packed.begin(), packed.end(), packed.begin(), Reversed);
    if (auto* jpeg = dynamic_cast<TTIFFJPEGDecoder*>(decoder))
        jpeg->SetBlockSize(width, rows);
    const std::uint8_t* source = packed.data();
    std::uint8_t* target = block;
    decoder->DecodeBlock(source, target, static_cast<std::uint32_t>(packed.size()), static_cast<std::uint32_t>(size));
}

void TTIFFGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    FBasePosition = stream.Position();
    if (!ReadImageHeader(stream, 0))
        InvalidImage(gesFormatTIFF);
    FStream = &stream;
    TImageProperties& p = FImageProperties;
    const TTIFFDirectory& directory = *FDirectory;
    FProgressRect = TRect{0, 0, 0, 1};
    Report(TProgressStage::psStarting, 0, gesPreparing);
    std::unique_ptr<TDecoder> decoder;
    bool begun = false;
    const auto finish = [&] {
        Report(TProgressStage::psEnding, 0);
        if (decoder && begun) {
            begun = false;
            decoder->EndDecoding();
        }
    };
    try {
        const bool jpeg = p.CompressionKind == ckJPEG;
        const bool tiled = p.Flags & ioTiled;
        const bool planar = p.PlaneLayout == 2 && p.SampleCount > 1 && !jpeg;
        const std::uint32_t planes = planar ? p.SampleCount : 1;
        const std::uint64_t planeBits = jpeg ? 24 : planar ? p.SampleBits : std::uint64_t{p.SampleBits} * p.SampleCount;
        const std::uint64_t width = p.ImageWidth, height = p.ImageHeight;
        const std::uint64_t fileSize = BytesLeft(stream) + static_cast<std::uint64_t>(stream.Position() - FBasePosition);
        const std::uint64_t planeLine = (width * planeBits + 7) / 8;

        SetupColorManager(jpeg);
        const std::uint64_t bitmapBits = static_cast<std::uint64_t>(BitsPerPixel(PixelFormat()));
        CheckImageSize(width, height, std::max(bitmapBits, planeBits * planes), fileSize,
                       IsFax(p.CompressionKind) ? std::clamp<std::uint64_t>(planeLine, MaxExpansion, MaxFaxRowBytes)
                                                : MaxExpansion,
                       gesFormatTIFF);
        SetSize(static_cast<int>(width), static_cast<int>(height));
        FProgressRect.Right = static_cast<int>(width);
        BuildPalette(directory);
        p.LineBytes = static_cast<std::uint32_t>((std::uint64_t{p.PixelBits} * width + 7) / 8);
        decoder = MakeDecoder(directory);
        if (decoder) {
            decoder->BeginDecoding();
            begun = true;
        }
        Report(TProgressStage::psEnding, 0);
        Report(TProgressStage::psStarting, 0, gesTransfering);

        // The blocks: strips of whole rows or tiles, for the interleaved pixels or each plane.
        std::uint64_t blockWidth = width, blockRows = 0, across = 1, down = 0;
        if (tiled) {
            blockWidth = p.TileColumns;
            blockRows = p.TileRows;
            if ((blockWidth * planeBits) % 8 != 0)
                InvalidImage(gesFormatTIFF);
            across = CeilDiv(width, blockWidth);
            down = CeilDiv(height, blockRows);
            // the tiles cover at least the image; they must not need more than the data allows
            CheckImageSize(across * blockWidth, down * blockRows, planeBits * planes, fileSize, MaxExpansion, gesFormatTIFF);
        } else {
            blockRows = std::clamp<std::uint64_t>(p.StripRows.empty() ? height : p.StripRows[0], 1, height);
            down = CeilDiv(height, blockRows);
        }
        const std::vector<std::uint32_t> offsets = directory.Numbers(tiled ? TIFFTAG_TILEOFFSETS : TIFFTAG_STRIPOFFSETS);
        const std::vector<std::uint32_t> counts = directory.Numbers(tiled ? TIFFTAG_TILEBYTECOUNTS : TIFFTAG_STRIPBYTECOUNTS);
        const std::uint64_t blocksPerPlane = across * down;
        // why: rows that no strip or tile holds would load as an unfinished picture.
        if (offsets.size() < blocksPerPlane * planes)
            InvalidImage(gesFormatTIFF);
        p.StripTotal = static_cast<std::uint32_t>(offsets.size());
        const std::uint64_t blockLine = (blockWidth * planeBits + 7) / 8;
        const std::uint32_t predictorSamples = planar ? 1 : (jpeg ? 3 : p.SampleCount);
        const bool predict = p.PredictorKind == 2 && p.CompressionKind != ckNone && !jpeg;

        // why: strips of interleaved pixels are converted while they are still in the cache;
        // planes and tiles need the whole image first.
        const bool streamed = !tiled && planes == 1;
        std::vector<std::vector<std::uint8_t>> image(streamed ? 0 : planes,
                                                     std::vector<std::uint8_t>(static_cast<std::size_t>(planeLine * height)));
        std::vector<std::uint8_t> block;
        std::vector<std::span<const std::uint8_t>> sources(planes);
        const auto stride = static_cast<std::size_t>(RowStride());
        const auto convertRow = [&] {
            ColorManager().ConvertLine(sources, std::span<std::uint8_t>(ScanLine(static_cast<int>(p.RowIndex)), stride),
                                       static_cast<std::uint32_t>(width), 0xFF);
            ReportRow(p.RowIndex + 1, height);
        };
        for (std::uint32_t plane = 0; plane < planes; ++plane) {
            for (std::uint64_t b = 0; b < blocksPerPlane; ++b) {
                const std::uint64_t index = plane * blocksPerPlane + b;
                p.StripIndex = static_cast<std::uint32_t>(index);
                const std::uint64_t top = (b / across) * blockRows;
                const std::uint64_t left = (b % across) * blockWidth;
                const std::uint64_t rows = tiled ? blockRows : std::min(blockRows, height - top);
                const std::uint64_t offset = offsets[index];
                std::uint64_t count = index < counts.size() ? counts[index] : 0;
                if (count == 0 && offset < fileSize)
                    count = fileSize - offset;
                if (offset > fileSize)
                    throw EReadError("Stream read error");
                // strips of planes land in the image directly; the rest go through a block of their own
                const bool direct = !tiled && !streamed;
                if (!direct)
                    block.assign(static_cast<std::size_t>(blockLine * rows), 0);
                std::uint8_t* data = direct ? image[plane].data() + top * planeLine : block.data();
                ReadBlock(decoder.get(), static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(count),
                          static_cast<std::uint32_t>(blockWidth), static_cast<std::uint32_t>(rows), blockLine, data);
                const std::uint64_t firstByte = left * planeBits / 8;
                const std::uint64_t bytes = std::min(blockLine, planeLine - firstByte);
                for (std::uint64_t r = 0; r < rows && top + r < height; ++r) {
                    std::uint8_t* row = data + r * blockLine;
                    if (predict)
                        UndoPredictor(row, static_cast<std::uint32_t>(blockWidth), predictorSamples);
                    if (streamed) {
                        p.RowIndex = top + r;
                        sources[0] = std::span<const std::uint8_t>(row, static_cast<std::size_t>(planeLine));
                        convertRow();
                    } else if (!direct) {
                        std::memcpy(image[plane].data() + (top + r) * planeLine + firstByte, row, static_cast<std::size_t>(bytes));
                    }
                }
            }
        }

        if (!streamed) {
            for (p.RowIndex = 0; p.RowIndex < height; ++p.RowIndex) {
                for (std::uint32_t plane = 0; plane < planes; ++plane)
                    sources[plane] = std::span<const std::uint8_t>(image[plane].data() + p.RowIndex * planeLine,
                                                                   static_cast<std::size_t>(planeLine));
                convertRow();
            }
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}
