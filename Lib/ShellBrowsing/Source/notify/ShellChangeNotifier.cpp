#include "ShellBrowsing/Source/notify/ShellChangeNotifier.h"

#include "ShellBrowsing/Source/common/ShellLibrary.h"
#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/notify/ChangeDispatchThread.h"
#include "ShellBrowsing/Source/notify/ShellAnnounce.h"
#include "ShellBrowsing/Source/notify/ShellSourceThread.h"

#include "Platform/core/Application.h"
#include "Platform/core/MessageWindow.h"
#include "Platform/core/PostedMessage.h"

#include <algorithm>

namespace {

std::unique_ptr<TShellChangeNotifier>& Instance()
{
    static std::unique_ptr<TShellChangeNotifier> notifier;
    return notifier;
}

// The file-system folders behind a watched list: the trash's "files" folders for the trash,
// nothing for Computer and the desktop (their items change only with the mount table).
std::vector<std::string> WatchedPaths(PCItemIDList folder)
{
    const TPIDLManager& m = PIDLMgr();
    if (m.IDCount(folder) == 1 && ItemKind(folder) == TItemKind::Trash) {
        std::vector<std::string> paths;
        for (const std::string& trash : TrashFolders())
            paths.push_back(trash + "/files");
        return paths;
    }
    if (m.IsDesktopFolder(folder) || (m.IDCount(folder) == 1 && ItemKind(folder) == TItemKind::Computer))
        return {};
    const std::string path = PIDLToFileSystemPath(folder);
    return path.empty() ? std::vector<std::string>() : std::vector<std::string>{path};
}

} // namespace

TShellChangeNotifier& ChangeNotifier()
{
    std::unique_ptr<TShellChangeNotifier>& notifier = Instance();
    if (!notifier) {
        StopShellBrowsingAtExit();
        notifier = std::make_unique<TShellChangeNotifier>();
    }
    return *notifier;
}

TShellChangeNotifier* ExistingChangeNotifier()
{
    return Instance().get();
}

void FreeChangeNotifier()
{
    std::unique_ptr<TShellChangeNotifier>& notifier = Instance();
    if (!notifier)
        return;
    notifier->UnRegisterAllControls();
    notifier.reset();
}

void AnnounceShellChange(TShellKitEventKind kind, const std::string& path1, const std::string& path2)
{
    TShellChangeNotifier* notifier = ExistingChangeNotifier();
    if (!notifier || !notifier->ShellThreadRunning())
        return;
    TPIDLHolder list1(PathToPIDLLexical(path1));
    TPIDLHolder list2(path2.empty() ? nullptr : PathToPIDLLexical(path2));
    if (list1)
        notifier->PostShellChange(kind, list1.Get(), list2.Get());
}

TShellChangeNotifier::TShellChangeNotifier()
    : FWindow(std::make_unique<TMessageWindow>([this](TMessage& m) { HandleWindowMessage(m); },
                                               "vstVirtualNotifyWndClass"))
{
}

TShellChangeNotifier::~TShellChangeNotifier()
{
    const char* still = FShellThread ? ShellTexts::ShellStillRegistered
        : FDispatchThread           ? ShellTexts::DispatchStillRegistered
                                    : nullptr;
    if (still) {
        try {
            throw EAssertionFailed(still);
        } catch (...) {
            HandleCurrentException();
        }
        FShellThread.reset();
        FDispatchThread.reset();
        TakeBackPosted(FWindow.get());
    }
    for (auto& entry : FControls)
        for (PItemIDList folder : entry->WatchFolders)
            PIDLFree(folder);
}

TShellChangeControl* TShellChangeNotifier::Find(const QObject* control)
{
    for (auto& entry : FControls)
        if (entry->Key == control)
            return entry.get();
    return nullptr;
}

bool TShellChangeNotifier::RegisterShellChangeNotify(QObject* control)
{
    if (!control)
        return false;
    const std::lock_guard guard(FLock);
    TShellChangeControl* entry = Find(control);
    if (entry && entry->ShellRegistered)
        return true;
    if (!entry) {
        FControls.push_back(std::make_unique<TShellChangeControl>());
        entry = FControls.back().get();
        entry->Control = control;
        entry->Key = control;
        QObject::connect(control, &QObject::destroyed, FWindow.get(),
                         [this, control] { ControlDestroyed(control); }, Qt::DirectConnection);
    }
    entry->ShellRegistered = true;
    StartThreads();
    FShellThread->AddRef();
    UpdateWatches();
    return true;
}

