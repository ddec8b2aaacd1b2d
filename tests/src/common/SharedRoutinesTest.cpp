// The shared helpers: line breaks, GUIDs, path parts, type names, HTML colours, tag case,
// doubled slashes and ending this program's own processes by name.

#include "common/zuFunctions.h"

#include "Platform/core/Exceptions.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <csignal>
#include <thread>

TEST(ConvertLineBreaks, EveryKindOfBreakBecomesTheChosenOne)
{
    struct Case {
        std::string text;
        int mode;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"a\r\r\nb\n", 1, "a\n\nb\n"},
        {"a\r\r\nb\n", 0, "a\r\n\r\nb\r\n"},
        {"a\r\r\nb\n", 2, "a\r\rb\r"},
        {"", 0, ""},
        {"\n\r", 0, "\r\n\r\n"},
        {"no breaks", 1, "no breaks"},
        {"\r\n\r\n", 1, "\n\n"},
        {"ä\r\nö\r", 1, "ä\nö\n"},
        {"x\ry", 7, "x\ry"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text) + " mode " + std::to_string(c.mode));
        EXPECT_EQ(ConvertLineBreaks(c.text, c.mode), c.expected);
    }
}

TEST(GUIDs, TextFormAndComparison)
{
    const TGUID g = StringToGUID("{7aa71302-529e-465a-ac87-fab5885a3a86}");
    EXPECT_EQ(GUIDToString(g), "{7AA71302-529E-465A-AC87-FAB5885A3A86}");
    EXPECT_EQ(g.D1, 0x7AA71302u);
    EXPECT_EQ(g.D4[7], 0x86);
    EXPECT_EQ(GUIDToString(NullGUID), "{00000000-0000-0000-0000-000000000000}");
    EXPECT_TRUE(SameGUID(StringToGUID("{00000000-0000-0000-0000-000000000000}"), NullGUID));

    for (int field = 0; field < 4; ++field) {
        SCOPED_TRACE(field);
        TGUID other = g;
        if (field == 0)
            other.D1 ^= 1;
        else if (field == 1)
            other.D2 ^= 1;
        else if (field == 2)
            other.D3 ^= 1;
        else
            other.D4[7] ^= 1;
        EXPECT_FALSE(SameGUID(g, other));
    }

    const TGUID a = CreateGUID(), b = CreateGUID();
    EXPECT_FALSE(SameGUID(a, b));
    EXPECT_TRUE(SameGUID(StringToGUID(GUIDToString(a)), a));

    for (const char* bad : {"", "{7AA71302-529E-465A-AC87-FAB5885A3A8}", "7AA71302-529E-465A-AC87-FAB5885A3A86",
                            "{7AA71302-529E-465A-AC87-FAB5885A3A8G}", "{7AA71302+529E-465A-AC87-FAB5885A3A86}"}) {
        SCOPED_TRACE(bad);
        TGUID out;
        EXPECT_FALSE(TryStringToGUID(bad, out));
        EXPECT_THROW(StringToGUID(bad), EConvertError);
    }
}

