#pragma once
// Free helpers shared by the IDE: line breaks, GUIDs, path parts, file type names, HTML
// colours, tag case, ending processes by name and doubled slashes in URLs.

#include "common/zuGuid.h"

#include "Platform/graphics/Colors.h"

#include <string>
#include <string_view>

// Every CR LF, lone LF and lone CR becomes CR LF (mode 0), LF (mode 1) or CR (mode 2), the
// [General] LineEnding setting; any other mode leaves the text as it is.
std::string ConvertLineBreaks(std::string_view text, int mode);

bool SameGUID(const TGUID& a, const TGUID& b);

// The part after the last "/" (the whole text when there is none), and the part up to and
// including it ("" when there is none). Local Linux paths and FTP paths both use "/"; ":" and
// "\" are ordinary characters of a Linux file name.
std::string SplitPathName(std::string_view path);
std::string SplitPathDir(std::string_view path);

// "Folder" for a folder; else the system's type name for the name's extension; else
// "%s File" with the upper-case extension, or "Unknown File" for a name without one.
std::string ShellTypeName(const std::string& fileName, bool isFolder);

// "#RRGGBB" in upper-case digits; system colours resolve to their current value.
std::string ColorToHtml(TColor color);

// Changes the letter case of ASCII letters inside markup tags only, outside quoted values.
std::string ChangeTagCase(std::string_view text, bool toLower);

// Ends every process started by this program (directly or through its children) whose
// executable name, without or with its folder, equals `exeName` (letter case ignored).
// The result is that of the last termination; false when none matched.
bool KillProcessesByName(const std::string& exeName);

// Every run of two or more "/" becomes one.
std::string CollapseSlashes(std::string_view text);

// The file of the folder whose name equals `name` without regard to letter case; "" for none.
std::string FindFileNoCase(const std::string& folder, const std::string& name);
