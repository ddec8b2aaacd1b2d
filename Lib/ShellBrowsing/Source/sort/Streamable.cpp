#include "ShellBrowsing/Source/sort/Streamable.h"

#include "ShellBrowsing/Source/common/WideFileStream.h"

#include "TreeView/Source/stream/LTStreamIO.h"

namespace {

std::int32_t StartLoading(TStream& stream, std::int32_t version, bool readVersion)
{
    return readVersion ? ReadInt32(stream) : version;
}

void StartSaving(TStream& stream, std::int32_t version, bool writeVersion)
{
    if (writeVersion)
        WriteInt32(stream, version);
}

} // namespace

void TStreamableClass::LoadFromFile(const QString& fileName, std::int32_t version, bool readVersion)
{
    TWideFileStream stream(fileName, fmOpenRead | fmShareExclusive);
    LoadFromStream(stream, version, readVersion);
}

void TStreamableClass::LoadFromStream(TStream& stream, std::int32_t version, bool readVersion)
{
    StreamVersion = StartLoading(stream, version, readVersion);
}

void TStreamableClass::SaveToFile(const QString& fileName, std::int32_t version, bool writeVersion)
{
    TWideFileStream stream(fileName, 0xFFFF);
    SaveToStream(stream, version, writeVersion);
}

void TStreamableClass::SaveToStream(TStream& stream, std::int32_t version, bool writeVersion)
{
    StartSaving(stream, version, writeVersion);
    StreamVersion = version;
}

int TStreamableList::Add(void* item)
{
    FItems.push_back(item);
    return Count() - 1;
}

void TStreamableList::Delete(int index)
{
    FItems.erase(FItems.begin() + index);
}

void TStreamableList::Clear()
{
    FItems.clear();
}

void TStreamableList::LoadFromFile(const QString& fileName)
{
    TWideFileStream stream(fileName, fmOpenRead | fmShareExclusive);
    LoadFromStream(stream, 0, false);
}

void TStreamableList::LoadFromStream(TStream& stream, std::int32_t version, bool readVersion)
{
    Clear();
    StreamVersion = StartLoading(stream, version, readVersion);
}

void TStreamableList::SaveToFile(const QString& fileName)
{
    TWideFileStream stream(fileName, 0xFFFF);
    SaveToStream(stream, 0, false);
}

void TStreamableList::SaveToStream(TStream& stream, std::int32_t version, bool writeVersion)
{
    StartSaving(stream, version, writeVersion);
    StreamVersion = version;
}
