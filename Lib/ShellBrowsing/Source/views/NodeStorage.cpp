#include "ShellBrowsing/Source/views/NodeStorage.h"

#include "ShellBrowsing/Source/views/ViewStreamIO.h"

#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"
#include "Platform/text/Format.h"

#include <atomic>
#include <cstring>
#include <map>
#include <mutex>

namespace {

std::atomic<int> LiveStorages{0};

struct TClassRegistry {
    std::mutex Lock;
    std::map<std::string, TStreamableFactory> Factories;
};

TClassRegistry& Registry()
{
    static TClassRegistry registry;
    return registry;
}

// why: a stream nests a children list in every storage; a damaged one must not run the stack out.
constexpr int MaxStorageDepth = 256;

int CompareBytes(PCItemIDList a, PCItemIDList b)
{
    const std::uint32_t sa = PIDLMgr().PIDLSize(a);
    const std::uint32_t sb = PIDLMgr().PIDLSize(b);
    const int c = std::memcmp(a, b, std::min(sa, sb));
    if (c != 0)
        return c < 0 ? -1 : 1;
    return sa == sb ? 0 : (sa < sb ? -1 : 1);
}

// The folder's own order; names the folder calls equal but that differ still get places of their own.
int CompareChildren(TShellFolder* folder, PCItemIDList a, PCItemIDList b)
{
    const int c = folder ? folder->CompareIDs(0, a, b) : 0;
    return c != 0 ? c : CompareBytes(a, b);
}

template <class T>
void ReadArray(TStream& stream, std::vector<T>& values)
{
    const std::int32_t count = ReadBoundedCount(stream, static_cast<int>(sizeof(T)));
    values.resize(static_cast<std::size_t>(count));
    for (T& value : values)
        value = sizeof(T) == 2 ? static_cast<T>(ReadUInt16(stream)) : static_cast<T>(ReadUInt8(stream));
}

template <class T>
void WriteArray(TStream& stream, const std::vector<T>& values)
{
    WriteInt32(stream, static_cast<std::int32_t>(values.size()));
    for (T value : values) {
        if constexpr (sizeof(T) == 2)
            WriteUInt16(stream, value);
        else
            WriteUInt8(stream, value);
    }
}

} // namespace

void RegisterStreamableClass(const std::string& className, TStreamableFactory factory)
{
    TClassRegistry& registry = Registry();
    std::lock_guard lock(registry.Lock);
    registry.Factories[className] = std::move(factory);
}

std::unique_ptr<TStreamableClass> CreateStreamableClass(const std::string& className)
{
    TStreamableFactory factory;
    {
        TClassRegistry& registry = Registry();
        std::lock_guard lock(registry.Lock);
        if (auto it = registry.Factories.find(className); it != registry.Factories.end())
            factory = it->second;
    }
    std::unique_ptr<TStreamableClass> object = factory ? factory() : nullptr;
    if (!object)
        throw EClassNotFound(Format("Class %s not found", {className}));
    return object;
}

// ---- TNodeStorage

TNodeStorage::TNodeStorage(PItemIDList absolute, TNodeStorage* parent)
    : FAbsolute(absolute ? absolute : MakeDesktopPIDL()), FParent(parent)
{
    ++LiveStorages;
}

TNodeStorage::~TNodeStorage()
{
    ForgetCaches();
    --LiveStorages;
}

int TNodeStorage::LiveCount()
{
    return LiveStorages.load();
}

void TNodeStorage::ForgetCaches()
{
    if (TRootNodeStorage* root = GetRoot())
        root->ForgetLastParent(this);
}

PCItemIDList TNodeStorage::RelativePIDL() const
{
    return PIDLMgr().GetPointerToLastID(FAbsolute.Get());
}

PShellFolder TNodeStorage::ShellFolder()
{
    if (!FShellFolderBound) {
        FShellFolderBound = true;
        if (!FParent)
            FShellFolder = DesktopShellFolder();
        else if (PShellFolder parentFolder = FParent->ShellFolder())
            FShellFolder = parentFolder->BindToObject(RelativePIDL());
    }
    return FShellFolder;
}

TRootNodeStorage* TNodeStorage::GetRoot()
{
    TNodeStorage* storage = this;
    while (storage->FParent)
        storage = storage->FParent;
    return dynamic_cast<TRootNodeStorage*>(storage);
}

bool TNodeStorage::SearchChild(PCItemIDList relative, int& index)
{
    TShellFolder* folder = ShellFolder().get();
    int low = 0;
    int high = ChildCount() - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        const int c = CompareChildren(folder, FChildren[static_cast<std::size_t>(middle)]->RelativePIDL(), relative);
        if (c == 0) {
            index = middle;
            return true;
        }
        if (c < 0)
            low = middle + 1;
        else
            high = middle - 1;
    }
    index = low;
    return false;
}

