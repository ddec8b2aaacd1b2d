#pragma once
// The file operations behind the item verbs: copy, move and link items into a folder, delete
// them permanently, make a new folder. Paths are file-system bytes. Nothing is ever overwritten
// without asking: a name that exists in the target asks whether to replace it (Yes), skip it (No)
// or stop (Cancel); folders of the same name are merged item by item. A file is copied to a
// temporary name beside its target and renamed into place, so a failed copy leaves nothing
// half-written. Every failure is recorded in the report, and the operation goes on with the
// next item.

#include <string>
#include <vector>

struct TOperationReport {
    std::vector<std::string> Errors; // one line per failure
    bool Cancelled = false;
    int Done = 0;                    // items that reached their target
    bool Ok() const { return Errors.empty() && !Cancelled; }
};

enum class TTransferMode { Copy, Move, Link };

namespace ShellFileOps {

// Copies, moves or links each source into the target folder. Copying an item into its own
// folder makes "name (copy)"; moving it there does nothing; a folder never goes into itself.
void TransferItems(const std::vector<std::string>& sources, const std::string& targetFolder, TTransferMode mode,
                   TOperationReport& report);
// Deletes the items for good (folders with everything in them; links, not their targets).
void DeleteItems(const std::vector<std::string>& paths, TOperationReport& report);
// Asks "Are you sure you want to permanently delete ...?"; true for Yes.
bool ConfirmPermanentDelete(const std::vector<std::string>& paths);
// Creates "New Folder" (or "New Folder (n)") in the folder; its path, or "" on failure.
std::string NewFolder(const std::string& folder, TOperationReport& report);
// Shows every failure of the report in one message; nothing when there was none.
void ShowReport(const TOperationReport& report);

// The program's questions (Application's message box; without an application the answer is
// Cancel or No, so nothing is replaced or deleted unasked).
int AskUser(const std::string& text, unsigned flags);

// Helpers shared by the trash.
bool EntryExists(const std::string& path);
bool IsFolderEntry(const std::string& path);
std::string BaseNameOf(const std::string& path);
std::string ParentOf(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);
// Moves an entry, never over an existing one unless `replace`; across file systems it copies
// and then deletes the source. False with `error` set on failure.
bool MoveEntry(const std::string& from, const std::string& to, bool replace, std::string& error);
// Deletes an entry and everything below it; false with `error` set on the first failure.
bool RemoveTree(const std::string& path, std::string& error);

} // namespace ShellFileOps
