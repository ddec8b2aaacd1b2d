#include "ShellBrowsing/Source/explorer/IconThread.h"

#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/Namespace.h"

namespace {

void LookUpIcon(TImageThreadRequest& request)
{
    try {
        TNamespace item(PIDLMgr().CopyPIDL(request.PIDL));
        request.ImageIndex = item.IconIndexFor(false, request.Large ? 1 : 0);
    } catch (...) {
        request.ImageIndex = 0;
    }
}

} // namespace

TIconThreadManager::TIconThreadManager() : TShellImageThreadManager(LookUpIcon, true)
{
}

TIconThreadManager& TIconThreadManager::Instance()
{
    static TIconThreadManager manager;
    return manager;
}
