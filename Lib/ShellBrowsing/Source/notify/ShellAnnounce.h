#pragma once
// Announces a change that this program made itself (a new folder, a rename) to the change
// notifier, as the system's own change notification would; nothing happens while no control
// listens for changes.

#include "ShellBrowsing/Source/notify/ShellEvents.h"

#include <string>

// The paths are file-system paths as bytes; the second only for renames.
void AnnounceShellChange(TShellKitEventKind kind, const std::string& path1, const std::string& path2 = {});
