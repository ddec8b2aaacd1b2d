#include "ShellBrowsing/Source/namespace/ShellColumns.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/namespace/ItemTexts.h"
#include "ShellBrowsing/Source/namespace/TrashInfo.h"

#include "Platform/core/QtBridge.h"

#include <QDateTime>
#include <sys/statvfs.h>

namespace {

constexpr std::uint32_t Shown = SHCOLSTATE_ONBYDEFAULT;

TShellColumn Column(TColumnId id, const char* title, std::uint32_t state)
{
    return {id, QString::fromUtf8(title), state};
}

QString DeletionDateText(const std::string& date)
{
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(date.c_str()), Qt::ISODate);
    if (!when.isValid())
        return {};
    const FILETIME utc = FileTimeFromUnix(when.toSecsSinceEpoch(), 0);
    return FileTimeText(utc);
}

} // namespace

const std::vector<TShellColumn>& FileSystemColumns()
{
    static const std::vector<TShellColumn> columns = {
        Column(TColumnId::Name, ShellTexts::Name, SHCOLSTATE_TYPE_STR | Shown),
        Column(TColumnId::Size, ShellTexts::Size, SHCOLSTATE_TYPE_INT | Shown),
        Column(TColumnId::Type, ShellTexts::Type, SHCOLSTATE_TYPE_STR | Shown),
        Column(TColumnId::Modified, ShellTexts::Modified, SHCOLSTATE_TYPE_DATE | Shown),
        Column(TColumnId::Attributes, ShellTexts::Attributes, SHCOLSTATE_TYPE_STR),
        Column(TColumnId::Created, ShellTexts::Created, SHCOLSTATE_TYPE_DATE | SHCOLSTATE_SLOW),
        Column(TColumnId::Accessed, ShellTexts::Accessed, SHCOLSTATE_TYPE_DATE)};
    return columns;
}

const std::vector<TShellColumn>& TrashColumns()
{
    static const std::vector<TShellColumn> columns = {
        Column(TColumnId::Name, ShellTexts::Name, SHCOLSTATE_TYPE_STR | Shown),
        Column(TColumnId::OriginalLocation, "Original Location", SHCOLSTATE_TYPE_STR | Shown),
        Column(TColumnId::DateDeleted, "Date Deleted", SHCOLSTATE_TYPE_DATE | Shown),
        Column(TColumnId::Size, ShellTexts::Size, SHCOLSTATE_TYPE_INT | Shown),
        Column(TColumnId::Type, ShellTexts::Type, SHCOLSTATE_TYPE_STR | Shown),
        Column(TColumnId::Modified, ShellTexts::Modified, SHCOLSTATE_TYPE_DATE)};
    return columns;
}

const std::vector<TShellColumn>& ComputerColumns()
{
    static const std::vector<TShellColumn> columns = {
        Column(TColumnId::Name, ShellTexts::Name, SHCOLSTATE_TYPE_STR | Shown),
        Column(TColumnId::Type, ShellTexts::Type, SHCOLSTATE_TYPE_STR | Shown),
        Column(TColumnId::TotalSize, "Total Size", SHCOLSTATE_TYPE_INT | Shown),
        Column(TColumnId::FreeSpace, "Free Space", SHCOLSTATE_TYPE_INT | Shown)};
    return columns;
}

QString ColumnText(TShellFolder& folder, PCItemIDList child, TColumnId id)
{
    if (id == TColumnId::Name)
        return DisplayText(folder.GetDisplayNameOf(child, SHGDN_INFOLDER));
    if (id == TColumnId::Type)
        return folder.TypeNameOf(child);
    const std::string path = folder.ChildPath(child);
    if (id == TColumnId::OriginalLocation || id == TColumnId::DateDeleted) {
        TTrashInfo info;
        if (!ReadTrashInfo(path, info))
            return {};
        if (id == TColumnId::DateDeleted)
            return DeletionDateText(info.DeletionDate);
        const std::size_t slash = info.OriginalPath.find_last_of('/');
        return DisplayText(slash == 0 ? std::string("/") : info.OriginalPath.substr(0, slash));
    }
    if (id == TColumnId::TotalSize || id == TColumnId::FreeSpace) {
        struct statvfs vfs {};
        if (path.empty() || ::statvfs(path.c_str(), &vfs) != 0)
            return {};
        const std::uint64_t blocks = id == TColumnId::TotalSize ? vfs.f_blocks : vfs.f_bavail;
        return VolumeSizeText(blocks * vfs.f_frsize);
    }
    TItemData data;
    if (!folder.GetItemData(child, data))
        return {};
    switch (id) {
    case TColumnId::Size: return data.IsFolder() ? QString() : SizeKBText(data.Size);
    case TColumnId::Modified: return FileTimeText(data.Modified);
    case TColumnId::Created: return FileTimeText(data.Created);
    case TColumnId::Accessed: return FileTimeText(data.Accessed);
    case TColumnId::Attributes: return AttributesText(data.Attributes);
    default: return {};
    }
}