TEST(SplitPath, NameAndFolderParts)
{
    struct Case {
        const char* path;
        const char* name;
        const char* dir;
    };
    const std::vector<Case> cases = {
        {"/www/site/index.php", "index.php", "/www/site/"},
        {"index.php", "index.php", ""},
        {"/www/site/", "", "/www/site/"},
        {"/", "", "/"},
        {"", "", ""},
        // ':' and '\' are ordinary characters of Linux file names.
        {"/home/me/notes:v2.txt", "notes:v2.txt", "/home/me/"},
        {"/home/me/a\\b.php", "a\\b.php", "/home/me/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(SplitPathName(c.path), c.name);
        EXPECT_EQ(SplitPathDir(c.path), c.dir);
    }
}

TEST(ShellTypeName, FoldersKnownTypesAndFallbacks)
{
    EXPECT_EQ(ShellTypeName("/tmp/anything.php", true), "Folder");
    EXPECT_EQ(ShellTypeName("photo.zentuunknownext", false), "ZENTUUNKNOWNEXT File");
    EXPECT_EQ(ShellTypeName("/some/folder.d/notes", false), "Unknown File");
    const std::string known = ShellTypeName("page.html", false);
    EXPECT_FALSE(known.empty());
    EXPECT_NE(known, "HTML File") << "a known type is named by the system: " << known;
}

TEST(ColorToHtml, RedGreenBlueInUpperCaseHex)
{
    EXPECT_EQ(ColorToHtml(0x00FF8000), "#0080FF");
    EXPECT_EQ(ColorToHtml(clRed), "#FF0000");
    EXPECT_EQ(ColorToHtml(0x00ABCDEF), "#EFCDAB");
    const std::string system = ColorToHtml(clWindow);
    EXPECT_EQ(system, ColorToHtml(ColorToRGB(clWindow))) << "a system colour is resolved";
}

TEST(ChangeTagCase, OnlyLettersInsideTagsAndOutsideQuotesChange)
{
    struct Case {
        const char* text;
        bool toLower;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"<a href=\"Page.html\">Go Home</a>", false, "<A HREF=\"Page.html\">Go Home</A>"},
        {"<DIV Class='Big'>Text</DIV>", true, "<div class='Big'>Text</div>"},
        {"<?php echo $A; ?>", false, "<?php echo $A; ?>"},
        {"<!-- Keep This -->", false, "<!-- Keep This -->"},
        {"<%= Value %>", false, "<%= Value %>"},
        {"text <", false, "text <"},
        {"a > b <br>", false, "a > b <BR>"},
        // An unbalanced quote keeps later tags unchanged until a quote in a tag flips it back.
        {"<a title=\"x>Text<b>more</b><i title=\"y\">", false, "<A TITLE=\"x>Text<b>more</b><i title=\"Y\">"},
        {"Ünïcode <ÄbC>", false, "Ünïcode <ÄBC>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ChangeTagCase(c.text, c.toLower), c.expected);
    }
}

TEST(CollapseSlashes, RunsOfSlashesBecomeOne)
{
    EXPECT_EQ(CollapseSlashes("a//b///c/"), "a/b/c/");
    EXPECT_EQ(CollapseSlashes("127.0.0.1:7905/site/index.php"), "127.0.0.1:7905/site/index.php");
    EXPECT_EQ(CollapseSlashes("http://host"), "http:/host") << "callers put the scheme in front afterwards";
    EXPECT_EQ(CollapseSlashes(""), "");
}

namespace {

bool Alive(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0;
}

} // namespace

TEST(KillProcessesByName, EndsOnlyThisProgramsOwnProcesses)
{
    EXPECT_FALSE(KillProcessesByName("zentu-no-such-program"));

    // A process of the same name that this program did not start: its parent has left.
    QProcess outsider;
    outsider.start("/bin/sh", {"-c", "sleep 30 >/dev/null 2>&1 & echo $!"});
    ASSERT_TRUE(outsider.waitForFinished(5000));
    const qint64 strangerPid = outsider.readAllStandardOutput().trimmed().toLongLong();
    ASSERT_GT(strangerPid, 0);

    QProcess own;
    own.start("sleep", {"30"});
    ASSERT_TRUE(own.waitForStarted(5000));

    EXPECT_TRUE(KillProcessesByName("SLEEP")) << "letter case does not matter";
    EXPECT_TRUE(own.waitForFinished(5000));
    EXPECT_EQ(own.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(Alive(strangerPid)) << "a process this program did not start is left alone";
    ::kill(static_cast<pid_t>(strangerPid), SIGKILL);

    // The full path of the executable matches as well.
    QProcess second;
    second.start("/bin/sleep", {"30"});
    ASSERT_TRUE(second.waitForStarted(5000));
    EXPECT_TRUE(KillProcessesByName("/bin/sleep"));
    EXPECT_TRUE(second.waitForFinished(5000));
    EXPECT_FALSE(KillProcessesByName("sleep")) << "nothing left to end";
}
