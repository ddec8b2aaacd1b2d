#include "help/zuHelpBook.h"

#include "settings/zentuIniFiles.h"

#include "Platform/core/QtBridge.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/TextUtils.h"

#include <QFileInfo>

namespace {

constexpr const char* MapFileName = "helpmap.dat";

// "array_map" gives "array-map", as the manual names its pages.
std::string PageWord(const std::string& keyword)
{
    std::string word = LowerCase(keyword);
    std::replace(word.begin(), word.end(), '_', '-');
    return word;
}

bool SafePageWord(const std::string& word)
{
    return !word.empty() && word.find('/') == std::string::npos && word != "." && word != "..";
}

} // namespace

THelpBook::THelpBook(std::string location) : FLocation(std::move(location)) {}

bool THelpBook::IsRemote() const
{
    const QUrl url(QStr(FLocation));
    return url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https");
}

bool THelpBook::Exists() const
{
    if (IsRemote())
        return true;
    return !FLocation.empty() && QFileInfo::exists(QStr(FLocation));
}

std::string THelpBook::Folder() const
{
    const QFileInfo info(QStr(FLocation));
    return IncludeTrailingPathDelimiter(StdStr(info.isDir() ? info.absoluteFilePath() : info.absolutePath()));
}

std::optional<QUrl> THelpBook::Page(const std::string& name) const
{
    const std::string path = Folder() + name;
    if (!QFileInfo(QStr(path)).isFile())
        return std::nullopt;
    return QUrl::fromLocalFile(QStr(path));
}

QUrl THelpBook::Contents() const
{
    if (IsRemote())
        return QUrl(QStr(FLocation).replace(QStringLiteral("%s"), QString()));
    if (QFileInfo(QStr(FLocation)).isFile())
        return QUrl::fromLocalFile(QFileInfo(QStr(FLocation)).absoluteFilePath());
    return Page("index.html").value_or(QUrl::fromLocalFile(QStr(Folder() + "index.html")));
}

QUrl THelpBook::Index() const
{
    if (IsRemote())
        return Contents();
    return Page("indexes.functions.html").value_or(Contents());
}

std::optional<QUrl> THelpBook::Keyword(const std::string& keyword) const
{
    if (keyword.empty())
        return std::nullopt;
    if (IsRemote()) {
        const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(QStr(keyword)));
        QString address = QStr(FLocation);
        if (address.contains(QStringLiteral("%s")))
            return QUrl(address.replace(QStringLiteral("%s"), encoded));
        address.truncate(address.lastIndexOf(QLatin1Char('/')) + 1);
        return QUrl(address + QStringLiteral("function.") + QStr(PageWord(keyword)) + QStringLiteral(".php"));
    }
    const std::string mapped = MapValue("Keywords", keyword);
    if (!mapped.empty())
        return Page(mapped);
    const std::string word = PageWord(keyword);
    if (!SafePageWord(word))
        return std::nullopt;
    for (const char* kind : {"function.", "class."})
        if (auto page = Page(kind + word + ".html"))
            return page;
    return std::nullopt;
}

std::optional<QUrl> THelpBook::Context(int context) const
{
    const std::string page = MapValue("Contexts", IntToStr(context));
    return page.empty() ? std::nullopt : Page(page);
}

std::string THelpBook::PopupText(int context) const
{
    return MapValue("Popups", IntToStr(context));
}

std::string THelpBook::MapValue(const std::string& section, const std::string& key) const
{
    if (IsRemote())
        return {};
    const std::string map = Folder() + MapFileName;
    if (!QFileInfo(QStr(map)).isFile())
        return {};
    const std::string value = TIniFileEx(map).ReadString(section, key, "");
    // why: the map names pages of its own folder only.
    return value.find('/') == std::string::npos ? value : std::string();
}
