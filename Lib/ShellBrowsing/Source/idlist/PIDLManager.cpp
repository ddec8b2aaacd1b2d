#include "ShellBrowsing/Source/idlist/PIDLManager.h"

#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

#include <cstring>

namespace {

std::uint8_t* Bytes(PItemIDList list)
{
    return reinterpret_cast<std::uint8_t*>(list);
}

const std::uint8_t* Bytes(PCItemIDList list)
{
    return reinterpret_cast<const std::uint8_t*>(list);
}

PItemIDList At(PCItemIDList list, std::size_t offset)
{
    return reinterpret_cast<PItemIDList>(const_cast<std::uint8_t*>(Bytes(list) + offset));
}

} // namespace

TPIDLManager& PIDLMgr()
{
    static TPIDLManager manager;
    return manager;
}

PItemIDList TPIDLManager::CopyPIDL(PCItemIDList list) const
{
    if (!list)
        return nullptr;
    const std::uint32_t size = PIDLSize(list);
    PItemIDList copy = PIDLAlloc(size);
    if (copy)
        std::memcpy(copy, list, size);
    return copy;
}

PItemIDList TPIDLManager::AppendPIDL(PCItemIDList first, PCItemIDList second) const
{
    const std::uint32_t length1 = first && !IsDesktopFolder(first) ? PIDLSize(first) - 2 : 0;
    const std::uint32_t length2 = second ? PIDLSize(second) : 2;
    PItemIDList list = PIDLAlloc(length1 + length2);
    if (!list)
        return nullptr;
    if (length1)
        std::memcpy(list, first, length1);
    if (second) {
        std::memcpy(Bytes(list) + length1, second, length2);
    } else {
        Bytes(list)[length1] = 0;
        Bytes(list)[length1 + 1] = 0;
    }
    return list;
}

std::uint32_t TPIDLManager::PIDLSize(PCItemIDList list) const
{
    if (!list)
        return 0;
    std::uint32_t size = 0;
    while (std::uint16_t cb = ItemCB(At(list, size)))
        size += cb;
    return size + 2;
}

int TPIDLManager::IDCount(PCItemIDList list) const
{
    if (!list)
        return 0;
    int count = 0;
    for (PCItemIDList p = list; ItemCB(p) != 0; p = NextID(p))
        ++count;
    return count;
}

PItemIDList TPIDLManager::NextID(PCItemIDList list) const
{
    if (!list)
        return nullptr;
    return At(list, ItemCB(list));
}

PItemIDList TPIDLManager::GetPointerToLastID(PCItemIDList list) const
{
    if (!list)
        return nullptr;
    PCItemIDList last = list;
    const int count = IDCount(list);
    for (int i = 1; i < count; ++i)
        last = NextID(last);
    return const_cast<PItemIDList>(last);
}

bool TPIDLManager::IsDesktopFolder(PCItemIDList list) const
{
    return list && ItemCB(list) == 0;
}

PItemIDList TPIDLManager::StripLastID(PItemIDList list) const
{
    std::uint16_t cb = 0;
    PItemIDList last = nullptr;
    return StripLastIDKeep(list, cb, last);
}

PItemIDList TPIDLManager::StripLastIDKeep(PItemIDList list, std::uint16_t& lastCB, PItemIDList& lastID) const
{
    lastCB = 0;
    lastID = nullptr;
    if (!list)
        return nullptr;
    if (IsDesktopFolder(list))
        return list;
    lastID = GetPointerToLastID(list);
    lastCB = ItemCB(lastID);
    Bytes(lastID)[0] = 0;
    Bytes(lastID)[1] = 0;
    return list;
}

bool TPIDLManager::EqualPIDL(PCItemIDList first, PCItemIDList second) const
{
    return ILIsEqual(first, second);
}

bool TPIDLManager::IsSubPIDL(PCItemIDList list, PCItemIDList prefix) const
{
    if (!list || !prefix)
        return false;
    const int prefixCount = IDCount(prefix);
    if (prefixCount > IDCount(list))
        return false;
    // why: the list is compared in place, cut after the prefix's item count; the count that the
    // cut overwrites goes back whatever happens.
    PItemIDList cut = const_cast<PItemIDList>(list);
    for (int i = 0; i < prefixCount; ++i)
        cut = NextID(cut);
    const std::uint8_t saved[2] = {Bytes(cut)[0], Bytes(cut)[1]};
    Bytes(cut)[0] = 0;
    Bytes(cut)[1] = 0;
    const bool equal = ILIsEqual(list, prefix);
    Bytes(cut)[0] = saved[0];
    Bytes(cut)[1] = saved[1];
    return equal;
}

void TPIDLManager::FreePIDL(PItemIDList list) const
{
    PIDLFree(list);
}

void TPIDLManager::FreeAndNilPIDL(PItemIDList& list) const
{
    PItemIDList old = list;
    list = nullptr;
    PIDLFree(old);
}

PItemIDList TPIDLManager::LoadFromStream(TStream* stream) const
{
    if (!stream)
        return nullptr;
    const std::int32_t count = ReadInt32(*stream);
    if (count == 0)
        return nullptr;
    RequireBytes(*stream, count);
    TPIDLHolder list(PIDLAlloc(static_cast<std::size_t>(count)));
    if (!list)
        throw EOutOfResources("Out of memory");
    stream->ReadBuffer(list.Get(), count);
    if (!ValidIDListBytes(Bytes(list.Get()), static_cast<std::size_t>(count)))
        throw EReadError("Damaged item identifier list");
    return list.Release();
}

void TPIDLManager::SaveToStream(TStream* stream, PCItemIDList list) const
{
    if (!stream)
        return;
    const std::uint32_t size = PIDLSize(list);
    WriteInt32(*stream, static_cast<std::int32_t>(size));
    if (size)
        stream->WriteBuffer(list, size);
}
