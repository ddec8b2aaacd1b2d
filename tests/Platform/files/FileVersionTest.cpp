// Knowing whether a file changed since it was read: every change is seen by the next look, also
// one within the same tick of the clock that keeps size and times, and a look at an unchanged
// file reads nothing new.

#include "Platform/files/FileVersion.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

namespace {

using TLook = TFileVersion::TLook;

} // namespace

TEST(FileVersion, EveryChangeIsSeenByTheNextLook)
{
    struct Case {
        const char* What;
        std::function<void(const TempDir& dir, const std::string& name)> Change;
        TLook Expected;
        TLook Later;       // when the change comes after the file's times grew old
        const char* Bytes; // read by a look that answers Changed
    };
    const std::vector<Case> cases = {
        {"rewritten in place with as many bytes", [](const TempDir& dir, const std::string&) { dir.Write("f.ini", "k=2"); },
         TLook::Changed, TLook::Changed, "k=2"},
        {"rewritten with the same bytes", [](const TempDir& dir, const std::string&) { dir.Write("f.ini", "k=1"); },
         // Only a comparison tells; once the times are old, the new times make it a re-read.
         TLook::Unchanged, TLook::Changed, "k=1"},
        {"replaced by another file",
         [](const TempDir& dir, const std::string& name) {
             dir.Write("g.ini", "k=3");
             std::rename(dir.File("g.ini").c_str(), name.c_str());
         },
         TLook::Changed, TLook::Changed, "k=3"},
        {"emptied", [](const TempDir& dir, const std::string&) { dir.Write("f.ini", ""); }, TLook::Changed, TLook::Changed, ""},
        {"deleted", [](const TempDir&, const std::string& name) { std::remove(name.c_str()); }, TLook::Changed,
         TLook::Changed, ""},
        {"a folder in its place",
         [](const TempDir& dir, const std::string& name) {
             std::remove(name.c_str());
             dir.Write("f.ini/inside", "x");
         },
         TLook::Unreadable, TLook::Unreadable, ""},
    };
    for (const bool settled : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.What) + (settled ? ", after the file's times grew old" : ", at once"));
            TempDir dir;
            const std::string name = dir.Write("f.ini", "k=1");
            TFileVersion version;
            std::string bytes;
            ASSERT_EQ(version.Look(name, bytes), TLook::Changed);
            EXPECT_EQ(bytes, "k=1");
            if (settled) {
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                ASSERT_EQ(version.Look(name, bytes), TLook::Unchanged);
            }
            c.Change(dir, name);
            bytes = "untouched";
            const TLook expected = settled ? c.Later : c.Expected;
            EXPECT_EQ(version.Look(name, bytes), expected);
            if (expected == TLook::Changed) {
                EXPECT_EQ(bytes, c.Bytes);
            }
            EXPECT_NE(version.Look(name, bytes), TLook::Changed) << "a second look finds nothing new";
        }
    }
}

TEST(FileVersion, AMissingFileReadsAsEmptyUntilItIsMade)
{
    TempDir dir;
    const std::string name = dir.File("later.ini");
    TFileVersion version;
    std::string bytes = "x";
    EXPECT_EQ(version.Look(name, bytes), TLook::Changed);
    EXPECT_EQ(bytes, "");
    EXPECT_EQ(version.Look(name, bytes), TLook::Unchanged);
    dir.Write("later.ini", "now");
    EXPECT_EQ(version.Look(name, bytes), TLook::Changed);
    EXPECT_EQ(bytes, "now");
    EXPECT_EQ(version.Look(dir.File("no/folder/x.ini"), bytes), TLook::Changed) << "a missing folder is no error";
}

TEST(FileVersion, WhatTheCallerWroteItselfNeedsNoRead)
{
    TempDir dir;
    const std::string name = dir.Write("f.ini", "k=1");
    TFileVersion version;
    std::string bytes;
    version.Look(name, bytes);
    dir.Write("f.ini", "k=9");
    version.Accept(name, "k=9");
    EXPECT_EQ(version.Look(name, bytes), TLook::Unchanged);

    // Someone else's write right after the caller's is still seen.
    dir.Write("f.ini", "k=8");
    EXPECT_EQ(version.Look(name, bytes), TLook::Changed);
    EXPECT_EQ(bytes, "k=8");

    version.Forget();
    EXPECT_EQ(version.Look(name, bytes), TLook::Changed);
}
