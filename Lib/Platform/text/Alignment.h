#pragma once
// Horizontal placement of a text within its box, as the class library numbers it (stored in
// settings as these numbers).
enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
