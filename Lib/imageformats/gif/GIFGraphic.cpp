#include "imageformats/gif/GIFGraphic.h"

#include "imageformats/common/GraphicStrings.h"
#include "imageformats/common/StreamBytes.h"
#include "imageformats/compression/LZWDecoder.h"

#include "Platform/text/Format.h"

#include <cctype>
#include <cstring>

using namespace GraphicStrings;

namespace {

// why: an LZW code of 12 bits yields at most 4096 bytes, and a bitmap row may be four times
// the image row.
constexpr std::uint64_t MaxExpansion = 2731 * 4;

bool IsGIFSignature(const std::uint8_t* head)
{
    return std::toupper(head[0]) == 'G' && std::toupper(head[1]) == 'I' && std::toupper(head[2]) == 'F';
}

} // namespace

TGraphicClass TGIFGraphic::ClassInfo()
{
    static const TImgLibGraphicClassInfo info{
        {"TGIFGraphic", TImgLibGraphic::ClassInfo(), [] { return std::unique_ptr<TGraphic>(new TGIFGraphic); }},
        &TGIFGraphic::IsStreamOfThisFormat};
    return &info;
}

bool TGIFGraphic::IsStreamOfThisFormat(TStream& stream)
{
    if (BytesLeft(stream) <= 22)
        return false;
    TStreamPositionGuard guard(stream);
    std::uint8_t head[6];
    stream.ReadBuffer(head, 6);
    return IsGIFSignature(head);
}

std::uint8_t TGIFGraphic::SkipToImageBlock()
{
    const auto skipSubBlocks = [this] {
        for (std::uint8_t size = ReadByte(*FStream); size != 0; size = ReadByte(*FStream))
            FStream->Seek(size, TSeekOrigin::soCurrent);
    };
    for (;;) {
        std::uint8_t byte = ReadByte(*FStream);
        if (byte == 0x21) {
            byte = ReadByte(*FStream);
            switch (byte) {
            case 0x01:
                FStream->Seek(ReadByte(*FStream), TSeekOrigin::soCurrent);
                skipSubBlocks();
                break;
            case 0xF9: FStream->Seek(ReadByte(*FStream) + 1, TSeekOrigin::soCurrent); break;
            case 0xFE:
            case 0xFF: skipSubBlocks(); break;
            default: break;
            }
        }
        if (byte == ',' || byte == ';')
            return byte;
    }
}

bool TGIFGraphic::ReadImageHeader(TStream& stream, int imageIndex)
{
    TImgLibGraphic::ReadImageHeader(stream, imageIndex);
    FStream = &stream;
    std::uint8_t head[6];
    if (stream.Read(head, 6) != 6 || !IsGIFSignature(head))
        return false;
    if (!std::isdigit(head[3]) || !std::isdigit(head[4]))
        throw EConvertError(Format("'%s' is not a valid integer value", {std::string(head + 3, head + 5)}));
    FImageProperties.FormatVersion = static_cast<std::uint32_t>((head[3] - '0') * 10 + (head[4] - '0'));
    FImageProperties.Scheme = schemeIndexed;
    FImageProperties.SampleCount = 1;
    FImageProperties.SampleBits = 8;
    FImageProperties.CompressionKind = ckLZW;
    std::uint8_t screen[7];
    stream.ReadBuffer(screen, 7);
    if (screen[4] & 0x80) {
        FImageProperties.SampleBits = static_cast<std::uint8_t>((screen[4] & 7) + 1);
        stream.Seek(3 * (2 << (screen[4] & 7)), TSeekOrigin::soCurrent);
    }
    if (SkipToImageBlock() == ',') {
        std::uint8_t descriptor[9];
        stream.ReadBuffer(descriptor, 9);
        const std::uint16_t width = LittleEndian16(descriptor + 4), height = LittleEndian16(descriptor + 6);
        FImageProperties.ImageWidth = width ? width : LittleEndian16(screen);
        FImageProperties.ImageHeight = height ? height : LittleEndian16(screen + 2);
        // why: an image without pixels has no rows to decode into
        if (FImageProperties.ImageWidth == 0 || FImageProperties.ImageHeight == 0)
            return false;
        FImageProperties.LocalPalette = descriptor[8] & 0x80;
        if (FImageProperties.LocalPalette)
            FImageProperties.SampleBits = static_cast<std::uint8_t>((descriptor[8] & 7) + 1);
        FImageProperties.IsInterlaced = descriptor[8] & 0x40;
    }
    FImageProperties.PixelBits = static_cast<std::uint8_t>(FImageProperties.SampleCount * FImageProperties.SampleBits);
    return true;
}

