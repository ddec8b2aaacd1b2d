#pragma once
// Item identifier lists: the address of every item of the namespace. A list is a run of items,
// each a 16-bit little-endian byte count cb (counting its own two bytes) followed by cb - 2 bytes
// of data, ended by a 16-bit zero. The empty list (only the terminator) is the desktop, the root.
//
// The data of one item is a format byte (high nibble: the item format version, 1; low nibble:
// the item kind) followed by the kind's name bytes:
//   home, computer, trash   no name (the desktop's three children)
//   volume                  the absolute path of a mount point ("/" is the root folder)
//   entry                   one file-system name, as bytes, inside its parent folder
//   trash entry             the absolute path of an item inside a trash folder's "files"
// Names are bytes as the file system has them, so names that are not UTF-8 survive.
//
// Lists live in memory from one allocator (PIDLAlloc / PIDLFree); TPIDLManager is the one
// place that allocates, copies, splits, compares, frees and streams them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The first bytes of a list; the list goes on in memory after them.
struct TItemIDList {
    std::uint8_t cb[2];
};
using PItemIDList = TItemIDList*;
using PCItemIDList = const TItemIDList*;

enum class TItemKind : std::uint8_t {
    Home = 1,
    Computer = 2,
    Trash = 3,
    Volume = 4,
    Entry = 5,
    TrashEntry = 6,
};

constexpr std::uint8_t ItemFormatVersion = 1;

// Raw allocation of list memory; nullptr when the memory is refused.
PItemIDList PIDLAlloc(std::size_t bytes);
void PIDLFree(PItemIDList list);

// The count of the first item (0 at the terminator).
std::uint16_t ItemCB(PCItemIDList item);
// Kind and name of the first item of `item` (which must not be the terminator).
TItemKind ItemKind(PCItemIDList item);
std::string_view ItemName(PCItemIDList item);
// A new one-item list; nullptr when the name is too long for one item or memory is refused.
PItemIDList MakeItem(TItemKind kind, std::string_view name = {});
// A new empty list (the desktop).
PItemIDList MakeDesktopPIDL();
// A one-item list holding a copy of the first item of `item`.
PItemIDList CopyFirstItem(PCItemIDList item);

// True when `bytes` (exactly `size` long) form one well-made list: every count fits, every item
// has a known format and kind, names are allowed for their kind ("", ".", ".." and names with
// "/" or NUL are refused), and the terminator is the last two bytes.
bool ValidIDListBytes(const std::uint8_t* bytes, std::size_t size);

// The shell's equality and parent tests on lists; both false when either list is nil.
// ILIsParent with `immediate` false is true for any proper ancestor, with true only for the
// direct parent.
bool ILIsEqual(PCItemIDList first, PCItemIDList second);
bool ILIsParent(PCItemIDList parent, PCItemIDList child, bool immediate);
