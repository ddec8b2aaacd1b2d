// Rows of the FTP explorer's list.

#include "ftp/explorer/zuFTPExplorerRows.h"

#include "app/zuConstants.h"
#include "common/zuFunctions.h"

#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

#include <QApplication>
#include <QMimeDatabase>
#include <QStyle>

namespace {

std::string Upper(const std::string& text)
{
    return StdStr(QStr(text).toUpper());
}

int Sign(auto difference)
{
    return difference < 0 ? -1 : (difference > 0 ? 1 : 0);
}

} // namespace

std::string ListingColumnText(const TFTPListItem& item, int column)
{
    switch (column) {
    case fcFilename:
        return item.FileName;
    case fcSize:
        return item.ItemType == TFTPItemType::ditFile ? std::to_string(item.Size) : std::string();
    case fcType:
        if (item.ItemType == TFTPItemType::ditSymbolicLink)
            return "-> " + item.LinkedItemName;
        return ShellTypeName(item.FileName, item.ItemType == TFTPItemType::ditDirectory);
    case fcDate:
        return item.ModifiedDate != 0 ? DateTimeToStr(item.ModifiedDate) : std::string();
    case fcPermission:
        return PermissionText(item);
    default:
        return {};
    }
}

QIcon ListingIcon(const TFTPListItem& item)
{
    QStyle* style = QApplication::style();
    if (item.ItemType == TFTPItemType::ditDirectory)
        return style->standardIcon(QStyle::SP_DirIcon);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStr(item.FileName), QMimeDatabase::MatchExtension);
    const QIcon fallback = style->standardIcon(item.ItemType == TFTPItemType::ditSymbolicLink ? QStyle::SP_FileLinkIcon
                                                                                              : QStyle::SP_FileIcon);
    return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback));
}

int CompareListingItems(const TFTPListItem& a, const TFTPListItem& b, int column, bool ascending)
{
    int result = 0;
    if (column == fcFilename)
        result = Sign(Upper(a.FileName).compare(Upper(b.FileName)));
    else if (column == fcSize)
        result = Sign(a.Size - b.Size);
    else
        result = Sign(Upper(ListingColumnText(a, column)).compare(Upper(ListingColumnText(b, column))));
    const bool aFolder = a.ItemType == TFTPItemType::ditDirectory;
    const bool bFolder = b.ItemType == TFTPItemType::ditDirectory;
    if (aFolder && !bFolder)
        result -= 2;
    else if (bFolder && !aFolder)
        result += 2;
    return ascending ? result : -result;
}

std::string QuotedFileNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += "\"" + name + "\" ";
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string DeleteQuestion(const std::vector<std::string>& names)
{
    std::string text = Format(sDeleteSelected, {static_cast<int>(names.size())});
    for (size_t i = 0; i < names.size() && i < 6; ++i)
        text += "\r\n" + names[i];
    if (names.size() > 5)
        text += "\r\n...";
    return text;
}

bool IsValidRemoteName(std::string_view name)
{
    return !name.empty() && name.find_first_of("\\/:*?\"<>|") == std::string_view::npos;
}

std::string_view KeepAliveCommand(int choice)
{
    static constexpr std::string_view Commands[4] = {"LIST", "PWD", "REST 0", "NOOP"};
    return Commands[choice & 3];
}
