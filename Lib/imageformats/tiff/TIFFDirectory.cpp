#include "imageformats/tiff/TIFFDirectory.h"

#include "imageformats/common/StreamBytes.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint16_t BYTE = 1, ASCII = 2, SHORT = 3, LONG = 4, RATIONAL = 5, SBYTE = 6, UNDEFINED = 7, SSHORT = 8,
                        SLONG = 9, SRATIONAL = 10, FLOAT = 11;
}

std::uint32_t TTIFFDirectory::TypeSize(std::uint16_t type)
{
    static constexpr std::uint32_t Sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < std::size(Sizes) ? Sizes[type] : 0;
}

std::uint16_t TTIFFDirectory::Word(const std::uint8_t* p) const
{
    return FBigEndian ? BigEndian16(p) : LittleEndian16(p);
}

std::uint32_t TTIFFDirectory::Long(const std::uint8_t* p) const
{
    return FBigEndian ? BigEndian32(p) : LittleEndian32(p);
}

std::uint32_t TTIFFDirectory::Read(std::uint32_t offset)
{
    FStream.SetPosition(FBase + offset);
    std::uint8_t countBytes[2];
    FStream.ReadBuffer(countBytes, 2);
    const std::uint16_t count = Word(countBytes);
    const std::vector<std::uint8_t> raw = ReadBytes(FStream, std::uint64_t{count} * 12);
    FEntries.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = raw.data() + 12 * i;
        TEntry& entry = FEntries[i];
        entry.Tag = Word(p);
        entry.DataType = Word(p + 2);
        entry.DataLength = Long(p + 4);
        std::memcpy(entry.Value, p + 8, 4);
    }
    std::stable_sort(FEntries.begin(), FEntries.end(), [](const TEntry& a, const TEntry& b) { return a.Tag < b.Tag; });
    std::uint8_t next[4] = {};
    if (FStream.Read(next, 4) != 4)
        return 0;
    return Long(next);
}

bool TTIFFDirectory::LocateTag(std::uint16_t tag, TEntry& entry) const
{
    const auto it = std::lower_bound(FEntries.begin(), FEntries.end(), tag,
                                     [](const TEntry& e, std::uint16_t t) { return e.Tag < t; });
    if (it == FEntries.end() || it->Tag != tag)
        return false;
    entry = *it;
    return true;
}

bool TTIFFDirectory::HasTag(std::uint16_t tag) const
{
    TEntry entry;
    return LocateTag(tag, entry);
}

std::uint32_t TTIFFDirectory::ValueAt(const std::uint8_t* p, std::uint16_t type) const
{
    switch (TypeSize(type)) {
    case 1: return p[0];
    case 2: return Word(p);
    default: return Long(p);
    }
}

std::uint32_t TTIFFDirectory::Number(std::uint16_t tag, std::uint32_t defaultValue) const
{
    TEntry entry;
    if (!LocateTag(tag, entry))
        return defaultValue;
    if (entry.DataLength != 1)
        return Long(entry.Value);
    switch (entry.DataType) {
    case BYTE: return entry.Value[0];
    case SHORT:
    case SSHORT: return Word(entry.Value);
    case LONG:
    case SLONG: return Long(entry.Value);
    default: return defaultValue;
    }
}

std::uint32_t TTIFFDirectory::Count(std::uint16_t tag) const
{
    TEntry entry;
    return LocateTag(tag, entry) ? entry.DataLength : 0;
}

std::vector<std::uint8_t> TTIFFDirectory::ValueBytes(const TEntry& entry) const
{
    const std::uint64_t size = std::uint64_t{entry.DataLength} * TypeSize(entry.DataType);
    if (size <= 4)
        return std::vector<std::uint8_t>(entry.Value, entry.Value + size);
    FStream.SetPosition(FBase + Long(entry.Value));
    return ReadBytes(FStream, size);
}

std::vector<std::uint32_t> TTIFFDirectory::Numbers(std::uint16_t tag) const
{
    TEntry entry;
    if (!LocateTag(tag, entry) || entry.DataLength == 0 || TypeSize(entry.DataType) == 0)
        return {};
    const std::vector<std::uint8_t> bytes = ValueBytes(entry);
    const std::uint32_t size = TypeSize(entry.DataType);
    std::vector<std::uint32_t> values(entry.DataLength);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = ValueAt(bytes.data() + i * size, entry.DataType);
    return values;
}

std::vector<std::uint8_t> TTIFFDirectory::Bytes(std::uint16_t tag) const
{
    TEntry entry;
    if (!LocateTag(tag, entry) || entry.DataLength == 0 || TypeSize(entry.DataType) == 0)
        return {};
    const std::uint16_t type = entry.DataType;
    if (type == BYTE || type == ASCII || type == SBYTE || type == UNDEFINED)
        return ValueBytes(entry);
    const std::vector<std::uint32_t> numbers = Numbers(tag);
    return std::vector<std::uint8_t>(numbers.begin(), numbers.end());
}

float TTIFFDirectory::Real(std::uint16_t tag, float defaultValue) const
{
    TEntry entry;
    if (!LocateTag(tag, entry) || entry.DataLength != 1)
        return defaultValue;
    const std::vector<float> values = Reals(tag);
    return values.empty() ? defaultValue : values[0];
}

std::vector<float> TTIFFDirectory::Reals(std::uint16_t tag) const
{
    TEntry entry;
    if (!LocateTag(tag, entry) || entry.DataLength == 0 || TypeSize(entry.DataType) == 0)
        return {};
    const std::vector<std::uint8_t> bytes = ValueBytes(entry);
    const std::uint32_t size = TypeSize(entry.DataType);
    std::vector<float> values;
    for (std::size_t i = 0; i < entry.DataLength; ++i) {
        const std::uint8_t* p = bytes.data() + i * size;
        switch (entry.DataType) {
        case BYTE:
        case SHORT:
        case LONG: values.push_back(static_cast<float>(ValueAt(p, entry.DataType))); break;
        case SSHORT: values.push_back(static_cast<float>(static_cast<std::int16_t>(Word(p)))); break;
        case SLONG: values.push_back(static_cast<float>(static_cast<std::int32_t>(Long(p)))); break;
        case RATIONAL:
        case SRATIONAL: {
            const double numerator = entry.DataType == RATIONAL ? double(Long(p)) : double(static_cast<std::int32_t>(Long(p)));
            const double denominator = entry.DataType == RATIONAL ? double(Long(p + 4)) : double(static_cast<std::int32_t>(Long(p + 4)));
            values.push_back(denominator != 0 ? static_cast<float>(numerator / denominator) : 0.0f);
            break;
        }
        case FLOAT: {
            const std::uint32_t bits = Long(p);
            float f;
            std::memcpy(&f, &bits, 4);
            values.push_back(f);
            break;
        }
        default: return {};
        }
    }
    return values;
}
