#pragma once
// TFindInFiles: one run of Find in Files over files or a folder tree, with one TSearcher. It
// hands each hit on with its file name, skips (and counts) the files it cannot search, yields
// to the caller every few milliseconds so that the window stays responsive, and stops soon
// after Abort.
//
// The folder walk lists subfolders before the folder's own files, each in the order the file
// system gives them, and the files of each mask in the order of the masks; a file that several
// masks match is searched once. Symbolic links are followed, except into a folder that already
// lies on the path down to them (a cycle). Only regular files are searched.

#include "search/zuSearchEngine.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
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
    using THitEvent =
        std::function<void(const std::string& FileName, int LineNo, std::string_view Line, int SPos, int EPos)>;

    // Raises what TSearcher::SetPattern raises.
    TFindInFiles(const std::string& searchText, TSearchOptions options);

    // Searches one file; one that cannot be read, or is binary, is skipped and counted.
    void SearchFile(const std::string& fileName);
    // Counts a document that has no file to search.
    void SkipFile(const std::string& name);
    void SearchFolder(const std::string& folder, const std::vector<std::string>& masks, bool recurse);

    // Ends the run after the file being searched (its remaining hits are not reported).
    void Abort() { FAborted = true; }
    bool Aborted() const { return FAborted; }

    THitEvent OnHit;
    // Called between files and between hits, at most once per YieldInterval.
    std::function<void()> OnYield;
    std::chrono::milliseconds YieldInterval{20};

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
    void Walk(const std::string& folder, const std::vector<std::string>& masks, bool recurse,
              std::vector<TFolderId>& path);
    void Yield();

    TSearcher FSearcher;
    std::string FCurrentFile;
    bool FAborted = false;
    int FFilesSearched = 0;
    std::vector<std::pair<std::string, std::string>> FSkipped;
    std::chrono::steady_clock::time_point FLastYield;
};
