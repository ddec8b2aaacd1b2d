// The PHP highlighter: token cutting by first byte, keywords by hash, strings with embedded
// variables and escapes, comments and strings that run over line ends, and the golden sample.

#include "SrcEdit/highlighters/HighlighterScan.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"

#include <gtest/gtest.h>

namespace {

constexpr int Com = tkPhpComment, Id = tkPhpIdentifier, Key = tkPhpKey, Num = tkPhpNumber, Sp = tkPhpSpace,
              Str = tkPhpString, Sym = tkPhpSymbol, Unk = tkPhpUnknown, Var = tkPhpVariable;
constexpr TLinesCaseRunner<TSrcPHPSyn> RunCases{};

} // namespace

TEST(PhpHighlighter, WordsNumbersAndSymbols)
{
    RunCases({
        {"keywords ignore case, variables and longer words do not",
         {"If IF if $if ifx"},
         {{"If", Key}, {" ", Sp}, {"IF", Key}, {" ", Sp}, {"if", Key}, {" ", Sp}, {"$if", Var}, {" ", Sp}, {"ifx", Id}},
         {rsPhpUnknown}},
        {"numbers stop before a double dot and take signs and hex letters",
         {"0x 1..5 1-2 0x1F 1.5e-3 .5"},
         {{"0x", Num}, {" ", Sp}, {"1", Num}, {".", Sym}, {".", Sym}, {"5", Num}, {" ", Sp}, {"1-2", Num}, {" ", Sp},
          {"0x1F", Num}, {" ", Sp}, {"1.5e-3", Num}, {" ", Sp}, {".", Sym}, {"5", Num}},
         {}},
        {"symbols of two and three bytes",
         {"=== <<= .= :: ?> -> => &&|| !="},
         {{"==", Sym}, {"=", Sym}, {" ", Sp}, {"<<=", Sym}, {" ", Sp}, {".", Sym}, {"=", Sym}, {" ", Sp}, {":", Sym},
          {":", Sym}, {" ", Sp}, {"?", Sym}, {">", Sym}, {" ", Sp}, {"->", Sym}, {" ", Sp}, {"=>", Sym}, {" ", Sp},
          {"&&", Sym}, {"||", Sym}, {" ", Sp}, {"!=", Sym}},
         {}},
        {"heredoc is not recognised and a backtick is unknown",
         {"<<<EOT", "`ls`"},
         {{"<<", Sym}, {"<", Sym}, {"EOT", Id}, {"`", Unk}, {"ls", Id}, {"`", Unk}},
         {rsPhpUnknown, rsPhpUnknown}},
        {"a variable name may be empty",
         {"$ $_a1"},
         {{"$", Var}, {" ", Sp}, {"$_a1", Var}},
         {}},
        {"object access outside strings is cut into pieces",
         {"$obj->name->x"},
         {{"$obj", Var}, {"->", Sym}, {"name", Id}, {"->", Sym}, {"x", Id}},
         {}},
        {"blanks and tabs make one space token",
         {"\t  x"},
         {{"\t  ", Sp}, {"x", Id}},
         {}},
        {"a UTF-8 character outside strings is one unknown token",
         {"\xC3\xA9\xE2\x82\xAC"},
         {{"\xC3\xA9", Unk}, {"\xE2\x82\xAC", Unk}},
         {}},
        {"a NUL ends the line",
         {std::string("a\0b", 3)},
         {{"a", Id}},
         {}},
    });
}

