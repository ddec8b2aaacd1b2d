// TNamespace: file data, times, sizes, type, icons and details columns.

#include "ShellBrowsing/Source/namespace/Namespace.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/icons/SystemIconTable.h"
#include "ShellBrowsing/Source/namespace/ItemTexts.h"

#include <sys/statvfs.h>

const TItemData* TNamespace::FindData()
{
    if (!FFindData && !IsDesktop() && !Valid(vNoFindData)) {
        TItemData data;
        const PShellFolder folder = ParentShellFolder();
        if (folder && folder->GetItemData(FRelativePIDL, data))
            FFindData = std::make_unique<TItemData>(std::move(data));
        else
            SetValid(vNoFindData);
    }
    return FFindData.get();
}

QString TNamespace::FindDataFileName()
{
    const TItemData* data = FindData();
    return data ? DisplayText(data->Name) : QString();
}

QString TNamespace::ShortFileName()
{
    // Linux keeps no short names: the file name stands in for one.
    return FindDataFileName().toUpper();
}

FILETIME TNamespace::CreatedTime()
{
    const TItemData* data = IsFileSystemItem() ? FindData() : nullptr;
    if (!data)
        return {};
    if (!Valid(vTimesRefreshed)) {
        SetValid(vTimesRefreshed);
        TItemData fresh;
        if (ReadItemData(PathBytes(), fresh)) {
            FFindData->Created = fresh.Created;
            FFindData->Accessed = fresh.Accessed;
            FFindData->Modified = fresh.Modified;
        }
    }
    return FFindData->Created;
}

FILETIME TNamespace::AccessedTime()
{
    return CreatedTime(), FFindData ? FFindData->Accessed : FILETIME{};
}

FILETIME TNamespace::ModifiedTime()
{
    return CreatedTime(), FFindData ? FFindData->Modified : FILETIME{};
}

QString TNamespace::CreatedText()
{
    if (!Valid(vCreatedText)) {
        FTextCreated = FileTimeText(CreatedTime());
        SetValid(vCreatedText);
    }
    return FTextCreated;
}

QString TNamespace::AccessedText()
{
    if (!Valid(vAccessedText)) {
        FTextAccessed = FileTimeText(AccessedTime());
        SetValid(vAccessedText);
    }
    return FTextAccessed;
}

QString TNamespace::ModifiedText()
{
    if (!Valid(vModifiedText)) {
        FTextModified = FileTimeText(ModifiedTime());
        SetValid(vModifiedText);
    }
    return FTextModified;
}

std::int64_t TNamespace::FileSizeBytes()
{
    if (!Valid(vFileSize)) {
        FFileSize = 0;
        TItemData data;
        if (IsFileSystemItem() && ReadItemData(PathBytes(), data) && !data.IsFolder())
            FFileSize = data.Size;
        SetValid(vFileSize);
    }
    return FFileSize;
}

QString TNamespace::SizeText()
{
    if (IsFolderItem())
        return {};
    if (!Valid(vSizeText)) {
        FTextSize = ::SizeText(FileSizeBytes());
        SetValid(vSizeText);
    }
    return FTextSize;
}

QString TNamespace::SizeKBText()
{
    if (IsFolderItem())
        return {};
    if (!Valid(vSizeKBText)) {
        FTextSizeKB = ::SizeKBText(FileSizeBytes());
        SetValid(vSizeKBText);
    }
    return FTextSizeKB;
}

QString TNamespace::DiskUsageText()
{
    if (IsFolderItem())
        return {};
    struct statvfs vfs {};
    const std::string path = PathBytes();
    if (path.empty() || ::statvfs(path.c_str(), &vfs) != 0 || vfs.f_bsize == 0)
        return SizeText();
    const auto cluster = static_cast<std::int64_t>(vfs.f_bsize);
    const std::int64_t size = FileSizeBytes();
    return ::SizeText(cluster * (size / cluster + (size % cluster != 0 ? 1 : 0)));
}

QString TNamespace::FileTypeText()
{
    if (!Valid(vFileType)) {
        const PShellFolder folder = ParentShellFolder();
        FTextFileType = folder ? folder->TypeNameOf(FRelativePIDL) : QString();
        SetValid(vFileType);
    }
    return FTextFileType;
}

// ---- icons

QString TNamespace::IconName(bool openIcon)
{
    const PShellFolder folder = ParentShellFolder();
    return folder ? folder->IconNameOf(FRelativePIDL, openIcon) : QString();
}

int TNamespace::LookupIcon(bool open)
{
    const QString name = IconName(open);
    return name.isEmpty() ? 0 : TSystemIconTable::Instance().IndexOf(name);
}

