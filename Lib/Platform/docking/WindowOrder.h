#pragma once
// The stacking order of the program's own top-level windows, as far as the program can know it:
// a window moves to the top when it is shown, activated or raised. Hit-testing among windows
// (which window lies under the mouse) looks only at these windows, topmost first, and skips
// windows that let the mouse through (overlays).

#include "Platform/core/Types.h"

#include <vector>

class QWidget;

// Starts following the order; called by anything that will ask (idempotent).
void TrackWindowOrder();
// The visible top-level windows of the program, topmost first.
std::vector<QWidget*> WindowsInZOrder();
// Raises the window and records it as the topmost.
void BringWindowToTop(QWidget* window);
// The topmost visible window of the program whose frame contains `screenPoint`, or null.
QWidget* WindowAtPoint(TPoint screenPoint);
