#include "search/zuFindInFiles.h"

#include "http/zuHttpPaths.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>

namespace {

// Thrown through the searcher when the run is aborted inside a file.
struct TRunAborted {};

} // namespace

std::vector<std::string> SplitMasks(std::string_view text)
{
    std::vector<std::string> masks;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(",;", start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string mask = Trim(text.substr(start, end - start));
        if (!mask.empty())
            masks.push_back(std::move(mask));
        start = end + 1;
    }
    return masks;
}

bool MatchesFileMask(std::string_view name, std::string_view mask)
{
    // why: the masks keep their meaning from where they come from, where "*.*" names every file,
    // also one without a dot.
    return mask == "*.*" || MatchesMask(name, mask);
}

TFindInFiles::TFindInFiles(const std::string& searchText, TSearchOptions options, unsigned threads)
    : FSearchText(searchText), FOptions(options)
{
    // The text is checked here, before any file.
    MakeSearcher();
    FMaxThreads = threads > 0 ? threads : std::clamp(std::thread::hardware_concurrency(), 1u, DefaultThreads);
    FLastYield = std::chrono::steady_clock::now();
}

TFindInFiles::~TFindInFiles()
{
    {
        const std::lock_guard lock(FLock);
        FAborted = true;
        FStopping = true;
        FQueue.clear();
    }
    FWork.notify_all();
    for (std::thread& thread : FThreads)
        thread.join();
}

std::unique_ptr<TSearcher> TFindInFiles::MakeSearcher() const
{
    auto searcher = std::make_unique<TSearcher>();
    searcher->SetBufSize(30000);
    searcher->SetOptions(FOptions);
    searcher->SetPattern(FSearchText);
    return searcher;
}

void TFindInFiles::Work()
{
    std::unique_ptr<TSearcher> searcher = MakeSearcher();
    TJob* job = nullptr;
    searcher->OnFound = [this, &job](TSearcher&, int lineNo, std::string_view line, int sPos, int ePos) {
        if (FAborted)
            throw TRunAborted();
        job->Hits.push_back(MakeSearchResult(lineNo, line, sPos, ePos));
    };
    std::unique_lock lock(FLock);
    while (!FStopping) {
        if (FQueue.empty()) {
            ++FIdleThreads;
            FWork.wait(lock);
            --FIdleThreads;
            continue;
        }
        job = FQueue.front();
        FQueue.pop_front();
        // why: the threads wake each other in turn, so that queuing a file wakes one at most.
        const bool more = !FQueue.empty() && FIdleThreads > 0;
        lock.unlock();
        if (more)
            FWork.notify_one();
        // invariant: until it is marked done, a job is this thread's alone.
        try {
            searcher->SetFileName(job->FileName);
            searcher->Execute();
        } catch (const TRunAborted&) {
        } catch (const std::exception& e) {
            job->Failed = true;
            job->Failure = e.what();
        }
        // why: the file's bytes are not kept while the search goes on.
        searcher->SetFileName("");
        lock.lock();
        job->Done = true;
        // invariant: while the searching thread waits, it does not change the list of jobs.
        if (FWaiting && FJobs.front().get() == job)
            FJobDone.notify_one();
    }
}

void TFindInFiles::Enqueue(std::unique_ptr<TJob> job)
{
    bool wake = false;
    {
        const std::lock_guard lock(FLock);
        TJob& queued = *FJobs.emplace_back(std::move(job));
        if (!queued.Done) {
            FQueue.push_back(&queued);
            // why: one thread more only when every thread is busy; a new thread costs more
            // than a wait for a file.
            if (FIdleThreads == 0 && FThreads.size() < FMaxThreads) {
                try {
                    FThreads.emplace_back([this] { Work(); });
                } catch (const std::system_error& e) {
                    if (FThreads.empty()) {
                        FQueue.pop_back();
                        queued.Failed = true;
                        queued.Failure = e.what();
                        queued.Done = true;
                    }
                }
            }
            wake = FIdleThreads > 0;
        }
    }
    if (wake)
        FWork.notify_one();
    // Memory stays bounded: the walk waits while too many files are searched ahead.
    while (!FAborted && FJobs.size() >= MaxPendingJobs)
        Deliver(TDeliver::dlFront);
    Deliver(TDeliver::dlReady);
}

void TFindInFiles::WakeWorkers()
{
    bool wake;
    {
        const std::lock_guard lock(FLock);
        wake = FIdleThreads > 0 && !FQueue.empty();
    }
    if (wake)
        FWork.notify_one();
}

