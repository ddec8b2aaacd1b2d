#pragma once
// Reading and writing the pieces that the stored views share: counts that the remaining bytes
// must be able to hold, the versions this code knows, and lists of item identifier lists.

#include "ShellBrowsing/Source/idlist/PIDLManager.h"

#include <cstdint>
#include <vector>

class TStream;

// The newest stored-view version; older ones load too.
constexpr std::int32_t ViewStreamVersion = 3;

// Raises EReadError for a version below 0 or newer than this code writes.
void CheckStreamVersion(std::int32_t version);
// A 32-bit count of items that take at least `minItemBytes` each; EReadError when negative or
// when the stream cannot hold that many.
std::int32_t ReadBoundedCount(TStream& stream, int minItemBytes);

// A 32-bit count followed by one identifier-list record per list.
std::vector<TPIDLHolder> ReadPIDLList(TStream& stream);
void WritePIDLList(TStream& stream, const std::vector<TPIDLHolder>& lists);
