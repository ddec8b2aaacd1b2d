#pragma once
// A set of enumeration values, as the class library's set types: membership, union,
// difference and intersection by operators. Enumerations must have at most 64 values.

#include <cstdint>
#include <initializer_list>

template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(E e) : FBits(Bit(e)) {}
    constexpr TSet(std::initializer_list<E> list)
    {
        for (E e : list)
            FBits |= Bit(e);
    }

    static constexpr TSet FromBits(std::uint64_t bits)
    {
        TSet s;
        s.FBits = bits;
        return s;
    }
    constexpr std::uint64_t Bits() const { return FBits; }

    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E e)
    {
        FBits |= Bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e)
    {
        FBits &= ~Bit(e);
        return *this;
    }
    // True when every member of `other` is in this set.
    constexpr bool ContainsAll(TSet other) const { return (FBits & other.FBits) == other.FBits; }

    constexpr TSet operator+(TSet o) const { return FromBits(FBits | o.FBits); }
    constexpr TSet operator-(TSet o) const { return FromBits(FBits & ~o.FBits); }
    constexpr TSet operator*(TSet o) const { return FromBits(FBits & o.FBits); }
    constexpr TSet& operator+=(TSet o)
    {
        FBits |= o.FBits;
        return *this;
    }
    constexpr TSet& operator-=(TSet o)
    {
        FBits &= ~o.FBits;
        return *this;
    }
    constexpr TSet& operator*=(TSet o)
    {
        FBits &= o.FBits;
        return *this;
    }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint64_t Bit(E e) { return std::uint64_t{1} << static_cast<unsigned>(e); }
    std::uint64_t FBits = 0;
};
