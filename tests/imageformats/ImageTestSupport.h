#pragma once
// Helpers of the image format tests: reference decodes by real decoders (netpbm's pngtopam and
// giftopnm, libtiff's tifftopnm) read as PNM/PAM pictures, loading a file through the reader
// that the registry picks, and a small TIFF writer for hand-made files.

#include "imageformats/common/ImgLibGraphic.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TPNMImage {
    int Width = 0, Height = 0, Depth = 0;
    unsigned MaxVal = 0;
    std::string TupleType;
    // Depth samples per pixel, row after row, each as read (up to 16 bits).
    std::vector<std::uint16_t> Samples;
    bool Valid() const { return Width > 0 && Height > 0; }
    std::uint16_t At(int x, int y, int channel) const
    {
        return Samples[(static_cast<std::size_t>(y) * Width + x) * Depth + channel];
    }
};

TPNMImage ParsePNM(const std::string& bytes);
// The reference decode of a PNG, GIF or TIFF file by the decoder of its kind; invalid when the
// decoder refused it.
TPNMImage ReferenceDecode(const std::string& fileName);
// tifftopnm's decode of a TIFF file (its standard output).
std::string RunToolOutput(const std::string& tiffFile);
// A sample of the reference scaled to 8 bits as the readers scale (v × 255 ÷ maxval, dropped).
std::uint8_t Scaled(const TPNMImage& image, int x, int y, int channel);

// Loads a file through the reader class that detection picks (null when none accepts it).
std::unique_ptr<TImgLibGraphic> LoadWithDetectedReader(const std::string& fileName);
std::unique_ptr<TImgLibGraphic> LoadFromBytes(TGraphicClass cls, const std::string& bytes);

// A little-endian TIFF file with one directory: entries (tag, type, values) and data blocks,
// each placed after the directory; a value of type 4 that names a block index through
// BlockOffset becomes its offset.
class TTIFFBuilder {
public:
    // `count`, when given, is written instead of the number of values.
    void Add(std::uint16_t tag, std::uint16_t type, std::vector<std::uint32_t> values, std::uint32_t count = 0);
    // Adds a data block and returns its index.
    int AddBlock(std::string bytes);
    // A value meaning "the offset of block i".
    static std::uint32_t BlockOffset(int i) { return 0xFF000000u + static_cast<std::uint32_t>(i); }
    std::string Build() const;

private:
    struct TEntry {
        std::uint16_t Tag, Type;
        std::vector<std::uint32_t> Values;
        std::uint32_t Count;
    };
    std::vector<TEntry> FEntries;
    std::vector<std::string> FBlocks;
};

// Bytes from a text of hexadecimal pairs ("FE AA 02").
std::string Hex(const std::string& text);
