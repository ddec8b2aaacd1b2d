#pragma once
// Text drawn into a rectangle with the platform's draw-text flags, as the string tree, the
// header's hints and the hint window use them: alignment, single line or word-wrapped lines,
// an ellipsis at the end, right-to-left reading, and measuring (DT_CALCRECT).

#include "Platform/core/Types.h"

#include <QString>

class QFont;
class QPainter;

enum : unsigned {
    DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20, DT_NOCLIP = 0x100, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_EDITCONTROL = 0x2000,
    DT_END_ELLIPSIS = 0x8000, DT_RTLREADING = 0x20000,
};

// Draws `text` into `r` (or, with DT_CALCRECT, only sets `r` to the area the text takes: its
// lower edge, and its right edge to the widest line); answers the text's height. `painter` may
// be null for measuring.
int DrawTextInRect(QPainter* painter, const QFont& font, const QString& text, TRect& r, unsigned flags);
