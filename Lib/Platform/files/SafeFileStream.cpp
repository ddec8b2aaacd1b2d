#include "Platform/files/SafeFileStream.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// why: renaming over a symbolic link would replace the link by a plain file and leave the file
// it points to unchanged; the save must go to that file. A link that points nowhere is replaced.
std::string ResolveLink(const std::string& fileName)
{
    struct stat st {};
    if (::lstat(fileName.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return fileName;
    const std::unique_ptr<char, void (*)(void*)> resolved(::realpath(fileName.c_str(), nullptr), std::free);
    return resolved ? std::string(resolved.get()) : fileName;
}

} // namespace

TSafeFileStream::TSafeFileStream(const std::string& fileName) : FFileName(fileName), FTarget(ResolveLink(fileName))
{
    const std::string dir = ExtractFileDir(FTarget);
    std::string pattern = (dir.empty() ? std::string(".") : dir) + "/." + ExtractFileName(FTarget) + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd >= 0) {
        ::close(fd);
        FTempName = pattern;
        try {
            FStream = std::make_unique<TFileStream>(FTempName, fmOpenReadWrite);
        } catch (...) {
            ::unlink(FTempName.c_str());
            throw;
        }
        return;
    }
    const int folderError = errno;
    // The folder refuses new files: write the target itself when it allows that.
    if (FileExists(FTarget) && ::access(FTarget.c_str(), W_OK) == 0) {
        FStream = std::make_unique<TFileStream>(FTarget, fmCreate);
        return;
    }
    throw EFCreateError(Format("Cannot create file \"%s\". %s", {fileName, SysErrorMessage(folderError)}));
}

TSafeFileStream::~TSafeFileStream()
{
    FStream.reset();
    if (!FCommitted && !FTempName.empty())
        ::unlink(FTempName.c_str());
}

std::int64_t TSafeFileStream::Read(void* buffer, std::int64_t count)
{
    if (!FStream)
        throw EStreamError("Stream is closed");
    return FStream->Read(buffer, count);
}

std::int64_t TSafeFileStream::Write(const void* buffer, std::int64_t count)
{
    if (!FStream)
        throw EStreamError("Stream is closed");
    return FStream->Write(buffer, count);
}

std::int64_t TSafeFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    if (!FStream)
        throw EStreamError("Stream is closed");
    return FStream->Seek(offset, origin);
}

void TSafeFileStream::SetSize(std::int64_t newSize)
{
    if (!FStream)
        throw EStreamError("Stream is closed");
    FStream->SetSize(newSize);
}

void TSafeFileStream::Commit()
{
    if (FCommitted)
        return;
    if (::fsync(FStream->Handle()) != 0 && errno != EINVAL)
        throw EWriteError(Format("Cannot write file \"%s\". %s", {FFileName, SysErrorMessage(errno)}));
    if (FTempName.empty()) {
        FCommitted = true;
        return;
    }
    struct stat st {};
    if (::stat(FTarget.c_str(), &st) == 0)
        ::fchmod(FStream->Handle(), st.st_mode & 07777);
    else {
        // A new file gets the permissions a plain create would give it.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(FStream->Handle(), 0666 & ~mask);
    }
    FStream.reset();
    if (std::rename(FTempName.c_str(), FTarget.c_str()) != 0) {
        const int error = errno;
        ::unlink(FTempName.c_str());
        FTempName.clear();
        FCommitted = true;
        throw EWriteError(Format("Cannot write file \"%s\". %s", {FFileName, SysErrorMessage(error)}));
    }
    FCommitted = true;
}

void SaveFileAtomically(const std::string& fileName, std::string_view bytes)
{
    TSafeFileStream stream(fileName);
    stream.WriteString(bytes);
    stream.Commit();
}
