// The outside programs the tests run: each comes from a package that CI installs, and a missing
// one fails the test with the name of the package to install.

#include "support/ConsumerTools.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace {

std::set<std::string> CIPackages()
{
    std::ifstream list(ZENTU_TEST_SOURCE_DIR "/../../.ci/packages.txt");
    std::set<std::string> packages;
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] != '#')
            packages.insert(line.substr(0, line.find_first_of(" \t\r")));
    return packages;
}

} // namespace

TEST(ConsumerTools, EveryProgramTheTestsRunComesFromAPackageCIInstalls)
{
    const std::set<std::string> packages = CIPackages();
    ASSERT_TRUE(packages.count("unrtf")) << "the package list was not read";
    for (const char* program : {"pdfinfo", "pdftotext", "unrtf", "pdflatex", "/usr/bin/python3", "pngtopam",
                                "giftopnm", "pnmtotiff", "tifftopnm", "convert", "tiffcp", "tiffinfo", "gio",
                                "trash-list", "trash-restore", "diff", "php", "php-cgi"}) {
        SCOPED_TRACE(program);
        const std::string package = PackageOfTool(program);
        ASSERT_FALSE(package.empty());
        EXPECT_TRUE(packages.count(package)) << package << " is not in .ci/packages.txt";
    }
    for (const char* module : {"html5lib", "pyftpdlib"})
        EXPECT_TRUE(packages.count(PackageOfPythonModule(module))) << module;
    EXPECT_EQ(PackageOfPythonModule("Some_Module"), "python3-some-module");
}

TEST(ConsumerTools, AMissingProgramFailsTheTestNamingItsPackage)
{
    TempDir empty;
    const ScopedEnvironment path("PATH", empty.Path());
    struct Case {
        const char* Program;
        const char* Message;
    };
    const Case cases[] = {
        {"unrtf", "'unrtf': install the Debian package unrtf (.ci/packages.txt)"},
        {"pdflatex", "'pdflatex': install the Debian package texlive-latex-base (.ci/packages.txt)"},
        {"tiffinfo", "install the Debian package libtiff-tools"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Program);
        TToolResult result;
        EXPECT_NONFATAL_FAILURE(result = RunTool(c.Program, {"--version"}), c.Message);
        EXPECT_EQ(result.ExitCode, -1);
    }
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(PdfPageCount(empty.File("a.pdf")), 0), "install the Debian package poppler-utils");
    EXPECT_NONFATAL_FAILURE(RequireTool(empty.File("no-such-tool")), "which is not installed");
    EXPECT_NONFATAL_FAILURE(RequireTool(empty.File("pdftotext")), "install the Debian package poppler-utils");
}

TEST(ConsumerTools, AMissingPythonModuleFailsTheTestNamingItsPackage)
{
    EXPECT_NONFATAL_FAILURE(RequirePythonModule("zentu_no_such_module"),
                            "cannot import 'zentu_no_such_module': install the Debian package "
                            "python3-zentu-no-such-module");
    TToolResult result;
    EXPECT_NONFATAL_FAILURE(result = RunTool("/usr/bin/python3", {"-c", "import zentu_absent.sub"}),
                            "install the Debian package python3-zentu-absent");
    EXPECT_NE(result.ExitCode, 0);
    EXPECT_TRUE(RequirePythonModule("json"));
}

TEST(ConsumerTools, AProgramThatRunsGivesItsOutput)
{
    const TToolResult result = RunTool("diff", {"-", "/dev/null"}, "a\n");
    EXPECT_EQ(result.ExitCode, 1);
    EXPECT_EQ(result.Output, "1d0\n< a\n");
}
