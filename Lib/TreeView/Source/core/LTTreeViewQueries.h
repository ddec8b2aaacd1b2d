#pragma once
// The standard tree-view queries a tree answers, so that accessibility and automation clients
// can read it like a platform tree view: an item's data, an item's rectangle and the item next
// to another in a given relation.

#include "TreeView/Source/core/LTTypes.h"

#include "Platform/core/Messages.h"

enum : UINT {
    TVM_FIRST = 0x1100,
    TVM_GETITEMRECT = TVM_FIRST + 4,
    TVM_GETNEXTITEM = TVM_FIRST + 10,
    TVM_GETITEMA = TVM_FIRST + 12,
};

// The relations of TVM_GETNEXTITEM (WParam); the relative ones need a node in LParam.
enum : WPARAM {
    TVGN_ROOT = 0x0, TVGN_NEXT = 0x1, TVGN_PREVIOUS = 0x2, TVGN_PARENT = 0x3, TVGN_CHILD = 0x4,
    TVGN_FIRSTVISIBLE = 0x5, TVGN_NEXTVISIBLE = 0x6, TVGN_PREVIOUSVISIBLE = 0x7, TVGN_DROPHILITE = 0x8,
    TVGN_CARET = 0x9, TVGN_LASTVISIBLE = 0xA,
};

enum : unsigned {
    TVIF_TEXT = 0x1, TVIF_IMAGE = 0x2, TVIF_PARAM = 0x4, TVIF_STATE = 0x8, TVIF_HANDLE = 0x10,
    TVIF_SELECTEDIMAGE = 0x20, TVIF_CHILDREN = 0x40,
};
enum : unsigned {
    TVIS_FOCUSED = 0x1, TVIS_SELECTED = 0x2, TVIS_CUT = 0x4, TVIS_DROPHILITED = 0x8, TVIS_EXPANDED = 0x20,
    TVIS_OVERLAYMASK = 0x0F00, TVIS_STATEIMAGEMASK = 0xF000,
};

// The item record of TVM_GETITEMA (LParam): Mask names what to fill in; the text is written to
// the caller's buffer (UTF-8, cut to TextMax - 1 bytes at a character boundary, terminated).
struct TTVItem {
    unsigned Mask = 0;
    PLazyNode Item = nullptr;
    unsigned State = 0;
    unsigned StateMask = 0;
    char* Text = nullptr;
    int TextMax = 0;
    int Image = 0;
    int SelectedImage = 0;
    int Children = 0;
};

// The block of TVM_GETITEMRECT (LParam): the node asked about; the rectangle is written back.
struct TTVItemRect {
    PLazyNode Item = nullptr;
    TRect Rect;
};
