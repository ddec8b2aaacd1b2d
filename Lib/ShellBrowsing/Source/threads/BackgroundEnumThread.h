#pragma once
// TShellBackGndEnumThread lists a folder away from the GUI thread, so that a folder of many
// items (or one on a slow drive) never freezes the window. It makes the items' namespaces, reads
// each item once (whether it is a folder) and, when the list is ordered by name, their sort keys,
// and hands them over in batches posted as VM_ENUMBATCH (WParam: a TEnumBatch the receiver
// owns). The first batch is small so that the first rows show at once; later ones grow, so the
// receiver merges a folder of n items in O(n log n).
//
// The thread never touches a widget: the receiver is only the address its batches are posted
// to, and Cancel (under the same lock as every post) guarantees that nothing is posted after
// it returns. The owner then takes back what was posted and not yet delivered.

#include "ShellBrowsing/Source/namespace/ShellConsts.h"
#include "ShellBrowsing/Source/idlist/PIDL.h"
#include "ShellBrowsing/Source/threads/ShellThread.h"

#include "Platform/core/Messages.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class QObject;
class TNamespace;

enum : UINT { VM_ENUMBATCH = 0x8038 };

// One listed item with what orders it: folders first, then by name key, then by the name's bytes.
struct TEnumEntry {
    TNamespace* Item = nullptr;
    bool Folder = false;
    std::string_view Name; // in the item's own list
    std::u32string Key;
};

// Fills the entry's order fields from its item; false for an item that is no file-system entry
// (those have no name order of their own).
bool KeyEnumEntry(TEnumEntry& entry);
bool EnumEntryLess(const TEnumEntry& a, const TEnumEntry& b);

struct TEnumBatch {
    TEnumBatch() = default;
    ~TEnumBatch();
    TEnumBatch(const TEnumBatch&) = delete;
    TEnumBatch& operator=(const TEnumBatch&) = delete;

    // Owned until taken (the taker clears Item); ordered by EnumEntryLess when Keyed.
    std::vector<TEnumEntry> Entries;
    bool Keyed = false;
    // The listing's last batch.
    bool Last = false;
    // The folder could not be opened.
    bool Failed = false;
    // Names the listing the batch belongs to.
    std::uint64_t Ticket = 0;
};

class TShellBackGndEnumThread : public TShellThread {
public:
    // `keyed`: the receiver orders by name, so the thread computes the keys and sorts each batch.
    TShellBackGndEnumThread(PCItemIDList folder, QObject* receiver, TFileObjects objects, bool keyed,
                            std::uint64_t ticket);
    ~TShellBackGndEnumThread() override;

    // After it returns nothing more is posted; the work ends at its next item.
    void Cancel();
    std::uint64_t Ticket() const { return FTicket; }

    // Tests: a thread stops itself before or after its first batch, until SetSuspended(false).
    enum class THoldPoint { None, BeforeFirstBatch, AfterFirstBatch };
    static void HoldForTesting(THoldPoint point);

protected:
    void Execute() override;

private:
    bool Post(std::unique_ptr<TEnumBatch> batch);

    PItemIDList FFolder;
    TFileObjects FObjects;
    bool FKeyed;
    std::uint64_t FTicket;
    std::mutex FPostLock;
    QObject* FReceiver;
};
