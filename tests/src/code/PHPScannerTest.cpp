// The PHP source scanner: which classes, functions, "var" members and includes it finds in
// PHP 4 to PHP 8 code, where it places them, what breaks a declaration off, and the view state
// that a new page takes over from the page it replaces.

#include "code/zuPHPParser.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> Lines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
        if (end == std::string_view::npos)
            return lines;
        start = end + 1;
    }
}

std::string Dump(const TPHPList& list, bool places);

std::string DumpItem(const TPHP& item, bool places)
{
    std::string text;
    if (const auto* c = dynamic_cast<const TPHPClass*>(&item))
        text = "class " + c->Name + (c->ParentName.empty() ? "" : " extends " + c->ParentName);
    else if (const auto* f = dynamic_cast<const TPHPFunction*>(&item)) {
        text = "function " + f->Name + "(";
        for (int i = 0; i < f->Params.Count(); ++i) {
            const TPHPParameter* p = f->Params.Items(i);
            text += (i > 0 ? ", " : "") + (p->Name.empty() ? "_" : p->Name) + (p->DefaultValue.empty() ? "" : "=" + p->DefaultValue);
        }
        text += ")";
    } else if (const auto* v = dynamic_cast<const TPHPVar*>(&item))
        text = "var " + v->Name;
    else if (const auto* n = dynamic_cast<const TPHPInclude*>(&item))
        text = "include" + std::to_string(n->Kind) + " " + n->Name;
    const auto& caret = dynamic_cast<const TPHPCaret&>(item);
    if (places)
        text += " @" + std::to_string(caret.Line) + ":" + std::to_string(caret.Column);
    if (const auto* c = dynamic_cast<const TPHPClass*>(&item))
        text += " {" + Dump(c->Members, places) + "}";
    return text;
}

std::string Dump(const TPHPList& list, bool places)
{
    std::string text;
    for (int i = 0; i < list.Count(); ++i)
        text += (i > 0 ? ", " : "") + DumpItem(*list.Items(i), places);
    return text;
}

std::string Scan(std::string_view text, bool places = false)
{
    return Dump(*ScanPHPPage(Lines(text), nullptr), places);
}

using TCase = std::pair<const char*, const char*>;

void Check(std::initializer_list<TCase> cases)
{
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Scan(text), expected) << text;
}

} // namespace

TEST(PHPScanner, OnlyThePHPPartsOfADocumentAreScanned)
{
    Check({
        {"no php here\n<b>function f() {}</b>", ""},
        {"text <\n?php function f() {}", ""},
        {"?php function f() {}", ""},
        {"<?PHP function f() {}", "function f()"},
        {"<?function f() {}", "function f()"},
        {"<p><?php function a() {} ?><b>function x() {}</b><?= 1 ?><?php function b() {}", "function a(), function b()"},
        {"<?php // x ?> function f() {}", ""},
        {"<?php # x ?> function f() {}", ""},
        {"<?php /* ?> */ function f() {}", "function f()"},
        {"<?php $s = '?>'; function f() {}", "function f()"},
        {"<?php $s = \"it's ?>\"; function f() {}", "function f()"},
        {"<?php $s = 'it\\'s'; function f() {}", "function f()"},
        {"<?php $s = \"a\\\\\"; function f() {}", "function f()"},
        {"<?php $s = 'abc;\nfunction f() {}", ""},
        {"<?php /* open\nfunction f() {}", ""},
        {"<?php // function f() {}\nfunction g() {}", "function g()"},
        {"<?php # function f() {}\nfunction g() {}", "function g()"},
    });
}

TEST(PHPScanner, KeywordsAreCaseSensitiveWholeWords)
{
    Check({
        {"<?php Class A {} FUNCTION f() {}", ""},
        {"<?php $class = 1; $function = 2; classes(); functional();", ""},
        {"<?php\nfunction\nf() {}", "function f()"},
    });
}

