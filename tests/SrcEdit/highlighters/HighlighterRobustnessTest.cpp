// Every highlighter of the library over generated lines (random bytes and random runs of its
// language's meaningful fragments): each scan ends, its tokens cover the line without gap or
// overlap, carry the highlighter's own attributes, and a line scanned again from its stored
// entering range gives the same tokens and leaving range as the scan of the whole text.

#include "SrcEdit/highlighters/HighlighterGolden.h"
#include "SrcEdit/highlighters/IdePageHighlighter.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterJava.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPerl.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPython.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterSql.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <ostream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TToken {
    int Start = 0;
    std::string Text;
    int Kind = 0;
    TSrcHighlighterAttributes* Attri = nullptr;
    bool operator==(const TToken&) const = default;
};

struct TLineScan {
    std::vector<TToken> Tokens;
    TSrcRange Leaving = 0;
    bool operator==(const TLineScan&) const = default;
};

// A highlighter under test, owning whatever it needs.
struct TSubject {
    std::shared_ptr<void> Owner;
    TSrcCustomHighlighter* Highlighter = nullptr;
};

template <class TSyn>
TSubject Single()
{
    auto syn = std::make_shared<TSyn>();
    return {syn, syn.get()};
}

TSubject IdePageSubject()
{
    auto page = std::make_shared<IdePage>();
    return {page, &page->Multi};
}

const std::vector<std::string> PhpFragments = {
    "'", "\"", "\\", "\\\\", "\\'", "\\\"", "/*", "*/", "//", "#", "$", "$a", "{$", "${", "}", "{", "[", "]",
    "['k']", "->", "x", "if", "echo", "<<<", "EOT", "<<<'N'", "N;", "0x1F", "1.5e-3", "1..5", ".", "?>", "=",
    " ", "\t", "`", "\xC3\xA9", "\x80", "\xFF", "php_user_filter", "_", "9", "-"};
const std::vector<std::string> HtmlFragments = {
    "<", ">", "</", "<!--", "-->", "--", "-", "=", "'", "\"", "&", "&copy;", "&#169;", "&#x", "&#", ";", "a",
    "p", "/p", "br/", "!DOCTYPE", "href", "x", " ", "\t", "<script>", "</style>", "<![CDATA[", "]]>", "\xC3",
    "\xA9", "\x7F", "9", "/", "!", "h1", "ABBR"};
const std::vector<std::string> JsFragments = {
    "'", "\"", "\\", "\\'", "\\\"", "/*", "*/", "//", "/", "/re/g", "[/]", "(", ")", "=", "x", "var", "function",
    "1e10", "1.5E-3", "0x", "0xFF", ".5", "1.", "e", "+", "-", "*", "`", "${", "}", " ", "\t", "<!--", "-->",
    "\xE2\x80", "\xA8", "\xFF", "$", "_", "&&", "||", "?", ":", ";", "!"};
const std::vector<std::string> CssFragments = {
    "{", "}", ":", ";", "/*", "*/", "'", "\"", "\\", "\\'", "url(", ")", "(", "#fff", "#", ".c", "@media",
    "@import", "!important", "1.5em", "-2px", "10%", "1e3", "color", "a", "-", "+", ">", ",", "[", "]", "=",
    " ", "\t", "<!--", "-->", "\xC3\xA9", "\x80", "*", "::", "u"};
const std::vector<std::string> XmlFragments = {
    "<", ">", "</", "/>", "/", "<?", "?>", "<?xml", "<!--", "-->", "--", "<![CDATA[", "]]>", "]", "<!DOCTYPE",
    "<!ELEMENT", "[", "=", "'", "\"", "&", "&amp;", "&#38;", ";", "xmlns", "xmlns:a", "a", ":", " ", "\t",
    "\xC3\xA9", "\x80", "!", "-", "?", "%"};

const std::vector<std::string> SqlFragments = {
    "'", "''", "\\'", "\\\\", "\"", "\"\"", "`", "``", "[", "]", "]]", "/*", "/*!", "*/", "--", "#", "-", "@",
    "@@", "@@ERROR", ":x", "$", "select", "rem", "REMARK", "end-exec", "x", "_a", "a#b", "1-2", "3.14", ".",
    "..", "<<=", "<>", "=>", "|=", " ", "\t", "\xC3\xA9", "\x80", "Customers", "9"};
const std::vector<std::string> PerlFragments = {
    "'", "\"", "\"\"", "\\", "\\\"", "#", "$", "$_", "$^", "$^W", "$,", "%", "%INC", "@", "@ARGV", "x", "x=",
    "if", "print", "eq", "strict", ".", "..", "...", ".=", "1e5", "1e-5", "0x1F", "1_000", "-", "=~", "<=>",
    "**=", "||=", "::", "->", "=head1", "<<EOT", "`", " ", "\t", "\xC3\xA9", "\x80", "s/x/y/", "9"};
