#include "ShellBrowsing/Source/threads/ExpandMarkThread.h"

#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/Namespace.h"

namespace {

void FindChildren(TImageThreadRequest& request)
{
    try {
        TNamespace folder(PIDLMgr().CopyPIDL(request.PIDL));
        request.ChildrenFound = folder.HasChildrenEx(static_cast<std::uint32_t>(request.Data)) ? 1 : 0;
    } catch (...) {
        request.ChildrenFound = 0;
    }
}

} // namespace

TExpandMarkManager::TExpandMarkManager() : TShellImageThreadManager(FindChildren, false)
{
}

TExpandMarkManager& TExpandMarkManager::Instance()
{
    static TExpandMarkManager manager;
    return manager;
}
