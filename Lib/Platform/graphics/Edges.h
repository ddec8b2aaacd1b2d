#pragma once
// 3-D edges as the platform draws them around buttons and panels: an outer and an inner line
// pair, raised or sunken, on the sides the flags name, optionally filling the middle. Colours
// are the system colours of the palette.

#include "Platform/core/Types.h"

class QPainter;

enum : unsigned {
    BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = 0x5, EDGE_SUNKEN = 0xA, EDGE_ETCHED = 0x6, EDGE_BUMP = 0x9,
};
enum : unsigned {
    BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_RECT = 0xF,
    BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000,
};

// Draws the edge inside `r`; with BF_ADJUST `r` shrinks to the area inside the drawn lines.
void DrawEdge(QPainter& painter, TRect& r, unsigned edge, unsigned flags);
