// File associations on the freedesktop desktop.

#include "options/zuFileAssociations.h"

#include "settings/zuSettings.h"

#include "Platform/files/FileNames.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/text/Strings.h"
#include "settings/zuIniText.h"
#include "Platform/text/TextUtils.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstdlib>
#include <set>

namespace {

constexpr std::string_view DefaultApplicationsSection = "Default Applications";
constexpr std::string_view AddedAssociationsSection = "Added Associations";
constexpr std::string_view OwnMimePrefix = "application/x-zentu-";

std::string EnvironmentFolder(const char* variable, const char* fallbackBelowHome)
{
    const char* value = std::getenv(variable);
    // why: the XDG base-directory rules ignore a relative path in these variables
    if (value && value[0] == '/')
        return ExcludeTrailingPathDelimiter(value);
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/" + fallbackBelowHome;
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Runs a tool found on PATH and waits for it; a missing tool is no error (the caches it
// refreshes are optional for the desktop).
void RunInstalledTool(const std::string& tool, const std::vector<std::string>& arguments)
{
    const QString program = QStandardPaths::findExecutable(QString::fromStdString(tool));
    if (program.isEmpty())
        return;
    QStringList list;
    for (const std::string& argument : arguments)
        list << QString::fromStdString(argument);
    QProcess process;
    process.start(program, list);
    if (process.waitForStarted(5000))
        process.waitForFinished(30000);
}

// A "type=app;app;" list without `desktop` (and empty when nothing else is left).
std::string WithoutApplication(const std::string& list, std::string_view desktop)
{
    std::string result;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t end = std::min(list.find(';', start), list.size());
        const std::string entry = Trim(std::string_view(list).substr(start, end - start));
        if (!entry.empty() && entry != desktop)
            result += entry + ";";
        start = end + 1;
    }
    return result;
}

} // namespace

TXdgFolders UserXdgFolders()
{
    return {EnvironmentFolder("XDG_DATA_HOME", ".local/share"), EnvironmentFolder("XDG_CONFIG_HOME", ".config")};
}

std::string NormalizeExtension(std::string_view typed)
{
    std::string text = LowerCase(Trim(typed));
    const size_t start = text.find_first_not_of('.');
    if (start == std::string::npos)
        return "";
    text.erase(0, start);
    for (char c : text)
        if (static_cast<unsigned char>(c) <= ' ' || c == '/' || c == '\\' || c == '*' || c == '?' || c == '[' ||
            c == ']' || c == ';' || c == '=')
            return "";
    return "." + text;
}

TFileAssociations::TFileAssociations(TXdgFolders folders, std::string programPath)
    : RunTool(RunInstalledTool), FFolders(std::move(folders)), FProgramPath(std::move(programPath))
{
}

std::string TFileAssociations::DesktopFile() const
{
    return FFolders.DataHome + "/applications/" + std::string(DesktopFileName);
}

std::string TFileAssociations::MimeAppsFile() const
{
    return FFolders.ConfigHome + "/mimeapps.list";
}

std::string TFileAssociations::MimePackageFile(const std::string& extension) const
{
    return FFolders.DataHome + "/mime/packages/zentu-" + extension.substr(1) + ".xml";
}

std::string TFileAssociations::MimeTypeFor(const std::string& extension) const
{
    const QMimeDatabase database;
    const QMimeType type =
        database.mimeTypeForFile(QStringLiteral("file") + QString::fromStdString(extension),
                                 QMimeDatabase::MatchExtension);
    if (type.isValid() && !type.isDefault())
        return type.name().toStdString();
    return std::string(OwnMimePrefix) + extension.substr(1);
}

std::string TFileAssociations::ExecLine() const
{
    // why: the Exec key is a string value (backslashes doubled) holding a quoted argument, in
    // which ", `, $ and \ take a backslash; a literal % is written %%.
    std::string quoted = "\"";
    for (char c : FProgramPath) {
        if (c == '"' || c == '`' || c == '$')
            quoted += "\\\\";
        if (c == '\\')
            quoted += "\\\\\\";
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + "\" %F";
}

void TFileAssociations::WriteDesktopFile(const std::vector<std::string>& mimeTypes) const
{
    std::string types;
    for (const std::string& type : mimeTypes)
        types += type + ";";
    const std::string text = "[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=Zentu\n"
                             "GenericName=PHP IDE\n"
                             "Comment=Edit and run PHP scripts\n"
                             "Exec=" + ExecLine() + "\n"
                             "Icon=text-x-php\n"
                             "Terminal=false\n"
                             "Categories=Development;IDE;\n"
                             "MimeType=" + types + "\n";
    ForceDirectories(ExtractFileDir(DesktopFile()));
    SaveFileAtomically(DesktopFile(), text);
}

void TFileAssociations::WriteMimeApps(const std::vector<std::string>& removed,
                                      const std::vector<std::string>& added) const
{
    const std::string fileName = MimeAppsFile();
    std::string bytes = FileExists(fileName) ? ReadFileBytes(fileName) : std::string();
    // why: a new file takes the line break of its first line; this desktop's files use LF
    TIniText text(bytes.empty() ? std::string("[") + std::string(DefaultApplicationsSection) + "]\n" : bytes);
    for (const std::string& type : removed) {
        for (std::string_view section : {DefaultApplicationsSection, AddedAssociationsSection}) {
            std::string value;
            if (!text.ReadValue(section, type, value))
                continue;
            const std::string rest = WithoutApplication(value, DesktopFileName);
            if (rest == WithoutApplication(value, ""))
                continue; // not ours
            if (rest.empty())
                text.DeleteKey(section, type);
            else
                text.WriteValue(section, type, rest);
        }
    }
    for (const std::string& type : added) {
        text.WriteValue(DefaultApplicationsSection, type, DesktopFileName);
        std::string value;
        text.ReadValue(AddedAssociationsSection, type, value);
        text.WriteValue(AddedAssociationsSection, type, std::string(DesktopFileName) + ";" +
                                                            WithoutApplication(value, DesktopFileName));
    }
    if (text.Text() == bytes)
        return;
    ForceDirectories(ExtractFileDir(fileName));
    SaveFileAtomically(fileName, text.Text());
}

void TFileAssociations::Rewrite(TIniFileEx& settings, const std::vector<std::string>& extensions)
{
    TStringList stored;
    ReadNumberedList(settings, Settings::AssociatedFileTypesSection, stored);
    std::vector<std::string> listed;
    for (const std::string& entry : extensions) {
        const std::string extension = NormalizeExtension(entry);
        if (!extension.empty() && !Contains(listed, extension))
            listed.push_back(extension);
    }

    std::vector<std::string> addedTypes;
    for (const std::string& extension : listed) {
        const std::string type = MimeTypeFor(extension);
        if (!Contains(addedTypes, type))
            addedTypes.push_back(type);
    }
    std::vector<std::string> removedTypes;
    std::vector<std::string> removedPackages;
    for (int i = 0; i < stored.Count(); ++i) {
        const std::string extension = NormalizeExtension(stored[i]);
        if (extension.empty() || Contains(listed, extension))
            continue;
        const std::string type = MimeTypeFor(extension);
        if (!Contains(addedTypes, type) && !Contains(removedTypes, type))
            removedTypes.push_back(type);
        if (FileExists(MimePackageFile(extension)))
            removedPackages.push_back(MimePackageFile(extension));
    }

    TStringList list;
    for (const std::string& extension : listed)
        list.Add(extension);
    WriteNumberedList(settings, Settings::AssociatedFileTypesSection, list, -1);

    bool packagesChanged = !removedPackages.empty();
    for (const std::string& package : removedPackages)
        DeleteFile(package);
    for (const std::string& extension : listed) {
        const std::string type = MimeTypeFor(extension);
        if (type.rfind(OwnMimePrefix, 0) != 0)
            continue;
        const std::string package =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"" + type + "\">\n"
            "    <comment>" + extension.substr(1) + " file</comment>\n"
            "    <sub-class-of type=\"text/plain\"/>\n"
            "    <glob pattern=\"*" + extension + "\"/>\n"
            "  </mime-type>\n"
            "</mime-info>\n";
        const std::string fileName = MimePackageFile(extension);
        if (FileExists(fileName) && ReadFileBytes(fileName) == package)
            continue;
        ForceDirectories(ExtractFileDir(fileName));
        SaveFileAtomically(fileName, package);
        packagesChanged = true;
    }

    WriteDesktopFile(addedTypes);
    WriteMimeApps(removedTypes, addedTypes);
    if (packagesChanged && RunTool)
        RunTool("update-mime-database", {FFolders.DataHome + "/mime"});
    if (RunTool)
        RunTool("update-desktop-database", {FFolders.DataHome + "/applications"});
}
