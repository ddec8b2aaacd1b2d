#pragma once
// File associations on the freedesktop desktop: the extensions the user lists open with Zentu.
// The program is described by "zentu.desktop" in the user's applications folder, each
// extension's MIME type names it as its default in the user's "mimeapps.list", and an
// extension the MIME database does not know gets a small MIME package of our own. The list
// itself is kept in [AssociatedFileTypes] of the main settings file, from which the next
// rewrite learns what to unregister.
//
// Associations on this desktop are per MIME type, so ".php" also claims the other extensions
// of its type. Unregistering removes only what Zentu wrote: a default that another program
// holds by now stays.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TIniFileEx;

// The user's XDG folders: $XDG_DATA_HOME (else ~/.local/share)
// and $XDG_CONFIG_HOME (else ~/.config), without trailing separators.
struct TXdgFolders {
    std::string DataHome;
    std::string ConfigHome;
};
TXdgFolders UserXdgFolders();

// What the user typed as an extension, as it is listed: lower case with one leading dot
// ("php", "PHP" and ".php" give ".php"). "" when it names no extension: empty, dots alone, or
// holding a blank, a path separator or a wildcard.
std::string NormalizeExtension(std::string_view typed);

inline constexpr std::string_view DesktopFileName = "zentu.desktop";

class TFileAssociations {
public:
    TFileAssociations(TXdgFolders folders, std::string programPath);

    // The MIME type of files with this extension: the MIME database's, else our own
    // "application/x-zentu-" + the extension without its dot.
    std::string MimeTypeFor(const std::string& extension) const;
    // The "Exec" line's value: the program quoted as desktop entries require,
    // then "%F".
    std::string ExecLine() const;

    // Unregisters the extensions stored in [AssociatedFileTypes], stores `extensions` there
    // in order and registers them: the desktop file, our MIME packages for unknown types, and
    // the defaults in "mimeapps.list". Entries that name no extension are neither stored nor
    // registered. A file that cannot be written raises the file stream's error; what was
    // written before stays written.
    void Rewrite(TIniFileEx& settings, const std::vector<std::string>& extensions);

    std::string DesktopFile() const;
    std::string MimeAppsFile() const;
    std::string MimePackageFile(const std::string& extension) const;

    // Runs a desktop database tool with its arguments, when it is installed; tests put their
    // own here.
    std::function<void(const std::string& tool, const std::vector<std::string>& arguments)> RunTool;

private:
    void WriteDesktopFile(const std::vector<std::string>& mimeTypes) const;
    void WriteMimeApps(const std::vector<std::string>& removed, const std::vector<std::string>& added) const;

    TXdgFolders FFolders;
    std::string FProgramPath;
};
