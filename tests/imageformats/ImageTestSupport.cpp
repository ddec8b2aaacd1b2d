#include "imageformats/ImageTestSupport.h"

#include "support/ConsumerTools.h"

#include "imageformats/common/FileFormatList.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace {

std::string Token(const std::string& bytes, std::size_t& at)
{
    while (at < bytes.size()) {
        if (bytes[at] == '#') {
            while (at < bytes.size() && bytes[at] != '\n')
                ++at;
        } else if (std::isspace(static_cast<unsigned char>(bytes[at]))) {
            ++at;
        } else {
            break;
        }
    }
    const std::size_t start = at;
    while (at < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[at])))
        ++at;
    return bytes.substr(start, at - start);
}

} // namespace

TPNMImage ParsePNM(const std::string& bytes)
{
    TPNMImage image;
    if (bytes.size() < 2 || bytes[0] != 'P')
        return image;
    const char kind = bytes[1];
    std::size_t at = 2;
    if (kind == '7') {
        std::map<std::string, std::string> header;
        for (;;) {
            const std::string key = Token(bytes, at);
            if (key == "ENDHDR" || key.empty())
                break;
            header[key] = Token(bytes, at);
        }
        image.Width = std::stoi(header["WIDTH"]);
        image.Height = std::stoi(header["HEIGHT"]);
        image.Depth = std::stoi(header["DEPTH"]);
        image.MaxVal = static_cast<unsigned>(std::stoul(header["MAXVAL"]));
        image.TupleType = header["TUPLTYPE"];
    } else {
        image.Width = std::stoi(Token(bytes, at));
        image.Height = std::stoi(Token(bytes, at));
        image.MaxVal = kind == '4' ? 1 : static_cast<unsigned>(std::stoul(Token(bytes, at)));
        image.Depth = kind == '6' ? 3 : 1;
    }
    ++at;
    const std::size_t count = static_cast<std::size_t>(image.Width) * image.Height * image.Depth;
    image.Samples.resize(count);
    if (kind == '4') {
        const std::size_t rowBytes = (static_cast<std::size_t>(image.Width) + 7) / 8;
        for (int y = 0; y < image.Height; ++y)
            for (int x = 0; x < image.Width; ++x) {
                const auto byte = static_cast<unsigned char>(bytes.at(at + y * rowBytes + x / 8));
                // P4: 1 is black
                image.Samples[static_cast<std::size_t>(y) * image.Width + x] = ((byte >> (7 - x % 8)) & 1) ? 0 : 1;
            }
        return image;
    }
    const bool wide = image.MaxVal > 255;
    for (std::size_t i = 0; i < count; ++i) {
        const auto hi = static_cast<unsigned char>(bytes.at(at + (wide ? 2 * i : i)));
        image.Samples[i] = wide ? static_cast<std::uint16_t>(hi << 8 | static_cast<unsigned char>(bytes.at(at + 2 * i + 1))) : hi;
    }
    return image;
}

TPNMImage ReferenceDecode(const std::string& fileName)
{
    const std::string extension = fileName.substr(fileName.rfind('.') + 1);
    TToolResult result;
    if (extension == "png")
        result = RunTool("pngtopam", {"-alphapam", fileName});
    else if (extension == "gif")
        result = RunTool("giftopnm", {fileName});
    else // why: libtiff through ImageMagick keeps 16-bit samples, which tifftopnm rounds to 8 bits
        result = RunTool("convert", {fileName + "[0]", "-depth", "16", "pam:-"});
    if (result.ExitCode != 0)
        return {};
    return ParsePNM(result.Output);
}

std::string RunToolOutput(const std::string& tiffFile)
{
    return RunTool("tifftopnm", {tiffFile}).Output;
}

std::uint8_t Scaled(const TPNMImage& image, int x, int y, int channel)
{
    const unsigned v = image.At(x, y, channel);
    if (image.MaxVal == 255)
        return static_cast<std::uint8_t>(v);
    return static_cast<std::uint8_t>(v * 255 / image.MaxVal);
}

