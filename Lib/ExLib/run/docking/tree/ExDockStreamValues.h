#pragma once
// Plain values in the binary dock tree data: written and read with the bytes they have in memory.

#include "Platform/files/Streams.h"

template <class T>
void WriteValue(TStream& stream, T value)
{
    stream.WriteBuffer(&value, sizeof value);
}

template <class T>
T ReadValue(TStream& stream)
{
    T value{};
    stream.ReadBuffer(&value, sizeof value);
    return value;
}
