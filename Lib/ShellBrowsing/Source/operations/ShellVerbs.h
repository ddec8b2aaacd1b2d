#pragma once
// The item verbs of this program, run on file-system paths: "open", "cut", "copy", "paste"
// (copies the clipboard's files into the folder, or moves them after a cut), "pastelink"
// (links to them), "delete" (to the trash; for items in the trash, and while Shift is held,
// permanently after a question), "deletepermanently", "restore" (items in the trash go back),
// "link" (a link to each item beside it), "newfolder" and "properties". A verb that fails reports every failure in one message.

#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace ShellVerbs {

// False for an unknown verb, when nothing was done or when something failed.
bool Run(const QString& verb, const std::vector<std::string>& paths, QWidget* window = nullptr);
// What Ctrl+V and Shift+Insert do in an explorer: the clipboard's files go into the folder as
// copies, or moved after a cut (never as links).
bool PasteFromClipboard(const std::string& folder);

} // namespace ShellVerbs
