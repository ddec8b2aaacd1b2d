#pragma once
// TFindInFiles: one run of Find in Files over files or a folder tree. Worker threads read and
// search the files, each with a TSearcher of its own; the thread that runs the search hands
// the hits on file by file in the order the files were given, skips (and counts) the files that
// cannot be searched, yields to its caller every few milliseconds so that the window stays
// responsive, and stops soon after Abort.
//
// The folder walk lists subfolders before the folder's own files, each in the order the file
// system gives them, and the files of each mask in the order of the masks; a file that several
// masks match is searched once. Symbolic links are followed, except into a folder that already
// lies on the path down to them (a cycle). Only regular files are searched.

#include "search/zuSearchEngine.h"
#include "search/zuSearchResults.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <thread>
#include <utility>
#include <vector>

// The parameters of the last search of the results window.
struct TGrepSettings {
    enum TScope : std::uint8_t { gsCurrentFile, gsOpenDocuments, gsActiveProject, gsFolder };

    bool CaseSensitive = false;
    bool WholeWords = false;
    bool Recurse = false;
    std::string Folder;
    std::string Masks;
    std::string SearchText;
    std::uint8_t Scope = gsFolder;
    // Set once a dialog has supplied valid parameters; the refresh command reuses them.
    bool HaveParameters = false;
};

// The masks of a mask text: split at "," and ";", trimmed, empty ones dropped.
std::vector<std::string> SplitMasks(std::string_view text);
// A file-name mask with "*" and "?", compared without regard to case; "*.*" and "*" match
// every name.
bool MatchesFileMask(std::string_view name, std::string_view mask);

class TFindInFiles {
public:
    // A hit as the results list keeps it (very long lines cut around the hit).
    using THitEvent = std::function<void(const std::string& FileName, TSearchResult&& Hit)>;

    // The most files searched at once unless the caller says otherwise: the machine's cores, up
    // to this many (more gain little, as the disk and the walk set the pace, and the program's
    // window keeps a core).
    static constexpr unsigned DefaultThreads = 4;

    // Raises what TSearcher::SetPattern raises. `threads`: the most files searched at once (0:
    // DefaultThreads).
    TFindInFiles(const std::string& searchText, TSearchOptions options, unsigned threads = 0);
    // Stops the workers; a file being searched is given up.
    ~TFindInFiles();
    TFindInFiles(const TFindInFiles&) = delete;
    TFindInFiles& operator=(const TFindInFiles&) = delete;

    // Searches one file and hands on its hits before it returns; one that cannot be read, or is
    // binary, is skipped and counted.
    void SearchFile(const std::string& fileName);
    // Counts a document that has no file to search.
    void SkipFile(const std::string& name);
    void SearchFolder(const std::string& folder, const std::vector<std::string>& masks, bool recurse);

    // Ends the run: no hit is handed on after it, and no further file is started.
    void Abort() { FAborted = true; }
    bool Aborted() const { return FAborted; }

    THitEvent OnHit;
    // Called on the searching thread between files and while it waits, at most once per
    // YieldInterval.
    std::function<void()> OnYield;
    std::chrono::milliseconds YieldInterval{20};

    // Files whose hits were handed on.
    int FilesSearched() const { return FFilesSearched; }
    // Files and folders that could not be read, binary files and documents without a file.
    int FilesSkipped() const { return static_cast<int>(FSkipped.size()); }
    // Each skipped name with the reason.
    const std::vector<std::pair<std::string, std::string>>& Skipped() const { return FSkipped; }

private:
    struct TFolderId {
        dev_t Device;
        ino_t Inode;
        bool operator==(const TFolderId&) const = default;
    };
    // One file handed to the workers, with what came of it.
    struct TJob {
        std::string FileName;
        bool Done = false; // guarded by FLock
        std::string Failure;
        bool Failed = false;
        std::vector<TSearchResult> Hits;
    };

    // What Deliver waits for: nothing, the job at the front, or every job.
    enum class TDeliver { dlReady, dlFront, dlAll };
    // The walk waits while this many files are not handed on yet (their names and hits).
    static constexpr size_t MaxPendingJobs = 4096;

    void Walk(const std::string& folder, const std::vector<std::string>& masks, bool recurse,
              std::vector<TFolderId>& path);
    // Queues a job (a failed one only takes its place in the order).
    void Enqueue(std::unique_ptr<TJob> job);
    void EnqueueFailure(const std::string& name, const std::string& reason);
    void WakeWorkers();
    // Waits a while for the job at the front; true when it is done.
    bool WaitForFront();
    // Hands on the finished jobs at the front, in order.
    void Deliver(TDeliver how);
    void Yield();
    std::unique_ptr<TSearcher> MakeSearcher() const;
    // A worker thread: searches queued jobs until the run ends.
    void Work();

    std::string FSearchText;
    TSearchOptions FOptions;
    std::atomic<bool> FAborted{false};
    int FFilesSearched = 0;
    std::vector<std::pair<std::string, std::string>> FSkipped;
    std::chrono::steady_clock::time_point FLastYield;

    std::mutex FLock;
    std::condition_variable FWork;
    std::condition_variable FJobDone;
    // Jobs not yet handed on, oldest first (only the searching thread changes the list).
    std::deque<std::unique_ptr<TJob>> FJobs;
    // Jobs no thread has taken yet; guarded by FLock, as are the three below.
    std::deque<TJob*> FQueue;
    size_t FIdleThreads = 0;
    bool FWaiting = false;
    bool FStopping = false;
    unsigned FMaxThreads = 1;
    std::vector<std::thread> FThreads;
};
