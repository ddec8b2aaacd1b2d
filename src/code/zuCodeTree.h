#pragma once
// The string tree that fills a code window (the code explorer's and the code library's): client
// aligned in its form, with the per-node data of the window and its pictures, not editable.

#include "TreeView/Source/strings/LazyStringTree.h"

#include <functional>

class TCustomImageList;
class TToolWindowForm;

// `image` gives the picture of a node, -1 for none.
TLazyStringTree* CreateCodeTree(TToolWindowForm& form, const std::string& name, int nodeDataSize,
                                TCustomImageList* images, std::function<int(PLazyNode)> image);