std::unique_ptr<TImgLibGraphic> LoadWithDetectedReader(const std::string& fileName)
{
    InitImgLibFormats();
    const TGraphicClass cls = FileFormatList()->GraphicClassOfFile(fileName);
    if (!cls)
        return nullptr;
    std::unique_ptr<TGraphic> graphic = cls->Create();
    auto* image = dynamic_cast<TImgLibGraphic*>(graphic.get());
    if (!image)
        return nullptr;
    graphic.release();
    std::unique_ptr<TImgLibGraphic> result(image);
    result->LoadFromFile(fileName);
    return result;
}

std::unique_ptr<TImgLibGraphic> LoadFromBytes(TGraphicClass cls, const std::string& bytes)
{
    std::unique_ptr<TGraphic> graphic = cls->Create();
    std::unique_ptr<TImgLibGraphic> image(dynamic_cast<TImgLibGraphic*>(graphic.release()));
    TMemoryStream stream(bytes);
    image->LoadFromStream(stream);
    return image;
}

void TTIFFBuilder::Add(std::uint16_t tag, std::uint16_t type, std::vector<std::uint32_t> values, std::uint32_t count)
{
    FEntries.push_back({tag, type, std::move(values), count});
}

int TTIFFBuilder::AddBlock(std::string bytes)
{
    FBlocks.push_back(std::move(bytes));
    return static_cast<int>(FBlocks.size()) - 1;
}

std::string TTIFFBuilder::Build() const
{
    const auto put16 = [](std::string& s, std::uint32_t v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>((v >> 8) & 0xFF);
    };
    const auto put32 = [&](std::string& s, std::uint32_t v) {
        put16(s, v & 0xFFFF);
        put16(s, v >> 16);
    };
    std::vector<TEntry> entries = FEntries;
    std::sort(entries.begin(), entries.end(), [](const TEntry& a, const TEntry& b) { return a.Tag < b.Tag; });
    const std::uint32_t directorySize = 2 + 12 * static_cast<std::uint32_t>(entries.size()) + 4;
    std::uint32_t next = 8 + directorySize;
    std::string extra;
    std::vector<std::uint32_t> blockOffsets;
    for (const std::string& block : FBlocks) {
        blockOffsets.push_back(next);
        next += static_cast<std::uint32_t>(block.size());
    }
    const auto resolve = [&](std::uint32_t v) {
        return (v & 0xFF000000u) == 0xFF000000u && (v & 0xFFFFFF) < blockOffsets.size() ? blockOffsets[v & 0xFFFFFF] : v;
    };
    std::string head = "II";
    put16(head, 42);
    put32(head, 8);
    std::string directory;
    put16(directory, static_cast<std::uint32_t>(entries.size()));
    for (const TEntry& e : entries) {
        put16(directory, e.Tag);
        put16(directory, e.Type);
        put32(directory, e.Count ? e.Count : static_cast<std::uint32_t>(e.Values.size()));
        const std::uint32_t size = e.Type == 3 ? 2 : e.Type == 1 ? 1 : e.Type == 5 ? 8 : 4;
        std::string values;
        for (std::uint32_t v : e.Values) {
            if (size == 1)
                values += static_cast<char>(v);
            else if (size == 2)
                put16(values, v);
            else if (size == 8) {
                put32(values, v);
                put32(values, 1);
            } else
                put32(values, resolve(v));
        }
        if (values.size() <= 4) {
            values.resize(4, '\0');
            directory += values;
        } else {
            put32(directory, next + static_cast<std::uint32_t>(extra.size()));
            extra += values;
        }
    }
    put32(directory, 0);
    std::string file = head + directory;
    for (const std::string& block : FBlocks)
        file += block;
    return file + extra;
}

std::string Hex(const std::string& text)
{
    std::string bytes;
    std::istringstream in(text);
    std::string pair;
    while (in >> pair)
        bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
    return bytes;
}
