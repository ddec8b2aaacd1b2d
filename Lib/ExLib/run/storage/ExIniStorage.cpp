#include "ExLib/run/storage/ExIniStorage.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/storage/ExExtendedFloat.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/text/TextUtils.h"
#include "utility/UclFileUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <unordered_set>

namespace {

std::string UnescapeLineBreaks(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') {
            result += '\\';
            ++i;
        } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            result += "\r\n";
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

// A backslash doubled, and every line break (CR LF, LF, CR) written as "\n".
// why: a text without line breaks stays as it is, unless reading would change it ("\n" or
// "\\" in it); such a text is escaped too, so that it reads back as written.
std::string EscapeLineBreaks(const std::string& text)
{
    if (text.find_first_of("\r\n") == std::string::npos && UnescapeLineBreaks(text) == text)
        return text;
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\')
            result += "\\\\";
        else if (c == '\r' || c == '\n') {
            result += "\\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else
            result += c;
    }
    return result;
}

// why: a line break would end the key's line, and what follows it would load as other keys or
// sections; the text is cut there, which is all that ever read back.
std::string UpToFirstLineBreak(const std::string& text)
{
    return text.substr(0, text.find_first_of("\r\n"));
}

// Loading trims every byte up to the blank from a line's ends, not only the blank itself.
bool TrimmedOnLoading(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

// A key or section name that the loading rules would read back as another name, or that
// would split its line: refused rather than written.
bool RepresentableName(const std::string& name, bool key)
{
    if (name.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        return false;
    if (!name.empty() && (TrimmedOnLoading(name.front()) || TrimmedOnLoading(name.back())))
        return false;
    return !key || (name.find('=') == std::string::npos && (name.empty() || (name[0] != ';' && name[0] != '[')));
}

bool NameWithin(const std::string& name, const std::string& path)
{
    if (name.size() < path.size() || !SameText(std::string_view(name).substr(0, path.size()), path))
        return false;
    return name.size() == path.size() || name[path.size()] == '\\';
}

} // namespace

// ---- memory file storage

template <class Store>
void TExCustomAppMemoryFileStorage::ChangeFileSettings(Store store)
{
    const bool quiet = ComponentState().Contains(csLoading) || InBatch();
    if (!quiet && FModified)
        CommitChanges();
    store();
    UpdateReadOnlyMark();
    if (!quiet)
        RefreshContent();
}

void TExCustomAppMemoryFileStorage::SetFileName(const std::string& value)
{
    const std::string name = WithDefaultExtension(value, StandardExtension());
    if (name == FFileName)
        return;
    ChangeFileSettings([&] { FFileName = name; });
}

void TExCustomAppMemoryFileStorage::SetLocation(TFileLocation value)
{
    if (value == FLocation)
        return;
    ChangeFileSettings([&] { FLocation = value; });
}

void TExCustomAppMemoryFileStorage::SetOnGetFileName(TExAppStorageFileNameEvent handler)
{
    ChangeFileSettings([&] { FOnGetFileName = std::move(handler); });
}

std::string TExCustomAppMemoryFileStorage::ResolveCustomFileName() const
{
    std::string name = FFileName;
    if (FOnGetFileName)
        FOnGetFileName(const_cast<TExCustomAppMemoryFileStorage*>(this), name);
    return name;
}

std::string TExCustomAppMemoryFileStorage::EffectiveFileName() const
{
    if (FFileName.empty() && FLocation != TFileLocation::flCustom)
        return {};
    const std::string name = ExtractFileName(FFileName);
    switch (FLocation) {
    case TFileLocation::flCustom: return ResolveCustomFileName();
    case TFileLocation::flWindows: return WithTrailingBackslash(WindowsFolderPath()) + name;
    case TFileLocation::flTemp: return WithTrailingBackslash(TempFolderPath()) + name;
    case TFileLocation::flExeFile: return ProgramFolder() + name;
    case TFileLocation::flUserFolder:
        return WithTrailingBackslash(AppDataFolderPath()) + (IsAbsoluteDrivePath(FFileName) ? name : FFileName);
    }
    return {};
}

void TExCustomAppMemoryFileStorage::UpdateReadOnlyMark()
{
    const std::string name = EffectiveFileName();
    TFileEntryInfo info;
    FFileMarkedReadOnly = !name.empty() && FindFileEntry(name, info) &&
                          info.Attributes.Contains(TFileEntryAttribute::faReadOnly);
}

bool TExCustomAppMemoryFileStorage::RefreshDue() const
{
    return !InBatch() && (!FFileLoaded || AutoReload());
}

void TExCustomAppMemoryFileStorage::RefreshContent()
{
    FFileLoaded = true;
    UpdateReadOnlyMark();
}

void TExCustomAppMemoryFileStorage::CommitPendingChanges() noexcept
{
    if (!FModified)
        return;
    try {
        CommitChanges();
    } catch (...) {
        HandleCurrentException();
    }
}

// ---- INI options

void TExAppIniStorageOptions::Assign(const TPersistent& source)
{
    TExAppStorageOptions::Assign(source);
    if (const auto* other = dynamic_cast<const TExAppIniStorageOptions*>(&source)) {
        FReplaceCRLF = other->FReplaceCRLF;
        FPreserveBlanks = other->FPreserveBlanks;
    }
}

// ---- INI storage

std::unique_ptr<TExCustomAppStorageOptions> TExCustomAppIniStorage::OptionsClass() const
{
    return std::make_unique<TExAppIniStorageOptions>();
}

TExAppIniStorageOptions& TExCustomAppIniStorage::IniOptions() const
{
    return static_cast<TExAppIniStorageOptions&>(StorageOptions());
}

void TExCustomAppIniStorage::SectionAndName(const std::string& path, std::string& section, std::string& name) const
{
    TExCustomAppMemoryFileStorage::SectionAndName(path, section, name);
    if (section.empty())
        section = FDefaultSection;
}

std::string TExCustomAppIniStorage::EffectiveSection(const std::string& section) const
{
    std::string result = section;
    if (result.empty() || result[0] == '.')
        result = FDefaultSection + result;
    if (result.empty() || result[0] == '.')
        throw EExLibAppStorageError(ExRes::IniSectionUndefined);
    return result;
}

std::string TExCustomAppIniStorage::SectionOfPath(const std::string& path) const
{
    const std::string absolute = AbsolutePath(path);
    return absolute.empty() ? FDefaultSection : absolute;
}

bool TExCustomAppIniStorage::IniValueExists(const std::string& section, const std::string& key)
{
    RefreshIfDue();
    return FDocument.ValueExists(EffectiveSection(section), key);
}

std::string TExCustomAppIniStorage::ReadIniValue(const std::string& section, const std::string& key)
{
    RefreshIfDue();
    std::string text = FDocument.ReadString(EffectiveSection(section), key, {});
    const TExAppIniStorageOptions& options = IniOptions();
    if (options.ReplaceCRLF())
        text = UnescapeLineBreaks(text);
    if (options.PreserveLeadingTrailingBlanks() && text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

void TExCustomAppIniStorage::WriteIniValue(const std::string& section, const std::string& key, const std::string& value)
{
    RefreshIfDue();
    const std::string target = EffectiveSection(section);
    const TExAppIniStorageOptions& options = IniOptions();
    if (!RepresentableName(target, false) || !RepresentableName(key, true))
        throw EExLibAppStorageError(Format("TExAppIniFileStorage.WriteValue: Invalid name [%s] %s", {target, key}));
    std::string text = options.ReplaceCRLF() ? EscapeLineBreaks(value) : UpToFirstLineBreak(value);
    if (options.PreserveLeadingTrailingBlanks() && !text.empty() &&
        (TrimmedOnLoading(text.front()) || TrimmedOnLoading(text.back()) || (text.front() == '"' && text.back() == '"')))
        text = '"' + text + '"';
    FDocument.WriteString(target, key, text);
    SetModified(true);
}

void TExCustomAppIniStorage::RemoveIniValue(const std::string& section, const std::string& key)
{
    RefreshIfDue();
    FDocument.DeleteKey(EffectiveSection(section), key);
    SetModified(true);
}

bool TExCustomAppIniStorage::ValueExistsAt(const std::string& path)
{
    std::string section, key;
    SectionAndName(path, section, key);
    return IniValueExists(section, key);
}

bool TExCustomAppIniStorage::FolderExistsAt(const std::string& path)
{
    std::string section, key;
    SectionAndName(path, section, key);
    RefreshIfDue();
    return FDocument.SectionExists(EffectiveSection(section.empty() ? key : section + "\\" + key));
}

void TExCustomAppIniStorage::RemoveValueAt(const std::string& path)
{
    std::string section, key;
    SectionAndName(path, section, key);
    if (IniValueExists(section, key)) {
        RemoveIniValue(section, key);
    } else {
        const std::string folder = EffectiveSection(section) + "\\" + key;
        if (FDocument.SectionExists(folder)) {
            FDocument.EraseSection(folder);
            SetModified(true);
        }
    }
    CommitIfDue();
}

void TExCustomAppIniStorage::RemoveTreeAt(const std::string& path)
{
    RefreshIfDue();
    const std::string absolute = AbsolutePath(path);
    // why: only the section itself and those below it at a backslash; "Forms\Main" is no
    // part of "Forms\MainX".
    if (FDocument.EraseSections([&](const std::string& name) { return absolute.empty() || NameWithin(name, absolute); }))
        SetModified(true);
    CommitIfDue();
}

void TExCustomAppIniStorage::ListFolders(const std::string& path, TStrings& names, bool listIsValue)
{
    RefreshIfDue();
    const std::string base = SectionOfPath(path);
    names.Clear();
    std::unordered_set<std::string> listed;
    for (const std::string& section : FDocument.SectionNames()) {
        std::string folder;
        if (base.empty()) {
            folder = section;
        } else {
            if (section.size() <= base.size() + 1 || section[base.size()] != '\\' ||
                !SameText(std::string_view(section).substr(0, base.size()), base))
                continue;
            folder = section.substr(base.size() + 1);
            if (folder.find('\\') != std::string::npos)
                continue;
        }
        if (listIsValue && FDocument.ValueExists(section, "Count"))
            continue;
        if (listed.insert(UpperCase(folder)).second)
            names.Add(folder);
    }
}

void TExCustomAppIniStorage::ListValues(const std::string& path, TStrings& names, bool listIsValue)
{
    RefreshIfDue();
    const std::string section = SectionOfPath(path);
    FDocument.ReadSection(section, names);
    if (!listIsValue || !FDocument.ValueExists(section, "Count"))
        return;
    for (int i = names.Count() - 1; i >= 0; --i) {
        const std::string key = names[i];
        const bool item = key.size() > 4 && SameText(key.substr(0, 4), "Item") && key[4] >= '0' && key[4] <= '9';
        if (SameText(key, "Count") || item)
            names.Delete(i);
    }
    names.Add({});
}

bool TExCustomAppIniStorage::FolderCheck(const std::string& path, bool listIsValue)
{
    RefreshIfDue();
    const std::string section = SectionOfPath(path);
    if (!FDocument.SectionExists(section))
        return false;
    return !(listIsValue && FDocument.ValueExists(section, "Count"));
}

std::string TExCustomAppIniStorage::RawReadString(const std::string& path, const std::string& defaultValue)
{
    std::string section, key;
    SectionAndName(path, section, key);
    if (!IniValueExists(section, key))
        return defaultValue;
    return ReadIniValue(section, key);
}

void TExCustomAppIniStorage::RawWriteString(const std::string& path, const std::string& value)
{
    std::string section, key;
    SectionAndName(path, section, key);
    WriteIniValue(section, key, value);
    CommitIfDue();
}

int TExCustomAppIniStorage::RawReadInteger(const std::string& path, int defaultValue)
{
    std::string section, key;
    SectionAndName(path, section, key);
    if (!IniValueExists(section, key))
        return defaultValue;
    const std::string text = ReadIniValue(section, key);
    return text.empty() ? 0 : StrToInt(text);
}

void TExCustomAppIniStorage::RawWriteInteger(const std::string& path, int value)
{
    RawWriteString(path, IntToStr(value));
}

long double TExCustomAppIniStorage::RawReadFloat(const std::string& path, long double defaultValue)
{
    std::string section, key;
    SectionAndName(path, section, key);
    if (!IniValueExists(section, key))
        return defaultValue;
    TExtendedBytes bytes{};
    if (HexTextToBytes(ReadIniValue(section, key), bytes.data(), static_cast<int>(bytes.size())) <
        static_cast<int>(bytes.size()))
        return defaultValue;
    return ExtendedFromBytes(bytes);
}

void TExCustomAppIniStorage::RawWriteFloat(const std::string& path, long double value)
{
    const TExtendedBytes bytes = ExtendedToBytes(value);
    std::string text;
    BytesToHexText(bytes.data(), static_cast<int>(bytes.size()), text);
    RawWriteString(path, text);
}

int TExCustomAppIniStorage::RawReadBinary(const std::string& path, void* buffer, int size)
{
    std::string section, key;
    SectionAndName(path, section, key);
    if (!IniValueExists(section, key))
        return 0;
    return HexTextToBytes(ReadIniValue(section, key), buffer, size);
}

void TExCustomAppIniStorage::RawWriteBinary(const std::string& path, const void* buffer, int size)
{
    std::string text;
    BytesToHexText(buffer, size, text);
    RawWriteString(path, text);
}

std::string TExCustomAppIniStorage::ContentText() const
{
    return FDocument.Text();
}

void TExCustomAppIniStorage::SetContentText(const std::string& text)
{
    // why: the content is given, so a first value access must not replace it by the file's.
    MarkFileLoaded();
    FDocument.LoadFromText(text);
    SetModified(true);
}

// ---- INI file storage

TExAppIniFileStorage::~TExAppIniFileStorage()
{
    CommitPendingChanges();
}

void TExAppIniFileStorage::CommitChanges()
{
    if (ComponentState().Contains(csDesigning))
        return;
    const std::string name = EffectiveFileName();
    UpdateReadOnlyMark();
    if (name.empty() || ReadOnly())
        return;
    const std::string folder = ExtractFileDir(name);
    if (!folder.empty() && !DirectoryExists(folder) && !ForceDirectories(folder))
        throw EFCreateError(Format("Cannot create file \"%s\". %s", {name, SysErrorMessage(errno)}));
    const std::string text = ContentText();
    SaveFileAtomically(name, text);
    FVersion.Accept(name, text);
    FVersionFile = name;
    SetModified(false);
}

void TExAppIniFileStorage::RefreshContent()
{
    if (InBatch() || ComponentState().Contains(csDesigning))
        return;
    TExCustomAppIniStorage::RefreshContent();
    const std::string name = EffectiveFileName();
    // why: a document with changes of its own no longer holds what the file held.
    if (Modified() || name != FVersionFile)
        FVersion.Forget();
    FVersionFile = name;
    std::string bytes;
    if (name.empty()) {
        Document().Clear();
    } else {
        switch (FVersion.Look(name, bytes)) {
        case TFileVersion::TLook::Unchanged:
            break;
        case TFileVersion::TLook::Changed:
            Document().LoadFromText(bytes);
            break;
        case TFileVersion::TLook::Unreadable:
            if (!FileExists(name)) {
                Document().Clear(); // a folder of that name
                break;
            }
            // The document keeps what it held; the file's error says why.
            Document().LoadFromText(ReadFileBytes(name));
            break;
        }
    }
    SetModified(false);
}
