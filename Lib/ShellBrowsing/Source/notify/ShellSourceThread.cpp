#include "ShellBrowsing/Source/notify/ShellSourceThread.h"

#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/notify/ChangeDispatchThread.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t WatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_ATTRIB
    | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

std::set<std::string> MountPoints()
{
    std::set<std::string> points;
    for (const TVolume& volume : UserVolumes())
        points.insert(volume.MountPoint);
    return points;
}

// The list of a child of a folder known by `form`: a trash item under the virtual trash, an
// entry under any other form.
PItemIDList ChildOf(PCItemIDList form, const std::string& folderPath, const std::string& name)
{
    const TPIDLManager& m = PIDLMgr();
    const bool trash = m.IDCount(form) == 1 && ItemKind(form) == TItemKind::Trash;
    TPIDLHolder item(trash ? MakeItem(TItemKind::TrashEntry, folderPath + "/" + name) : MakeItem(TItemKind::Entry, name));
    return item ? m.AppendPIDL(form, item.Get()) : nullptr;
}

} // namespace

TWatchedFolder::~TWatchedFolder()
{
    for (PItemIDList form : Forms)
        PIDLFree(form);
}

TShellSourceThread::TShellSourceThread(TShellChangeDispatchThread& dispatch)
    : TShellThread(false), FDispatch(dispatch)
{
    FInotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    FWakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    FMounts = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    FVolumes = MountPoints();
}

TShellSourceThread::~TShellSourceThread()
{
    Terminate();
    WaitFor();
    for (int fd : {FInotify, FWakeFd, FMounts})
        if (fd >= 0)
            ::close(fd);
}

void TShellSourceThread::Wake()
{
    const std::uint64_t one = 1;
    if (FWakeFd >= 0)
        [[maybe_unused]] const ssize_t written = ::write(FWakeFd, &one, sizeof one);
}

void TShellSourceThread::Terminate()
{
    TShellThread::Terminate();
    Wake();
}

void TShellSourceThread::SetWatches(TWatchSet watches)
{
    {
        const std::lock_guard guard(FPendingLock);
        FPendingWatches = std::move(watches);
        FWatchesChanged = true;
    }
    Wake();
}

void TShellSourceThread::PostManualChange(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2)
{
    {
        const std::lock_guard guard(FPendingLock);
        FManual.push_back({kind, TPIDLHolder(PIDLMgr().CopyPIDL(list1)), TPIDLHolder(PIDLMgr().CopyPIDL(list2))});
    }
    Wake();
}

int TShellSourceThread::WatchCount()
{
    return FWatchCount.load();
}

