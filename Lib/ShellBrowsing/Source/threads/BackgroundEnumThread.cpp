#include "ShellBrowsing/Source/threads/BackgroundEnumThread.h"

#include "ShellBrowsing/Source/namespace/ItemTexts.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/Namespace.h"

#include "Platform/core/PostedMessage.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<TShellBackGndEnumThread::THoldPoint> HoldPoint{TShellBackGndEnumThread::THoldPoint::None};

// why: a small first batch paints the first rows at once; doubling keeps the receiver's merges
// at O(n log n) for the whole folder.
constexpr std::size_t FirstBatchSize = 64;

} // namespace

bool KeyEnumEntry(TEnumEntry& entry)
{
    PCItemIDList relative = PIDLMgr().GetPointerToLastID(entry.Item->AbsolutePIDL());
    if (!relative || ItemKind(relative) != TItemKind::Entry)
        return false;
    entry.Folder = entry.Item->IsFolderItem();
    entry.Name = ItemName(relative);
    entry.Key = NameSortKey(entry.Name);
    return true;
}

bool EnumEntryLess(const TEnumEntry& a, const TEnumEntry& b)
{
    if (a.Folder != b.Folder)
        return a.Folder;
    if (a.Key != b.Key)
        return a.Key < b.Key;
    return a.Name < b.Name;
}

TEnumBatch::~TEnumBatch()
{
    for (TEnumEntry& entry : Entries)
        delete entry.Item;
}

TShellBackGndEnumThread::TShellBackGndEnumThread(PCItemIDList folder, QObject* receiver, TFileObjects objects,
                                                 bool keyed, std::uint64_t ticket)
    : TShellThread(false), FFolder(PIDLMgr().CopyPIDL(folder)), FObjects(objects), FKeyed(keyed), FTicket(ticket),
      FReceiver(receiver)
{
}

TShellBackGndEnumThread::~TShellBackGndEnumThread()
{
    Cancel();
    WaitFor();
    PIDLFree(FFolder);
}

void TShellBackGndEnumThread::HoldForTesting(THoldPoint point)
{
    HoldPoint = point;
}

void TShellBackGndEnumThread::Cancel()
{
    {
        const std::lock_guard lock(FPostLock);
        FReceiver = nullptr;
    }
    Terminate();
}

bool TShellBackGndEnumThread::Post(std::unique_ptr<TEnumBatch> batch)
{
    batch->Ticket = FTicket;
    const std::lock_guard lock(FPostLock);
    if (!FReceiver)
        return false;
    PostMessageTo(FReceiver, TMessage{VM_ENUMBATCH, reinterpret_cast<WPARAM>(batch.release()), 0, 0});
    return true;
}

void TShellBackGndEnumThread::Execute()
{
    // The items point at this folder while they are made here; the receiver moves them under
    // its own namespace of the same folder when it takes them.
    TNamespace folder(PIDLMgr().CopyPIDL(FFolder));
    auto batch = std::make_unique<TEnumBatch>();
    batch->Keyed = FKeyed;
    bool keyed = FKeyed;
    std::size_t batchSize = FirstBatchSize;
    bool first = true;
    const auto send = [&](bool last) {
        if (keyed)
            std::sort(batch->Entries.begin(), batch->Entries.end(), EnumEntryLess);
        batch->Keyed = keyed;
        batch->Last = last;
        if (!Post(std::move(batch)))
            return false;
        batch = std::make_unique<TEnumBatch>();
        if (first && !last && HoldPoint.load() == THoldPoint::AfterFirstBatch) {
            SetSuspended(true);
            CheckSuspended();
        }
        first = false;
        return !Terminated();
    };
    const bool opened = folder.OkToBrowse() && folder.ShellFolder();
    if (!opened) {
        batch->Failed = true;
        send(true);
        return;
    }
    if (HoldPoint.load() == THoldPoint::BeforeFirstBatch) {
        SetSuspended(true);
        CheckSuspended();
    }
    try {
        folder.EnumerateFolder(FObjects, [&](TNamespace& parent, PItemIDList relative, bool& stop) {
            auto item = std::make_unique<TNamespace>(relative, &parent);
            TEnumEntry entry;
            entry.Item = item.get();
            if (keyed && !KeyEnumEntry(entry))
                keyed = false;
            if (!keyed)
                entry.Folder = item->IsFolderItem();
            batch->Entries.push_back(std::move(entry));
            item.release();
            if (batch->Entries.size() >= batchSize) {
                batchSize *= 2;
                stop = !send(false);
            }
            stop = stop || Terminated();
            return true;
        });
    } catch (...) {
        // What was read is still handed over; the receiver must not wait for more.
    }
    if (!Terminated())
        send(true);
}
