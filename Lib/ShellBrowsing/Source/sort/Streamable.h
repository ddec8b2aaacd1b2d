#pragma once
// The bases of the explorer's persistent objects: objects that write themselves to a stream or
// a file behind an optional 32-bit little-endian version number. Subclasses call the base
// operation first and then read or write their own data after it.

#include "Platform/core/Component.h"

#include <QString>
#include <cstdint>
#include <vector>

class TStream;

class TStreamableClass : public TPersistent {
public:
    std::int32_t StreamVersion = -1;

    // Opens the file for reading (or creates it), runs the stream operation and closes it;
    // stream errors reach the caller.
    virtual void LoadFromFile(const QString& fileName, std::int32_t version, bool readVersion);
    virtual void LoadFromStream(TStream& stream, std::int32_t version, bool readVersion);
    virtual void SaveToFile(const QString& fileName, std::int32_t version, bool writeVersion);
    virtual void SaveToStream(TStream& stream, std::int32_t version, bool writeVersion);
};

// A list of pointers whose items the subclass owns and streams.
class TStreamableList : public TObject {
public:
    std::int32_t StreamVersion = -1;

    int Count() const { return static_cast<int>(FItems.size()); }
    void* Items(int index) const { return FItems.at(static_cast<std::size_t>(index)); }
    int Add(void* item);
    void Delete(int index);
    // Empties the list; subclasses free their items first.
    virtual void Clear();

    // The file operations pass version 0 and no version in the stream.
    virtual void LoadFromFile(const QString& fileName);
    virtual void LoadFromStream(TStream& stream, std::int32_t version, bool readVersion);
    virtual void SaveToFile(const QString& fileName);
    virtual void SaveToStream(TStream& stream, std::int32_t version, bool writeVersion);

private:
    std::vector<void*> FItems;
};