void TGIFGraphic::ReadColorTable(std::uint8_t flags)
{
    const std::size_t count = std::size_t{2} << (flags & 7);
    const std::vector<std::uint8_t> table = ReadBytes(*FStream, count * 3);
    TPalette palette(count);
    for (std::size_t i = 0; i < count; ++i)
        palette[i] = {table[3 * i], table[3 * i + 1], table[3 * i + 2]};
    SetPalette(std::move(palette));
}

void TGIFGraphic::LoadFromStream(TStream& stream)
{
    Clear();
    FBasePosition = stream.Position();
    if (!ReadImageHeader(stream, 0))
        InvalidImage(gesFormatGIF);
    FStream = &stream;
    stream.SetPosition(FBasePosition);
    FProgressRect = TRect{0, 0, static_cast<int>(FImageProperties.ImageWidth), 1};
    Report(TProgressStage::psStarting, 0, gesPreparing);
    std::uint8_t head[6];
    stream.ReadBuffer(head, 6);
    SetPixelFormat(TPixelFormat::pf8bit);
    std::uint8_t screen[7];
    stream.ReadBuffer(screen, 7);
    if (screen[4] & 0x80)
        ReadColorTable(screen[4]);
    const std::uint8_t block = SkipToImageBlock();
    Report(TProgressStage::psEnding, 0);
    if (block != ',')
        return;
    Report(TProgressStage::psStarting, 0, gesLoadingData);
    std::uint8_t descriptor[9];
    stream.ReadBuffer(descriptor, 9);
    const std::uint64_t width = FImageProperties.ImageWidth, height = FImageProperties.ImageHeight;
    if (descriptor[8] & 0x80)
        ReadColorTable(descriptor[8]);
    const std::uint8_t codeSize = ReadByte(stream);
    // The data sub-blocks, as far as the stream holds them.
    std::vector<std::uint8_t> packed;
    for (;;) {
        std::uint8_t size = 0;
        if (stream.Read(&size, 1) != 1 || size == 0)
            break;
        const std::size_t at = packed.size();
        packed.resize(at + size);
        const auto got = static_cast<std::size_t>(stream.Read(packed.data() + at, size));
        packed.resize(at + got);
        if (got < size)
            break;
    }
    CheckImageSize(width, height, 8, packed.size(), MaxExpansion, gesFormatGIF);
    SetSize(static_cast<int>(width), static_cast<int>(height));
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * (height + 1)));
    {
        TGIFLZWDecoder decoder(codeSize);
        const std::uint8_t* source = packed.data();
        std::uint8_t* target = pixels.data();
        decoder.DecodeBlock(source, target, static_cast<std::uint32_t>(packed.size()),
                            static_cast<std::uint32_t>(width * height));
    }
    Report(TProgressStage::psEnding, 0);
    Report(TProgressStage::psStarting, 0, gesTransfering);
    const auto copyRow = [&](std::uint64_t decoded, std::uint64_t row) {
        std::memcpy(ScanLine(static_cast<int>(row)), pixels.data() + decoded * width, static_cast<std::size_t>(width));
    };
    if (descriptor[8] & 0x40) {
        static constexpr std::uint64_t Start[4] = {0, 4, 2, 1}, Step[4] = {8, 8, 4, 2};
        std::uint64_t decoded = 0;
        for (int pass = 0; pass < 4; ++pass)
            for (std::uint64_t row = Start[pass]; row < height; row += Step[pass]) {
                copyRow(decoded++, row);
                if (pass == 3)
                    ReportRow(row + Step[pass], height);
            }
    } else {
        for (std::uint64_t row = 0; row < height; ++row) {
            copyRow(row, row);
            ReportRow(row, height);
        }
    }
    Report(TProgressStage::psEnding, 0);
}
