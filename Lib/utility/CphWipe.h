#pragma once
// Overwriting secrets in memory so that the write survives optimisation.

#include <cstddef>
#include <cstdint>
#include <cstring>

// Fills `size` bytes at `p` with `value`. The compiler may not drop the fill even when the
// memory is freed or goes out of scope right after.
inline void CphWipe(void* p, std::size_t size, std::uint8_t value = 0) noexcept
{
    if (size == 0)
        return;
    std::memset(p, value, size);
    // why: an empty asm that may read the memory keeps the dead-store pass from removing the fill
    __asm__ __volatile__("" : : "r"(p) : "memory");
}
