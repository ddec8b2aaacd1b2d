#include "ShellBrowsing/Source/common/ShellLibrary.h"

#include "ShellBrowsing/Source/icons/ShellSysImages.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/KnownNamespaces.h"
#include "ShellBrowsing/Source/notify/ShellChangeNotifier.h"
#include "ShellBrowsing/Source/notify/ShellNotifyManager.h"

#include <QCoreApplication>
#include <atomic>

namespace {

std::atomic<bool> AtExitArranged{false};

void StopAtApplicationEnd()
{
    StopShellBrowsing();
    AtExitArranged = false;
}

} // namespace

void StartShellBrowsing()
{
    StopShellBrowsingAtExit();
    PIDLMgr();
    KnownNamespaces();
    SmallSysImages();
    LargeSysImages();
    ShellNotifyManager();
}

void StopShellBrowsing()
{
    FreeChangeNotifier();
    FreeShellNotifyManager();
    FreeSysImageLists();
    FreeKnownNamespaces();
}

void StopShellBrowsingAtExit()
{
    // why: adding a routine while the application runs its routines would never end.
    if (!QCoreApplication::instance() || QCoreApplication::closingDown() || AtExitArranged.exchange(true))
        return;
    qAddPostRoutine(StopAtApplicationEnd);
}