TEST(PHPScanner, FunctionDeclarations)
{
    Check({
        {"<?php function f($a, $b = 'x,y') {}", "function f($a, $b='x,y')"},
        {"<?php function &f($x) {}", "function &f($x)"},
        {"<?php function f(\n$a,\n$b) {}", "function f($a, $b)"},
        {"<?php function f ( ) {}", "function f(_)"},
        {"<?php function ($x) {}", "function ($x)"},
        {"<?php $c = function ($a) use ($b) { return $a; };", "function ($a)"},
        {"<?php function f($a; function g() {}", "function g()"},
        {"<?php function f { function g() {}", "function g()"},
        {"<?php function f($a) { function g() {} }", "function f($a), function g()"},
        {"<?php function f(int|string $a, ?Foo $b = null): ?array {}", "function f(int|string $a, ?Foo $b=null)"},
        // Defaults made of calls and brackets keep the declaration.
        {"<?php function f($a = array()) {}", "function f($a=array())"},
        {"<?php function f($a = array('x' => 1, 'y' => 2), $b = [1, 2]) {}", "function f($a=array('x' => 1, 'y' => 2), $b=[1, 2])"},
        {"<?php function f(Logger $l = new NullLogger()) {}", "function f(Logger $l=new NullLogger())"},
    });
}

TEST(PHPScanner, ClassDeclarationsAndTheirBodies)
{
    Check({
        {"<?php class A extends B implements C {}", "class A extends B {}"},
        {"<?php class A extends\n B {}", "class A extends B {}"},
        {"<?php class A extends\nB {}", "class A {}"},
        {"<?php class A\nextends B {}", "class Aextends {}"},
        {"<?php class A extends \\Base\\Model {}", "class A extends \\Base\\Model {}"},
        {"<?php abstract class A { abstract function m(); }", "class A {function m()}"},
        {"<?php class A { class B {} function f() {} }", "class A {function f()}"},
        {"<?php class A { function m() { if (1) { } } } function g() {}", "class A {function m()}, function g()"},
        {"<?php class A {\nfunction f() {}", "class A {function f()}"},
        {"<?php class A; function f() {}", "function f()"},
        {"<?php class A { include 'x.php'; } include 'y.php';", "class A {include0 x.php}, include0 y.php"},
    });
}

TEST(PHPScanner, VarMembers)
{
    Check({
        {"<?php class A { var $a = 1, $b; }", "class A {var $a =  1, var $b}"},
        {"<?php class A { var $a = 'x;y'; var $c=\"q\"; }", "class A {var $a =  'x;y', var $c = \"q\"}"},
        {"<?php class A { var $a = array(1, 2), $b; }", "class A {var $a =  array(1, 2), var $b}"},
        {"<?php class A { var $a = [1, 2], $b; }", "class A {var $a =  [1, 2], var $b}"},
        {"<?php var $x; class A {} var $y;", "class A {}"},
    });
}

TEST(PHPScanner, IncludeStatements)
{
    Check({
        {"<?php include 'a.php'; require_once('b.php'); include $dir . '/c.php';",
         "include0 a.php, include3 b.php, include0 $dir . '/c.php'"},
        {"<?php include_once \"d.php\"; require 'e.php';", "include1 d.php, include2 e.php"},
        {"<?php include 'a.php' ?>", "include0 a.php"},
        {"<?php include {'a.php'};", ""},
        {"<?php include ;", ""},
        {"<?php require_once __DIR__ . '/wp-load.php';", "include3 __DIR__ . '/wp-load.php'"},
        {"<?php if ($x) include 'a.php';", "include0 a.php"},
    });
}

