#pragma once
// An image file directory of a TIFF file: its entries sorted by tag, and the tag values read in
// the file's byte order. Every value outside the directory is read from the stream with its
// real size as the bound: an offset or count that points past the end raises the stream read
// error instead of reading or allocating beyond the file.

#include "Platform/files/Streams.h"

#include <cstdint>
#include <vector>

class TTIFFDirectory {
public:
    struct TEntry {
        std::uint16_t Tag = 0;
        std::uint16_t DataType = 0;
        std::uint32_t DataLength = 0;
        std::uint8_t Value[4] = {};
    };

    // `base` is the stream position of the file's first byte; offsets are relative to it.
    TTIFFDirectory(TStream& stream, std::int64_t base, bool bigEndian)
        : FStream(stream), FBase(base), FBigEndian(bigEndian) {}

    // Reads the directory at `offset`; returns the offset of the next directory.
    std::uint32_t Read(std::uint32_t offset);
    bool LocateTag(std::uint16_t tag, TEntry& entry) const;
    bool HasTag(std::uint16_t tag) const;
    std::uint32_t Number(std::uint16_t tag, std::uint32_t defaultValue) const;
    // The number of values of a tag, 0 when absent.
    std::uint32_t Count(std::uint16_t tag) const;
    std::vector<std::uint32_t> Numbers(std::uint16_t tag) const;
    std::vector<std::uint8_t> Bytes(std::uint16_t tag) const;
    float Real(std::uint16_t tag, float defaultValue) const;
    std::vector<float> Reals(std::uint16_t tag) const;

    std::uint16_t Word(const std::uint8_t* p) const;
    std::uint32_t Long(const std::uint8_t* p) const;
    static std::uint32_t TypeSize(std::uint16_t type);

private:
    // The raw bytes of a tag's values, from the value field or from its offset.
    std::vector<std::uint8_t> ValueBytes(const TEntry& entry) const;
    std::uint32_t ValueAt(const std::uint8_t* p, std::uint16_t type) const;

    TStream& FStream;
    std::int64_t FBase;
    bool FBigEndian;
    std::vector<TEntry> FEntries;
};