bool TFindInFiles::WaitForFront()
{
    WakeWorkers();
    std::unique_lock lock(FLock);
    const TJob& job = *FJobs.front();
    if (!job.Done) {
        FWaiting = true;
        FJobDone.wait_for(lock, YieldInterval, [&job] { return job.Done; });
        FWaiting = false;
    }
    return job.Done;
}

void TFindInFiles::Deliver(TDeliver how)
{
    while (!FJobs.empty() && !FAborted) {
        bool done;
        {
            const std::lock_guard lock(FLock);
            done = FJobs.front()->Done;
        }
        if (!done) {
            if (how == TDeliver::dlReady)
                break;
            if (!WaitForFront()) {
                Yield();
                continue;
            }
        }
        const std::unique_ptr<TJob> job = std::move(FJobs.front());
        FJobs.pop_front();
        if (job->Failed) {
            FSkipped.emplace_back(job->FileName, job->Failure);
        } else {
            ++FFilesSearched;
            for (TSearchResult& hit : job->Hits) {
                if (OnHit)
                    OnHit(job->FileName, std::move(hit));
                if (FAborted)
                    break;
            }
        }
        if (how == TDeliver::dlFront)
            break;
        // Workers can finish many files while the GUI thread waits; handing them all over in
        // one burst would leave Escape unanswered until the last hit is shown.
        Yield();
    }
    Yield();
}

void TFindInFiles::Yield()
{
    if (FAborted)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - FLastYield < YieldInterval)
        return;
    FLastYield = now;
    if (OnYield)
        OnYield();
}

void TFindInFiles::EnqueueFailure(const std::string& name, const std::string& reason)
{
    auto job = std::make_unique<TJob>();
    job->FileName = name;
    job->Failed = true;
    job->Failure = reason;
    job->Done = true;
    Enqueue(std::move(job));
}

void TFindInFiles::SkipFile(const std::string& name)
{
    EnqueueFailure(name, "no file");
    Deliver(TDeliver::dlAll);
}

void TFindInFiles::SearchFile(const std::string& fileName)
{
    if (FAborted)
        return;
    auto job = std::make_unique<TJob>();
    job->FileName = fileName;
    Enqueue(std::move(job));
    Deliver(TDeliver::dlAll);
}

void TFindInFiles::SearchFolder(const std::string& folder, const std::vector<std::string>& masks, bool recurse)
{
    std::vector<TFolderId> path;
    Walk(IncludeTrailingPathDelimiter(folder), masks, recurse, path);
    Deliver(TDeliver::dlAll);
}

void TFindInFiles::Walk(const std::string& folder, const std::vector<std::string>& masks, bool recurse,
                        std::vector<TFolderId>& path)
{
    struct stat st {};
    std::unique_ptr<DIR, int (*)(DIR*)> dir(nullptr, ::closedir);
    if (::stat(folder.c_str(), &st) == 0)
        dir.reset(::opendir(folder.c_str()));
    if (!dir) {
        EnqueueFailure(folder, SysErrorMessage(errno));
        return;
    }
    std::vector<std::string> folders;
    std::vector<std::string> files;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_LNK || type == DT_UNKNOWN) {
            struct stat target {};
            if (::stat((folder + entry->d_name).c_str(), &target) != 0)
                type = DT_REG; // a broken link: its search reports why it cannot be read
            else
                type = S_ISDIR(target.st_mode) ? DT_DIR : S_ISREG(target.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (type == DT_DIR)
            folders.emplace_back(name);
        else if (type == DT_REG)
            files.emplace_back(name);
    }
    // why: a deep tree would otherwise hold one open folder per level.
    dir.reset();
    Deliver(TDeliver::dlReady);
    path.push_back({st.st_dev, st.st_ino});

    if (recurse) {
        for (const std::string& name : folders) {
            if (FAborted)
                break;
            const std::string sub = folder + name + '/';
            struct stat subStat {};
            if (::stat(sub.c_str(), &subStat) == 0 &&
                std::find(path.begin(), path.end(), TFolderId{subStat.st_dev, subStat.st_ino}) != path.end())
                continue;
            Walk(sub, masks, recurse, path);
        }
    }
    std::vector<bool> taken(files.size(), false);
    for (const std::string& mask : masks) {
        for (size_t i = 0; i < files.size() && !FAborted; ++i) {
            if (taken[i] || !MatchesFileMask(files[i], mask))
                continue;
            taken[i] = true;
            auto job = std::make_unique<TJob>();
            job->FileName = folder + files[i];
            Enqueue(std::move(job));
        }
    }
    WakeWorkers();
    path.pop_back();
}
