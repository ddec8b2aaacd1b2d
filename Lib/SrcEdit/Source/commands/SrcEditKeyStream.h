#pragma once
// How an editor's key bindings are kept in a form stream: the differences from a reference set
// as the two properties "RemovedKeystrokes" and "AddedKeystrokes", each a collection of items
// with their published Command, ShortCut and ShortCut2, in the class library's binary
// property format (a property name as a short string followed by a tagged value).

#include "SrcEdit/Source/commands/SrcEditKeyCmds.h"

#include "Platform/files/Streams.h"

// The value of "RemovedKeystrokes": the reference's bindings that `keys` no longer has (same
// ShortCut pair and Command), as a collection.
void WriteRemovedKeystrokes(TStream& stream, const TSrcEditKeyStrokes& keys, const TSrcEditKeyStrokes& reference);
// The value of "AddedKeystrokes": the bindings of `keys` that the reference lacks.
void WriteAddedKeystrokes(TStream& stream, const TSrcEditKeyStrokes& keys, const TSrcEditKeyStrokes& reference);

// Reads a "RemovedKeystrokes" value: each item read frees the binding of `keys` with the same
// ShortCut pair when it has the same Command. A value that is not a collection is passed over.
void ReadRemovedKeystrokes(TStream& stream, TSrcEditKeyStrokes& keys);
// Reads an "AddedKeystrokes" value: each item read is appended to `keys` as a copy.
void ReadAddedKeystrokes(TStream& stream, TSrcEditKeyStrokes& keys);

// Writes both named properties when `keys` differ from `reference` (item by item); nothing
// when they are equal. Returns whether anything was written.
bool WriteKeystrokeProperties(TStream& stream, const TSrcEditKeyStrokes& keys, const TSrcEditKeyStrokes& reference);
// Reads the named properties that come next in the stream and applies them to `keys` (which
// start from the reference, normally the defaults). Stops before the first other property, the
// end of the property list or the end of the stream.
void ReadKeystrokeProperties(TStream& stream, TSrcEditKeyStrokes& keys);
