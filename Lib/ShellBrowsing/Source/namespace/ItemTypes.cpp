#include "ShellBrowsing/Source/namespace/ItemTypes.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/common/WideStrings.h"

#include <QHash>
#include <QLocale>
#include <QMimeDatabase>
#include <algorithm>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <sys/stat.h>
#include <vector>

namespace {

// A type's comment is read from its description file anew for every QMimeType, and a folder of
// thousands of files asks for the same few types; any thread may ask. The comments are those of
// one locale: a change of the default locale starts the cache again.
QString TypeComment(const QMimeType& type)
{
    static std::mutex lock;
    static QLocale locale;
    static QHash<QString, QString> comments;
    const QLocale now;
    {
        const std::lock_guard guard(lock);
        if (now != locale) {
            locale = now;
            comments.clear();
        }
        const auto known = comments.constFind(type.name());
        if (known != comments.cend())
            return *known;
    }
    QString comment = type.comment();
    const std::lock_guard guard(lock);
    if (now == locale)
        comments.insert(type.name(), comment);
    return comment;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool AsciiEqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return AsciiLower(x) == AsciiLower(y);
    });
}

// Matching a name against the database's globs runs regular expressions for every name, and a
// folder holds thousands of names that differ only before their first dot. A glob "*.…" sees
// only the tail of a name (from its first dot on), so two names of one tail get one type unless
// some other glob could match one of them; those few globs are screened by their literal ends.
class TNameTypeCache {
public:
    static TNameTypeCache& Instance()
    {
        static TNameTypeCache cache;
        return cache;
    }

    QMimeType TypeOf(const std::string& name)
    {
        const QMimeDatabase db;
        if (!Cacheable(name))
            return db.mimeTypeForFile(DisplayText(name), QMimeDatabase::MatchExtension);
        const std::size_t dot = name.find('.');
        const std::string tail = dot == std::string::npos ? std::string() : name.substr(dot);
        {
            const std::lock_guard guard(FLock);
            const auto known = FByTail.find(tail);
            if (known != FByTail.end())
                return known->second;
        }
        QMimeType type = db.mimeTypeForFile(DisplayText(name), QMimeDatabase::MatchExtension);
        const std::lock_guard guard(FLock);
        FByTail.emplace(tail, type);
        return type;
    }

private:
    // What a name must start and end with (letter case aside) for a glob to match it.
    struct TScreen {
        std::string Prefix;
        std::string Suffix;
    };

    TNameTypeCache()
    {
        const QList<QMimeType> types = QMimeDatabase().allMimeTypes();
        for (const QMimeType& type : types)
            for (const QString& glob : type.globPatterns())
                if (!glob.startsWith(QLatin1String("*.")))
                    FScreens.push_back(ScreenOf(glob));
    }

    static bool Literal(QChar c)
    {
        // why: other letters may have case variants in ASCII; a shorter screen only lets more
        // names through to the database.
        return c.unicode() < 128 && c != u'*' && c != u'?' && c != u'[' && c != u']' && c != u'\\';
    }

    static TScreen ScreenOf(const QString& glob)
    {
        qsizetype head = 0;
        while (head < glob.size() && Literal(glob[head]))
            ++head;
        qsizetype tail = glob.size();
        while (tail > 0 && Literal(glob[tail - 1]))
            --tail;
        return {glob.left(head).toStdString(), glob.mid(tail).toStdString()};
    }

    // ASCII names only: case-insensitive matching of other letters is the database's own.
    bool Cacheable(std::string_view name) const
    {
        if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 128; }))
            return false;
        return std::none_of(FScreens.begin(), FScreens.end(), [&](const TScreen& s) {
            return name.size() >= s.Prefix.size() && name.size() >= s.Suffix.size()
                && AsciiEqualNoCase(name.substr(0, s.Prefix.size()), s.Prefix)
                && AsciiEqualNoCase(name.substr(name.size() - s.Suffix.size()), s.Suffix);
        });
    }

    std::vector<TScreen> FScreens;
    std::mutex FLock;
    std::unordered_map<std::string, QMimeType> FByTail;
};

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
    return TNameTypeCache::Instance().TypeOf(name);
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
