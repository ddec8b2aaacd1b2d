#include "ShellBrowsing/Source/notify/ShellEvents.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"

const char* ShellEventKindName(TShellKitEventKind kind)
{
    return ShellTexts::EventKindNames[static_cast<std::size_t>(kind)];
}

TShellKitEvent::TShellKitEvent(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2, std::uint32_t dword1,
                               std::uint32_t dword2, bool invalidNamespace)
    : DWord1(dword1), DWord2(dword2), InvalidNamespace(invalidNamespace), Kind(kind)
{
    const TPIDLManager& m = PIDLMgr();
    PIDL1 = m.CopyPIDL(list1);
    PIDL2 = m.CopyPIDL(list2);
    ParentPIDL1 = m.StripLastID(m.CopyPIDL(list1));
    ParentPIDL2 = m.StripLastID(m.CopyPIDL(list2));
}

TShellKitEvent::~TShellKitEvent()
{
    FreeLists();
}

void TShellKitEvent::FreeLists()
{
    const TPIDLManager& m = PIDLMgr();
    m.FreeAndNilPIDL(PIDL1);
    m.FreeAndNilPIDL(PIDL2);
    m.FreeAndNilPIDL(ParentPIDL1);
    m.FreeAndNilPIDL(ParentPIDL2);
}

TShellKitEventList::TShellKitEventList()
{
    FEvents.reserve(50);
}

TShellKitEventList::~TShellKitEventList()
{
    for (TShellKitEvent* event : FEvents)
        delete event;
}

std::vector<TShellKitEvent*>& TShellKitEventList::LockList()
{
    FLock.lock();
    return FEvents;
}

void TShellKitEventList::UnlockList()
{
    FLock.unlock();
}

int TShellKitEventList::Count()
{
    const std::lock_guard guard(FLock);
    return static_cast<int>(FEvents.size());
}

TShellKitEvent* TShellKitEventList::Event(int index)
{
    const std::lock_guard guard(FLock);
    return FEvents.at(static_cast<std::size_t>(index));
}

int TShellKitEventList::Release()
{
    const int count = --FRefCount;
    if (count <= 0)
        delete this;
    return count;
}
