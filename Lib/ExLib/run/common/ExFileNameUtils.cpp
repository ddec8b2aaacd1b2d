#include "ExLib/run/common/ExFileNameUtils.h"

#include "ExLib/run/common/ExStrUtils.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"
#include "utility/UclFileUtils.h"

#include <QDesktopServices>
#include <QUrl>
#include <cstring>

namespace {

std::string PathOfForm(const std::string& path, std::string (*nameOf)(const std::string&))
{
    std::string result;
    std::string remaining = path;
    for (size_t slash = remaining.rfind('/'); slash != std::string::npos; slash = remaining.rfind('/')) {
        result = "/" + nameOf(remaining) + result;
        remaining.resize(slash);
    }
    return remaining + result;
}

} // namespace

bool IsValidFileNameText(std::string_view name)
{
    return !name.empty() && !ContainsAnyChar(name, "<>\"?*|");
}

std::string LongFileNameOf(const std::string& path)
{
    if (!FileEntryExists(path))
        return {};
    return ExtractFileName(path);
}

std::string ShortFileNameOf(const std::string& path)
{
    return LongFileNameOf(path);
}

std::string LongPathOf(const std::string& path)
{
    return PathOfForm(path, &LongFileNameOf);
}

std::string ShortPathOf(const std::string& path)
{
    return PathOfForm(path, &ShortFileNameOf);
}

bool OpenWithShell(const std::string& target)
{
    return QDesktopServices::openUrl(QUrl::fromUserInput(QStr(target)));
}

std::uint32_t FileVersionHigh(const std::string& fileName)
{
    (void)fileName;
    return 0;
}

std::uint32_t ShellLibraryVersion()
{
    static std::uint32_t version = 0;
    if (version == 0)
        version = FileVersionHigh("shell32.dll");
    return version;
}

void CheckOsResult(bool ok)
{
    if (!ok)
        RaiseLastOSError();
}

std::unique_ptr<char[]> NewCStringCopy(std::string_view text)
{
    auto copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}
