#pragma once
// What the text before the caret says about the completion wanted there. Each test scans
// backwards from the character before the caret over the caret line and then the lines above,
// each from its end.

#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/text/Strings.h"

#include <optional>
#include <string>

// The name of the tag whose "<" the caret stands after, when it is inside an open tag.
std::optional<std::string> OpenTagAt(const TStrings& lines, TBufferCoord caret);

// True inside a CSS rule ("{") or a style attribute's quoted value.
bool InsideCSSValue(const TStrings& lines, TBufferCoord caret);

struct TCSSRequest {
    enum TKind { ckNone, ckProperty, ckValue } Kind = ckNone;
    // ckValue: the property before the ":" (letters, digits, "_" and "-").
    std::string Property;
};
TCSSRequest ScanCSSRequest(const TStrings& lines, TBufferCoord caret);

struct THTMLRequest {
    enum TKind { hkNone, hkTags, hkAttributeNames, hkAttributeValues } Kind = hkNone;
    std::string Tag;
    std::string Attribute; // hkAttributeValues
};
// For input without "<" or "&": attribute values, attribute names or tags.
THTMLRequest ScanHTMLRequest(const TStrings& lines, TBufferCoord caret);

struct TCallAt {
    std::string Name;
    // 2 for the first parameter (the hint line's return type and name come first).
    int ParameterIndex = 2;
};
// The call whose parentheses hold the caret; none when a ";" comes first.
std::optional<TCallAt> CallAt(const TStrings& lines, TBufferCoord caret);
