// The code model: a function's parameter text split into parameters, an include's path unwrapped
// and classified, list access and look-up by name, and pages that are freed once nobody shows
// them.

#include "code/zuPHPReference.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

// "name|default" per parameter, joined by "; ". NUL in the input marks a string literal.
std::string Split(std::string_view text)
{
    const TPHPFunction function("f", text);
    std::string result;
    for (int i = 0; i < function.Params.Count(); ++i) {
        if (i > 0)
            result += "; ";
        result += function.Params.Items(i)->Name + "|" + function.Params.Items(i)->DefaultValue;
    }
    return result;
}

} // namespace

TEST(PHPReference, ParameterTextSplitsAtCommasOutsideLiteralsAndBrackets)
{
    using namespace std::string_literals;
    const std::pair<std::string, std::string> cases[] = {
        {"$a, $b = \0'x,y'\0"s, "$a|; $b|'x,y'"},
        {"$a = x, y", "$a|x; y|"},
        {"$x = $y == 1", "$x|$y  1"},
        {"", ""},
        {"   ", "|"},
        {"&$x", "&$x|"},
        {"$a = \0'a=b'\0"s, "$a|'a=b'"},
        {" $a ,\t$b\t", "$a|; $b|"},
        // A default made of brackets keeps its commas and "=" (array(), [], new X(...)).
        {"$a = array(1, 2), $b", "$a|array(1, 2); $b|"},
        {"$o = ['k' => 1, 'l' => [2, 3]]", "$o|['k' => 1, 'l' => [2, 3]]"},
        {"Logger $l = new Null(\0'a,b'\0, 2)"s, "Logger $l|new Null('a,b', 2)"},
        {"$a = \0')'\0, $b"s, "$a|')'; $b|"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Split(text), expected) << text;
}

TEST(PHPReference, ParameterListTextJoinsNamesAndDefaults)
{
    using namespace std::string_literals;
    EXPECT_EQ(TPHPFunction("f", "$a,$b=1").Params.Text(), "$a, $b = 1");
    EXPECT_EQ(TPHPFunction("f", "$host, $port = 80").Params.Text(), "$host, $port = 80");
    EXPECT_EQ(TPHPFunction("f", "").Params.Text(), "");
}

TEST(PHPReference, IncludeTextIsUnwrappedOncePerStepAndKindFollowsTheKeyword)
{
    const std::tuple<const char*, const char*, const char*, int> cases[] = {
        {"'a.php'", "include", "a.php", 0},
        {"('b.php')", "require_once", "b.php", 3},
        {" ( 'a.php' ) ", "include_once", " 'a.php' ", 1},
        {"\t\"c.php\"\n", "require", "c.php", 2},
        {"$dir . '/c.php'", "include", "$dir . '/c.php'", 0},
        {"()", "include", "", 0},
        {"\"\"", "include", "", 0},
        {"('')", "include", "", 0},
        {"(\"'x'\")", "include", "x", 0},
        {"'a.php\"", "include", "'a.php\"", 0},
        {"x", "INCLUDE", "x", 0},
        {"x", "eval", "x", 0},
    };
    for (const auto& [text, keyword, name, kind] : cases) {
        const TPHPInclude include(text, keyword);
        EXPECT_EQ(include.Name, name) << text;
        EXPECT_EQ(include.Kind, kind) << text << " " << keyword;
    }
}

TEST(PHPReference, ListsKeepOrderFindTheFirstExactNameAndRefuseBadIndexes)
{
    TPHPPage page;
    EXPECT_EQ(page.Add(std::make_unique<TPHPClass>("A", "")), 0);
    EXPECT_EQ(page.Add(std::make_unique<TPHPFunction>("f", "")), 1);
    EXPECT_EQ(page.Add(std::make_unique<TPHPFunction>("f", "$x")), 2);
    EXPECT_EQ(page.Count(), 3);
    EXPECT_EQ(page.FindByName(TPHP("f")), page.Items(1));
    EXPECT_EQ(page.FindByName(TPHP("a")), nullptr);
    EXPECT_EQ(page.FindByName(TPHP("F")), nullptr);
    EXPECT_EQ(page.FindByName(TPHP("")), nullptr);
    EXPECT_THROW(page.Items(3), EListError);
    EXPECT_THROW(page.Items(-1), EListError);
    try {
        page.Items(7);
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (7)");
    }
    const TPHPCaret fresh("x");
    EXPECT_EQ(fresh.Column, 0);
    EXPECT_EQ(fresh.Line, 0);
    EXPECT_FALSE(fresh.Expanded);
    EXPECT_EQ(page.ScrollOffset, (TPoint{0, 0}));
}

TEST(PHPReference, AReplacedPageIsFreedWhenTheLastHolderLetsGo)
{
    std::weak_ptr<TPHPPage> watch;
    TPHPPageRef shownByTree;
    {
        TPHPPageRef document = std::make_shared<TPHPPage>();
        document->Add(std::make_unique<TPHPFunction>("f", ""));
        watch = document;
        shownByTree = document;
        document = std::make_shared<TPHPPage>(); // the document takes a new page
        EXPECT_FALSE(watch.expired()) << "the tree still points into the old page";
    }
    shownByTree.reset();
    EXPECT_TRUE(watch.expired());
}