void TShellChangeNotifier::StartThreads()
{
    if (FShellThread)
        return;
    if (!FDispatchThread) {
        FDispatchThread = std::make_unique<TShellChangeDispatchThread>([this](TShellKitEventList* batch) {
            FWindow->PostMessage(VM_SHELLEVENTS, reinterpret_cast<WPARAM>(batch));
        });
        FDispatchThread->SetFilterEvents(FFilterEvents);
        FDispatchThread->QuietTime = std::chrono::milliseconds(FQuietTime);
        FDispatchThread->Start();
    }
    FShellThread = std::make_unique<TShellSourceThread>(*FDispatchThread);
    FShellThread->Start();
    FDispatchThread->AddRef();
}

bool TShellChangeNotifier::UnRegisterShellChangeNotify(QObject* control)
{
    const std::lock_guard guard(FLock);
    TShellChangeControl* entry = Find(control);
    if (!entry || !entry->ShellRegistered)
        return false;
    entry->ShellRegistered = false;
    if (FShellThread)
        FShellThread->Release();
    TakeBackPosted(control);
    if (!entry->KernelRegistered) {
        QObject::disconnect(control, &QObject::destroyed, FWindow.get(), nullptr);
        for (PItemIDList folder : entry->WatchFolders)
            PIDLFree(folder);
        FControls.erase(std::find_if(FControls.begin(), FControls.end(), [&](const auto& e) { return e.get() == entry; }));
    }
    UpdateWatches();
    StopUnusedThreads();
    return true;
}

bool TShellChangeNotifier::UnRegisterChangeNotify(QObject* control)
{
    return UnRegisterShellChangeNotify(control);
}

void TShellChangeNotifier::UnRegisterAllControls()
{
    std::vector<QObject*> controls;
    {
        const std::lock_guard guard(FLock);
        for (const auto& entry : FControls)
            controls.push_back(const_cast<QObject*>(entry->Key));
    }
    for (QObject* control : controls)
        UnRegisterChangeNotify(control);
}

int TShellChangeNotifier::RegisteredCount()
{
    const std::lock_guard guard(FLock);
    return static_cast<int>(std::count_if(FControls.begin(), FControls.end(), [](const auto& e) { return e->ShellRegistered; }));
}

void TShellChangeNotifier::ControlDestroyed(const QObject* control)
{
    const std::lock_guard guard(FLock);
    TShellChangeControl* entry = Find(control);
    if (!entry)
        return;
    // why: the control is going; it is unregistered without touching it.
    if (entry->ShellRegistered && FShellThread)
        FShellThread->Release();
    TakeBackPosted(const_cast<QObject*>(control));
    for (PItemIDList folder : entry->WatchFolders)
        PIDLFree(folder);
    FControls.erase(std::find_if(FControls.begin(), FControls.end(), [&](const auto& e) { return e.get() == entry; }));
    UpdateWatches();
    StopUnusedThreads();
}

void TShellChangeNotifier::StopUnusedThreads()
{
    if (FShellThread && FShellThread->RefCount() <= 0) {
        FShellThread->SetPriority(TThreadPriority::tpNormal);
        FShellThread.reset(); // terminates, wakes and waits for the thread
        if (FDispatchThread)
            FDispatchThread->Release();
    }
    if (FDispatchThread && FDispatchThread->RefCount() <= 0) {
        FDispatchThread.reset();
        TakeBackPosted(FWindow.get());
    }
}

void TShellChangeNotifier::TakeBackPosted(QObject* receiver)
{
    for (const TMessage& message : TakePostedMessages(receiver, VM_SHELLEVENTS))
        reinterpret_cast<TShellKitEventList*>(message.WParam)->Release();
}

bool TShellChangeNotifier::WatchFolder(QObject* control, PCItemIDList folder)
{
    const std::lock_guard guard(FLock);
    TShellChangeControl* entry = Find(control);
    if (!entry || !entry->ShellRegistered || !folder)
        return false;
    for (PCItemIDList known : entry->WatchFolders)
        if (ILIsEqual(known, folder))
            return true;
    entry->WatchFolders.push_back(PIDLMgr().CopyPIDL(folder));
    UpdateWatches();
    return true;
}

bool TShellChangeNotifier::UnwatchFolder(QObject* control, PCItemIDList folder)
{
    const std::lock_guard guard(FLock);
    TShellChangeControl* entry = Find(control);
    if (!entry)
        return false;
    auto& folders = entry->WatchFolders;
    const auto it = std::find_if(folders.begin(), folders.end(), [&](PCItemIDList known) { return ILIsEqual(known, folder); });
    if (it == folders.end())
        return false;
    PIDLFree(*it);
    folders.erase(it);
    UpdateWatches();
    return true;
}

