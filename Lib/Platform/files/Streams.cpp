#include "Platform/files/Streams.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/RegularFile.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/text/Format.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

std::int64_t TStream::Size()
{
    const std::int64_t pos = Seek(0, TSeekOrigin::soCurrent);
    const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(pos, TSeekOrigin::soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count)
{
    if (count != 0 && Read(buffer, count) != count)
        RaiseReadError(LastError());
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count)
{
    if (count != 0 && Write(buffer, count) != count)
        RaiseWriteError(LastError());
}

void TStream::RaiseReadError(int) const
{
    throw EReadError("Stream read error");
}

void TStream::RaiseWriteError(int) const
{
    throw EWriteError("Stream write error");
}

std::string ReadToEnd(TStream& stream)
{
    const std::int64_t start = std::max<std::int64_t>(stream.Position(), 0);
    const auto size = static_cast<size_t>(std::max<std::int64_t>(stream.Size() - start, 0));
    std::string data;
    if (stream.ExactSize()) {
        data.resize(size);
        stream.ReadBuffer(data.data(), static_cast<std::int64_t>(size));
        return data;
    }
    const std::int64_t limit = static_cast<std::int64_t>(size) + MaxUnsizedRead;
    data.reserve(size);
    std::vector<char> chunk;
    for (;;) {
        std::int64_t n = 0;
        if (data.size() < size) {
            const size_t filled = data.size();
            data.resize(size);
            n = stream.Read(data.data() + filled, static_cast<std::int64_t>(size - filled));
            data.resize(filled + static_cast<size_t>(std::max<std::int64_t>(n, 0)));
        } else {
            // why: the reported size is a hint only; reading on finds the real end.
            chunk.resize(size_t{1} << 16);
            n = stream.Read(chunk.data(), static_cast<std::int64_t>(chunk.size()));
            if (n > 0)
                data.append(chunk.data(), static_cast<size_t>(n));
        }
        if (n <= 0) {
            if (stream.LastError() != 0)
                stream.RaiseReadError(stream.LastError());
            return data;
        }
        if (static_cast<std::int64_t>(data.size()) > limit)
            stream.RaiseReadError(EFBIG);
    }
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count)
{
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    const std::int64_t total = count;
    std::vector<char> buffer(static_cast<size_t>(std::min<std::int64_t>(count, 1 << 20)) + 1);
    while (count > 0) {
        const std::int64_t n = std::min<std::int64_t>(count, static_cast<std::int64_t>(buffer.size()));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= n;
    }
    return total;
}

// ---- TMemoryStream

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count)
{
    if (FPosition < 0)
        return 0;
    const std::int64_t avail = Size() - FPosition;
    const std::int64_t n = std::max<std::int64_t>(0, std::min(count, avail));
    if (n > 0)
        std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count)
{
    if (count <= 0 || FPosition < 0)
        return 0;
    const std::int64_t end = FPosition + count;
    if (end > Size())
        FData.resize(static_cast<size_t>(end));
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    switch (origin) {
    case TSeekOrigin::soBeginning: FPosition = offset; break;
    case TSeekOrigin::soCurrent: FPosition += offset; break;
    case TSeekOrigin::soEnd: FPosition = Size() + offset; break;
    }
    return FPosition;
}

void TMemoryStream::SetSize(std::int64_t newSize)
{
    FData.resize(static_cast<size_t>(std::max<std::int64_t>(0, newSize)));
    FPosition = std::min(FPosition, Size());
}

void TMemoryStream::Clear()
{
    FData.clear();
    FData.shrink_to_fit();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream)
{
    stream.SetPosition(0);
    FData = ReadToEnd(stream);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& stream)
{
    stream.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& fileName)
{
    // why: truncating the file first would lose it to a write that then fails.
    SaveFileAtomically(fileName, View());
}

// ---- TFileStream

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : FFileName(fileName)
{
    const bool create = (mode & fmCreate) == fmCreate;
    if (!create && (mode & 0x3) != fmOpenWrite && (mode & 0x3) != fmOpenReadWrite) {
        FHandle = OpenRegularFile(fileName);
        return;
    }
    int flags = O_CLOEXEC | O_NONBLOCK;
    if (create)
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    else
        flags |= (mode & 0x3) == fmOpenWrite ? O_WRONLY : O_RDWR;
    // why: without O_NONBLOCK a named pipe with no reader would keep the open waiting for good.
    FHandle = ::open(fileName.c_str(), flags, 0666);
    if (FHandle >= 0) {
        struct stat st {};
        if (::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(FHandle);
            FHandle = -1;
            errno = EISDIR;
        } else {
            // Writes wait for room as usual once the file is open.
            ::fcntl(FHandle, F_SETFL, ::fcntl(FHandle, F_GETFL) & ~O_NONBLOCK);
        }
    }
    if (FHandle < 0) {
        const std::string reason = SysErrorMessage(errno);
        if (create)
            throw EFCreateError(Format("Cannot create file \"%s\". %s", {fileName, reason}));
        throw EFOpenError(Format("Cannot open file \"%s\". %s", {fileName, reason}));
    }
}

TFileStream::~TFileStream()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count)
{
    FLastError = 0;
    std::int64_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n = ::read(FHandle, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        // why: a pseudo-file that has given what it has (/proc/kmsg) says so, as its end.
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            FLastError = errno;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count)
{
    FLastError = 0;
    std::int64_t done = 0;
    const auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        const ssize_t n = ::write(FHandle, p + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            FLastError = n < 0 ? errno : ENOSPC;
            break;
        }
        done += n;
    }
    return done;
}

void TFileStream::RaiseReadError(int error) const
{
    const std::string reason = error != 0 ? SysErrorMessage(error) : std::string("Unexpected end of file");
    throw EReadError(Format("Cannot read file \"%s\". %s", {FFileName, reason}));
}

void TFileStream::RaiseWriteError(int error) const
{
    throw EWriteError(Format("Cannot write file \"%s\". %s", {FFileName, SysErrorMessage(error != 0 ? error : ENOSPC)}));
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET : (origin == TSeekOrigin::soCurrent ? SEEK_CUR : SEEK_END);
    return ::lseek(FHandle, offset, whence);
}

void TFileStream::SetSize(std::int64_t newSize)
{
    const std::int64_t pos = Position();
    if (::ftruncate(FHandle, newSize) != 0) {
        FLastError = errno;
        RaiseWriteError(FLastError);
    }
    if (pos > newSize)
        Seek(newSize, TSeekOrigin::soBeginning);
}

void TFileStream::Flush()
{
    ::fsync(FHandle);
}
