// Project records in "projects.dat".

#include "projects/zuProjects.h"

#include "settings/zentuIniFiles.h"

#include "Platform/text/Strings.h"

std::string ProjectSection(const TGUID& project)
{
    return GUIDToString(project);
}

std::string ReadProjectString(const TIniFileEx& projects, const TGUID& project, std::string_view key,
                              std::string_view defaultValue)
{
    return projects.ReadString(ProjectSection(project), std::string(key), std::string(defaultValue));
}

void WriteProjectString(TIniFileEx& projects, const TGUID& project, std::string_view key, const std::string& value)
{
    projects.WriteString(ProjectSection(project), std::string(key), value);
}

int ReadProjectServer(const TIniFileEx& projects, const TGUID& project)
{
    return projects.ReadInteger(ProjectSection(project), std::string(ProjectKeys::HTTPServer), psInternal);
}

TGUID ReadProjectAccount(const TIniFileEx& projects, const TGUID& project)
{
    TGUID account;
    if (!TryStringToGUID(ReadProjectString(projects, project, ProjectKeys::FTPAccount, GUIDToString(NullGUID)), account))
        return NullGUID;
    return account;
}

namespace {

std::vector<TProjectListEntry> ReadNamedSections(const TIniFileEx& ini, const std::string& nameKey,
                                                 std::string_view defaultName)
{
    TStringList sections;
    ini.ReadSections(sections);
    std::vector<TProjectListEntry> entries;
    entries.reserve(static_cast<size_t>(sections.Count()));
    for (int i = 0; i < sections.Count(); ++i)
        entries.push_back({StringToGUID(sections[i]), ini.ReadString(sections[i], nameKey, std::string(defaultName))});
    return entries;
}

} // namespace

std::vector<TProjectListEntry> ReadProjectList(const TIniFileEx& projects)
{
    return ReadNamedSections(projects, std::string(ProjectKeys::ProjectName), ProjectDefaults::ProjectName);
}

std::vector<TProjectListEntry> ReadAccountList(const TIniFileEx& accounts)
{
    return ReadNamedSections(accounts, "Name", ProjectDefaults::AccountName);
}
