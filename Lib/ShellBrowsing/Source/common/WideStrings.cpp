#include "ShellBrowsing/Source/common/WideStrings.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/notify/ShellAnnounce.h"

#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"
#include "Platform/graphics/Canvas.h"
#include "Platform/text/Format.h"

#include <QFontMetrics>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {

int AdjustedUnit(char16_t u)
{
    if (u >= 0xD800 && u <= 0xDFFF)
        return u + 0x2000;
    if (u >= 0xE000)
        return u - 0x800;
    return u;
}

bool StatPath(const QString& path, struct stat& st, bool follow)
{
    const std::string bytes = PathBytes(path);
    return !bytes.empty() && (follow ? ::stat(bytes.c_str(), &st) : ::lstat(bytes.c_str(), &st)) == 0;
}

} // namespace

int WideStrLength(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return static_cast<int>(nul < 0 ? text.size() : nul);
}

int StrScanW(const QString& text, QChar c)
{
    return static_cast<int>(text.indexOf(c));
}

int StrRScanW(const QString& text, QChar c)
{
    return static_cast<int>(text.lastIndexOf(c));
}

int StrPosW(const QString& text, const QString& sub)
{
    if (sub.isEmpty() || sub.size() > text.size())
        return -1;
    return static_cast<int>(text.indexOf(sub));
}

void StrLowerW(QString& text)
{
    text = text.toLower();
}

void StrUpperW(QString& text)
{
    text = text.toUpper();
}

QString WideLowerCase(const QString& text)
{
    return text.toLower();
}

int WideCompareText(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}

int WideCompareCodePoint(const QString& a, const QString& b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int ua = AdjustedUnit(a[i].unicode());
        const int ub = AdjustedUnit(b[i].unicode());
        if (ua != ub)
            return ua - ub;
    }
    return static_cast<int>(a.size() - b.size());
}

void ByteSwapW(QString& text)
{
    for (qsizetype i = 0; i < text.size() && !text[i].isNull(); ++i) {
        const char16_t u = text[i].unicode();
        text[i] = QChar(static_cast<char16_t>((u >> 8) | ((u & 0xFF) << 8)));
    }
}

QString ExtractFileExtW(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || path.indexOf(u'/', dot) >= 0)
        return {};
    return path.mid(dot);
}

QString WideExtractFileDrive(const QString&)
{
    return {};
}

QString WideExtractFileDir(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString WideIncludeTrailingBackslash(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

QString WideStripTrailingBackslash(const QString& path, bool force)
{
    if (path.endsWith(u'/') && (force || !WideIsDrive(path)))
        return path.left(path.size() - 1);
    return path;
}

bool WideIsDrive(const QString& path)
{
    return path == QStringLiteral("/");
}

bool WideIsPathDelimiter(const QString& path, int index)
{
    return index >= 1 && index <= path.size() && path[index - 1] == u'/';
}

bool WideDirectoryExists(const QString& path)
{
    struct stat st {};
    return StatPath(path, st, true) && S_ISDIR(st.st_mode);
}

bool WideFileExists(const QString& path)
{
    struct stat st {};
    return StatPath(path, st, false);
}

bool WideCreateDir(const QString& path)
{
    const std::string bytes = PathBytes(path);
    if (bytes.empty() || ::mkdir(bytes.c_str(), 0777) != 0)
        return false;
    AnnounceShellChange(TShellKitEventKind::MKDIR, bytes);
    return true;
}

QString UniqueDirName(const QString& folder, const QString& base)
{
    const QString stem = WideStripTrailingBackslash(folder, true) + u'/'
        + (base.isEmpty() ? QString::fromUtf8(ShellTexts::NewFolder) : base);
    if (!WideFileExists(stem))
        return stem;
    for (int n = 1; n <= 20; ++n) {
        const QString name = stem + QStringLiteral(" (%1)").arg(n);
        if (!WideFileExists(name))
            return name;
    }
    return {};
}

bool DiskInDrive(const QString& mountPoint)
{
    struct statvfs vfs {};
    const std::string bytes = PathBytes(mountPoint);
    return !bytes.empty() && ::statvfs(bytes.c_str(), &vfs) == 0;
}

QString IntToStrW(std::int64_t value)
{
    return QString::number(value);
}

QString FormatNumberW(std::int64_t value)
{
    return QStr(Format("%.0n", {static_cast<double>(value)}));
}

void WideShowWarning(QWidget*, const QString& caption, const QString& text)
{
    if (TApplication* app = Application())
        app->MessageBox(StdStr(text), StdStr(caption), MB_OK | MB_ICONWARNING);
}

QSize TextExtentW(const QString& text, TCanvas& canvas)
{
    if (text.isEmpty())
        return {0, 0};
    const TSize size = canvas.TextExtent(StdStr(text));
    return {size.cx, size.cy};
}

QSize TextExtentOfFontW(const QString& text, const QFont& font)
{
    if (text.isEmpty())
        return {0, 0};
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(text), metrics.height()};
}
