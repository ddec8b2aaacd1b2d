#pragma once
// TShellFolder: one folder of the namespace, answering questions about its children (given by
// their one-item relative lists): enumeration, attributes, display names, binding to a child
// folder, ordering, renaming and the details columns. Four kinds of folder exist: the desktop
// (Home, Computer, Trash), Computer (the volumes), the trash (the items of every trash folder)
// and file-system folders. Folders are shared (std::shared_ptr) by the items that ask them and
// hold no state that changes, so an answer always reflects the disk as it is.

#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/ItemData.h"
#include "ShellBrowsing/Source/namespace/ShellConsts.h"

#include <QString>
#include <memory>
#include <string>
#include <vector>

class TShellFolder;
using PShellFolder = std::shared_ptr<TShellFolder>;

// One enumeration: Next hands out relative lists (owned by the caller) until it gives nil.
class TEnumIDList {
public:
    virtual ~TEnumIDList() = default;
    virtual PItemIDList Next() = 0;
};

enum class TColumnId { Name, Size, Type, Modified, Attributes, Created, Accessed, OriginalLocation, DateDeleted,
                       TotalSize, FreeSpace };

struct TShellColumn {
    TColumnId Id;
    QString Title;
    std::uint32_t State = 0; // SHCOLSTATE_*
};

class TShellFolder : public std::enable_shared_from_this<TShellFolder> {
public:
    explicit TShellFolder(PCItemIDList absolute);
    virtual ~TShellFolder();
    TShellFolder(const TShellFolder&) = delete;
    TShellFolder& operator=(const TShellFolder&) = delete;

    PCItemIDList AbsolutePIDL() const { return FAbsolute.Get(); }
    // The folder's own file-system path ("" for a virtual folder).
    virtual std::string FolderPath() const { return {}; }

    // The children that `flags` (SHCONTF_*) select; nil when the folder cannot be read.
    virtual std::unique_ptr<TEnumIDList> EnumObjects(std::uint32_t flags) = 0;
    // The bits of `mask` (SFGAO_*) that hold for the child.
    virtual std::uint32_t GetAttributesOf(PCItemIDList child, std::uint32_t mask);
    // The child's name in the form `flags` (SHGDN_*) asks, as bytes ("" when it has none).
    virtual std::string GetDisplayNameOf(PCItemIDList child, std::uint32_t flags);
    // The folder of a child that is a folder; nil otherwise.
    virtual PShellFolder BindToObject(PCItemIDList child);
    // -1, 0 or 1: the folder's order of two children by column (0 name, then the columns').
    virtual int CompareIDs(int column, PCItemIDList a, PCItemIDList b);
    // Renames the child; the new relative list, or nil with `error` set (an errno value).
    virtual PItemIDList SetNameOf(PCItemIDList child, const std::string& newName, int& error);

    // Details columns: the folder's columns, and a child's text in one of them.
    virtual const std::vector<TShellColumn>& Columns() const;
    bool GetDefaultColumnState(int column, std::uint32_t& state) const;
    bool GetColumnTitle(int column, QString& title) const;
    virtual bool GetDetailsOf(PCItemIDList child, int column, QString& text);

    // The child's file-system path as bytes ("" for an item that has none).
    virtual std::string ChildPath(PCItemIDList child) const;
    // The child's file data; false for an item without one.
    bool GetItemData(PCItemIDList child, TItemData& data) const;
    // Type name and "primary;fallback" icon names of a child.
    virtual QString TypeNameOf(PCItemIDList child);
    virtual QString IconNameOf(PCItemIDList child, bool open);

protected:
    // Attributes of a child that lives on the file system.
    std::uint32_t FileSystemAttributes(PCItemIDList child, std::uint32_t mask);
    // The name of the child for display (not for parsing).
    virtual std::string ChildDisplayName(PCItemIDList child) const;
    int CompareNames(PCItemIDList a, PCItemIDList b) const;

private:
    TPIDLHolder FAbsolute;
};

// The desktop folder (stateless and shared by every thread).
PShellFolder DesktopShellFolder();
// The folder that an absolute list names; nil for an item that is not a folder or is gone.
PShellFolder BindFolder(PCItemIDList absolute);
// A file-system folder at `path` known by `absolute`.
PShellFolder MakeFileSystemFolder(const std::string& path, PCItemIDList absolute);
PShellFolder MakeComputerFolder(PCItemIDList absolute);
PShellFolder MakeTrashFolder(PCItemIDList absolute);

// The display form of a child name (the original name of a trashed item).
std::string TrashItemOriginalPath(const std::string& filesPath);
