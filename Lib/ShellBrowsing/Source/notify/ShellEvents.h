#pragma once
// Shell change events and their reference-counted batches. An event names one or two absolute
// item identifier lists (and their parents); a batch travels from the dispatch thread to the
// GUI thread and to every registered control, each receiver owning one reference.

#include "ShellBrowsing/Source/idlist/PIDL.h"

#include "Platform/core/Component.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

enum class TShellKitEventKind : std::uint8_t {
    ASSOCCHANGED, ATTRIBUTES, CREATE, DELETE, DRIVEADD, DRIVEADDGUI, DRIVEREMOVED, FREESPACE,
    MEDIAINSERTED, MEDIAREMOVED, MKDIR, NETSHARE, NETUNSHARE, RENAMEFOLDER, RENAMEITEM, RMDIR,
    SERVERDISCONNECT, UPDATEDIR, UPDATEIMAGE, UPDATEITEM,
};

// The kind's name ("Item Create", "Update Directory", ...).
const char* ShellEventKindName(TShellKitEventKind kind);

class TShellKitEvent : public TObject {
public:
    // Takes copies of the lists and of their parents.
    TShellKitEvent(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2, std::uint32_t dword1 = 0,
                   std::uint32_t dword2 = 0, bool invalidNamespace = false);
    ~TShellKitEvent() override;

    std::uint32_t DWord1 = 0;
    std::uint32_t DWord2 = 0;
    bool FreePIDLs = false;
    bool InvalidNamespace = false;
    PItemIDList PIDL1 = nullptr;
    PItemIDList PIDL2 = nullptr;
    PItemIDList ParentPIDL1 = nullptr;
    PItemIDList ParentPIDL2 = nullptr;
    TShellKitEventKind Kind;

    // Frees the four lists (the list's destruction calls it).
    void FreeLists();
};

// A thread-safe list of events with an interlocked reference count. Release frees the list at
// zero; freeing frees every event and its lists.
class TShellKitEventList : public TObject {
public:
    TShellKitEventList();
    ~TShellKitEventList() override;

    std::vector<TShellKitEvent*>& LockList();
    void UnlockList();
    int Count();
    // The event at `index`; read only while no other thread changes the list.
    TShellKitEvent* Event(int index);

    int AddRef() { return ++FRefCount; }
    // Frees the list when the count reaches 0 or less; returns the new count.
    int Release();
    int RefCount() const { return FRefCount.load(); }
    void AddToRefCount(int delta) { FRefCount += delta; }

    std::uint32_t ID = 0;

private:
    std::mutex FLock;
    std::vector<TShellKitEvent*> FEvents;
    std::atomic<int> FRefCount{0};
};
