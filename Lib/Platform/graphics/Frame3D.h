#pragma once
// The one-pixel 3D edge: `topLeft` along the left and upper sides, `bottomRight` along the
// others; the rectangle shrinks by the edge.

#include "Platform/graphics/Canvas.h"

void Frame3D(TCanvas& canvas, TRect& r, TColor topLeft, TColor bottomRight);
