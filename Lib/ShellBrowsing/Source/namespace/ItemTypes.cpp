#include "ShellBrowsing/Source/namespace/ItemTypes.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/common/WideStrings.h"

#include <QHash>
#include <QLocale>
#include <QMimeDatabase>
#include <mutex>
#include <sys/stat.h>

namespace {

// A type's comment is read from its description file anew for every QMimeType, and a folder of
// thousands of files asks for the same few types; any thread may ask.
QString TypeComment(const QMimeType& type)
{
    static std::mutex lock;
    static QHash<QString, QString> comments;
    const QString key = type.name() + u'|' + QLocale().name();
    {
        const std::lock_guard guard(lock);
        const auto known = comments.constFind(key);
        if (known != comments.cend())
            return *known;
    }
    QString comment = type.comment();
    const std::lock_guard guard(lock);
    comments.insert(key, comment);
    return comment;
}

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
    if (type.isValid() && !type.isDefault()) {
        QString comment = TypeComment(type);
        if (!comment.isEmpty())
            return comment;
    }
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
