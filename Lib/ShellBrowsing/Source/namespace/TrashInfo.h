#pragma once
// The freedesktop trash layout: a trash folder holds "files" (the trashed items) and "info"
// (one "<name>.trashinfo" per item, a key file with [Trash Info], Path= and DeletionDate=).
// Path is percent-encoded bytes: absolute for the home trash, relative to the volume's top
// folder for a trash on another volume.

#include <string>

struct TTrashInfo {
    std::string OriginalPath;  // absolute, as bytes
    std::string DeletionDate;  // "YYYY-MM-DDThh:mm:ss", local time
};

// The trash folder of an item inside its "files" folder, and the item's info file.
std::string TrashFolderOfItem(const std::string& filesPath);
std::string TrashInfoFileOf(const std::string& filesPath);
// The top folder of a volume's trash ("" for the home trash).
std::string TrashTopFolder(const std::string& trashFolder);

// Reads the info of an item inside a trash's "files" folder; false when it has none.
bool ReadTrashInfo(const std::string& filesPath, TTrashInfo& info);
// The text of an info file for an item of `originalPath` trashed into `trashFolder`.
std::string TrashInfoText(const std::string& trashFolder, const std::string& originalPath,
                          const std::string& deletionDate);

std::string PercentEncodePath(const std::string& path);
std::string PercentDecode(const std::string& text);