const std::vector<std::string> PythonFragments = {
    "'", "\"", "'''", "\"\"\"", "\\", "\\'", "\\\"", "r", "u", "ur", "R'", "U\"", "#", "def", "self", "None",
    "__init__", "____", "_", "x", "0x", "0x1F", "017", "019", "1.5", ".5", "1e", "1e-3", "3j", "10L", "...", "..",
    ".", "<>", "<=", "$", "@", "?", " ", "\t", "\xC3\xA9", "\x80", "9", "e", "L", "j"};
const std::vector<std::string> JavaFragments = {
    "'", "\"", "\"\"\"", "\\", "\\'", "\\\"", "/*", "/**", "/**/", "*/", "//", "/", "/=", "#", "@", "$", "$x", "if",
    "synchronized", "for", "break", "x", "0x1F", "10L", "1.5e-3", "1-2", ".", "..", ".5", ">>>=", ">>>", "->", "&&",
    " ", "\t", "\xC3\xA9", "\xC3\x97", "\xCE\xB1", "\x80", "\xFF", "`", "9"};

std::vector<std::string> PageFragments()
{
    std::vector<std::string> all = {"<?php", "<?", "?>", "<?xml", "<script>", "<script type=\"a\">",
                                    "</script>", "<style>", "</style>", "style=\"", "<SCRIPT>", "</STYLE>"};
    for (const auto* list : {&PhpFragments, &HtmlFragments, &JsFragments, &CssFragments, &XmlFragments})
        all.insert(all.end(), list->begin(), list->end());
    return all;
}

struct TLanguage {
    const char* Name;
    std::function<TSubject()> Make;
    std::vector<std::string> Fragments;
    // why: the XML scans give empty tokens where a state changes without consuming a byte (an
    // empty attribute name, an empty value, text that starts with '&')
    bool EmptyTokens = false;
    // Whether each token kind has one attribute (not so where sub-highlighters' kinds mix).
    bool AttriByKind = true;
};

void PrintTo(const TLanguage& language, std::ostream* os)
{
    *os << language.Name;
}

std::string Printable(const std::string& s)
{
    std::ostringstream out;
    for (unsigned char c : s) {
        if (c < 32 || c >= 127 || c == '\\')
            out << "\\x" << std::hex << static_cast<int>(c) << std::dec;
        else
            out << c;
    }
    return out.str();
}

// A byte that scanners treat specially more often than chance would give it.
char RandomByte(std::mt19937& rng)
{
    static const unsigned char awkward[] = {0x00, 0x0D, 0x0A, 0x09, 0x0C, 0x7F, 0x80, 0xA0, 0xBF, 0xC0,
                                            0xC3, 0xE2, 0xED, 0xF0, 0xF4, 0xF8, 0xFF, '\\', '\'', '"'};
    return static_cast<char>(rng() % 2 ? awkward[rng() % std::size(awkward)] : rng() % 256);
}

std::string RandomLine(std::mt19937& rng, const std::vector<std::string>& fragments)
{
    std::string line;
    const int shape = static_cast<int>(rng() % 8);
    if (shape == 0) {
        // Raw bytes: NUL, CR, LF and lone UTF-8 lead and trail bytes among them.
        const int length = static_cast<int>(rng() % 24);
        for (int i = 0; i < length; ++i)
            line += RandomByte(rng);
    } else {
        // why: long lines reach hashes and lengths that short ones never do
        const int count = static_cast<int>(rng() % (shape == 1 ? 120 : 12));
        for (int i = 0; i < count; ++i) {
            const std::string& fragment = fragments[rng() % fragments.size()];
            const unsigned pick = rng() % 10;
            if (pick == 0)
                line += RandomByte(rng);
            else if (pick == 1) // why: a cut-off opener ("<![CDA", "&#x", "/*") tempts a scan past its end
                line += fragment.substr(0, rng() % (fragment.size() + 1));
            else
                line += fragment;
        }
    }
    return line;
}

class TScanner {
public:
    TScanner(TSrcCustomHighlighter& h, const TLanguage& language) : FH(h), FLanguage(language)
    {
        for (int i = 0; i < h.AttriCount(); ++i)
            FOwn.insert(h.AttriByIndex(i));
    }

