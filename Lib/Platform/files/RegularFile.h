#pragma once
// Opening a file the user named for reading without ever waiting on it. A named pipe without a
// writer blocks a plain open, and a pipe, socket or device never ends: such a file is refused at
// once, with a message that names it and says what it is.

#include <string>
#include <sys/types.h>

// A read-only handle (non-blocking, closed on exec) to the regular file `fileName`, which the
// caller closes. Raises EFOpenError "Cannot open file \"%s\". %s" with the system's reason, or
// with what the file is when it is no regular file ("Is a directory", "Is a named pipe", ...).
int OpenRegularFile(const std::string& fileName);

// Why a file of this type cannot be read as a whole: "Is a directory", "Is a named pipe",
// "Is a socket", "Is a device"; "" for a regular file.
std::string NotRegularFileReason(mode_t mode);
