#pragma once
// TPIDLManager: allocates, copies, measures, splits, compares, frees and streams item
// identifier lists (see PIDL.h). It has no state, so any number may exist; every operation
// accepts nil and never raises on it.

#include "ShellBrowsing/Source/idlist/PIDL.h"

#include "Platform/core/Component.h"

#include <cstdint>

class TStream;

class TPIDLManager : public TObject {
public:
    // Allocates PIDLSize bytes and copies them; nil for nil or when memory is refused.
    PItemIDList CopyPIDL(PCItemIDList list) const;
    // The items of the first, then those of the second, and one terminator. The inputs stay.
    PItemIDList AppendPIDL(PCItemIDList first, PCItemIDList second) const;
    // Sum of the item counts plus 2 for the terminator; 0 for nil.
    std::uint32_t PIDLSize(PCItemIDList list) const;
    // Items before the terminator; 0 for nil and the desktop.
    int IDCount(PCItemIDList list) const;
    PItemIDList NextID(PCItemIDList list) const;
    // The last item inside the same list; the list itself when it has one item or none.
    PItemIDList GetPointerToLastID(PCItemIDList list) const;
    bool IsDesktopFolder(PCItemIDList list) const;
    // Writes zero into the count of the last item, so the list names the parent.
    PItemIDList StripLastID(PItemIDList list) const;
    // As StripLastID, handing back the overwritten count and where it was (0 and nil for nil).
    PItemIDList StripLastIDKeep(PItemIDList list, std::uint16_t& lastCB, PItemIDList& lastID) const;
    bool EqualPIDL(PCItemIDList first, PCItemIDList second) const;
    // True when `prefix` names `list` itself or one of its ancestors.
    bool IsSubPIDL(PCItemIDList list, PCItemIDList prefix) const;
    void FreePIDL(PItemIDList list) const;
    void FreeAndNilPIDL(PItemIDList& list) const;

    // Reads a 32-bit count and that many bytes; a count of zero gives nil. A negative count, a
    // count beyond the stream's end or bytes that are not a well-made list raise EReadError.
    PItemIDList LoadFromStream(TStream* stream) const;
    // Writes the 32-bit PIDLSize, then the bytes (only the count 0 for nil).
    void SaveToStream(TStream* stream, PCItemIDList list) const;
};

// The manager the library shares (any thread may use it: it has no state).
TPIDLManager& PIDLMgr();

// Owns one list and frees it at the end of its scope.
class TPIDLHolder {
public:
    TPIDLHolder() = default;
    explicit TPIDLHolder(PItemIDList list) : FList(list) {}
    ~TPIDLHolder() { PIDLFree(FList); }
    TPIDLHolder(const TPIDLHolder&) = delete;
    TPIDLHolder& operator=(const TPIDLHolder&) = delete;
    TPIDLHolder(TPIDLHolder&& other) noexcept : FList(other.Release()) {}
    TPIDLHolder& operator=(TPIDLHolder&& other) noexcept
    {
        Reset(other.Release());
        return *this;
    }

    PItemIDList Get() const { return FList; }
    explicit operator bool() const { return FList != nullptr; }
    PItemIDList Release()
    {
        PItemIDList list = FList;
        FList = nullptr;
        return list;
    }
    void Reset(PItemIDList list = nullptr)
    {
        if (list != FList)
            PIDLFree(FList);
        FList = list;
    }

private:
    PItemIDList FList = nullptr;
};
