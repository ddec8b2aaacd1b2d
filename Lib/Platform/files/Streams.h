#pragma once
// Byte streams of the class library: an abstract TStream with position and size, a stream in
// memory and a stream over a file. Read and Write move what they can and return the count;
// ReadBuffer and WriteBuffer raise EReadError "Stream read error" / EWriteError
// "Stream write error" when fewer bytes move than asked; a stream over a file names the file
// and the system's reason instead ("Cannot write file \"%s\". No space left on device").

#include "Platform/core/Component.h"

#include <cstdint>
#include <string>
#include <string_view>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

    std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(std::int64_t pos) { Seek(pos, TSeekOrigin::soBeginning); }
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t newSize) = 0;

    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    void WriteString(std::string_view bytes) { WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size())); }
    // Copies `count` bytes from the source's position; 0 copies the whole source from its start.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);

    // Why the last Read or Write moved fewer bytes than asked: an errno value, 0 when the end
    // was reached (or the stream cannot tell).
    virtual int LastError() const { return 0; }
    // True when Size is exactly what Read delivers from the start. A file's size is only a
    // hint: the system reports none for procfs files, and files change while they are read.
    virtual bool ExactSize() const { return true; }
    // The stream's own errors for a read or write that fell short for `error` (an errno value,
    // 0 for the end of the data).
    [[noreturn]] virtual void RaiseReadError(int error) const;
    [[noreturn]] virtual void RaiseWriteError(int error) const;
};

// How far past the size it reported a stream without an exact size is read before it counts
// as endless (a procfs file such as /proc/self/pagemap never ends in practice).
inline constexpr std::int64_t MaxUnsizedRead = std::int64_t{16} << 20;

// The bytes from the stream's position to its end. A stream with an exact size gives that many
// (a shorter one raises its read error); any other is read until it ends, up to MaxUnsizedRead
// bytes beyond its size, and raises its read error with EFBIG beyond that.
std::string ReadToEnd(TStream& stream);

// A stream over bytes in memory; writing past the end grows it.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string data) : FData(std::move(data)) {}

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
    void SetSize(std::int64_t newSize) override;

    void Clear();
    char* Memory() { return FData.data(); }
    const char* Memory() const { return FData.data(); }
    std::string_view View() const { return {FData.data(), FData.size()}; }
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream);
    void SaveToFile(const std::string& fileName);

protected:
    const std::string& Data() const { return FData; }

private:
    std::string FData;
    std::int64_t FPosition = 0;
};

// Open modes and share modes, combined with "|". Linux has no share modes; they are accepted
// and ignored.
enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

class TFileStream : public TStream {
public:
    // fmCreate creates or truncates the file (EFCreateError "Cannot create file \"%s\". %s");
    // the other modes open an existing file (EFOpenError "Cannot open file \"%s\". %s").
    // Reading opens only a regular file, and never waits: a folder, named pipe, socket or
    // device is refused at once. No open waits for a pipe's other end.
    TFileStream(const std::string& fileName, unsigned mode);
    // Takes over an open file handle, which the stream closes.
    TFileStream(std::string fileName, int handle) : FFileName(std::move(fileName)), FHandle(handle) {}
    ~TFileStream() override;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t newSize) override;

    int LastError() const override { return FLastError; }
    bool ExactSize() const override { return false; }
    // EReadError "Cannot read file \"%s\". %s" and EWriteError "Cannot write file \"%s\". %s".
    [[noreturn]] void RaiseReadError(int error) const override;
    [[noreturn]] void RaiseWriteError(int error) const override;

    const std::string& FileName() const { return FFileName; }
    int Handle() const { return FHandle; }
    // Forces written data to the disk.
    void Flush();

private:
    std::string FFileName;
    int FHandle = -1;
    int FLastError = 0;
};

// A memory stream whose bytes are read as a string.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(std::string data = {}) : TMemoryStream(std::move(data)) {}
    const std::string& DataString() const { return Data(); }
};
