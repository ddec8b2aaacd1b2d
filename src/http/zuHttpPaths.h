#pragma once
// How the internal HTTP server maps a request onto the document root: the file path of a
// request's document, the containment check that keeps every answer inside the root, the
// index files of a folder, and which files run as PHP.

#include <string>
#include <string_view>
#include <vector>

// The normalised path of `root` (ending with "/") followed by the decoded `document`: "/" and
// "\" both separate names, "." and ".." are resolved, doubled separators collapse. False when
// the document holds a zero byte or climbs above the root; `path` is then left empty.
bool MapDocumentToPath(const std::string& root, std::string_view document, std::string& path);

// True when the existing `path` lies inside `root` once symbolic links are resolved in both
// (the root itself counts as inside); `resolved` is then the path with every link resolved.
// False for anything that cannot be resolved.
bool ResolveInsideRoot(const std::string& root, const std::string& path, std::string& resolved);

// The index list split at "," as it stands (no trimming; empty items stay).
std::vector<std::string> SplitIndexFiles(std::string_view indexFiles);

// The file masks of a file filter "Description|*.a;*.b|Description|*.c": every second field
// split at ";" and trimmed. A filter without "|" is a mask list itself.
std::vector<std::string> FilterMasks(std::string_view filter);

// Wildcard match of a file name against one mask ("*" any run, "?" one character), ignoring
// letter case.
bool MatchesMask(std::string_view fileName, std::string_view mask);

// True when the name part of `fileName` matches one of the filter's masks.
bool IsFileInFilter(std::string_view fileName, std::string_view filter);
