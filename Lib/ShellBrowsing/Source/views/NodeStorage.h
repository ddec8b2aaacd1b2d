#pragma once
// TNodeStorage: data an explorer keeps per item (check marks, a folder's column layout, a user
// object), in a tree that mirrors the namespace and is keyed by absolute item identifier lists.
// Children stay sorted by their folder's own order, so a lookup costs one binary search per
// level; the root remembers the parent of the last lookup, so runs of siblings cost one each.
//
// Loading validates what it reads: counts are bounded by the bytes that remain, a child must
// name an item of its parent, nesting is bounded, and items the file system no longer has are
// dropped with their subtrees.

#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/ShellFolder.h"
#include "ShellBrowsing/Source/sort/Streamable.h"

#include "TreeView/Source/core/LTTypes.h"

#include "Platform/files/PropertyStream.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// What a storage holds (bits of TStorage::Types).
enum : std::uint8_t { stChecks = 1, stColumns = 2, stUser = 4 };

struct TColumnStorage {
    std::vector<std::uint16_t> Widths;
    std::vector<std::uint16_t> Positions;
    std::vector<std::uint8_t> Visible;
    bool operator==(const TColumnStorage&) const = default;
};

struct TStorage {
    std::uint8_t Types = 0;
    TCheckState CheckState = csUncheckedNormal;
    TLTCheckKind CheckType = chkNone;
    TColumnStorage Columns;
    std::unique_ptr<TStreamableClass> UserData;
};

// Makes the user objects of stored records by the class names they were written under.
using TStreamableFactory = std::function<std::unique_ptr<TStreamableClass>()>;
void RegisterStreamableClass(const std::string& className, TStreamableFactory factory);
// Raises EClassNotFound "Class %s not found" for a name nobody registered.
std::unique_ptr<TStreamableClass> CreateStreamableClass(const std::string& className);

class TRootNodeStorage;

class TNodeStorage : public TStreamableClass {
public:
    // Takes `absolute` over (nil stands for the desktop).
    TNodeStorage(PItemIDList absolute, TNodeStorage* parent);
    ~TNodeStorage() override;

    PCItemIDList AbsolutePIDL() const { return FAbsolute.Get(); }
    // The last item of AbsolutePIDL (inside it).
    PCItemIDList RelativePIDL() const;
    TNodeStorage* Parent() const { return FParent; }
    int ChildCount() const { return static_cast<int>(FChildren.size()); }
    TNodeStorage* Child(int index) const { return FChildren.at(static_cast<std::size_t>(index)).get(); }
    // The folder of this item, bound on first use (the desktop for the root; nil when gone).
    PShellFolder ShellFolder();
    TRootNodeStorage* GetRoot();

    TStorage Storage;

    void Assign(const TPersistent& source) override;
    // Forgets types, checks and columns; the user object too when asked.
    void Clear(bool freeUserData);

    void LoadFromStream(TStream& stream, std::int32_t version, bool readVersion) override;
    void SaveToStream(TStream& stream, std::int32_t version, bool writeVersion) override;

    // Storages alive in the process.
    static int LiveCount();

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    friend class TRootNodeStorage;
    // Binary search among the children: the index of `relative`, or where it would go.
    bool SearchChild(PCItemIDList relative, int& index);
    TNodeStorage* ChildFor(PCItemIDList relative, bool create);
    void Load(TStream& stream, std::int32_t version, bool readVersion, int depth);
    void LoadChildren(TStream& stream, std::int32_t version, bool readVersion, int depth);
    void Save(TStream& stream, std::int32_t version, bool writeVersion) const;
    void ForgetCaches();

    TPIDLHolder FAbsolute;
    TNodeStorage* FParent = nullptr;
    PShellFolder FShellFolder;
    bool FShellFolderBound = false;
    std::vector<std::unique_ptr<TNodeStorage>> FChildren;
};

class TRootNodeStorage : public TNodeStorage {
public:
    TRootNodeStorage();
    ~TRootNodeStorage() override;

    // The storage of an item, made (with those of its ancestors) when asked; nil otherwise.
    TNodeStorage* Find(PCItemIDList absolute, bool create);
    TNodeStorage* Store(PCItemIDList absolute, std::uint8_t types);
    // The storage when it holds any of `types`.
    TNodeStorage* FindStored(PCItemIDList absolute, std::uint8_t types);
    void Delete(PCItemIDList absolute, std::uint8_t types, bool freeUserData, bool force);

    TNodeStorage* LastParent() const { return FLastParent; }
    void ForgetLastParent(const TNodeStorage* storage)
    {
        if (FLastParent == storage)
            FLastParent = nullptr;
    }

    // Reads into a fresh storage first, so a damaged stream leaves this one as it was.
    void LoadFromStream(TStream& stream, std::int32_t version, bool readVersion) override;

private:
    TNodeStorage* FLastParent = nullptr;
};