TNodeStorage* TNodeStorage::ChildFor(PCItemIDList relative, bool create)
{
    int index = 0;
    if (SearchChild(relative, index))
        return FChildren[static_cast<std::size_t>(index)].get();
    if (!create)
        return nullptr;
    auto child = std::make_unique<TNodeStorage>(PIDLMgr().AppendPIDL(FAbsolute.Get(), relative), this);
    if (int again = 0; SearchChild(child->RelativePIDL(), again))
        throw EListError("Error in NodeListBinarySearch. Node unexpectedly found");
    TNodeStorage* made = child.get();
    FChildren.insert(FChildren.begin() + index, std::move(child));
    return made;
}

void TNodeStorage::Clear(bool freeUserData)
{
    Storage.Types = 0;
    Storage.CheckState = csUncheckedNormal;
    Storage.CheckType = chkNone;
    Storage.Columns = {};
    if (freeUserData)
        Storage.UserData.reset();
}

void TNodeStorage::Assign(const TPersistent& source)
{
    const auto* from = dynamic_cast<const TNodeStorage*>(&source);
    if (!from) {
        TStreamableClass::Assign(source);
        return;
    }
    if (from == this)
        return;
    for (auto& child : FChildren)
        child->ForgetCaches();
    FChildren.clear();
    FShellFolder.reset();
    FShellFolderBound = false;
    FAbsolute.Reset(PIDLMgr().CopyPIDL(from->AbsolutePIDL()));
    for (const auto& child : from->FChildren) {
        auto copy = std::make_unique<TNodeStorage>(nullptr, this);
        copy->Assign(*child);
        FChildren.push_back(std::move(copy));
    }
    Storage.Types = from->Storage.Types;
    Storage.CheckState = from->Storage.CheckState;
    Storage.CheckType = from->Storage.CheckType;
    Storage.Columns = from->Storage.Columns;
    if (from->Storage.UserData) {
        if (!Storage.UserData || Storage.UserData->ClassName() != from->Storage.UserData->ClassName())
            Storage.UserData = CreateStreamableClass(from->Storage.UserData->ClassName());
        Storage.UserData->Assign(*from->Storage.UserData);
    }
}

void TNodeStorage::AssignTo(TPersistent& dest) const
{
    if (auto* to = dynamic_cast<TNodeStorage*>(&dest)) {
        to->Assign(*this);
        return;
    }
    TStreamableClass::AssignTo(dest);
}

// ---- streaming

void TNodeStorage::LoadFromStream(TStream& stream, std::int32_t version, bool readVersion)
{
    Load(stream, version, readVersion, 0);
}

void TNodeStorage::Load(TStream& stream, std::int32_t version, bool readVersion, int depth)
{
    if (depth > MaxStorageDepth)
        throw EReadError("Damaged view data: folders nested too deeply");
    TStreamableClass::LoadFromStream(stream, version, readVersion);
    CheckStreamVersion(StreamVersion);
    const std::int32_t v = StreamVersion;
    PItemIDList absolute = PIDLMgr().LoadFromStream(&stream);
    FAbsolute.Reset(absolute ? absolute : MakeDesktopPIDL());
    if (FParent && !ILIsParent(FParent->AbsolutePIDL(), FAbsolute.Get(), true))
        throw EReadError("Damaged view data: a stored item lies outside its folder");
    FShellFolder.reset();
    FShellFolderBound = false;
    FChildren.clear();
    if (ReadUInt8(stream) == 1)
        LoadChildren(stream, v, readVersion, depth);
    Storage.Types = ReadUInt8(stream);
    Storage.CheckState = static_cast<TCheckState>(ReadUInt8(stream));
    Storage.CheckType = v >= 2 ? static_cast<TLTCheckKind>(ReadUInt8(stream)) : chkNone;
    if (Storage.CheckState > csMixedPressed || Storage.CheckType > chkButton)
        throw EReadError("Damaged view data: unknown check state");
    ReadArray(stream, Storage.Columns.Widths);
    ReadArray(stream, Storage.Columns.Positions);
    ReadArray(stream, Storage.Columns.Visible);
    Storage.UserData.reset();
    if (v >= 1 && ReadUInt8(stream) == 1) {
        const std::int32_t length = ReadBoundedCount(stream, 1);
        std::string className(static_cast<std::size_t>(length), '\0');
        stream.ReadBuffer(className.data(), length);
        Storage.UserData = CreateStreamableClass(className);
        Storage.UserData->LoadFromStream(stream, v, readVersion);
    }
}

void TNodeStorage::LoadChildren(TStream& stream, std::int32_t version, bool readVersion, int depth)
{
    // The children list: its own version, a count and the storages.
    const std::int32_t listVersion = readVersion ? ReadInt32(stream) : version;
    CheckStreamVersion(listVersion);
    // why: every stored storage takes at least a version, a list and three counts.
    const std::int32_t count = ReadBoundedCount(stream, 16);
    PShellFolder folder = ShellFolder();
    for (std::int32_t i = 0; i < count; ++i) {
        auto child = std::make_unique<TNodeStorage>(nullptr, this);
        child->Load(stream, listVersion, readVersion, depth + 1);
        // Items the file system no longer knows are dropped with what lies below them.
        if (!folder || !folder->GetAttributesOf(child->RelativePIDL(), SFGAO_FOLDER | SFGAO_VALIDATE))
            continue;
        int index = 0;
        if (SearchChild(child->RelativePIDL(), index))
            throw EReadError("Damaged view data: an item is stored twice");
        FChildren.insert(FChildren.begin() + index, std::move(child));
    }
}

