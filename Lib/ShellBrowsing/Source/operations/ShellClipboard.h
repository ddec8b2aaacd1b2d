#pragma once
// Files on the clipboard and in drags, in the forms other Linux programs read and write:
// "text/uri-list" (file URLs of the paths' bytes, percent-encoded), "x-special/gnome-copied-files"
// ("copy" or "cut", then the URLs) and "application/x-kde-cutselection" ("1" after a cut), and
// the paths as plain text. Data from another program is read within its own size: anything that
// is not a local file URL is left out.

#include <QMimeData>
#include <memory>
#include <string>
#include <vector>

namespace ShellClipboard {

std::unique_ptr<QMimeData> MakeFileMimeData(const std::vector<std::string>& paths, bool cut);
// The local files of the data; `cut` tells whether they were cut. False when there are none.
bool ReadFileMimeData(const QMimeData* data, std::vector<std::string>& paths, bool& cut);

// The system clipboard.
void PutFiles(const std::vector<std::string>& paths, bool cut);
bool ClipboardFiles(std::vector<std::string>& paths, bool& cut);
// Empties the clipboard after a cut was pasted, so the items are not moved twice.
void ClearAfterCutPaste();

std::string FileUrl(const std::string& path);

} // namespace ShellClipboard
