#pragma once
// The freedesktop trash: items deleted to the trash go to the trash folder of their volume
// ("files" and "info", so every other desktop program sees them and can restore them), trashed
// items are restored to where they came from, or deleted for good.

#include "ShellBrowsing/Source/operations/FileOperations.h"

namespace ShellTrash {

// Moves each item to its trash. An item that cannot go to the trash (no trash on its volume,
// no permission) is deleted for good only when the user answers Yes to the question.
void TrashItems(const std::vector<std::string>& paths, TOperationReport& report);
// Moves one item to its trash; its path inside "files" on success, "" with `error` set.
std::string TrashItem(const std::string& path, std::string& error);
// Puts trashed items (paths inside a trash's "files") back where they were; an item whose
// place is taken asks whether to replace it.
void RestoreItems(const std::vector<std::string>& trashedPaths, TOperationReport& report);
// Deletes trashed items for good with their info files (the caller asked first).
void PurgeItems(const std::vector<std::string>& trashedPaths, TOperationReport& report);
// True for a path inside a trash's "files" folder.
bool IsTrashedItem(const std::string& path);

} // namespace ShellTrash
