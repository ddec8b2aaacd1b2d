#include "search/zuFindInFiles.h"

#include "http/zuHttpPaths.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

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

TFindInFiles::TFindInFiles(const std::string& searchText, TSearchOptions options)
{
    FSearcher.SetBufSize(30000);
    FSearcher.SetOptions(options);
    FSearcher.SetPattern(searchText);
    FSearcher.OnFound = [this](TSearcher&, int lineNo, std::string_view line, int sPos, int ePos) {
        if (OnHit)
            OnHit(FCurrentFile, lineNo, line, sPos, ePos);
        Yield();
        if (FAborted)
            throw TRunAborted();
    };
    FLastYield = std::chrono::steady_clock::now();
}

void TFindInFiles::Yield()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - FLastYield < YieldInterval)
        return;
    FLastYield = now;
    if (OnYield)
        OnYield();
}

void TFindInFiles::SkipFile(const std::string& name)
{
    FSkipped.emplace_back(name, "no file");
}

void TFindInFiles::SearchFile(const std::string& fileName)
{
    if (FAborted)
        return;
    FCurrentFile = fileName;
    try {
        FSearcher.SetFileName(fileName);
        FSearcher.Execute();
        ++FFilesSearched;
    } catch (const TRunAborted&) {
        ++FFilesSearched;
    } catch (const Exception& e) {
        FSkipped.emplace_back(fileName, e.Message());
    }
    // why: the file's bytes are not kept while the walk goes on.
    FSearcher.SetFileName("");
    Yield();
}

void TFindInFiles::SearchFolder(const std::string& folder, const std::vector<std::string>& masks, bool recurse)
{
    std::vector<TFolderId> path;
    Walk(IncludeTrailingPathDelimiter(folder), masks, recurse, path);
}

void TFindInFiles::Walk(const std::string& folder, const std::vector<std::string>& masks, bool recurse,
                        std::vector<TFolderId>& path)
{
    struct stat st {};
    DIR* dir = ::stat(folder.c_str(), &st) == 0 ? ::opendir(folder.c_str()) : nullptr;
    if (!dir) {
        FSkipped.emplace_back(folder, SysErrorMessage(errno));
        return;
    }
    path.push_back({st.st_dev, st.st_ino});
    std::vector<std::string> folders;
    std::vector<std::string> files;
    while (const dirent* entry = ::readdir(dir)) {
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
    ::closedir(dir);
    Yield();

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
            SearchFile(folder + files[i]);
        }
    }
    path.pop_back();
}
