#pragma once
// Types shared by every part of the editor component: text positions, the selection mode and
// the component's exception.

#include "Platform/core/Exceptions.h"

#include <bitset>
#include <cstdint>

// A position in the text: 1-based character in the line (may lie beyond the end of the line in
// virtual space) and 1-based line.
struct TBufferCoord {
    std::int32_t CharIndex = 1;
    std::int32_t LineNumber = 1;
    constexpr bool operator==(const TBufferCoord&) const = default;
};

// A position on screen: 1-based column with tabs expanded and 1-based row, counting wrapped rows.
struct TDisplayPoint {
    std::int32_t DisplayColumn = 1;
    std::int32_t DisplayRow = 1;
    constexpr bool operator==(const TDisplayPoint&) const = default;
};

constexpr TBufferCoord MakeBufferCoord(std::int32_t charIndex, std::int32_t lineNumber)
{
    return {charIndex, lineNumber};
}

constexpr TDisplayPoint MakeDisplayPoint(std::int32_t column, std::int32_t row)
{
    return {column, row};
}

enum class TSrcSelectionMode : std::uint8_t { smNormal, smLine, smColumn };

// A set of byte values (identifier characters, break characters, scan sets).
using TSrcCharSet = std::bitset<256>;

ZENTU_DECLARE_EXCEPTION(ESrcEditError, Exception);
