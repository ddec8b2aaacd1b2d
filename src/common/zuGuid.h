#pragma once
// GUID values in the Windows layout (a 32-bit field, two 16-bit fields and eight bytes) and
// their text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", which keys projects and FTP
// accounts in the settings files.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct TGUID {
    std::uint32_t D1 = 0;
    std::uint16_t D2 = 0;
    std::uint16_t D3 = 0;
    std::array<std::uint8_t, 8> D4{};
    constexpr bool operator==(const TGUID&) const = default;
};

// The all-zero GUID, which means "none".
inline constexpr TGUID NullGUID{};

// Upper-case hexadecimal digits in braces.
std::string GUIDToString(const TGUID& guid);
// Accepts the braced text in either letter case; false for anything else.
bool TryStringToGUID(std::string_view text, TGUID& guid);
// Raises EConvertError "'%s' is not a valid GUID value" for a malformed text.
TGUID StringToGUID(std::string_view text);
// A new random GUID.
TGUID CreateGUID();
