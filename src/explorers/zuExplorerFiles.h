#pragma once
// What the file explorer and the project explorer share about their local views: which files a
// filter mask lets through, which items open as documents, and wiring a view to its filter box
// and to the opening of documents.

#include <functional>
#include <string>

// The filter box's filter until the editor's filters arrive: every file.
inline constexpr const char* AllFilesFilter = "All Formats|*.*";

class TCustomShellExplorerTree;
class TFilterComboBox;
class TNamespace;

// Whether a file of this name is listed under `mask` (patterns separated by ";"): a pattern
// "*.*" lists every file; otherwise the file's extension (dot included, letter case ignored)
// must be the whole extension of a pattern "*.ext". A name without extension is listed only
// under "*.*".
bool FileMatchesFilterMask(const std::string& mask, const std::string& fileName);

// An item that opens as a document: a file of the file system that is no folder, link,
// temporary, removable or shared item.
bool OpensAsDocument(TNamespace& item);

// The path of the view's first selected item when it opens as a document, else "".
std::string SelectedDocumentPath(TCustomShellExplorerTree& view);

using TOpenDocumentEvent = std::function<void(const std::string& path)>;

// The view lists folders and the files that the filter box's mask lets through, and is listed
// again (keeping its state) when another filter is chosen; executing an item (double-click,
// Enter) opens the selected file as a document through `open` instead of running it.
void LinkExplorerView(TCustomShellExplorerTree& view, TFilterComboBox& filter, bool restoreUppermost,
                      const TOpenDocumentEvent& open);
