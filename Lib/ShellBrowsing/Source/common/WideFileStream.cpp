#include "ShellBrowsing/Source/common/WideFileStream.h"

#include "ShellBrowsing/Source/common/WideStrings.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <cerrno>
#include <fcntl.h>

namespace {

int OpenHandle(const QString& fileName, unsigned mode)
{
    const std::string name = PathBytes(fileName);
    int flags = O_CLOEXEC;
    if (mode == 0xFFFF) {
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    } else {
        switch (mode & 0x3) {
        case 1: flags |= O_WRONLY; break;
        case 2: flags |= O_RDWR; break;
        default: flags |= O_RDONLY; break;
        }
    }
    const int handle = name.empty() ? -1 : ::open(name.c_str(), flags, 0666);
    if (handle < 0) {
        const int error = name.empty() ? ENOENT : errno;
        EFCreateError e(Format("Cannot create file %s", {name}));
        errno = error;
        throw e;
    }
    return handle;
}

} // namespace

TWideFileStream::TWideFileStream(const QString& fileName, unsigned mode)
    : TFileStream(PathBytes(fileName), OpenHandle(fileName, mode))
{
}
