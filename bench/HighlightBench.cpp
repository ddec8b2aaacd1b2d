// Highlighting a generated 10 MB PHP page (PHP in HTML with CSS, JavaScript and an XML
// declaration) through the multi-language highlighter set up as the IDE sets it up, beside the
// Debian `highlight` program turning the same page into HTML.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterCss.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterHtml.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterJScript.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPhp.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterXml.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <random>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr size_t TargetBytes = 10u << 20;

std::string Folder;
std::string PageFile;

// Blocks of a page as a PHP web application writes them; PHP opens and closes on the same line
// and over many lines, with style and script blocks, style attributes and entities between.
std::string GeneratePage(size_t bytes)
{
    static const char* const blocks[] = {
        "<div class=\"row\" style=\"margin: 0 auto; color: #333\">\n"
        "  <h2>Order &amp; delivery &mdash; <?php echo htmlspecialchars($order->title); ?></h2>\n"
        "  <p>Grüße aus Köln &#8364; <b><?= $total ?></b> &copy; 2024</p>\n"
        "</div>\n",
        "<?php\n"
        "foreach ($rows as $i => $row) {\n"
        "    $total += $row['price'] * $row[\"qty\"]; // running sum\n"
        "    echo \"<tr><td>{$row['name']}</td><td>$row->id</td></tr>\\n\";\n"
        "    /* long comment that runs\n"
        "       over two lines */ $count++;\n"
        "}\n"
        "?>\n",
        "<style type=\"text/css\">\n"
        "  body { font-family: \"Times\", serif; background: #fff; }\n"
        "  /* theme */ h1, h2 .title { color: red; margin: 0 4px; }\n"
        "</style>\n",
        "<script language=\"JavaScript\">\n"
        "  function greet(name) { /* say hi */ return \"Hi \" + name + '!'; }\n"
        "  for (var i = 0; i < 10; i++) { document.write(i * 2.5); }\n"
        "</script>\n",
        "<table border=1 cellpadding='2'>\n"
        "  <tr><td><a href=\"item.php?id=<?php echo $id ?>\">Item</a></td><td>&nbsp;</td></tr>\n"
        "  <!-- a comment\n"
        "       over lines -->\n"
        "</table>\n",
        "<form name=\"frmLogin\" action=\"login.php\" method=\"post\">\n"
        "  <input type=\"text\" name=\"user\" value='<?= $user ?>'><br/>\n"
        "  <select name=\"lang\"><option value=\"de\">Deutsch</option></select>\n"
        "</form>\n",
    };
    std::mt19937 rng(20240611);
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<html>\n<body>\n";
    text.reserve(bytes + 1024);
    while (text.size() < bytes)
        text += blocks[rng() % (sizeof blocks / sizeof *blocks)];
    text += "</body>\n</html>\n";
    return text;
}

std::string ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

TScheme* AddScheme(TSrcMultiSyn& multi, const char* name, const char* startExpr, const char* endExpr,
                   TSrcCustomHighlighter* highlighter)
{
    TScheme* scheme = multi.Schemes().Add();
    scheme->SetSchemeName(name);
    scheme->SetCaseSensitive(false);
    scheme->SetStartExpr(startExpr);
    scheme->SetEndExpr(endExpr);
    scheme->SetHighlighter(highlighter);
    return scheme;
}

// The IDE's page highlighter with its five schemes.
struct TPageHighlighter {
    TSrcHTMLSyn Html;
    TSrcPHPSyn Php;
    TSrcXMLSyn Xml;
    TSrcJScriptSyn JScript;
    TSrcCssSyn Css;
    TSrcMultiSyn Multi;

    TPageHighlighter()
    {
        Multi.SetDefaultHighlighter(&Html);
        AddScheme(Multi, "XML Marker", "<\\?(xml)", "\\?>", &Xml);
        AddScheme(Multi, "PHP Marker", "<\\?(php){0,1}", "\\?>", &Php);
        AddScheme(Multi, "JavaScript Marker", "<(script)[^>]*>", "</script>", &JScript);
        AddScheme(Multi, "CSS within <style>...</style> ", "<(style)[^>]*>", "</style>", &Css);
        AddScheme(Multi, "CSS within style=\"...\"", "style=\"", "\"", &Css);
    }
};

// Reads the file, cuts it into lines and reads every token of every line as a painter or an
// exporter does; returns the number of tokens.
size_t FullScan(TSrcCustomHighlighter& highlighter, const std::string& file)
{
    const std::string text = ReadFile(file);
    const std::vector<std::string_view> lines = SplitLines(text);
    size_t tokens = 0;
    size_t bytes = 0;
    highlighter.ClearRange();
    for (size_t i = 0; i < lines.size(); ++i) {
        highlighter.StartLine(lines[i], static_cast<int>(i));
        while (!highlighter.AtLineEnd()) {
            bytes += highlighter.TokenText().size();
            benchmark::DoNotOptimize(highlighter.TokenAttri());
            benchmark::DoNotOptimize(highlighter.TokenStart());
            ++tokens;
            highlighter.AdvanceToken();
        }
        benchmark::DoNotOptimize(highlighter.CurrentRange());
    }
    benchmark::DoNotOptimize(bytes);
    return tokens;
}

void MultiHighlighterFullScan(benchmark::State& state)
{
    TPageHighlighter page;
    size_t tokens = 0;
    for (auto _ : state)
        tokens = FullScan(page.Multi, PageFile);
    state.counters["tokens"] = static_cast<double>(tokens);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TargetBytes));
}
BENCHMARK(MultiHighlighterFullScan)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The same page through the PHP highlighter alone: what the schemes and markers cost.
void PhpHighlighterFullScan(benchmark::State& state)
{
    TSrcPHPSyn php;
    for (auto _ : state)
        benchmark::DoNotOptimize(FullScan(php, PageFile));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TargetBytes));
}
BENCHMARK(PhpHighlighterFullScan)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// Debian's `highlight` turning the page into an HTML document; the process start counts.
void HighlightProgramToHtml(benchmark::State& state)
{
    const std::string output = Folder + "/page.html";
    std::vector<std::string> args = {"highlight", "--syntax=php", "--out-format=html", "--input=" + PageFile,
                                     "--output=" + output};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    for (auto _ : state) {
        pid_t child = 0;
        if (::posix_spawnp(&child, "highlight", nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("the highlight program is not installed (apt-get install highlight)");
            return;
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("highlight failed");
            return;
        }
    }
    struct stat st {};
    ::stat(output.c_str(), &st);
    state.counters["html_bytes"] = static_cast<double>(st.st_size);
    std::remove(output.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TargetBytes));
}
BENCHMARK(HighlightProgramToHtml)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    char pattern[] = "/tmp/zentu-highlight-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    Folder = pattern;
    PageFile = Folder + "/page.php";
    {
        const std::string text = GeneratePage(TargetBytes);
        std::ofstream(PageFile, std::ios::binary) << text;
        std::printf("page: %zu bytes, %zu lines\n", text.size(), SplitLines(text).size());
        std::fflush(stdout);
    }

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::remove(PageFile.c_str());
    ::rmdir(Folder.c_str());
    return 0;
}
