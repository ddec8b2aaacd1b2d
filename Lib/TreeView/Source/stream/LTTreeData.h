#pragma once
// The byte layout of tree streams: the header, chunk headers and node blocks, and the check of
// tree data that came from outside before anything of it is read into a tree.

#include <cstdint>
#include <string_view>

// The 12 header bytes: six UTF-16LE units, the fourth being the version.
constexpr std::uint16_t TreeStreamMagic[6] = {0x2045, 0x0056, 0x0054, 0x0002, 0x0020, 0x2046};
constexpr int TreeStreamHeaderSize = 12;
constexpr int TreeStreamVersion = 2;
constexpr int ChunkHeaderSize = 8;
constexpr int NodeBodySizeV1 = 12;
constexpr int NodeBodySizeV2 = 17;
// Nesting accepted in tree data; deeper data is refused as corrupt rather than read recursively.
constexpr int MaxTreeDataDepth = 4096;
// StateBits that a stream never carries.
constexpr std::uint16_t UnstreamedStates = 0x2216;

// Checks `blocks` (node blocks of `version`, at most `count` of them) for every count and
// length against the bytes that remain, and answers the bytes the blocks take. Damage raises the
// tree error the reader would meet: 2004 data ends early, 2005 an anchor chunk is missing,
// 2006 a chunk runs past its node block or the nesting is too deep.
std::size_t ValidateNodeBlocks(std::string_view blocks, int version, std::int64_t count);
