#include "ShellBrowsing/Source/operations/ShellKitLink.h"

#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/operations/FileOperations.h"

#include <climits>
#include <unistd.h>

TShellKitLink::TShellKitLink(TComponent* AOwner) : TComponent(AOwner)
{
}

TShellKitLink::~TShellKitLink()
{
    FreeTargetIDList();
}

void TShellKitLink::FreeTargetIDList()
{
    PIDLFree(TargetIDList);
    TargetIDList = nullptr;
}

bool TShellKitLink::ReadLink(const QString& fileName)
{
    return ReadLinkBytes(::PathBytes(fileName));
}

bool TShellKitLink::ReadLinkBytes(const std::string& fileName)
{
    FreeTargetIDList();
    TargetPath.clear();
    TargetPathBytes.clear();
    char target[PATH_MAX];
    const ssize_t length = fileName.empty() ? -1 : ::readlink(fileName.c_str(), target, sizeof target);
    if (length < 0) {
        FileName.clear();
        return false;
    }
    FileName = DisplayText(fileName);
    std::string path(target, static_cast<std::size_t>(length));
    if (path.empty() || path.front() != '/')
        path = ShellFileOps::JoinPath(ShellFileOps::ParentOf(fileName), path);
    TargetPathBytes = NormalizePath(path);
    TargetPath = DisplayText(TargetPathBytes);
    TargetIDList = PathToPIDL(TargetPathBytes);
    return true;
}