void TShellSourceThread::Execute()
{
    if (FInotify < 0 || FWakeFd < 0)
        return;
    while (!Terminated()) {
        pollfd fds[3] = {{FWakeFd, POLLIN, 0}, {FInotify, POLLIN, 0}, {FMounts, POLLPRI, 0}};
        const int count = FMounts >= 0 ? 3 : 2;
        if (::poll(fds, static_cast<nfds_t>(count), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (Terminated())
            return;
        try {
            if (fds[0].revents & POLLIN) {
                std::uint64_t ignored = 0;
                [[maybe_unused]] const ssize_t got = ::read(FWakeFd, &ignored, sizeof ignored);
                ApplyWatches();
                std::vector<TManualChange> manual;
                {
                    const std::lock_guard guard(FPendingLock);
                    manual.swap(FManual);
                }
                for (const TManualChange& change : manual)
                    Announce(change.Kind, change.List1.Get(), change.List2.Get());
            }
            if (fds[1].revents & POLLIN)
                ReadInotify();
            if (count == 3 && (fds[2].revents & (POLLPRI | POLLERR)))
                HandleMountChange();
        } catch (...) {
            // A failed announcement loses that event only; the source goes on.
        }
    }
}

void TShellSourceThread::ApplyWatches()
{
    {
        const std::lock_guard guard(FPendingLock);
        if (!FWatchesChanged)
            return;
        FWatchesChanged = false;
        FWatches.swap(FPendingWatches);
        FPendingWatches.clear();
    }
    std::map<int, TWatch> next;
    for (const auto& folder : FWatches) {
        const int wd = ::inotify_add_watch(FInotify, folder->Path.c_str(), WatchMask);
        if (wd < 0)
            continue;
        TWatch& watch = next[wd];
        if (watch.Path.empty())
            watch.Path = folder->Path;
        watch.Forms.insert(watch.Forms.end(), folder->Forms.begin(), folder->Forms.end());
    }
    for (const auto& [wd, watch] : FByDescriptor)
        if (!next.count(wd))
            ::inotify_rm_watch(FInotify, wd);
    FByDescriptor.swap(next);
    FWatchCount = static_cast<int>(FByDescriptor.size());
}

void TShellSourceThread::Announce(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2)
{
    FDispatch.AddEvent(kind, list1, list2);
}

void TShellSourceThread::AnnounceChild(TShellKitEventKind kind, const TWatch& watch, const std::string& name)
{
    for (PCItemIDList form : watch.Forms) {
        TPIDLHolder child(ChildOf(form, watch.Path, name));
        if (child)
            Announce(kind, child.Get(), nullptr);
    }
}

void TShellSourceThread::ReadInotify()
{
    using K = TShellKitEventKind;
    struct TMoveFrom {
        int Wd;
        std::string Name;
        bool Folder;
    };
    std::map<std::uint32_t, TMoveFrom> moves;
    alignas(inotify_event) char buffer[64 * 1024];
    for (;;) {
        const ssize_t length = ::read(FInotify, buffer, sizeof buffer);
        if (length <= 0)
            break;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* namePtr = buffer + at + sizeof(inotify_event);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
            const std::string name = event.len ? std::string(namePtr, ::strnlen(namePtr, event.len)) : std::string();
            const bool folder = event.mask & IN_ISDIR;
            if (event.mask & IN_Q_OVERFLOW) {
                for (const auto& [wd, watch] : FByDescriptor)
                    for (PCItemIDList form : watch.Forms)
                        Announce(K::UPDATEDIR, form, nullptr);
                continue;
            }
            const auto found = FByDescriptor.find(event.wd);
            if (found == FByDescriptor.end())
                continue;
            const TWatch& watch = found->second;
            if (event.mask & IN_IGNORED) {
                FByDescriptor.erase(found);
                FWatchCount = static_cast<int>(FByDescriptor.size());
                continue;
            }
            if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
                for (PCItemIDList form : watch.Forms)
                    Announce(K::RMDIR, form, nullptr);
                continue;
            }
            if (name.empty()) {
                if (event.mask & IN_ATTRIB)
                    for (PCItemIDList form : watch.Forms)
                        Announce(K::ATTRIBUTES, form, nullptr);
                continue;
            }
            if (event.mask & IN_CREATE) {
                AnnounceChild(folder ? K::MKDIR : K::CREATE, watch, name);
            } else if (event.mask & IN_DELETE) {
                AnnounceChild(folder ? K::RMDIR : K::DELETE, watch, name);
            } else if (event.mask & IN_MOVED_FROM) {
                moves[event.cookie] = {event.wd, name, folder};
            } else if (event.mask & IN_MOVED_TO) {
                const auto from = moves.find(event.cookie);
                const auto fromWatch = from == moves.end() ? FByDescriptor.end() : FByDescriptor.find(from->second.Wd);
                if (fromWatch == FByDescriptor.end()) {
                    AnnounceChild(folder ? K::MKDIR : K::CREATE, watch, name);
                } else {
                    TPIDLHolder oldItem(ChildOf(fromWatch->second.Forms.front(), fromWatch->second.Path, from->second.Name));
                    TPIDLHolder newItem(ChildOf(watch.Forms.front(), watch.Path, name));
                    Announce(folder ? K::RENAMEFOLDER : K::RENAMEITEM, oldItem.Get(), newItem.Get());
                }
                if (from != moves.end())
                    moves.erase(from);
            } else if (event.mask & IN_MODIFY) {
                if (!folder)
                    AnnounceChild(K::UPDATEITEM, watch, name);
            } else if (event.mask & IN_ATTRIB) {
                AnnounceChild(K::ATTRIBUTES, watch, name);
            }
        }
    }
    // A name moved out of the watched folders is gone from them.
    for (const auto& [cookie, from] : moves)
        if (const auto watch = FByDescriptor.find(from.Wd); watch != FByDescriptor.end())
            AnnounceChild(from.Folder ? K::RMDIR : K::DELETE, watch->second, from.Name);
}

void TShellSourceThread::HandleMountChange()
{
    // why: the mount table signals again only after it was read through the descriptor polled.
    char buffer[4096];
    ::lseek(FMounts, 0, SEEK_SET);
    while (::read(FMounts, buffer, sizeof buffer) > 0) {
    }
    const std::set<std::string> now = MountPoints();
    const auto announce = [this](TShellKitEventKind kind, const std::string& mountPoint) {
        TPIDLHolder computer(MakeItem(TItemKind::Computer));
        TPIDLHolder volume(MakeItem(TItemKind::Volume, mountPoint));
        TPIDLHolder list(PIDLMgr().AppendPIDL(computer.Get(), volume.Get()));
        Announce(kind, list.Get(), nullptr);
    };
    for (const std::string& point : now)
        if (!FVolumes.count(point))
            announce(TShellKitEventKind::DRIVEADD, point);
    for (const std::string& point : FVolumes)
        if (!now.count(point))
            announce(TShellKitEventKind::DRIVEREMOVED, point);
    FVolumes = now;
}
