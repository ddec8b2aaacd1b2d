#include "ShellBrowsing/Source/notify/ShellNotifyManager.h"

#include "ShellBrowsing/Source/common/ShellLibrary.h"
#include "ShellBrowsing/Source/notify/ShellChangeNotifier.h"

#include <algorithm>

namespace {

std::unique_ptr<TShellNotifyManager>& Instance()
{
    static std::unique_ptr<TShellNotifyManager> manager;
    return manager;
}

} // namespace

TShellNotifyManager& ShellNotifyManager()
{
    std::unique_ptr<TShellNotifyManager>& manager = Instance();
    if (!manager) {
        StopShellBrowsingAtExit();
        manager = std::make_unique<TShellNotifyManager>();
    }
    return *manager;
}

void FreeShellNotifyManager()
{
    Instance().reset();
}

TShellNotifyManager::TShellNotifyManager()
{
    FTimer.setInterval(TimerInterval);
    QObject::connect(&FTimer, &QTimer::timeout, [this] { TimerFired(); });
}

TShellNotifyManager::~TShellNotifyManager()
{
    Clear();
}

void TShellNotifyManager::RegisterExplorer(IShellKitNotify* control)
{
    const std::lock_guard guard(FLock);
    if (std::find(FControls.begin(), FControls.end(), control) == FControls.end())
        FControls.push_back(control);
}

void TShellNotifyManager::UnRegisterExplorer(IShellKitNotify* control)
{
    const std::lock_guard guard(FLock);
    FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
}

bool TShellNotifyManager::OkToDispatch()
{
    std::vector<IShellKitNotify*> controls;
    {
        const std::lock_guard guard(FLock);
        controls = FControls;
    }
    return std::all_of(controls.begin(), controls.end(), [](IShellKitNotify* c) { return c->IsReadyForShellEvents(); });
}

void TShellNotifyManager::QueueEventList(TShellKitEventList* list)
{
    if (!list)
        return;
    {
        const std::lock_guard guard(FLock);
        const bool known = std::any_of(FQueue.begin(), FQueue.end(), [&](TShellKitEventList* q) { return q->ID == list->ID; });
        if (!known) {
            FQueue.push_back(list);
            list = nullptr;
        }
    }
    if (list)
        list->Release();
    if (!FTimer.isActive())
        FTimer.start();
}

int TShellNotifyManager::QueuedCount()
{
    const std::lock_guard guard(FLock);
    return static_cast<int>(FQueue.size());
}

void TShellNotifyManager::Clear()
{
    std::vector<TShellKitEventList*> queued;
    {
        const std::lock_guard guard(FLock);
        queued.swap(FQueue);
    }
    for (TShellKitEventList* list : queued)
        list->Release();
}

void TShellNotifyManager::TimerFired()
{
    if (!OkToDispatch())
        return;
    FTimer.stop();
    std::vector<TShellKitEventList*> queued;
    std::vector<IShellKitNotify*> controls;
    {
        const std::lock_guard guard(FLock);
        queued.swap(FQueue);
        controls = FControls;
    }
    for (auto it = queued.rbegin(); it != queued.rend(); ++it) {
        TShellKitEventList* list = *it;
        if (controls.empty()) {
            // why: with no receiver left nobody would release the batch.
            list->AddToRefCount(-list->RefCount() + 1);
            list->Release();
            continue;
        }
        list->AddToRefCount(static_cast<int>(controls.size()) - list->RefCount());
        for (IShellKitNotify* control : controls) {
            TMessage message{VM_SHELLEVENTS, reinterpret_cast<WPARAM>(list), 0, 0};
            control->DeliverShellEvents(message);
        }
    }
}
