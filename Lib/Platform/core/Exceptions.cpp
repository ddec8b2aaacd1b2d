#include "Platform/core/Exceptions.h"

#include "Platform/text/Format.h"

#include <cerrno>
#include <cstring>

std::string SysErrorMessage(int errorCode)
{
    return std::strerror(errorCode);
}

void RaiseLastOSError()
{
    RaiseLastOSError(errno);
}

void RaiseLastOSError(int errorCode)
{
    if (errorCode == 0)
        throw EOSError("A call to an OS function failed", 0);
    throw EOSError(Format("System Error.  Code: %d.\r\n%s", {errorCode, SysErrorMessage(errorCode)}), errorCode);
}

void Abort()
{
    throw EAbort("Operation aborted");
}