TEST(PhpHighlighter, CommentsAndStringsAcrossLines)
{
    RunCases({
        {"a block comment runs on and closes on the next line",
         {"/* a", "b */ c"},
         {{"/* a", Com}, {"b */", Com}, {" ", Sp}, {"c", Id}},
         {rsPhpComment, rsPhpUnknown}},
        {"the star of the opener does not close the comment",
         {"/*/ x", "*/"},
         {{"/*/ x", Com}, {"*/", Com}},
         {rsPhpComment, rsPhpUnknown}},
        {"line comments run to the end, whatever they hold",
         {"x # a ?> b", "// c */"},
         {{"x", Id}, {" ", Sp}, {"# a ?> b", Com}, {"// c */", Com}},
         {rsPhpUnknown, rsPhpUnknown}},
        {"an open single-quoted string keeps its range over an empty line",
         {"'abc", "", "d' e"},
         {{"'abc", Str}, {"d'", Str}, {" ", Sp}, {"e", Id}},
         {rsPhpString39, rsPhpString39, rsPhpUnknown}},
        {"an open double-quoted string never ends a line at a variable",
         {"\"abc $x", "y\""},
         {{"\"abc ", Str}, {"$x", Var}, {"y\"", Str}},
         {rsPhpString34, rsPhpUnknown}},
        {"a comment opener inside a string is string text",
         {"'/*' x"},
         {{"'/*'", Str}, {" ", Sp}, {"x", Id}},
         {rsPhpUnknown}},
    });
}

