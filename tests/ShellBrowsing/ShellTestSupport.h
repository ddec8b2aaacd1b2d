#pragma once
// Support for the shell browsing tests. The whole test program runs with a home folder and XDG
// folders of its own inside a temporary folder (set before anything starts), so no test ever
// reads or writes the real home or trash. TShellTest gives each test a fresh folder inside the
// fake home and small helpers to fill it.

#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/Namespace.h"

#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

// The fake home folder of the test program.
std::string FakeHome();

class TShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The test's folder (inside the fake home) and paths inside it.
    const std::string& Dir() const { return FDir; }
    std::string PathOf(const std::string& name) const { return FDir + "/" + name; }
    // Creates a file (and its folders) with the bytes; returns its path.
    std::string MakeFile(const std::string& name, const std::string& bytes = "x");
    std::string MakeDir(const std::string& name);
    std::string MakeLink(const std::string& name, const std::string& target);
    // A namespace for an existing path (fails the test when the path cannot be parsed).
    std::unique_ptr<TNamespace> Item(const std::string& path);
    // The names of a folder's entries, sorted ("" entries are never listed).
    std::vector<std::string> Listing(const std::string& folder) const;
    // A namespace for the entry `name` of the test's folder (under one namespace of that
    // folder), kept until the test ends.
    TNamespace* Child(const std::string& name);

private:
    std::string FDir;
    std::unique_ptr<TNamespace> FFolder;
    std::vector<std::unique_ptr<TNamespace>> FChildren;
};

// A list built from items: {{kind, name}, ...}.
PItemIDList BuildList(std::initializer_list<std::pair<TItemKind, std::string>> items);
std::string ListBytes(PCItemIDList list);

// Root reads and enters every folder, so while one of these lives this thread looks at files as
// "nobody" (setfsuid changes only the file-system identity of the calling thread). The fake home
// is opened to others meanwhile, so that the test folders stay reachable.
class TFileSystemUser {
public:
    TFileSystemUser()
    {
        if (::geteuid() != 0) {
            FLimited = true;
            return;
        }
        ::chmod(FakeHome().c_str(), 0711);
        FOld = static_cast<uid_t>(::setfsuid(65534));
        FLimited = static_cast<uid_t>(::setfsuid(static_cast<uid_t>(-1))) == 65534;
    }
    ~TFileSystemUser()
    {
        if (::geteuid() != 0)
            return;
        ::setfsuid(FOld);
        ::chmod(FakeHome().c_str(), 0700);
    }
    TFileSystemUser(const TFileSystemUser&) = delete;
    TFileSystemUser& operator=(const TFileSystemUser&) = delete;
    bool Limited() const { return FLimited; }

private:
    uid_t FOld = 0;
    bool FLimited = false;
};
