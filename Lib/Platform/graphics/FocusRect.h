#pragma once
// The focus rectangle: a dotted one-pixel frame that inverts what lies under it, so that
// drawing it twice leaves the picture as it was.

#include "Platform/graphics/Canvas.h"

void DrawFocusRect(TCanvas& canvas, const TRect& r);
