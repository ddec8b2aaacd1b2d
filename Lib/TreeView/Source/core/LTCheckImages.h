#pragma once
// The check image sets shared by all trees. Every set holds 25 square images in one layout:
// 0 empty; 1-4 radio button unchecked; 5-8 radio button checked; 9-12 check box unchecked;
// 13-16 check box checked; 17-20 check box mixed; 21-24 push button; within each group of four:
// normal, hot, pressed, disabled. The utility set holds the header's glyphs: 0 and 1 drop marks
// left and right, 2 to 5 sort glyphs, 6 to 8 the parts of the hot stripe of XP-style buttons.

#include "TreeView/Source/core/LTTypes.h"

class TCustomImageList;

// The global set of a check image kind; null for ckCustom.
TCustomImageList* CheckImagesForKind(TCheckImageKind kind);
TCustomImageList* UtilityGlyphSet();

void CreateCheckImageSets();
void FreeCheckImageSets();
