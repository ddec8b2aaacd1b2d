#include "Platform/files/RegularFile.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string NotRegularFileReason(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return SysErrorMessage(EISDIR);
    if (S_ISFIFO(mode))
        return "Is a named pipe";
    if (S_ISSOCK(mode))
        return "Is a socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "Is a device";
    return "Is no regular file";
}

int OpenRegularFile(const std::string& fileName)
{
    const auto fail = [&fileName](const std::string& reason) {
        throw EFOpenError(Format("Cannot open file \"%s\". %s", {fileName, reason}));
    };
    // why: opening a device can act on it (a tape rewinds); such names are refused unopened.
    struct stat st {};
    if (!fileName.empty() && ::stat(fileName.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        fail(NotRegularFileReason(st.st_mode));
    // why: O_NONBLOCK lets a named pipe without a writer open at once, so that one that took
    // the name meanwhile is still refused.
    const int handle = fileName.empty() ? -1 : ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (handle < 0)
        fail(SysErrorMessage(fileName.empty() ? ENOENT : errno));
    if (::fstat(handle, &st) != 0) {
        const int error = errno;
        ::close(handle);
        fail(SysErrorMessage(error));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(handle);
        fail(NotRegularFileReason(st.st_mode));
    }
    return handle;
}
