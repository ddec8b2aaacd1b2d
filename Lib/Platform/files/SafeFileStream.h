#pragma once
// A file stream that replaces its target atomically. Bytes go to a temporary file in the same
// folder; Commit flushes it to disk and renames it over the target, keeping the target's
// permissions. Without Commit the target is untouched and the temporary file is removed.
// When the folder is not writable but the target is, the stream writes the target in place.
// A symbolic link stays a link: the file it points to is the one replaced.

#include "Platform/files/Streams.h"

#include <memory>
#include <string>

class TSafeFileStream : public TStream {
public:
    // Raises EFCreateError "Cannot create file \"%s\". %s" when neither way is possible.
    explicit TSafeFileStream(const std::string& fileName);
    ~TSafeFileStream() override;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t newSize) override;

    // Makes the written bytes the content of the target; raises EWriteError on failure and
    // then leaves the target as it was.
    void Commit();
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
    std::string FTarget;   // the file replaced: FFileName, or where its symbolic link points
    std::string FTempName; // empty when writing in place
    std::unique_ptr<TFileStream> FStream;
    bool FCommitted = false;
};

// Writes `bytes` as the whole content of `fileName` through a TSafeFileStream.
void SaveFileAtomically(const std::string& fileName, std::string_view bytes);
