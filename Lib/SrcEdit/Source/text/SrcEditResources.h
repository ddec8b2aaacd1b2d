#pragma once
// The editor's bitmap resources, drawn in code at their fixed sizes: "SrcEditInternalImages"
// (ten 11 x 14 bookmark images, numbered 0 to 9, in one 110 x 14 strip) and "SrcEditWrapped"
// (the 15 x 14 word-wrap glyph on a clLime background that serves as its mask colour).

#include "Platform/core/Exceptions.h"

#include <QImage>
#include <string>

ZENTU_DECLARE_EXCEPTION(EResNotFound, Exception);

// The bitmap of a named resource (letter case ignored); EResNotFound "Resource %s not found"
// for a name the editor does not have.
QImage LoadSrcEditBitmap(const std::string& resourceName);
