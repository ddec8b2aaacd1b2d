// Reading files the user names: what is no regular file is refused at once and by name, a file
// whose size the system does not know is read to its end (within a bound), and failed reads and
// writes name the file and the system's reason.

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/files/Streams.h"
#include "Platform/text/Strings.h"
#include "support/UnusualFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

// The ways the platform reads a whole file.
const std::vector<std::pair<const char*, std::function<std::string(const std::string&)>>>& Readers()
{
    static const std::vector<std::pair<const char*, std::function<std::string(const std::string&)>>> readers = {
        {"TFileStream", [](const std::string& name) {
             TFileStream stream(name, fmOpenRead | fmShareDenyWrite);
             return ReadToEnd(stream);
         }},
        {"ReadFileBytes", [](const std::string& name) { return ReadFileBytes(name); }},
        {"TMemoryStream", [](const std::string& name) {
             TMemoryStream stream;
             stream.LoadFromFile(name);
             return std::string(stream.View());
         }},
        {"TStringList", [](const std::string& name) {
             TStringList lines;
             lines.LoadFromFile(name);
             return lines.Text();
         }},
    };
    return readers;
}

// The message of the exception `call` raises ("" when it raises none or another kind).
template <typename Error>
std::string MessageOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e.what();
    } catch (...) {
        return "another exception";
    }
    return {};
}

// Files may grow to at most `limit` bytes while it lives, so that writes fail even for root.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t limit)
    {
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        rlimit small = FOld;
        small.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~TFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

} // namespace

// ---- files that are no regular files

TEST(FileReading, WhatIsNoRegularFileIsRefusedAtOnceByName)
{
    TempDir dir;
    const TSpecialFiles special(dir);
    for (const auto& [reader, read] : Readers()) {
        for (const TSpecialFile& file : special.Files) {
            SCOPED_TRACE(std::string(reader) + " on a " + file.Kind);
            TPipeWatchdog watchdog(special.Pipes());
            const std::string message = MessageOf<EFOpenError>([&] { read(file.Path); });
            EXPECT_EQ(message, "Cannot open file \"" + file.Path + "\". " + file.Reason);
            EXPECT_FALSE(watchdog.Fired()) << "the reader waited on the file";
        }
    }
}

TEST(FileReading, OpeningAPipeForWritingNeverWaitsForAReader)
{
    TempDir dir;
    const TSpecialFiles special(dir);
    const std::string pipe = special.Pipes()[0];
    for (const unsigned mode : {unsigned(fmOpenWrite), unsigned(fmOpenReadWrite), unsigned(fmCreate)}) {
        SCOPED_TRACE(mode);
        TPipeWatchdog watchdog(special.Pipes());
        try {
            // Opened for reading and writing, a pipe needs no other end.
            TFileStream stream(pipe, mode);
            EXPECT_NE(mode, unsigned(fmOpenWrite));
        } catch (const EFileStreamError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + pipe + "\". No such device or address");
        }
        EXPECT_FALSE(watchdog.Fired()) << "the open waited for a reader";
    }
}

// ---- files whose size the system does not know

TEST(FileReading, AFileWithoutAKnownSizeIsReadToItsEnd)
{
    struct Case {
        const char* File;
        const char* Holds; // a text the file's content starts with or contains
    };
    // procfs: no size at all (cpuinfo, status), or a size of 0 (environ, cmdline).
    const std::vector<Case> cases = {
        {"/proc/cpuinfo", "processor"},
        {"/proc/self/status", "Name:"},
        {"/proc/self/environ", "="},
        {"/proc/version", "Linux"},
    };
    for (const auto& [reader, read] : Readers()) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(reader) + " on " + c.File);
            std::string content;
            EXPECT_NO_THROW(content = read(c.File));
            EXPECT_NE(content.find(c.Holds), std::string::npos) << content.substr(0, 100);
        }
    }
}

TEST(FileReading, AFileThatNeverEndsIsRefusedByNameAfterTheBound)
{
    // A word for every page of the address space: for a test under AddressSanitizer it is read
    // slowly, so one reader stands for all (they share the bounded read).
    const std::string endless = "/proc/self/pagemap";
    EXPECT_EQ(MessageOf<EReadError>([&] { ReadFileBytes(endless); }), "Cannot read file \"" + endless + "\". File too large");
}

TEST(FileReading, AReadErrorNamesTheFileAndTheReason)
{
    const std::string unreadable = "/proc/self/mem"; // reading at offset 0 fails: nothing is mapped there
    for (const auto& [reader, read] : Readers()) {
        SCOPED_TRACE(reader);
        EXPECT_EQ(MessageOf<EReadError>([&] { read(unreadable); }),
                  "Cannot read file \"" + unreadable + "\". Input/output error");
    }
}

TEST(FileReading, ARegularFileIsReadWholeWhateverItsSize)
{
    TempDir dir;
    for (const size_t size : {size_t{0}, size_t{1}, size_t{65535}, size_t{65536}, size_t{65537}, size_t{300000}}) {
        std::string bytes(size, 'x');
        for (size_t i = 0; i < size; i += 7)
            bytes[i] = static_cast<char>(i);
        const std::string file = dir.Write("f" + std::to_string(size), bytes);
        for (const auto& [reader, read] : Readers()) {
            if (std::string_view(reader) == "TStringList")
                continue; // it splits lines
            SCOPED_TRACE(std::string(reader) + " of " + std::to_string(size));
            EXPECT_EQ(read(file), bytes);
        }
    }
}

// ---- failed writes

TEST(FileWriting, AFullDeviceNamesTheFileAndTheReason)
{
    TFileStream full("/dev/full", fmOpenWrite);
    EXPECT_EQ(MessageOf<EWriteError>([&] { full.WriteString("bytes"); }),
              "Cannot write file \"/dev/full\". No space left on device");
}

TEST(FileWriting, AFailedSafeSaveNamesTheTargetAndTheReasonNeverTheTemporaryFile)
{
    TempDir dir;
    const std::string target = dir.Write("plain.php", "old");
    std::string message;
    {
        const TFileSizeLimit limit(16);
        message = MessageOf<EWriteError>([&] { SaveFileAtomically(target, std::string(100, 'n')); });
    }
    EXPECT_EQ(message, "Cannot write file \"" + target + "\". File too large");
    EXPECT_EQ(ReadWholeFile(target), "old");
}
