#pragma once
// Snapshots of an object's bytes, to see that key and digest state is really overwritten.

#include <cstddef>
#include <cstring>
#include <vector>

class ObjectBytes {
public:
    ObjectBytes(const void* object, std::size_t size) : FBytes(size)
    {
        std::memcpy(FBytes.data(), object, size);
    }

    // Bytes that differ from `other`.
    std::size_t ChangedFrom(const ObjectBytes& other) const
    {
        std::size_t changed = 0;
        for (std::size_t i = 0; i < FBytes.size(); ++i)
            changed += FBytes[i] != other.FBytes[i];
        return changed;
    }

    // Bytes that keying changed (`blank` → `keyed`) and that still hold the keyed value here.
    std::size_t SurvivingFrom(const ObjectBytes& blank, const ObjectBytes& keyed) const
    {
        std::size_t surviving = 0;
        for (std::size_t i = 0; i < FBytes.size(); ++i)
            surviving += keyed.FBytes[i] != blank.FBytes[i] && FBytes[i] == keyed.FBytes[i];
        return surviving;
    }

private:
    std::vector<unsigned char> FBytes;
};
