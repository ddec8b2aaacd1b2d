#pragma once
// The images of the commands: taken by their freedesktop names from the icon theme of the
// desktop, else from Debian's Tango theme that the program installs, and drawn here for the
// names no theme has. Never the platform's stand-in pictures, which show other things (a trash
// can for Cut).

#include <QIcon>

#include <string_view>

// The theme that stands in for a missing one and that fills the gaps of the desktop's.
inline constexpr std::string_view FallbackIconTheme = "Tango";

// Makes the fallback theme the program's theme when the desktop names none (a bare X server),
// and the theme to look in for names the desktop's theme lacks.
void UseIconThemeOfDesktopOrFallback();

// The image named `name` in the icon naming of freedesktop.org; drawn for "document-save-all"
// and "document-close" when no theme has them; null for other names that no theme has.
QIcon ActionImage(std::string_view name);
