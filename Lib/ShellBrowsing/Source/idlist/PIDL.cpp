#include "ShellBrowsing/Source/idlist/PIDL.h"

#include <cstdlib>
#include <cstring>

namespace {

const std::uint8_t* Bytes(PCItemIDList list)
{
    return reinterpret_cast<const std::uint8_t*>(list);
}

void WriteCB(std::uint8_t* at, std::size_t cb)
{
    at[0] = static_cast<std::uint8_t>(cb & 0xFF);
    at[1] = static_cast<std::uint8_t>((cb >> 8) & 0xFF);
}

std::uint16_t ReadCB(const std::uint8_t* at)
{
    return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

bool NameAllowed(TItemKind kind, std::string_view name)
{
    switch (kind) {
    case TItemKind::Home:
    case TItemKind::Computer:
    case TItemKind::Trash:
        return name.empty();
    case TItemKind::Volume:
    case TItemKind::TrashEntry:
        return !name.empty() && name.front() == '/' && name.find('\0') == std::string_view::npos
            && name.find("/../") == std::string_view::npos && !name.ends_with("/..");
    case TItemKind::Entry:
        return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
            && name.find('\0') == std::string_view::npos;
    }
    return false;
}

// Items before the terminator of a list known to be well made.
std::size_t ItemsSize(PCItemIDList list)
{
    const std::uint8_t* p = Bytes(list);
    std::size_t size = 0;
    while (std::uint16_t cb = ReadCB(p + size))
        size += cb;
    return size;
}

} // namespace

PItemIDList PIDLAlloc(std::size_t bytes)
{
    return static_cast<PItemIDList>(std::malloc(bytes == 0 ? 1 : bytes));
}

void PIDLFree(PItemIDList list)
{
    std::free(list);
}

std::uint16_t ItemCB(PCItemIDList item)
{
    return ReadCB(Bytes(item));
}

TItemKind ItemKind(PCItemIDList item)
{
    return static_cast<TItemKind>(Bytes(item)[2] & 0x0F);
}

std::string_view ItemName(PCItemIDList item)
{
    const std::uint16_t cb = ItemCB(item);
    if (cb <= 3)
        return {};
    return {reinterpret_cast<const char*>(Bytes(item) + 3), static_cast<std::size_t>(cb - 3)};
}

PItemIDList MakeItem(TItemKind kind, std::string_view name)
{
    const std::size_t cb = 3 + name.size();
    if (cb > 0xFFFF)
        return nullptr;
    PItemIDList list = PIDLAlloc(cb + 2);
    if (!list)
        return nullptr;
    auto* p = reinterpret_cast<std::uint8_t*>(list);
    WriteCB(p, cb);
    p[2] = static_cast<std::uint8_t>((ItemFormatVersion << 4) | static_cast<std::uint8_t>(kind));
    if (!name.empty())
        std::memcpy(p + 3, name.data(), name.size());
    WriteCB(p + cb, 0);
    return list;
}

PItemIDList MakeDesktopPIDL()
{
    PItemIDList list = PIDLAlloc(2);
    if (list)
        WriteCB(reinterpret_cast<std::uint8_t*>(list), 0);
    return list;
}

PItemIDList CopyFirstItem(PCItemIDList item)
{
    const std::uint16_t cb = ItemCB(item);
    PItemIDList list = PIDLAlloc(std::size_t{cb} + 2);
    if (!list)
        return nullptr;
    auto* p = reinterpret_cast<std::uint8_t*>(list);
    std::memcpy(p, Bytes(item), cb);
    WriteCB(p + cb, 0);
    return list;
}

bool ValidIDListBytes(const std::uint8_t* bytes, std::size_t size)
{
    if (!bytes || size < 2)
        return false;
    std::size_t at = 0;
    while (at + 2 <= size) {
        const std::uint16_t cb = ReadCB(bytes + at);
        if (cb == 0)
            return at + 2 == size;
        if (cb < 3 || cb > size - at - 2)
            return false;
        const std::uint8_t format = bytes[at + 2];
        if ((format >> 4) != ItemFormatVersion)
            return false;
        const auto kind = static_cast<TItemKind>(format & 0x0F);
        const std::string_view name(reinterpret_cast<const char*>(bytes + at + 3), cb - 3u);
        if (static_cast<std::uint8_t>(kind) < 1 || static_cast<std::uint8_t>(kind) > 6 || !NameAllowed(kind, name))
            return false;
        at += cb;
    }
    return false;
}

bool ILIsEqual(PCItemIDList first, PCItemIDList second)
{
    if (!first || !second)
        return false;
    const std::size_t size = ItemsSize(first);
    return size == ItemsSize(second) && std::memcmp(first, second, size) == 0;
}

bool ILIsParent(PCItemIDList parent, PCItemIDList child, bool immediate)
{
    if (!parent || !child)
        return false;
    const std::uint8_t* p = Bytes(parent);
    const std::uint8_t* c = Bytes(child);
    std::size_t at = 0;
    while (std::uint16_t cb = ReadCB(p + at)) {
        if (ReadCB(c + at) != cb || std::memcmp(p + at, c + at, cb) != 0)
            return false;
        at += cb;
    }
    const std::uint16_t next = ReadCB(c + at);
    if (next == 0)
        return false;
    return !immediate || ReadCB(c + at + next) == 0;
}
