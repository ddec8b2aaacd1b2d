#pragma once
// The properties of one or more file-system items in a small non-modal dialog: name, type,
// location, size, link target, times, permissions and owner (for several items their number
// and total size). The dialog deletes itself when closed. Its value labels are named after
// their rows ("name", "type", "location", "size", "target", "modified", "accessed", "created",
// "permissions", "owner").

#include <QDialog>
#include <string>
#include <vector>

// The dialog, shown; nil when no item could be read.
QDialog* ShowPropertiesDialog(const std::vector<std::string>& paths, QWidget* parent = nullptr);
// "rwxr-xr-x" for the mode bits.
QString PermissionsText(unsigned mode);
