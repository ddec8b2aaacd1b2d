#pragma once
// Helpers of the string tree's exports that stand on their own: the platform's HTML clipboard
// block around a fragment, UTF-16 to UTF-8 as the Unicode standard publishes it, and the
// escaping that keeps cell texts data in HTML.

#include <QString>
#include <string>

// The HTML clipboard block: a 97-byte header of offsets, then the document around `fragment`.
std::string MakeHTMLClipboardBlock(const std::string& fragment);
// UTF-16 to UTF-8; a surrogate that is not followed by a low surrogate is dropped.
std::string WideToUTF8(const QString& text);
// `text` as HTML character data (& < > " escaped), in UTF-8.
std::string HtmlEscaped(const QString& text);
// The list separator of the system's locale (';' where the comma is the decimal separator).
char ListSeparator();
