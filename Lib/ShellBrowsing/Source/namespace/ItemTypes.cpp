#include "ShellBrowsing/Source/namespace/ItemTypes.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/common/WideStrings.h"

#include <QMimeDatabase>
#include <sys/stat.h>

namespace {

QMimeType EntryMimeType(const std::string& name, const TItemData& data)
{
    const QMimeDatabase db;
    if (data.IsLink && data.LinkBroken)
        return db.mimeTypeForName(QStringLiteral("inode/symlink"));
    if (S_ISDIR(data.Mode))
        return db.mimeTypeForName(QStringLiteral("inode/directory"));
    if (S_ISCHR(data.Mode))
        return db.mimeTypeForName(QStringLiteral("inode/chardevice"));
    if (S_ISBLK(data.Mode))
        return db.mimeTypeForName(QStringLiteral("inode/blockdevice"));
    if (S_ISFIFO(data.Mode))
        return db.mimeTypeForName(QStringLiteral("inode/fifo"));
    if (S_ISSOCK(data.Mode))
        return db.mimeTypeForName(QStringLiteral("inode/socket"));
    return db.mimeTypeForFile(DisplayText(name), QMimeDatabase::MatchExtension);
}

} // namespace

QString EntryTypeName(const std::string& name, const TItemData& data)
{
    const QMimeType type = EntryMimeType(name, data);
    if (type.isValid() && !type.isDefault() && !type.comment().isEmpty())
        return type.comment();
    const QString ext = ExtractFileExtW(DisplayText(name));
    if (ext.size() <= 1)
        return QStringLiteral("File");
    return ext.toUpper() + QString::fromUtf8(ShellTexts::FileSuffix);
}

QString EntryIconName(const std::string& name, const TItemData& data, bool open)
{
    if (S_ISDIR(data.Mode))
        return open ? QStringLiteral("folder-open;folder") : QStringLiteral("folder");
    const QMimeType type = EntryMimeType(name, data);
    if (!type.isValid() || type.isDefault())
        return QStringLiteral("unknown;text-x-generic");
    const QString generic = type.genericIconName();
    return generic.isEmpty() || generic == type.iconName() ? type.iconName() : type.iconName() + u';' + generic;
}
