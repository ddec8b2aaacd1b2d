// Highlighting 10 MB of each language, every token read: a generated PHP page (PHP in HTML with
// CSS, JavaScript and an XML declaration) through the multi-language highlighter set up as the IDE
// sets it up, and generated SQL (MySQL dialect), Perl, Python and Java through their highlighters,
// each beside the Debian `highlight` program turning the same file into HTML. The ratios and
// speeds are printed at the end.

#include "SrcEdit/highlighters/IdePageHighlighter.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterJava.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPerl.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPython.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterSql.h"

#include "ComparingReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
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

// Blocks of a page as a PHP web application writes them; PHP opens and closes on the same line
// and over many lines, with style and script blocks, style attributes and entities between.
const std::vector<const char*> PageBlocks = {
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

// A MySQL dump and the queries of a web application.
const std::vector<const char*> SqlBlocks = {
    "-- Table structure for table `orders`\n"
    "DROP TABLE IF EXISTS `orders`;\n"
    "CREATE TABLE `orders` (\n"
    "  `id` int(11) NOT NULL AUTO_INCREMENT,\n"
    "  `customer` varchar(255) NOT NULL DEFAULT '',\n"
    "  `total` decimal(10,2) DEFAULT NULL,\n"
    "  PRIMARY KEY (`id`), KEY `customer` (`customer`)\n"
    ") ENGINE=MyISAM DEFAULT CHARSET=utf8 /*!40101 COLLATE=utf8_general_ci */;\n",
    "INSERT INTO `orders` VALUES (1,'Müller & Söhne',12.50),(2,'O\\'Brien\\\\Sons',99.95),"
    "(3,'It''s here',0.00),(4,'C:\\\\temp\\\\',1e3);\n",
    "SELECT o.id, c.name, SUM(o.total) AS sum_total, DATE_FORMAT(o.created, '%Y-%m-%d')\n"
    "  FROM orders o LEFT JOIN customers c ON c.id = o.customer_id\n"
    " WHERE o.total >= 10 AND c.name LIKE 'A%' # only A customers\n"
    " GROUP BY o.id HAVING sum_total <> 0 ORDER BY 2 DESC LIMIT 10;\n",
    "/* a comment that runs\n"
    "   over several lines */\n"
    "UPDATE customers SET note = 'line one\n"
    "line two', visits = visits + 1 WHERE id IN (SELECT customer_id FROM orders);\n",
    "SET @total = (SELECT COUNT(*) FROM orders);\n"
    "DELETE FROM sessions WHERE expires < NOW() - INTERVAL 1 DAY;\n",
};

const std::vector<const char*> PerlBlocks = {
    "#!/usr/bin/perl -w\n"
    "use strict;\n"
    "use vars qw($VERSION @ISA %seen);\n"
    "$VERSION = '1.02';\n",
    "sub parse_line {\n"
    "    my ($self, $line) = @_;   # split one line\n"
    "    return unless defined $line && length $line;\n"
    "    my @fields = split /\\t/, $line;\n"
    "    $self->{count}++ if $fields[0] =~ m/^\\d+$/;\n"
    "    print STDERR \"bad line: $line\\n\" unless @fields > 2;\n"
    "    return \\@fields;\n"
    "}\n",
    "foreach my $key (sort keys %seen) {\n"
    "    printf(\"%-20s %5d %s\\n\", $key, $seen{$key}, 'times');\n"
    "    $total += $seen{$key} * 1.5e3 + 0x1F;\n"
    "}\n",
    "open(my $fh, '<', $file) or die \"Cannot open $file: $!\";\n"
    "while (my $l = <$fh>) { chomp $l; next if $l eq ''; $_ = $l; s/\\s+$//; push @lines, $_; }\n"
    "close $fh;\n",
};

const std::vector<const char*> PythonBlocks = {
    "#!/usr/bin/env python3\n"
    "import os, sys\n"
    "from collections import defaultdict\n",
    "class Parser(object):\n"
    "    \"\"\"Reads records from a stream.\n"
    "\n"
    "    Each record is one line; blank lines are skipped.\n"
    "    \"\"\"\n"
    "\n"
    "    def __init__(self, stream, limit=0x100):\n"
    "        self.stream = stream  # the source\n"
    "        self.limit = limit\n"
    "        self.counts = defaultdict(int)\n",
    "    def parse(self):\n"
    "        for line in self.stream:\n"
    "            if not line.strip():\n"
    "                continue\n"
    "            key, _, value = line.partition('=')\n"
    "            self.counts[key] += 1\n"
    "            yield key.strip(), float(value) * 1.5e-3 + 017 + 3j\n",
    "def main(argv=None):\n"
    "    path = argv[1] if argv else r'C:\\data\\in.txt'\n"
    "    msg = 'reading ' \\\n"
    "          'from %s' % path\n"
    "    print(msg, file=sys.stderr)\n"
    "    return 0\n"
    "\n"
    "if __name__ == '__main__':\n"
    "    sys.exit(main(sys.argv))\n",
};

const std::vector<const char*> JavaBlocks = {
    "package org.example.shop;\n"
    "\n"
    "import java.util.*;\n"
    "import java.io.IOException;\n",
    "/**\n"
    " * An order of a customer.\n"
    " * @author nobody\n"
    " */\n"
    "public class Order implements Comparable<Order> {\n"
    "    private static final long serialVersionUID = 42L;\n"
    "    private final String customer; // who ordered\n"
    "    private double total = 0.0;\n",
    "    @Override\n"
    "    public int compareTo(Order other) {\n"
    "        if (other == null) throw new NullPointerException(\"other\");\n"
    "        return Double.compare(total, other.total) >>> 1;\n"
    "    }\n",
    "    /* the sum of\n"
    "       all items */\n"
    "    public double sum(List<Item> items) {\n"
    "        for (int i = 0; i < items.size(); i++) { total += items.get(i).price() * 1.5e-3 + 0x1F; }\n"
    "        char c = '\\''; String s = \"tab\\there\";\n"
    "        return total;\n"
    "    }\n"
    "}\n",
};

std::string Generate(const std::vector<const char*>& blocks, const std::string& head, const std::string& tail,
                     unsigned seed)
{
    std::mt19937 rng(seed);
    std::string text = head;
    text.reserve(TargetBytes + 4096);
    while (text.size() < TargetBytes)
        text += blocks[rng() % blocks.size()];
    return text + tail;
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

// One language of the run: its generated file, how to make our highlighter and the peer's name
// for the syntax.
struct TLanguage {
    std::string Name;
    std::string Syntax;
    std::string File;
    // Makes the highlighter and what it needs; the result owns them.
    std::function<std::shared_ptr<void>(TSrcCustomHighlighter*&)> Make;
};

template <class TSyn>
std::shared_ptr<void> Make(TSrcCustomHighlighter*& highlighter, void (*setUp)(TSyn&) = nullptr)
{
    auto syn = std::make_shared<TSyn>();
    if (setUp)
        setUp(*syn);
    highlighter = syn.get();
    return syn;
}

std::shared_ptr<void> MakePage(TSrcCustomHighlighter*& highlighter)
{
    auto page = std::make_shared<IdePage>();
    highlighter = &page->Multi;
    return page;
}

void OurHighlighter(benchmark::State& state, const TLanguage& language)
{
    TSrcCustomHighlighter* highlighter = nullptr;
    const auto owner = language.Make(highlighter);
    size_t tokens = 0;
    for (auto _ : state)
        tokens = FullScan(*highlighter, language.File);
    state.counters["tokens"] = static_cast<double>(tokens);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TargetBytes));
}

