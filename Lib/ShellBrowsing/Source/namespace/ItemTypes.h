#pragma once
// File types of entries from the shared MIME database, matched by name (the content is never
// read): the type name shown in file lists and the icon-theme names of the entry's icon.

#include "ShellBrowsing/Source/namespace/ItemData.h"

#include <QString>
#include <string>

// The type name: the MIME type's description; for a file whose type is not known, the
// upper-cased extension (dot included) followed by " File", or "File" without an extension.
QString EntryTypeName(const std::string& name, const TItemData& data);
// "primary;fallback" icon names for the system icon table.
QString EntryIconName(const std::string& name, const TItemData& data, bool open);
