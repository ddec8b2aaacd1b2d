#include "ShellBrowsing/Source/views/ViewStreamIO.h"

#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

void CheckStreamVersion(std::int32_t version)
{
    if (version < 0 || version > ViewStreamVersion)
        throw EReadError(Format("Stored view data of version %d cannot be read", {version}));
}

std::int32_t ReadBoundedCount(TStream& stream, int minItemBytes)
{
    const std::int32_t count = ReadInt32(stream);
    if (count < 0 || static_cast<std::int64_t>(count) * minItemBytes > RemainingBytes(stream))
        throw EReadError(Format("Damaged view data: a count of %d does not fit the data", {count}));
    return count;
}

std::vector<TPIDLHolder> ReadPIDLList(TStream& stream)
{
    // Every record holds at least its own 32-bit size.
    const std::int32_t count = ReadBoundedCount(stream, 4);
    std::vector<TPIDLHolder> lists;
    lists.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i)
        if (PItemIDList list = PIDLMgr().LoadFromStream(&stream))
            lists.emplace_back(list);
    return lists;
}

void WritePIDLList(TStream& stream, const std::vector<TPIDLHolder>& lists)
{
    WriteInt32(stream, static_cast<std::int32_t>(lists.size()));
    for (const TPIDLHolder& list : lists)
        PIDLMgr().SaveToStream(&stream, list.Get());
}