void TShellChangeNotifier::UnwatchAllFolders(QObject* control)
{
    const std::lock_guard guard(FLock);
    if (TShellChangeControl* entry = Find(control)) {
        for (PItemIDList folder : entry->WatchFolders)
            PIDLFree(folder);
        entry->WatchFolders.clear();
        UpdateWatches();
    }
}

void TShellChangeNotifier::UpdateWatches()
{
    if (!FShellThread)
        return;
    TWatchSet watches;
    for (const auto& entry : FControls) {
        if (!entry->ShellRegistered)
            continue;
        for (PCItemIDList folder : entry->WatchFolders) {
            for (const std::string& path : WatchedPaths(folder)) {
                auto it = std::find_if(watches.begin(), watches.end(), [&](const auto& w) { return w->Path == path; });
                if (it == watches.end()) {
                    watches.push_back(std::make_unique<TWatchedFolder>());
                    watches.back()->Path = path;
                    it = watches.end() - 1;
                }
                auto& forms = (*it)->Forms;
                if (std::none_of(forms.begin(), forms.end(), [&](PCItemIDList f) { return ILIsEqual(f, folder); }))
                    forms.push_back(PIDLMgr().CopyPIDL(folder));
            }
        }
    }
    FShellThread->SetWatches(std::move(watches));
}

int TShellChangeNotifier::WatchedFolderCount()
{
    const std::lock_guard guard(FLock);
    return FShellThread ? FShellThread->WatchCount() : 0;
}

void TShellChangeNotifier::PostShellChange(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2)
{
    const std::lock_guard guard(FLock);
    if (FShellThread)
        FShellThread->PostManualChange(kind, list1, list2);
}

void TShellChangeNotifier::NotifyEvent(TShellKitEventKind kind, PCItemIDList list1, PCItemIDList list2)
{
    const std::lock_guard guard(FLock);
    if (FDispatchThread)
        FDispatchThread->AddEvent(kind, list1, list2);
}

bool TShellChangeNotifier::FilterEvents()
{
    const std::lock_guard guard(FLock);
    return FFilterEvents;
}

void TShellChangeNotifier::SetFilterEvents(bool value)
{
    const std::lock_guard guard(FLock);
    FFilterEvents = value;
    if (FDispatchThread)
        FDispatchThread->SetFilterEvents(value);
}

void TShellChangeNotifier::SetQuietTimeForTesting(int milliseconds)
{
    const std::lock_guard guard(FLock);
    FQuietTime = milliseconds;
    if (FDispatchThread)
        FDispatchThread->QuietTime = std::chrono::milliseconds(milliseconds);
}

bool TShellChangeNotifier::ShellThreadRunning()
{
    const std::lock_guard guard(FLock);
    return FShellThread != nullptr;
}

bool TShellChangeNotifier::DispatchThreadRunning()
{
    const std::lock_guard guard(FLock);
    return FDispatchThread != nullptr;
}

void TShellChangeNotifier::StripDuplicateEvents(std::vector<TShellKitEvent*>& events)
{
    const TPIDLManager& m = PIDLMgr();
    std::vector<bool> drop(events.size(), false);
    for (std::size_t i = 0; i < events.size(); ++i) {
        for (std::size_t j = 0; j < events.size() && !drop[i]; ++j) {
            if (i == j || drop[j] || !events[i]->PIDL1 || !events[j]->PIDL1)
                continue;
            const bool equal = ILIsEqual(events[i]->PIDL1, events[j]->PIDL1);
            // invariant: of equal events the first stays, so two equal events never drop each other.
            if ((equal && j < i) || (!equal && m.IsSubPIDL(events[i]->PIDL1, events[j]->PIDL1)))
                drop[i] = true;
        }
    }
    std::vector<TShellKitEvent*> kept;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (drop[i])
            delete events[i];
        else
            kept.push_back(events[i]);
    }
    events.swap(kept);
}

void TShellChangeNotifier::HandleWindowMessage(TMessage& message)
{
    if (message.Msg == VM_SHELLEVENTS)
        Deliver(reinterpret_cast<TShellKitEventList*>(message.WParam));
}

void TShellChangeNotifier::Deliver(TShellKitEventList* batch)
{
    {
        const std::lock_guard guard(FLock);
        batch->ID = ++FSerial;
        std::vector<QPointer<QObject>> receivers;
        for (const auto& entry : FControls)
            if (entry->ShellRegistered)
                receivers.push_back(entry->Control);
        batch->AddToRefCount(static_cast<int>(receivers.size()));
        for (const QPointer<QObject>& receiver : receivers) {
            if (receiver)
                PostMessageTo(receiver.data(), TMessage{VM_SHELLEVENTS, reinterpret_cast<WPARAM>(batch), 0, 0});
            else
                batch->Release();
        }
    }
    batch->Release();
}
