#pragma once
// Wide-text routines of the shell browsing library (wide strings are QString): length, search,
// case, comparison, Linux paths ("/" plays the part of the backslash; there are no drives, the
// root "/" plays the part of a drive root), number formatting, and folder creation.

#include <QFont>
#include <QSize>
#include <QString>
#include <cstdint>
#include <string>

class QWidget;
class TCanvas;

// Characters before the first NUL (the whole text when it has none).
int WideStrLength(const QString& text);
// First / last position of the character, or -1.
int StrScanW(const QString& text, QChar c);
int StrRScanW(const QString& text, QChar c);
// First position of `sub`; -1 when `sub` is empty or longer than the text, or absent.
int StrPosW(const QString& text, const QString& sub);
void StrLowerW(QString& text);
void StrUpperW(QString& text);
QString WideLowerCase(const QString& text);
// Case-insensitive comparison: negative, 0 or positive.
int WideCompareText(const QString& a, const QString& b);
// Binary comparison in code-point order: units D800-DFFF are raised by 0x2000 and units
// E000-FFFF lowered by 0x800 before comparing, so surrogate pairs sort after U+FFFF. The result
// is the difference of the first differing adjusted units, else of the lengths.
int WideCompareCodePoint(const QString& a, const QString& b);
// Swaps the two bytes of every character up to the first NUL.
void ByteSwapW(QString& text);

// From the last dot of the name part (dot included); empty when there is none.
QString ExtractFileExtW(const QString& path);
// Linux has no drive part: always empty.
QString WideExtractFileDrive(const QString& path);
// The folder part without the trailing "/"; the root stays "/"; empty without a "/".
QString WideExtractFileDir(const QString& path);
QString WideIncludeTrailingBackslash(const QString& path);
// Removes one trailing "/" unless the text is the root (or `force` is set).
QString WideStripTrailingBackslash(const QString& path, bool force = false);
// True for the root "/", the one "drive" of the system.
bool WideIsDrive(const QString& path);
// The character at the 1-based index is "/".
bool WideIsPathDelimiter(const QString& path, int index);
bool WideDirectoryExists(const QString& path);
// Any entry of that name, also a link whose target is gone.
bool WideFileExists(const QString& path);
// Creates the folder; on success announces it as a new folder to the change notifier.
bool WideCreateDir(const QString& path);
// folder + "/" + base (base "New Folder" when empty); while that exists base + " (n)" for n = 1
// to 20; empty when all exist.
QString UniqueDirName(const QString& folder, const QString& base = {});
// True when the volume mounted at the path can be asked for its free space.
bool DiskInDrive(const QString& mountPoint);
QString IntToStrW(std::int64_t value);
// The number with digit grouping, as the program formats numbers ("%.0n").
QString FormatNumberW(std::int64_t value);
void WideShowWarning(QWidget* owner, const QString& caption, const QString& text);
QSize TextExtentW(const QString& text, TCanvas& canvas);
QSize TextExtentOfFontW(const QString& text, const QFont& font);

// Paths as bytes (file-system names are bytes) and as display text (invalid UTF-8 shows as
// replacement characters).
inline QString DisplayText(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
inline std::string PathBytes(const QString& path)
{
    return path.toStdString();
}
