#pragma once
// The class library's small vocabulary shared by controls: cursor numbers, scroll-bar and
// border settings, text alignment, reading order and drag states.

#include "Platform/core/Set.h"

#include <qnamespace.h>

// A cursor number; 0 is the default cursor of the control.
using TCursor = int;

// The class library's stock cursors.
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TBorderStyle { bsNone, bsSingle };
// Unscoped: print settings store these numbers.
enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
// Where a text lies vertically in its control.
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
// Where a drag stands relative to a control that it passes over.
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// The state of an owner-drawn item as the platform reports it while measuring and drawing; the
// first eight flags are the low byte of the platform's state word.
enum TOwnerDrawStateFlag {
    odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
    odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit,
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;

// The shape a stock cursor number stands for; numbers without a shape give the arrow.
Qt::CursorShape CursorShape(TCursor cursor);
