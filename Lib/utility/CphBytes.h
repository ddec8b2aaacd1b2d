#pragma once
// Little-endian 32-bit words in byte buffers, the layout MD5 and Serpent share.

#include <bit>
#include <cstdint>
#include <cstring>

inline std::uint32_t LoadLe32(const std::uint8_t* p)
{
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    if constexpr (std::endian::native == std::endian::big)
        v = __builtin_bswap32(v);
    return v;
}

inline void StoreLe32(std::uint8_t* p, std::uint32_t v)
{
    if constexpr (std::endian::native == std::endian::big)
        v = __builtin_bswap32(v);
    std::memcpy(p, &v, 4);
}
