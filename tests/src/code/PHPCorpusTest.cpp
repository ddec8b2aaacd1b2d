// Real PHP nobody here wrote (files of Debian's wordpress package): the scanner finds the same
// classes and functions, on the same lines, as PHP's own tokenizer declares.

#include "src/code/Declarations.h"

#include <gtest/gtest.h>

namespace {

const std::string Fixtures = ZENTU_TEST_SOURCE_DIR "/code/wordpress/";
const std::string Script = ZENTU_TEST_SOURCE_DIR "/code/php/declarations.php";

} // namespace

TEST(PHPCorpus, TheScannerFindsWhatPHPsTokenizerDeclares)
{
    const std::vector<std::string> files = {"class-wp-error.php", "compat.php", "menu-header.php",
                                            "class-wp-sitemaps-stylesheet.php", "atomlib.php"};
    std::vector<std::string> paths;
    for (const std::string& file : files)
        paths.push_back(Fixtures + file);
    const auto tokenized = TokenizedDeclarations(Script, paths);
    ASSERT_EQ(tokenized.size(), files.size()) << "php-cli must be installed";
    for (const std::string& path : paths) {
        const std::vector<std::string> expected = tokenized.at(path);
        EXPECT_FALSE(expected.empty() && path.find("menu-header") == std::string::npos) << path;
        EXPECT_EQ(ScannedDeclarations(*ScanPHPPage(ReadSourceLines(path), nullptr)), expected) << path;
    }
}

TEST(PHPCorpus, PHP4MembersAreListedWithTheirDefaults)
{
    const TPHPPageRef page = ScanPHPPage(ReadSourceLines(Fixtures + "atomlib.php"), nullptr);
    const auto members = [&](const std::string& name, size_t count) {
        std::vector<std::string> names;
        for (int i = 0; i < page->Count(); ++i)
            if (const auto* c = dynamic_cast<const TPHPClass*>(page->Items(i)); c && c->Name == name)
                for (int k = 0; k < c->Members.Count() && names.size() < count; ++k)
                    if (dynamic_cast<const TPHPVar*>(c->Members.Items(k)))
                        names.push_back(c->Members.Items(k)->Name);
        return names;
    };
    EXPECT_EQ(members("AtomFeed", 9), (std::vector<std::string>{"$links =  array()", "$categories =  array()", "$entries =  array()"}));
    EXPECT_EQ(members("AtomParser", 4),
              (std::vector<std::string>{"$NS =  'http://www.w3.org/2005/Atom'",
                                        "$ATOM_CONTENT_ELEMENTS =  array('content','summary','title','subtitle','rights')",
                                        "$ATOM_SIMPLE_ELEMENTS =  array('id','updated','published','draft')", "$debug =  false"}));
}
