#pragma once
// TShellSourceThread: the shell change source. It watches the folders that the registered
// controls show (through inotify) and the system's mount table, and announces every change to
// the dispatch thread as the shell's events: items created, deleted and renamed (RENAMEITEM,
// RENAMEFOLDER when both names are in watched folders), folders made and removed, items
// written (UPDATEITEM) and changed in their attributes (ATTRIBUTES), volumes mounted and
// unmounted (DRIVEADD, DRIVEREMOVED), and changes the program announces itself
// (PostManualChange). Events name items by the lists under which the controls watch their
// folders, so a folder watched as Home/x and as Computer/File System/home/u/x reports both.
//
// The thread waits in poll() on the inotify queue, the mount table and a wake-up descriptor;
// it never polls on a timer.

#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/notify/ShellEvents.h"
#include "ShellBrowsing/Source/threads/ShellThread.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class TShellChangeDispatchThread;

// One watched folder: its path and the lists under which it is known.
struct TWatchedFolder {
    std::string Path;
    std::vector<PItemIDList> Forms; // owned
    TWatchedFolder() = default;
    TWatchedFolder(const TWatchedFolder&) = delete;
    TWatchedFolder& operator=(const TWatchedFolder&) = delete;
    ~TWatchedFolder();
};
using TWatchSet = std::vector<std::unique_ptr<TWatchedFolder>>;

class TShellSourceThread : public TShellThread {
public:
    explicit TShellSourceThread(TShellChangeDispatchThread& dispatch);
    ~TShellSourceThread() override;

    // Replaces the watched folders (any thread); the thread applies them at once.
    void SetWatches(TWatchSet watches);
    // Announces a change made by the program itself (lists are copied).
    void PostManualChange(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2);
    // The number of folders inotify watches now (for tests and figures).
    int WatchCount();

    void Terminate() override;

protected:
    void Execute() override;

private:
    struct TManualChange {
        TShellKitEventKind Kind;
        TPIDLHolder List1;
        TPIDLHolder List2;
    };
    struct TWatch {
        std::string Path;
        std::vector<PItemIDList> Forms; // points into FWatches' folders
    };
    void Wake();
    void ApplyWatches();
    void ReadInotify();
    void HandleMountChange();
    void Announce(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2);
    void AnnounceChild(TShellKitEventKind kind, const TWatch& watch, const std::string& name);

    TShellChangeDispatchThread& FDispatch;
    int FInotify = -1;
    int FWakeFd = -1;
    int FMounts = -1;
    std::mutex FPendingLock;
    TWatchSet FPendingWatches;
    bool FWatchesChanged = false;
    std::vector<TManualChange> FManual;
    TWatchSet FWatches;             // the folders in force (this thread only)
    std::map<int, TWatch> FByDescriptor;
    std::set<std::string> FVolumes;
    std::atomic<int> FWatchCount{0};
};
