#pragma once
// TShellChangeNotifier: the one process-wide change notifier. Controls register for shell
// changes; the first registration starts the shell source and the dispatch thread, the last
// unregistration stops the source and then the dispatch thread. Each batch of events reaches
// every registered control on the GUI thread as the posted message VM_SHELLEVENTS (WParam: the
// TShellKitEventList; the receiver owns one reference and calls Release).
//
// Linux has no desktop-wide change feed: a control names the folders it shows (WatchFolder)
// and the source watches the union of them; a folder no control needs any more is released.
// A control that dies while registered is unregistered, and the batches posted to it and not
// yet delivered are taken back and released.
//
// The kernel source and the special-folder watch of the shell's notifier are not built: nothing
// in this program registers for them.

#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/notify/ShellEvents.h"

#include "Platform/core/Messages.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <mutex>
#include <vector>

class TMessageWindow;
class TShellChangeDispatchThread;
class TShellSourceThread;

enum : UINT {
    VM_SHELLEVENTS = 0x8033,
    VM_STOPCHANGETHREAD = 0x8036,
    VM_MANUALCHANGE = 0x803C,
};

struct TShellChangeControl {
    bool ShellRegistered = false;
    bool KernelRegistered = false;
    QPointer<QObject> Control;
    const QObject* Key = nullptr;
    std::vector<PItemIDList> WatchFolders; // owned
};

class TShellChangeNotifier {
public:
    TShellChangeNotifier();
    ~TShellChangeNotifier();
    TShellChangeNotifier(const TShellChangeNotifier&) = delete;
    TShellChangeNotifier& operator=(const TShellChangeNotifier&) = delete;

    bool RegisterShellChangeNotify(QObject* control);
    bool UnRegisterShellChangeNotify(QObject* control);
    bool UnRegisterChangeNotify(QObject* control);
    void UnRegisterAllControls();
    int RegisteredCount();

    // The folders a control shows; events come for them and their items.
    bool WatchFolder(QObject* control, PCItemIDList folder);
    bool UnwatchFolder(QObject* control, PCItemIDList folder);
    void UnwatchAllFolders(QObject* control);
    // Folders the source watches now (0 while no source runs).
    int WatchedFolderCount();

    // Announces a change made by this program (while the source runs).
    void PostShellChange(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2);
    // Adds an event to the dispatch thread directly (while it runs).
    void NotifyEvent(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2);

    bool FilterEvents();
    void SetFilterEvents(bool value);
    // Removes every event whose first list equals or lies inside the first list of another
    // event of the list (frees it), keeping the first of equal events.
    static void StripDuplicateEvents(std::vector<TShellKitEvent*>& events);

    bool ShellThreadRunning();
    bool DispatchThreadRunning();
    // The quiet time of the dispatch thread, for the tests (750 ms).
    void SetQuietTimeForTesting(int milliseconds);

private:
    TShellChangeControl* Find(const QObject* control);
    void StartThreads();
    void StopUnusedThreads();
    void UpdateWatches();
    void ControlDestroyed(const QObject* control);
    void HandleWindowMessage(TMessage& message);
    void Deliver(TShellKitEventList* batch);
    void TakeBackPosted(QObject* receiver);

    std::recursive_mutex FLock; // the control list's lock
    std::vector<std::unique_ptr<TShellChangeControl>> FControls;
    std::unique_ptr<TShellChangeDispatchThread> FDispatchThread;
    std::unique_ptr<TShellSourceThread> FShellThread;
    std::unique_ptr<TMessageWindow> FWindow;
    std::uint32_t FSerial = 0;
    bool FFilterEvents = true;
    int FQuietTime = 750;
};

// The process-wide notifier, made on first request.
TShellChangeNotifier& ChangeNotifier();
// The notifier if it exists (nil otherwise): announcing needs no notifier.
TShellChangeNotifier* ExistingChangeNotifier();
// Unregisters every control, stops the threads and frees the notifier (the library's end).
void FreeChangeNotifier();