// Debian's `highlight` turning the file into an HTML document; the process start counts.
void HighlightProgram(benchmark::State& state, const TLanguage& language)
{
    const std::string output = Folder + "/out.html";
    std::vector<std::string> args = {"highlight", "--syntax=" + language.Syntax, "--out-format=html",
                                     "--input=" + language.File, "--output=" + output};
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

std::string WriteFile(const std::string& name, const std::string& text)
{
    const std::string path = Folder + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    std::printf("%s: %zu bytes, %zu lines\n", name.c_str(), text.size(), SplitLines(text).size());
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    char pattern[] = "/tmp/zentu-highlight-XXXXXX";
    if (!::mkdtemp(pattern))
        return 1;
    Folder = pattern;

    const std::vector<TLanguage> languages = {
        {"Page", "php",
         WriteFile("page.php", Generate(PageBlocks, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<html>\n<body>\n",
                                        "</body>\n</html>\n", 20240611)),
         MakePage},
        {"Sql", "sql", WriteFile("dump.sql", Generate(SqlBlocks, "", "", 1)),
         [](TSrcCustomHighlighter*& h) { return Make<TSrcSQLSyn>(h, [](TSrcSQLSyn& s) { s.SetSQLDialect(sqlMySQL); }); }},
        {"Perl", "perl", WriteFile("tool.pl", Generate(PerlBlocks, "", "", 2)),
         [](TSrcCustomHighlighter*& h) { return Make<TSrcPerlSyn>(h); }},
        {"Python", "python", WriteFile("tool.py", Generate(PythonBlocks, "", "", 3)),
         [](TSrcCustomHighlighter*& h) { return Make<TSrcPythonSyn>(h); }},
        {"Java", "java", WriteFile("Order.java", Generate(JavaBlocks, "", "", 4)),
         [](TSrcCustomHighlighter*& h) { return Make<TSrcJavaSyn>(h); }},
    };
    std::fflush(stdout);

    for (const TLanguage& language : languages) {
        benchmark::RegisterBenchmark((language.Name + "HighlighterFullScan").c_str(), OurHighlighter, language)
            ->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
        benchmark::RegisterBenchmark((language.Name + "HighlightProgramToHtml").c_str(), HighlightProgram, language)
            ->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
    }
    // The same page through the PHP highlighter alone: what the schemes and markers cost.
    benchmark::RegisterBenchmark("PhpHighlighterFullScan", OurHighlighter,
                                 TLanguage{"Php", "php", languages[0].File,
                                           [](TSrcCustomHighlighter*& h) { return Make<TSrcPHPSyn>(h); }})
        ->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

    benchmark::Initialize(&argc, argv);
    TComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n10 MB, every token read; targets: at least 50 MB/s and 20x ahead of highlight\n");
    for (const TLanguage& language : languages) {
        const double ours = reporter.Find(language.Name + "HighlighterFullScan");
        const double peer = reporter.Find(language.Name + "HighlightProgramToHtml");
        if (ours <= 0)
            continue;
        std::printf("%-7s %6.1f MB/s", language.Name.c_str(), static_cast<double>(TargetBytes) / (1 << 20) / ours);
        if (peer > 0)
            std::printf(", %6.1fx ahead of highlight (%.0f ms against %.0f ms)", peer / ours, ours * 1000,
                        peer * 1000);
        std::printf("\n");
    }

    for (const TLanguage& language : languages)
        std::remove(language.File.c_str());
    ::rmdir(Folder.c_str());
    return 0;
}
