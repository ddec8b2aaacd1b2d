#pragma once
// TShellChangeDispatchThread: collects the events of the change sources, merges and filters
// them, waits until no new event came for 750 ms and hands the batch to the notifier's window
// on the GUI thread as VM_SHELLEVENTS.
//
// With the filter on: a created, deleted, made or removed item becomes an UPDATEDIR of its
// folder; a rename becomes an UPDATEDIR of the old folder and of the new one when it differs;
// changes inside a trash folder become one UPDATEDIR of that trash folder and one of the
// virtual trash, and item updates inside it are dropped; an event equal in kind and first list
// to a queued one is dropped.

#include "ShellBrowsing/Source/notify/ShellEvents.h"
#include "ShellBrowsing/Source/threads/ShellThread.h"

#include <chrono>
#include <functional>

class TPIDLManager;

class TShellChangeDispatchThread : public TShellThread {
public:
    // `deliver` is called on this thread with each batch (holding one reference).
    explicit TShellChangeDispatchThread(std::function<void(TShellKitEventList*)> deliver);
    ~TShellChangeDispatchThread() override;

    bool FilterEvents() const { return FFilterEvents.load(); }
    void SetFilterEvents(bool value) { FFilterEvents = value; }
    // The quiet time before a batch goes out (750 ms).
    std::chrono::milliseconds QuietTime{750};

    // Safe from any thread; the lists are copied.
    void AddEvent(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2, std::uint32_t value1 = 0,
                  std::uint32_t value2 = 0, bool invalid = false);

    void Terminate() override;

protected:
    void Execute() override;

private:
    void AddEventLocked(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2, std::uint32_t value1,
                        std::uint32_t value2, bool invalid);
    bool Queued(TShellKitEventKind kind, PCItemIDList list1, std::uint32_t value1) const;
    void Queue(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2, std::uint32_t value1,
               std::uint32_t value2, bool invalid);
    // The recycle-bin list that holds `list`, or nil.
    PCItemIDList RecycleListOf(PCItemIDList list) const;
    void BuildRecycleLists();

    std::function<void(TShellKitEventList*)> FDeliver;
    std::atomic<bool> FFilterEvents{true};
    std::vector<TShellKitEvent*> FQueue;    // guarded by Lock
    std::vector<PItemIDList> FRecycleLists; // [0] the virtual trash; guarded by Lock
    std::mutex FWakeLock;
    std::condition_variable FWake;
    bool FWoken = false;
    bool FNewEvents = false;
};