    // Scans one line from the highlighter's current state and checks its tokens; false when the
    // line breaks an invariant (already reported).
    bool Scan(const std::string& line, int lineIndex, TLineScan& out)
    {
        out = {};
        const std::string covered = line.substr(0, line.find('\0'));
        // why: a token a byte, plus the empty tokens a state change may give at each byte
        const int most = (FLanguage.EmptyTokens ? 3 : 1) * static_cast<int>(covered.size()) + 2;
        FH.StartLine(line, lineIndex);
        int end = 0;
        int emptyRun = 0;
        for (int calls = 0; !FH.AtLineEnd(); ++calls) {
            if (calls > most) {
                ADD_FAILURE() << "scan does not end within " << most << " tokens";
                return false;
            }
            TToken t{FH.TokenStart(), FH.TokenText(), FH.TokenKindCode(), FH.TokenAttri()};
            if (t.Start != end) {
                ADD_FAILURE() << "token " << out.Tokens.size() << " starts at " << t.Start << ", previous ended at "
                              << end;
                return false;
            }
            if (covered.compare(static_cast<size_t>(end), t.Text.size(), t.Text) != 0 ||
                end + static_cast<int>(t.Text.size()) > static_cast<int>(covered.size())) {
                ADD_FAILURE() << "token " << out.Tokens.size() << " text \"" << Printable(t.Text)
                              << "\" is not the line's bytes at " << end;
                return false;
            }
            if (t.Text.empty() && (!FLanguage.EmptyTokens || ++emptyRun > 3)) {
                ADD_FAILURE() << "empty token " << out.Tokens.size() << " at " << end;
                return false;
            }
            if (!t.Text.empty())
                emptyRun = 0;
            // why: only the end-of-line token goes without attribute in these highlighters
            if (!t.Attri || !FOwn.contains(t.Attri)) {
                ADD_FAILURE() << "token \"" << Printable(t.Text) << "\" has " << (t.Attri ? "a foreign" : "no")
                              << " attribute";
                return false;
            }
            if (FLanguage.AttriByKind) {
                const auto [known, fresh] = FAttriOfKind.emplace(t.Kind, t.Attri);
                if (!fresh && known->second != t.Attri) {
                    ADD_FAILURE() << "token \"" << Printable(t.Text) << "\" of kind " << t.Kind << " has attribute "
                                  << t.Attri->Name() << ", other tokens of that kind " << known->second->Name();
                    return false;
                }
            }
            end += static_cast<int>(t.Text.size());
            out.Tokens.push_back(std::move(t));
            FH.AdvanceToken();
        }
        if (end != static_cast<int>(covered.size())) {
            ADD_FAILURE() << "tokens end at " << end << ", the line at " << covered.size();
            return false;
        }
        // why: a scan that overran the line shows only here, as TokenText clips at the line end
        if (FH.TokenStart() != end) {
            ADD_FAILURE() << "the end-of-line token is at " << FH.TokenStart() << ", the line ends at " << end;
            return false;
        }
        out.Leaving = FH.CurrentRange();
        return true;
    }

private:
    TSrcCustomHighlighter& FH;
    const TLanguage& FLanguage;
    std::set<TSrcHighlighterAttributes*> FOwn;
    std::map<int, TSrcHighlighterAttributes*> FAttriOfKind;
};

std::string DumpText(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += "  \"" + Printable(l) + "\"\n";
    return out;
}

// Checks one text, named `name` in failure reports; false after the first failure.
bool CheckText(TSrcCustomHighlighter& h, TScanner& scanner, const std::vector<std::string>& lines,
               const std::string& name)
{
    std::vector<TLineScan> scans(lines.size());
    std::vector<TSrcRange> entering(lines.size());
    h.ClearRange();
    for (size_t i = 0; i < lines.size(); ++i) {
        entering[i] = h.CurrentRange();
        SCOPED_TRACE("continuous scan, line " + std::to_string(i) + " of " + name);
        if (!scanner.Scan(lines[i], static_cast<int>(i), scans[i]))
            return false;
    }
    // why: the editor restarts at any line from its stored range, after scanning other lines;
    // going backwards leaves the highlighter in a foreign state before each restart
    for (size_t i = lines.size(); i-- > 0;) {
        SCOPED_TRACE("rescan of line " + std::to_string(i) + " of " + name);
        h.RestoreRange(entering[i]);
        TLineScan again;
        if (!scanner.Scan(lines[i], static_cast<int>(i), again))
            return false;
        if (again.Leaving != scans[i].Leaving) {
            ADD_FAILURE() << "leaving range " << again.Leaving << " instead of " << scans[i].Leaving;
            return false;
        }
        if (again.Tokens != scans[i].Tokens) {
            ADD_FAILURE() << "tokens differ from the continuous scan";
            return false;
        }
    }
    return true;
}

template <TSQLDialect Dialect>
TSubject SqlSubject()
{
    auto sql = std::make_shared<TSrcSQLSyn>();
    sql->SetSQLDialect(Dialect);
    sql->TableNames().Add("Customers");
    return {sql, sql.get()};
}

