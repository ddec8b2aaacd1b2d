#pragma once
// Files that are no regular files, for the tests of everything that reads a file the user
// names: a named pipe without a writer, a listening socket, a folder and a character device.
// A call that waits on such a file would hang its test for good; TPipeWatchdog ends that wait
// after a few seconds by opening the pipes itself, so the test fails instead.

#include "support/TempDir.h"

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

struct TSpecialFile {
    std::string Kind;   // shown in traces
    std::string Path;
    std::string Reason; // what the refusal says the file is
};

// The special files, made in `dir` (the device is the system's /dev/null).
class TSpecialFiles {
public:
    explicit TSpecialFiles(const TempDir& dir)
    {
        const std::string pipe = dir.File("pipe.php");
        ::mkfifo(pipe.c_str(), 0600);
        Files.push_back({"named pipe", pipe, "Is a named pipe"});
        const std::string socketPath = dir.File("socket.php");
        FSocket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
        if (FSocket >= 0 && ::bind(FSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
            ::listen(FSocket, 1);
        Files.push_back({"socket", socketPath, "Is a socket"});
        dir.Write("folder.php/.keep", "");
        Files.push_back({"folder", dir.File("folder.php"), "Is a directory"});
        Files.push_back({"device", "/dev/null", "Is a device"});
    }
    ~TSpecialFiles()
    {
        if (FSocket >= 0)
            ::close(FSocket);
    }
    TSpecialFiles(const TSpecialFiles&) = delete;
    TSpecialFiles& operator=(const TSpecialFiles&) = delete;

    std::vector<std::string> Pipes() const { return {Files[0].Path}; }

    std::vector<TSpecialFile> Files;

private:
    int FSocket = -1;
};

// While it lives, a call that waits on one of `pipes` for longer than `patience` is let go: the
// pipes are opened at both ends and closed again, which ends a waiting open or read.
class TPipeWatchdog {
public:
    explicit TPipeWatchdog(std::vector<std::string> pipes,
                           std::chrono::milliseconds patience = std::chrono::milliseconds(3000))
        : FPipes(std::move(pipes)), FThread([this, patience] { Watch(patience); })
    {
    }
    ~TPipeWatchdog()
    {
        {
            const std::lock_guard lock(FMutex);
            FDone = true;
        }
        FWake.notify_all();
        FThread.join();
    }
    TPipeWatchdog(const TPipeWatchdog&) = delete;
    TPipeWatchdog& operator=(const TPipeWatchdog&) = delete;

    // True when a call had to be let go.
    bool Fired()
    {
        const std::lock_guard lock(FMutex);
        return FFired;
    }

private:
    void Watch(std::chrono::milliseconds patience)
    {
        std::unique_lock lock(FMutex);
        if (FWake.wait_for(lock, patience, [this] { return FDone; }))
            return;
        FFired = true;
        // A waiting reader is let go by a writer that comes and goes, a waiting writer by a
        // reader; keep coming until the test is over, for calls that wait again.
        while (!FWake.wait_for(lock, std::chrono::milliseconds(50), [this] { return FDone; }))
            for (const std::string& pipe : FPipes) {
                const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
                const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                for (const int fd : {writer, reader})
                    if (fd >= 0)
                        ::close(fd);
            }
    }

    std::vector<std::string> FPipes;
    std::mutex FMutex;
    std::condition_variable FWake;
    bool FDone = false;
    bool FFired = false;
    std::thread FThread;
};
