#pragma once
// The program's own message texts. "%s" takes a text and "%d" a number (Format).

#include <string_view>

inline constexpr std::string_view sFileExistsOverwrite = "A file named %s already exists.\r\nDo you wish to overwrite it?";
inline constexpr std::string_view sTextNotFound = "\"%s\" not found";
inline constexpr std::string_view sConnectionClosedReconnect = "Connection closed.\r\nDo you want to reconnect ?";
inline constexpr std::string_view sFileModifiedReload =
    "%s has been modified by another application.\r\nDo you want to reload this file ?";
inline constexpr std::string_view sReloadLoseChanges = "Reload File and Lose Changes ?";
inline constexpr std::string_view sTemplateExistsOverwrite =
    "A template with this name already exists.\r\nDo you wish to overwrite it?";
inline constexpr std::string_view sUnableToContinue = "Unable to Continue! \r\n Error Code: %d";
inline constexpr std::string_view sUnableToFind = "Unable to find %s! Please check environment options";
inline constexpr std::string_view sSaveChanges = "Save changes to %s ?";
inline constexpr std::string_view sReplaceOccurrence = "Replace this occurence of \"%s\"?";
inline constexpr std::string_view sShortcutAssigned =
    "Selected shortcut [%s] is assigned to \"%s\". Would you like to overwrite it ?";
inline constexpr std::string_view sInstallationCorrupted =
    "Zentu installation seems to be corrupted!\r\nYou should re-install the software";
inline constexpr std::string_view sDeleteSelected = "Do you really want to delete the selected %d files/directories ?";
inline constexpr std::string_view sUntitled = "Untitled";
inline constexpr std::string_view sDocumentNotFound = "Document %s not found";
inline constexpr std::string_view sBinaryFile = "%s seems to be a binary file.\r\nEditing it as text may damage it.";
inline constexpr std::string_view sDefaultIndexFiles = "index.php,index.phtml,index.html,index.htm";
inline constexpr std::string_view sInvalidDirectoryName = "%s is not a valid directory name";
inline constexpr std::string_view sInvalidFileName = "%s is not a valid filename";
inline constexpr std::string_view sNewDirectory = "New Directory";
inline constexpr std::string_view sEnterNewDirectoryName = "Enter The Name For The New Directory";
inline constexpr std::string_view sEnterTemplateName = "Enter a Name for this new Template:";
inline constexpr std::string_view sNoWebBrowser =
    "No web browser could be started to show %s.\r\nInstall a web browser, or make one the default web browser "
    "of your desktop.";
inline constexpr std::string_view sOutsideDocumentRoot =
    "%s lies outside the document root of the current project (%s), so the web server cannot serve it.\r\n"
    "To run it, make a project for its folder: File > New Project..., with that folder as the local document "
    "root, or choose that folder as the current project's document root in Project > Project Options...";

// The error code shown with sUnableToContinue when the per-user folder cannot be made.
inline constexpr int UserFolderErrorCode = 99;