std::vector<TLanguage> Languages()
{
    return {
        {"Php", Single<TSrcPHPSyn>, PhpFragments},
        {"Html", Single<TSrcHTMLSyn>, HtmlFragments},
        {"JScript", Single<TSrcJScriptSyn>, JsFragments},
        {"Css", Single<TSrcCssSyn>, CssFragments},
        {"Xml", Single<TSrcXMLSyn>, XmlFragments, true},
        {"IdePage", IdePageSubject, PageFragments(), true, false},
        {"SqlStandard", SqlSubject<sqlStandard>, SqlFragments},
        {"SqlInterbase6", SqlSubject<sqlInterbase6>, SqlFragments},
        {"SqlMSSQL7", SqlSubject<sqlMSSQL7>, SqlFragments},
        {"SqlMySQL", SqlSubject<sqlMySQL>, SqlFragments},
        {"SqlOracle", SqlSubject<sqlOracle>, SqlFragments},
        {"SqlSybase", SqlSubject<sqlSybase>, SqlFragments},
        {"SqlIngres", SqlSubject<sqlIngres>, SqlFragments},
        {"SqlMSSQL2K", SqlSubject<sqlMSSQL2K>, SqlFragments},
        {"Perl", Single<TSrcPerlSyn>, PerlFragments},
        {"Python", Single<TSrcPythonSyn>, PythonFragments},
        {"Java", Single<TSrcJavaSyn>, JavaFragments},
    };
}

class HighlighterRobustness : public ::testing::TestWithParam<TLanguage> {};

TEST_P(HighlighterRobustness, ScansAnyTextSoundly)
{
    const TLanguage& language = GetParam();
    TSubject subject = language.Make();
    TScanner scanner(*subject.Highlighter, language);
    std::mt19937 rng(20261210);
    // why: enough texts to leave lines in nearly every range state, in well under a second a language
    for (int text = 0; text < 1500; ++text) {
        std::vector<std::string> lines(1 + rng() % 6);
        for (std::string& line : lines)
            line = RandomLine(rng, language.Fragments);
        if (!CheckText(*subject.Highlighter, scanner, lines, "\n" + DumpText(lines)))
            return; // why: one shrinkable failure is worth more than hundreds of echoes
    }
}

INSTANTIATE_TEST_SUITE_P(, HighlighterRobustness, ::testing::ValuesIn(Languages()),
                         [](const auto& info) { return std::string(info.param.Name); });

// Files of a language that Debian packages install: the files with one of `extensions` below
// `folder`, in name order, up to `budget` bytes in all.
struct TInstalledFiles {
    const char* Language;
    const char* Folder;
    std::vector<std::string> Extensions;
    size_t Budget;
};

void PrintTo(const TInstalledFiles& files, std::ostream* os)
{
    *os << files.Language << " files in " << files.Folder;
}

std::vector<std::string> FindFiles(const TInstalledFiles& wanted)
{
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code error;
    for (fs::recursive_directory_iterator it(wanted.Folder, error), end; !error && it != end; it.increment(error)) {
        const std::string extension = it->path().extension().string();
        if (it->is_regular_file(error) &&
            std::find(wanted.Extensions.begin(), wanted.Extensions.end(), extension) != wanted.Extensions.end())
            names.push_back(it->path().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> chosen;
    size_t total = 0;
    for (const std::string& name : names) {
        const size_t size = static_cast<size_t>(fs::file_size(name, error));
        if (error || total + size > wanted.Budget)
            continue;
        total += size;
        chosen.push_back(name);
    }
    return chosen;
}

class InstalledFiles : public ::testing::TestWithParam<TInstalledFiles> {};

// Texts nobody here wrote: each file scans soundly in every variant of its language.
TEST_P(InstalledFiles, ScanSoundly)
{
    const TInstalledFiles& wanted = GetParam();
    const std::vector<std::string> files = FindFiles(wanted);
    ASSERT_GE(files.size(), 3u) << "the Debian packages of .ci/packages.txt install these files";
    for (const TLanguage& language : Languages()) {
        if (!std::string_view(language.Name).starts_with(wanted.Language))
            continue;
        TSubject subject = language.Make();
        TScanner scanner(*subject.Highlighter, language);
        for (const std::string& file : files) {
            if (!CheckText(*subject.Highlighter, scanner, SplitLines(ReadWholeFile(file)),
                           file + " (" + language.Name + ")"))
                return;
        }
    }
}

// The SQL of MariaDB's server, Perl's and Python's own libraries.
INSTANTIATE_TEST_SUITE_P(, InstalledFiles,
                         ::testing::Values(TInstalledFiles{"Sql", "/usr/share/mysql", {".sql"}, 1u << 20},
                                           TInstalledFiles{"Perl", "/usr/share/perl", {".pm", ".pl"}, 3u << 20},
                                           TInstalledFiles{"Python", "/usr/lib/python3.11", {".py"}, 3u << 20}),
                         [](const auto& info) { return std::string(info.param.Language); });

} // namespace
