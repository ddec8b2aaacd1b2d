#pragma once
// The small pictures of the code windows, drawn here so that they look the same under every
// icon theme: one per kind of code explorer entry, and the category and entry pictures of the
// code library.

class TCustomImageList;

// Class, function, variable and include, at indexes 0 to 3.
void AddCodeKindImages(TCustomImageList& images);
// A node with entries below it (0) and an entry (1).
void AddLibraryImages(TCustomImageList& images);
