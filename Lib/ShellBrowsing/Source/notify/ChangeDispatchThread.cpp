#include "ShellBrowsing/Source/notify/ChangeDispatchThread.h"

#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"

TShellChangeDispatchThread::TShellChangeDispatchThread(std::function<void(TShellKitEventList*)> deliver)
    : TShellThread(false), FDeliver(std::move(deliver))
{
    BuildRecycleLists();
}

TShellChangeDispatchThread::~TShellChangeDispatchThread()
{
    Terminate();
    WaitFor();
    for (TShellKitEvent* event : FQueue)
        delete event;
    for (PItemIDList list : FRecycleLists)
        PIDLFree(list);
}

void TShellChangeDispatchThread::BuildRecycleLists()
{
    const std::lock_guard guard(Lock);
    FRecycleLists.push_back(MakeItem(TItemKind::Trash));
    std::vector<std::string> folders = TrashFolders();
    if (std::find(folders.begin(), folders.end(), HomeTrashPath()) == folders.end())
        folders.insert(folders.begin(), HomeTrashPath());
    for (const std::string& folder : folders)
        if (PItemIDList list = PathToPIDLLexical(folder))
            FRecycleLists.push_back(list);
}

void TShellChangeDispatchThread::Terminate()
{
    TShellThread::Terminate();
    {
        const std::lock_guard guard(FWakeLock);
        FWoken = true;
    }
    FWake.notify_all();
}

PCItemIDList TShellChangeDispatchThread::RecycleListOf(PCItemIDList list) const
{
    for (std::size_t i = 1; i < FRecycleLists.size(); ++i)
        if (PIDLMgr().IsSubPIDL(list, FRecycleLists[i]))
            return FRecycleLists[i];
    if (!FRecycleLists.empty() && PIDLMgr().IsSubPIDL(list, FRecycleLists[0]))
        return FRecycleLists[0];
    return nullptr;
}

bool TShellChangeDispatchThread::Queued(TShellKitEventKind kind, PCItemIDList list1, std::uint32_t value1) const
{
    for (const TShellKitEvent* event : FQueue) {
        if (event->Kind != kind)
            continue;
        if (kind == TShellKitEventKind::FREESPACE ? event->DWord1 == value1
                                                   : (list1 == nullptr && event->PIDL1 == nullptr) || ILIsEqual(event->PIDL1, list1))
            return true;
    }
    return false;
}

void TShellChangeDispatchThread::Queue(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2,
                                       std::uint32_t value1, std::uint32_t value2, bool invalid)
{
    FQueue.push_back(new TShellKitEvent(kind, list1, list2, value1, value2, invalid));
    {
        const std::lock_guard guard(FWakeLock);
        FWoken = true;
    }
    FWake.notify_all();
}

void TShellChangeDispatchThread::AddEvent(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2,
                                          std::uint32_t value1, std::uint32_t value2, bool invalid)
{
    {
        const std::lock_guard guard(Lock);
        AddEventLocked(kind, list1, list2, value1, value2, invalid);
    }
    const std::lock_guard guard(FWakeLock);
    FNewEvents = true;
}

void TShellChangeDispatchThread::AddEventLocked(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2,
                                                std::uint32_t value1, std::uint32_t value2, bool invalid)
{
    using K = TShellKitEventKind;
    if (!FFilterEvents.load()) {
        Queue(kind, list1, list2, value1, value2, invalid);
        return;
    }
    const TPIDLManager& m = PIDLMgr();
    switch (kind) {
    case K::CREATE:
    case K::DELETE:
    case K::MKDIR:
    case K::RMDIR: {
        TPIDLHolder parent(m.StripLastID(m.CopyPIDL(list1)));
        if (parent)
            AddEventLocked(K::UPDATEDIR, parent.Get(), nullptr, 0, 0, invalid);
        return;
    }
    case K::RENAMEFOLDER:
    case K::RENAMEITEM: {
        TPIDLHolder parent1(m.StripLastID(m.CopyPIDL(list1)));
        TPIDLHolder parent2(m.StripLastID(m.CopyPIDL(list2)));
        if (parent1)
            AddEventLocked(K::UPDATEDIR, parent1.Get(), nullptr, 0, 0, false);
        if (parent2 && !ILIsEqual(parent1.Get(), parent2.Get()))
            AddEventLocked(K::UPDATEDIR, parent2.Get(), nullptr, 0, 0, false);
        return;
    }
    case K::UPDATEDIR:
        if (PCItemIDList recycle = RecycleListOf(list1)) {
            if (!Queued(K::UPDATEDIR, recycle, 0))
                Queue(K::UPDATEDIR, recycle, nullptr, 0, 0, false);
            if (!Queued(K::UPDATEDIR, FRecycleLists[0], 0))
                Queue(K::UPDATEDIR, FRecycleLists[0], nullptr, 0, 0, false);
            return;
        }
        break;
    case K::UPDATEITEM:
        if (RecycleListOf(list1))
            return;
        break;
    default:
        break;
    }
    if (!Queued(kind, list1, value1))
        Queue(kind, list1, list2, value1, value2, invalid);
}

void TShellChangeDispatchThread::Execute()
{
    while (!Terminated()) {
        {
            std::unique_lock guard(FWakeLock);
            FWake.wait(guard, [this] { return FWoken || Terminated(); });
            if (Terminated())
                return;
            // The batch goes out only after a whole quiet time without new events.
            bool more = true;
            while (more && !Terminated()) {
                FWake.wait_for(guard, QuietTime, [this] { return Terminated(); });
                more = FNewEvents;
                FNewEvents = false;
            }
            if (Terminated())
                return;
        }
        auto* batch = new TShellKitEventList();
        {
            const std::lock_guard guard(Lock);
            {
                const std::lock_guard wake(FWakeLock);
                FWoken = false;
            }
            std::vector<TShellKitEvent*>& events = batch->LockList();
            events.swap(FQueue);
            batch->UnlockList();
        }
        batch->AddRef();
        if (batch->Count() == 0 || !FDeliver)
            batch->Release();
        else
            FDeliver(batch);
    }
}
