#pragma once
// A file stream that replaces its target without ever losing it. Bytes go to a temporary file
// in the same folder; Commit flushes it to disk and renames it over the target, which keeps
// its mode, owner and group. A symbolic link stays a link: the file it points to is the one
// replaced. Without Commit the target is untouched and the temporary file is removed.
//
// The target is written in place instead when renaming would change what it is: it has
// several hard links, or its owner or group cannot be given to the new file. So it is when
// the folder refuses new files (no write permission) but the file itself may be written; the
// bytes are then held in memory until Commit. In place, the room for the new bytes is
// reserved before the first byte is overwritten, and the file is cut to length last; a write
// that fails still puts the old bytes back. Any other failure to make the temporary file (no
// room, no free inodes, a read-only file system) fails with the target untouched.
//
// A set-user-ID or set-group-ID bit survives only on a file whose owner and group are kept.

#include "Platform/files/Streams.h"

#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>

// When the new bytes are flushed to the disk: before the rename (a crash of the machine then
// finds the old or the new file whole), or at a later SyncSavedFile, for a file rewritten many
// times in a row. A rename over a file still replaces it whole for every reader, and the file
// systems in use write a file renamed over another before the rename itself.
enum class TSaveSync { Now, Later };

class TSafeFileStream : public TStream {
public:
    // Raises EFCreateError "Cannot create file \"%s\". %s" when the save cannot be started.
    explicit TSafeFileStream(const std::string& fileName, TSaveSync sync = TSaveSync::Now);
    ~TSafeFileStream() override;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t newSize) override;

    // Makes the written bytes the content of the target; raises EWriteError "Cannot write file
    // \"%s\". %s" on failure and then leaves the target's bytes as they were.
    void Commit();
    const std::string& FileName() const { return FFileName; }

private:
    TStream& Current();
    // Renames the temporary file over the target (true), or writes its bytes into the target.
    bool CommitTemp(TFileStream& temp);

    std::string FFileName;
    std::string FTarget;   // the file replaced: FFileName, or where its symbolic links lead
    std::string FTempName; // empty when the bytes are held in memory
    std::unique_ptr<TFileStream> FTemp;
    std::unique_ptr<TMemoryStream> FHeld;
    bool FCommitted = false;
    TSaveSync FSync;
};

// Writes `bytes` as the whole content of `fileName` through a TSafeFileStream.
void SaveFileAtomically(const std::string& fileName, std::string_view bytes, TSaveSync sync = TSaveSync::Now);
// Flushes a file saved with TSaveSync::Later, and its folder, to the disk (nothing when the file
// is gone); raises EWriteError
// "Cannot write file \"%s\". %s" when that fails.
void SyncSavedFile(const std::string& fileName);

// Writes a file the program makes for itself (a backup or a run copy) without writing through
// anything found under its name: the bytes go to a new file made exclusively in the folder,
// which then takes the name. A symbolic link or another file there is replaced, never
// followed; when the folder does not let it be replaced (a shared folder with the sticky bit,
// a folder of that name), the save fails and nothing else changes. The new file gets `mode`
// (without set-ID bits), or the mode a plain create gives when there is none. Raises
// EFCreateError or EWriteError naming `fileName`.
void SaveOwnFile(const std::string& fileName, std::string_view bytes, std::optional<mode_t> mode = std::nullopt);

// The permission bits of an existing file without its set-ID bits, for a copy of it; none when
// there is no such file.
std::optional<mode_t> FilePermissions(const std::string& fileName);
