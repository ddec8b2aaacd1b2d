#pragma once
// The gallery's second column: labels, colour buttons, combo boxes, list boxes and a tab bar.

#include "ExLib/run/colors/ExOfficeColorButton.h"

#include "Platform/controls/Forms.h"

// Places the controls at (left, top) on `form`; returns the colour button that drops down the
// IDE's colour panel.
TExOfficeColorButton* AddLabelsColorsAndLists(TCustomForm& form, int left, int top);