TEST(PHPScanner, PHP8SyntaxNeitherDerailsTheScanNorPassesForOtherItems)
{
    Check({
        {"<?php\nnamespace App\\Models;\nuse Foo\\Bar;\nuse function Foo\\baz;\nuse const Foo\\X;\nfunction f() {}", "function f()"},
        {"<?php namespace App { function f() {} }", "function f()"},
        {"<?php interface I extends J, K { public function m(int $x): void; }", "class I extends J {function m(int $x)}"},
        {"<?php trait T { public function t() {} } class C { use T; }", "class T {function t()}, class C {}"},
        {"<?php enum Suit: string { case H = 'h'; public function label(): string { return 'x'; } }",
         "class Suit {function label()}"},
        {"<?php $x = enum($y); if ($x) { function f() {} }", "function f()"},
        {"<?php $a = [Foo::class, 'x']; switch ($c) { case Bar::class: { function f() {} } }", "function f()"},
        {"<?php $this->include('x'); $o->function; $o?->class; function g() {}", "function g()"},
        {"<?php class P { public int $a = 1; private ?Foo $b; public readonly array $c;"
         " public function __construct(private int $x = 0, protected array $y = []) {} }",
         "class P {function __construct(private int $x=0, protected array $y=[])}"},
        {"<?php #[Attr('a', b: 2)]\nclass A {\n#[Route('/x', methods: ['GET'])] public function f(#[Sensitive] $p) {}\n}",
         "class A {function f(#[Sensitive] $p)}"},
        {"<?php $f = fn($x) => $x * 2; $g = static fn() => 1; function h() {}", "function h()"},
        {"<?php $s = <<<EOT\nDon't /* stop ?> here {\nEOT;\nfunction f() {}", "function f()"},
        {"<?php $s = <<<'EOT'\n it's\n  EOT;\nfunction f() {}", "function f()"},
        {"<?php $s = <<<\"EOT\"\nEOTX isn't the end\nEOT\n;function f() {}", "function f()"},
        {"<?php $a = $b <<< 2; function f() {}", "function f()"},
        {"<?php $o = new class { public function m() {} };", "class  {function m()}"},
        {"<?php $r = match($x) { 1 => 'a', default => 'b' }; function f() {}", "function f()"},
        {"<?php readonly final class R { public function __construct(public int $x) {} }", "class R {function __construct(public int $x)}"},
    });
}

TEST(PHPScanner, ItemsArePlacedAtTheirLineAndTheColumnAfterTheirKeyword)
{
    const char* text = "<?php\n"
                       "class A extends B {\n"
                       "  var $a = 1, $b;\n"
                       "  function &m($x, $y = 'p,q') {}\n"
                       "}\n"
                       "function f()\n"
                       "{}\n"
                       "include 'z.php';\n"
                       "function\n"
                       "g() {}\n"
                       "class C {\n"
                       "var $c\n"
                       "= 5\n"
                       ";}";
    EXPECT_EQ(Scan(text, true), "class A extends B @2:7 {var $a =  1 @3:8, var $b @3:16, function &m($x, $y='p,q') @4:12}, "
                                "function f() @6:10, include0 z.php @8:9, function g() @10:2, "
                                "class C @11:7 {var $c =  5 @14:6}");
}

TEST(PHPScanner, ANewPageTakesOverExpandedStateByNameAndTheScrollOffset)
{
    TPHPPage previous;
    auto first = std::make_unique<TPHPClass>("A", "");
    first->Members.Add(std::make_unique<TPHPFunction>("m", ""));
    auto second = std::make_unique<TPHPClass>("A", "");
    second->Expanded = true;
    auto other = std::make_unique<TPHPClass>("B", "");
    other->Expanded = true;
    dynamic_cast<TPHPCaret&>(*first->Members.Items(0)).Expanded = true;
    previous.Add(std::move(first));
    previous.Add(std::move(second));
    previous.Add(std::move(other));
    previous.ScrollOffset = {-3, -40};

    const TPHPPageRef page = ScanPHPPage(Lines("<?php class A { function m() {} } class b {} class B {}"), &previous);
    ASSERT_EQ(page->Count(), 3);
    const auto* a = dynamic_cast<TPHPClass*>(page->Items(0));
    EXPECT_FALSE(a->Expanded) << "the first previous item of the name counts";
    EXPECT_FALSE(dynamic_cast<TPHPCaret*>(a->Members.Items(0))->Expanded) << "members carry no state over";
    EXPECT_FALSE(dynamic_cast<TPHPCaret*>(page->Items(1))->Expanded) << "names differ in case";
    EXPECT_TRUE(dynamic_cast<TPHPCaret*>(page->Items(2))->Expanded);
    EXPECT_EQ(page->ScrollOffset, (TPoint{-3, -40}));
    EXPECT_EQ(ScanPHPPage({}, nullptr)->ScrollOffset, (TPoint{0, 0}));
}

TEST(PHPScanner, AStopRequestEndsTheScanBetweenLines)
{
    std::atomic<bool> stop{true};
    EXPECT_EQ(ScanPHPPage(Lines("<?php function f() {}"), nullptr, &stop)->Count(), 0);
}
