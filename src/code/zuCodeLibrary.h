#pragma once
// The code library's reference entries: PHP functions, HTML elements with their attributes, CSS
// properties and JavaScript objects with their members, each a two-level list read from a data
// file of the data folder, with the text that an entry inserts into a document.

#include <span>
#include <string>
#include <vector>

class TCustomSrcEdit;

struct TLibraryEntry {
    std::string Caption;
    std::string InsertText;
    std::vector<TLibraryEntry> Children;
};

enum class TLibraryKind { lkPHP, lkHTML, lkCSS, lkJavaScript };

// The libraries in the order of the window's list.
struct TLibraryInfo {
    TLibraryKind Kind;
    const char* Caption;
    const char* FileName;
};
std::span<const TLibraryInfo> LibraryInfos();

// The entries of one library, in the order of the file. False when its file does not exist
// (`entries` is left as it was); a file that is not well-formed XML raises with the reason.
bool LoadLibraryEntries(TLibraryKind kind, const std::string& dataFolder, std::vector<TLibraryEntry>& entries);

// Replaces the selection with `text` (or inserts it at the caret) as one undo step and puts the
// caret between the brackets of "()" or "[]", else between the tags of "<x></x>"; then scrolls
// the caret into view.
void InsertLibraryText(TCustomSrcEdit& editor, const std::string& text);