int TNamespace::IconIndexFor(bool openIcon, int, bool forceLookup)
{
    if (!openIcon) {
        if (!Valid(vNormalIcon) || forceLookup) {
            FNormalIconIndex = LookupIcon(false);
            SetValid(vNormalIcon);
        }
        return FNormalIconIndex;
    }
    if (!Valid(vOpenIcon) || forceLookup) {
        FOpenIconIndex = LookupIcon(true);
        if (FOpenIconIndex == 0)
            FOpenIconIndex = LookupIcon(false);
        SetValid(vOpenIcon);
    }
    return FOpenIconIndex;
}

int TNamespace::OverlayIndex()
{
    // The namespace's folders offer no overlay icons of their own: the explorer draws the link
    // emblem for links itself.
    if (!Valid(vOverlay)) {
        FOverlayIndex = -1;
        SetValid(vOverlay);
    }
    return FOverlayIndex;
}

void TNamespace::SetThreadIconLoading(bool value)
{
    FFlags = value ? (FFlags | FlagThreadIconLoading) : (FFlags & ~FlagThreadIconLoading);
}

void TNamespace::SetIconIndexFromThread(int index, bool clearPending)
{
    FNormalIconIndex = index;
    SetValid(vNormalIcon);
    FFlags |= FlagThreadIconLoaded;
    if (clearPending)
        SetThreadIconLoading(false);
}

// ---- details columns

int TNamespace::DetailsColumnCount()
{
    if (!Valid(vDetailsColumnCount)) {
        int count = 0;
        if (const PShellFolder folder = ShellFolder()) {
            std::uint32_t state = 0;
            while (count < 200 && folder->GetDefaultColumnState(count, state))
                ++count;
            if (count >= 200)
                count = 0;
        }
        FDetailsColumnCount = count > 0 ? count : DetailsColumnCountDefault();
        SetValid(vDetailsColumnCount);
    }
    return FDetailsColumnCount;
}

bool TNamespace::IsValidDetailsColumn(int index)
{
    return index >= 0 && index < DetailsColumnCount();
}

QString TNamespace::FolderColumnTitle(int index)
{
    if (!IsValidDetailsColumn(index))
        return {};
    QString title;
    if (const PShellFolder folder = ShellFolder(); folder && folder->GetColumnTitle(index, title))
        return title;
    return DetailsColumnTitle(index);
}

QString TNamespace::DetailsColumnTitle(int index) const
{
    static const char* const titles[] = {ShellTexts::Name,     ShellTexts::Size,    ShellTexts::Type,
                                         ShellTexts::Modified, ShellTexts::Attributes, ShellTexts::Created,
                                         ShellTexts::Accessed, ShellTexts::Path,    ShellTexts::DOSName,
                                         ShellTexts::Custom};
    if (index == -1)
        index = 0;
    if (index < 0 || index > 9)
        return {};
    return QString::fromLatin1(titles[index]);
}

QString TNamespace::DetailsColumnText(int index)
{
    switch (index) {
    case -1:
    case 0: return DisplayNameInFolder();
    case 1: return SizeKBText();
    case 2:
        return IsFileSystemItem() && FindData() && !FindData()->Name.empty() ? FileTypeText()
                                                                              : QString::fromLatin1(ShellTexts::SystemFolder);
    case 3: return ModifiedText();
    case 4: return AttributesText();
    default: return {};
    }
}

TSHColumnStates TNamespace::DetailsColumnState(int index)
{
    const PShellFolder folder = ShellFolder();
    if (!folder)
        return TSHColumnState::csOnByDefault;
    if (!IsValidDetailsColumn(index))
        return {};
    std::uint32_t state = 0;
    if (!folder->GetDefaultColumnState(index, state))
        return TSHColumnState::csOnByDefault;
    TSHColumnStates states;
    switch (state & 0xF) {
    case SHCOLSTATE_TYPE_STR: states.Include(TSHColumnState::csTypeString); break;
    case SHCOLSTATE_TYPE_INT: states.Include(TSHColumnState::csTypeInt); break;
    case SHCOLSTATE_TYPE_DATE: states.Include(TSHColumnState::csTypeDate); break;
    default: break;
    }
    const std::pair<std::uint32_t, TSHColumnState> flags[] = {
        {SHCOLSTATE_ONBYDEFAULT, TSHColumnState::csOnByDefault}, {SHCOLSTATE_SLOW, TSHColumnState::csSlow},
        {SHCOLSTATE_EXTENDED, TSHColumnState::csExtended}, {SHCOLSTATE_SECONDARYUI, TSHColumnState::csSecondaryUI},
        {SHCOLSTATE_HIDDEN, TSHColumnState::csHidden}};
    for (const auto& [bit, member] : flags)
        if (state & bit)
            states.Include(member);
    return states;
}

QString TNamespace::DetailsOf(int index)
{
    const PShellFolder folder = ParentShellFolder();
    if (!folder || IsDesktop() || !FParent || !FParent->IsValidDetailsColumn(index))
        return {};
    QString text;
    if (folder->GetDetailsOf(FRelativePIDL, index, text))
        return text;
    return DetailsColumnText(index);
}
