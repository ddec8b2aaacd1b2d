#include "ShellBrowsing/Source/idlist/PIDLList.h"

#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"
#include "Platform/text/Format.h"

TPIDLList::~TPIDLList()
{
    Clear();
}

TPIDLManager& TPIDLList::PIDLManager()
{
    if (!FPIDLManager)
        FPIDLManager = std::make_unique<TPIDLManager>();
    return *FPIDLManager;
}

void TPIDLList::CheckIndex(int index, int count) const
{
    if (index < 0 || index >= count)
        throw EListError(Format("List index out of bounds (%d)", {index}));
}

PItemIDList TPIDLList::Items(int index) const
{
    CheckIndex(index, Count());
    return FItems[static_cast<std::size_t>(index)];
}

int TPIDLList::Add(PItemIDList list)
{
    FItems.push_back(list);
    return Count() - 1;
}

void TPIDLList::Insert(int index, PItemIDList list)
{
    CheckIndex(index, Count() + 1);
    FItems.insert(FItems.begin() + index, list);
}

int TPIDLList::CopyAdd(PCItemIDList list)
{
    return Add(PIDLManager().CopyPIDL(list));
}

void TPIDLList::Delete(int index)
{
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
}

PItemIDList TPIDLList::Extract(int index)
{
    PItemIDList list = Items(index);
    Delete(index);
    return list;
}

int TPIDLList::IndexOf(PCItemIDList list) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<std::size_t>(i)] == list)
            return i;
    return -1;
}

void TPIDLList::Clear()
{
    if (!SharePIDLs)
        for (PItemIDList list : FItems)
            PIDLFree(list);
    FItems.clear();
}

bool TPIDLList::LoadFromStream(TStream* stream)
{
    try {
        const std::int32_t count = ReadInt32(*stream);
        // invariant: every record takes at least its 4-byte count, so a larger count is damage.
        if (count < 0 || RemainingBytes(*stream) / 4 < count)
            return false;
        for (std::int32_t i = 0; i < count; ++i)
            Add(PIDLManager().LoadFromStream(stream));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TPIDLList::SaveToStream(TStream* stream)
{
    try {
        WriteInt32(*stream, Count());
        for (PItemIDList list : FItems)
            PIDLManager().SaveToStream(stream, list);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