TEST(PhpHighlighter, EscapesAndEmbeddedVariables)
{
    RunCases({
        {"one backslash escapes the quote, two do not",
         {R"("a\"b" x)", R"("a\\"b)"},
         {{R"("a\"b")", Str}, {" ", Sp}, {"x", Id}, {R"("a\\")", Str}, {"b", Id}},
         {rsPhpUnknown, rsPhpUnknown}},
        {"a variable splits a double-quoted string",
         {"\"a $b c\""},
         {{"\"a ", Str}, {"$b", Var}, {" c\"", Str}},
         {rsPhpUnknown}},
        {"a braced variable with a quoted key",
         {"\"{$a['k']}\""},
         {{"\"", Str}, {"{$a['k']}", Var}, {"\"", Str}},
         {}},
        {"nested braces and the dollar-brace form",
         {"\"{$a{$b}} ${c}\""},
         {{"\"", Str}, {"{$a{$b}}", Var}, {" ", Str}, {"${c}", Var}, {"\"", Str}},
         {}},
        {"object access inside a string is one variable",
         {"\"$obj->name->x!\""},
         {{"\"", Str}, {"$obj->name->x", Var}, {"!\"", Str}},
         {}},
        {"index forms: quoted key, name, nested names; a variable index is not taken",
         {"\"$a['k'] $b[c] $d[e[f]] $g[$i]\""},
         {{"\"", Str}, {"$a['k']", Var}, {" ", Str}, {"$b[c]", Var}, {" ", Str}, {"$d[e[f]]", Var}, {" ", Str},
          {"$g", Var}, {"[", Str}, {"$i", Var}, {"]\"", Str}},
         {}},
        {"an incomplete extension ends the variable before it",
         {"\"$a->  $b[c\""},
         {{"\"", Str}, {"$a", Var}, {"->  ", Str}, {"$b", Var}, {"[c\"", Str}},
         {}},
        {"variables back to back get no empty string token between them",
         {"\"$a$b\""},
         {{"\"", Str}, {"$a", Var}, {"$b", Var}, {"\"", Str}},
         {}},
        {"an escaped dollar or brace keeps the variable in the string",
         {R"(x"\$a \{$b}")"},
         {{"x", Id}, {R"("\$a \{$b}")", Str}},
         {rsPhpUnknown}},
        {"single-quoted strings hold no variables",
         {"'$a'"},
         {{"'$a'", Str}},
         {}},
        {"a braced variable without its closing brace runs to the line end",
         {"\"{$a[", "x\""},
         {{"\"", Str}, {"{$a[", Var}, {"x\"", Str}},
         {rsPhpString34, rsPhpUnknown}},
    });
}

TEST(PhpHighlighter, EveryKeywordInAnyCase)
{
    const std::vector<std::string> keywords = {
        "abstract", "and", "array", "as", "break", "case", "catch", "cfunction", "class", "clone", "const",
        "continue", "declare", "default", "die", "do", "echo", "else", "elseif", "empty", "enddeclare", "endfor",
        "endforeach", "endif", "endswitch", "endwhile", "eval", "exception", "exit", "extends", "final", "for",
        "foreach", "function", "global", "if", "implements", "include", "include_once", "interface", "isset",
        "list", "new", "old_function", "or", "print", "private", "protected", "public", "require",
        "require_once", "return", "static", "switch", "throw", "try", "unset", "use", "var", "while", "xor",
        "__CLASS__", "__FILE__", "__FUNCTION__", "__LINE__", "__METHOD__", "php_user_filter"};
    TSrcPHPSyn h;
    for (const std::string& word : keywords) {
        SCOPED_TRACE(word);
        std::string upper = word;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (const std::string& form : {word, upper}) {
            h.ClearRange();
            h.StartLine(form, 0);
            EXPECT_EQ(h.TokenKindCode(), tkPhpKey) << form;
            EXPECT_EQ(h.TokenText(), form);
        }
        // the same letters plus one, or with a digit in place of the last letter, are plain words
        for (const std::string& other : {word + "s", word.substr(0, word.size() - 1) + "1"}) {
            h.StartLine(other, 0);
            EXPECT_EQ(h.TokenKindCode(), tkPhpIdentifier) << other;
        }
    }
}

TEST(PhpHighlighter, AttributesAndIdentity)
{
    TSrcPHPSyn h;
    std::vector<std::string> names;
    for (int i = 0; i < h.AttriCount(); ++i)
        names.push_back(h.AttriByIndex(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Comment", "Identifier", "Number", "Reserved Word", "Space", "String",
                                               "Symbol", "Variable"}));
    EXPECT_TRUE(h.CommentAttri()->Style().Contains(fsItalic));
    EXPECT_TRUE(h.KeyAttri()->Style().Contains(fsBold));
    EXPECT_EQ(h.RoleAttri(arString), h.StringAttri());
    EXPECT_EQ(h.RoleAttri(6), nullptr);
    EXPECT_EQ(h.GetLanguageTitle(), "PHP");
    EXPECT_FALSE(h.IsFilterStored());
    h.SetDefaultFilter("*.php");
    EXPECT_TRUE(h.IsFilterStored());
    EXPECT_GE(HighlighterList().IndexOf(TSrcPHPSyn::StaticClass()), 0);

    h.StartLine("\xC3\xA9", 0);
    EXPECT_EQ(h.TokenAttri(), h.IdentifierAttri()) << "unknown bytes look like identifiers";
    h.StartLine("", 0);
    EXPECT_TRUE(h.AtLineEnd());
    EXPECT_EQ(h.TokenAttri(), nullptr);
}

TEST(PhpHighlighter, RestoredRangeUsesOnlyItsLowByte)
{
    TSrcPHPSyn h;
    h.RestoreRange(0x100 | rsPhpComment);
    EXPECT_EQ(h.CurrentRange(), static_cast<TSrcRange>(rsPhpComment));
    h.StartLine("x */", 0);
    EXPECT_EQ(h.TokenKindCode(), tkPhpComment);
    // a range that stops at a variable is read as string text when no variable is there
    h.RestoreRange(rsPhpVarExpansion);
    h.StartLine("ab\" c", 0);
    EXPECT_EQ(h.TokenText(), "ab\"");
    EXPECT_EQ(h.TokenKindCode(), tkPhpString);
}

TEST(PhpHighlighter, GoldenSample)
{
    TSrcPHPSyn h;
    ExpectGolden(h, "php", "sample.php");
}

TEST(PhpHighlighter, SampleTextKeepsTheInvariants)
{
    TSrcPHPSyn h;
    ExpectCrLfAgrees(h, h.SampleText());
    ExpectRescanAgrees(h, h.SampleText());
    EXPECT_NE(h.SampleText().find("\r\n  print \"The number is $number\";\r\n"), std::string::npos);
}
