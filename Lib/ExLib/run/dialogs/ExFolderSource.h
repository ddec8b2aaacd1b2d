#pragma once
// What the folder browser shows: a tree of folders (and, when asked, files) below a root. The
// file system serves it here; the shell namespace can serve the same interface once it exists.

#include "ExLib/run/dialogs/ExKnownFolders.h"

#include "Platform/core/Set.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Which items a folder lists (the enumeration flags of the shell).
enum TExBrowsableObjectClass {
    ocFolders, ocNonFolders, ocIncludeHidden, ocInitOnFirstNext, ocNetPrinterSrch, ocSharable, ocStorage,
};
using TExBrowsableObjectClasses = TSet<TExBrowsableObjectClass>;
// The enumeration flag bits (0x20 for ocFolders ... 0x800 for ocStorage) and back.
unsigned EnumFlagsOf(TExBrowsableObjectClasses classes);
TExBrowsableObjectClasses ObjectClassesOf(unsigned flags);

struct TExFolderItem {
    std::string Path;        // the parsing name: a file-system path
    std::string DisplayName;
    bool Folder = true;
    bool HasChildren = false;
};

class IExFolderSource {
public:
    virtual ~IExFolderSource() = default;
    // The version of the namespace, as the shell reports its own (major in the upper 16 bits).
    virtual std::uint32_t Version() const = 0;
    // The items at the top of the tree under `root` ("" for the namespace's own top).
    virtual std::vector<TExFolderItem> TopItems(const std::string& root) = 0;
    virtual std::vector<TExFolderItem> Children(const std::string& folder, TExBrowsableObjectClasses classes) = 0;
    virtual bool IsFolder(const std::string& path) = 0;
    virtual std::string DisplayName(const std::string& path) = 0;
    // The path of a special folder, "" when there is none.
    virtual std::string SpecialFolderPath(TFromDirectory folder) = 0;
    // Makes a new folder in `parent`; its path, or "" when it could not be made.
    virtual std::string CreateFolder(const std::string& parent, const std::string& name) = 0;

protected:
    IExFolderSource() = default;
    IExFolderSource(const IExFolderSource&) = default;
    IExFolderSource& operator=(const IExFolderSource&) = default;
};

// The file system: the home folder and "/" at the top.
class TExFileSystemFolderSource : public IExFolderSource {
public:
    std::uint32_t Version() const override { return 0x00060000; }
    std::vector<TExFolderItem> TopItems(const std::string& root) override;
    std::vector<TExFolderItem> Children(const std::string& folder, TExBrowsableObjectClasses classes) override;
    bool IsFolder(const std::string& path) override;
    std::string DisplayName(const std::string& path) override;
    std::string SpecialFolderPath(TFromDirectory folder) override;
    std::string CreateFolder(const std::string& parent, const std::string& name) override;
};

// The source the browser uses unless given another.
IExFolderSource& DefaultFolderSource();
