#pragma once
// What the FTP explorer shows of a directory listing and how it orders, names and asks about
// the rows; no window is needed for any of it.

#include "ftp/client/zuFTPListing.h"

#include <QIcon>

#include <string>
#include <string_view>
#include <vector>

// The list's columns, in their order.
enum TFTPExplorerColumn { fcFilename, fcSize, fcType, fcDate, fcPermission, fcColumnCount };

// The text a row shows in a column: the name; the decimal size of a file (empty for a folder
// or link); the shell's type name, or "-> target" for a link; the date in the system's date and
// time format (empty when the server gave none); the three permission triplets joined.
std::string ListingColumnText(const TFTPListItem& item, int column);
// The small icon of the name, the folder icon for a folder.
QIcon ListingIcon(const TFTPListItem& item);

// Below zero when `a` comes before `b`. The name, the size or the column's text compared
// (texts upper-cased, by character code); folders before files and links; all reversed
// when not ascending.
int CompareListingItems(const TFTPListItem& a, const TFTPListItem& b, int column, bool ascending);

// The file name field for several selected files: each name in double quotes, separated by
// blanks.
std::string QuotedFileNames(const std::vector<std::string>& names);

// The question before deleting the selected rows: their count, the first six names, and "..."
// when more than five are selected.
std::string DeleteQuestion(const std::vector<std::string>& names);

// A name the explorer may send as a file or folder of the current folder: not empty, without
// any of \ / : * ? " < > |.
bool IsValidRemoteName(std::string_view name);

// The keep-alive command for a choice of 0..3: LIST, PWD, "REST 0", NOOP.
std::string_view KeepAliveCommand(int choice);
