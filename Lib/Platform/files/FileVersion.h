#pragma once
// Tells whether a file still holds the bytes a copy in memory was made from, so that the copy
// is read and parsed again only when the file changed, while every look still sees the file
// as it is on disk now.
//
// A file is known by its identity (device and inode), size, and modification and change
// times. Those alone miss a rewrite of the same size within one tick of the file system's
// clock; so while the change time is that recent, the bytes are read again and compared. Once
// it is older, one stat call answers.

#include <cstdint>
#include <string>

class TFileVersion {
public:
    enum class TLook {
        Unchanged,  // the file holds what the last look that answered Changed read
        Changed,    // the bytes were read now ("" for a file that does not exist)
        Unreadable, // the file exists but cannot be read; the next look reads again
    };

    // Looks at the file; on Changed, `bytes` holds its content.
    TLook Look(const std::string& fileName, std::string& bytes);
    // Takes `bytes` as what the file now holds, after the caller wrote them itself.
    void Accept(const std::string& fileName, const std::string& bytes);
    void Accept(const std::string& fileName, std::string&& bytes);
    // Makes the next look read the file.
    void Forget();

private:
    struct TStamp {
        bool Exists = false;
        std::uint64_t Device = 0, Inode = 0;
        std::int64_t Size = 0, Modified = 0, Changed = 0; // times in nanoseconds
        bool operator==(const TStamp&) const = default;
    };
    static bool TakeStamp(const std::string& fileName, TStamp& stamp, int& error);
    // Keeps `bytes` while the stamp is too recent to trust; moves them in when `take` is set.
    void Remember(const std::string& fileName, const TStamp& stamp, std::int64_t lookedAt, std::string& bytes,
                  bool take);

    TStamp FStamp;
    bool FKnown = false;
    bool FSettled = false;   // the stamp alone tells a change
    std::string FRecentBytes; // what the file held while its stamp was too recent to trust
};