void TNodeStorage::SaveToStream(TStream& stream, std::int32_t version, bool writeVersion)
{
    TStreamableClass::SaveToStream(stream, version, writeVersion);
    PIDLMgr().SaveToStream(&stream, FAbsolute.Get());
    WriteUInt8(stream, FChildren.empty() ? 0 : 1);
    if (!FChildren.empty()) {
        if (writeVersion)
            WriteInt32(stream, version);
        WriteInt32(stream, ChildCount());
        for (const auto& child : FChildren)
            child->SaveToStream(stream, version, writeVersion);
    }
    WriteUInt8(stream, Storage.Types);
    WriteUInt8(stream, Storage.CheckState);
    if (version >= 2)
        WriteUInt8(stream, Storage.CheckType);
    WriteArray(stream, Storage.Columns.Widths);
    WriteArray(stream, Storage.Columns.Positions);
    WriteArray(stream, Storage.Columns.Visible);
    if (version >= 1) {
        WriteUInt8(stream, Storage.UserData ? 1 : 0);
        if (Storage.UserData) {
            const std::string className = Storage.UserData->ClassName();
            WriteInt32(stream, static_cast<std::int32_t>(className.size()));
            stream.WriteString(className);
            Storage.UserData->SaveToStream(stream, version, writeVersion);
        }
    }
}

// ---- TRootNodeStorage

TRootNodeStorage::TRootNodeStorage() : TNodeStorage(nullptr, nullptr) {}

TRootNodeStorage::~TRootNodeStorage()
{
    // why: the storages below look for their root while they go.
    FLastParent = nullptr;
    FChildren.clear();
}

TNodeStorage* TRootNodeStorage::Find(PCItemIDList absolute, bool create)
{
    if (!absolute)
        return nullptr;
    if (PIDLMgr().IsDesktopFolder(absolute))
        return this;
    TNodeStorage* found = nullptr;
    if (FLastParent && ILIsParent(FLastParent->AbsolutePIDL(), absolute, true)) {
        found = FLastParent->ChildFor(PIDLMgr().GetPointerToLastID(absolute), create);
    } else {
        FLastParent = nullptr;
        TNodeStorage* storage = this;
        const int count = PIDLMgr().IDCount(absolute);
        PCItemIDList item = absolute;
        for (int level = 0; storage && level < count; ++level) {
            TPIDLHolder single(CopyFirstItem(item));
            const bool existed = create && storage->ChildFor(single.Get(), false);
            storage = storage->ChildFor(single.Get(), create);
            if (storage && create && !existed && level + 1 < count && Storage.CheckType == chkTriState) {
                // A folder on the way to a checked item shows as partly checked.
                storage->Storage.CheckType = chkTriState;
                storage->Storage.CheckState = csMixedNormal;
                storage->Storage.Types = stChecks;
            }
            item = PIDLMgr().NextID(item);
        }
        found = storage;
    }
    if (found)
        FLastParent = found->Parent();
    return found;
}

TNodeStorage* TRootNodeStorage::Store(PCItemIDList absolute, std::uint8_t types)
{
    TNodeStorage* storage = Find(absolute, true);
    if (storage)
        storage->Storage.Types |= types;
    return storage;
}

TNodeStorage* TRootNodeStorage::FindStored(PCItemIDList absolute, std::uint8_t types)
{
    TNodeStorage* storage = Find(absolute, false);
    return storage && (storage->Storage.Types & types) ? storage : nullptr;
}

void TRootNodeStorage::Delete(PCItemIDList absolute, std::uint8_t types, bool freeUserData, bool force)
{
    TNodeStorage* storage = Find(absolute, false);
    if (!storage)
        return;
    storage->Storage.Types &= static_cast<std::uint8_t>(~types);
    if ((force || storage->Storage.Types == 0) && storage != this) {
        TNodeStorage* parent = storage->Parent();
        int index = 0;
        if (parent->SearchChild(storage->RelativePIDL(), index)) {
            FLastParent = nullptr;
            parent->FChildren.erase(parent->FChildren.begin() + index);
        }
        return;
    }
    if ((types & stUser) && freeUserData)
        storage->Storage.UserData.reset();
    if (storage == this)
        Storage.CheckState = csUncheckedNormal;
}

void TRootNodeStorage::LoadFromStream(TStream& stream, std::int32_t version, bool readVersion)
{
    TRootNodeStorage loaded;
    loaded.Load(stream, version, readVersion, 0);
    if (!PIDLMgr().IsDesktopFolder(loaded.AbsolutePIDL()))
        throw EReadError("Damaged view data: the stored items do not start at the desktop");
    Assign(loaded);
    StreamVersion = loaded.StreamVersion;
    FLastParent = nullptr;
}
