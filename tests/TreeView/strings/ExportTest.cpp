// The string tree's exports: text and CSV with indentation and quoting, RTF and HTML tables read
// back by real consumers (unrtf, html5lib), the escaping of texts in HTML, and the clipboard's
// HTML block.

#include "TreeView/Source/strings/LTStringExport.h"
#include "TreeView/Source/strings/LazyStringTree.h"

#include "TreeView/Source/core/LTGlobals.h"
#include "TreeView/Source/header/LTHeader.h"

#include "support/ConsumerTools.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A tree of texts: "a" with child "b" with child "c" with child "d", and a root "e"; two columns
// when asked ("Name" and "Kind").
class TExportTree : public TCustomLazyStringTree {
public:
    explicit TExportTree(bool columns)
    {
        if (columns) {
            TLazyTreeColumn* name = Header().Columns().AddColumn();
            name->SetText("Name");
            name->SetWidth(120);
            TLazyTreeColumn* kind = Header().Columns().AddColumn();
            kind->SetText("Kind");
            kind->SetWidth(80);
            Header().SetMainColumn(0);
        }
        OnInitNode = [this](TBaseLazyTree*, PLazyNode, PLazyNode node, TShellNodeInitStates& states) {
            if (DepthOfNode(node) < 3 && !(DepthOfNode(node) == 0 && node->SiblingIndex == 1))
                states.Include(ivsHasChildren);
        };
        OnInitChildren = [](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = 1; };
        OnGetText = [this](TCustomLazyStringTree*, PLazyNode node, TColumnIndex column, TVSTTextType, QString& text) {
            const auto it = Texts.find({NameOf(node), column});
            if (it != Texts.end())
                text = it->second;
            else if (column <= 0)
                text = NameOf(node);
            else
                text = "k" + NameOf(node);
        };
        SetRootNodeCount(2);
    }
    QString NameOf(PLazyNode node)
    {
        if (DepthOfNode(node) == 0 && node->SiblingIndex == 1)
            return "e";
        return QString(QChar('a' + DepthOfNode(node)));
    }
    std::map<std::pair<QString, TColumnIndex>, QString> Texts;
};

const char* const TableReader = R"(
import sys, json, html5lib
doc = html5lib.parse(sys.stdin.buffer.read(), treebuilder="etree", namespaceHTMLElements=False)
rows = []
for tr in doc.iter('tr'):
    rows.append([''.join(c.itertext()) for c in tr if c.tag in ('td', 'th')])
table = doc.find('.//table')
print(json.dumps({'rows': rows, 'caption': table.get('caption') if table is not None else None}))
)";

const char* const TextReader = R"(
import sys, json, html5lib
doc = html5lib.parse(sys.stdin.buffer.read(), treebuilder="etree", namespaceHTMLElements=False)
print(json.dumps(sorted(w for w in ' '.join(doc.find('.//body').itertext()).split() if w.isprintable() and w.isascii() or w.isalpha())))
)";

std::string ReadTable(const std::string& html)
{
    const TToolResult result = RunTool("/usr/bin/python3", {"-c", TableReader}, html);
    EXPECT_EQ(result.ExitCode, 0) << result.Errors;
    return result.Output;
}

} // namespace

TEST(StringExport, TextLinesIndentByLevelAndQuoteForTheirSeparator)
{
    TExportTree tree(true);
    tree.ExpandSubtree(nullptr);
    // MaxLevel 3: the level-2 node "c" has two separators before and one after its text.
    const std::string text = tree.ExportAsText(TLTTextSource::txsAll, '\t');
    EXPECT_EQ(text, "Name\t\t\t\tKind\r\n"
                    "a\t\t\t\tka\r\n"
                    "\tb\t\t\tkb\r\n"
                    "\t\tc\t\tkc\r\n"
                    "\t\t\td\tkd\r\n"
                    "e\t\t\t\tke\r\n");
    tree.Texts[{"e", 1}] = "say \"hi\", now";
    const std::string csv = tree.ExportAsText(TLTTextSource::txsAll, ',');
    EXPECT_NE(csv.find("e,,,,\"say \"\"hi\"\", now\"\r\n"), std::string::npos) << csv;
    tree.Texts[{"e", 1}] = "say \"hi\"";
    EXPECT_NE(tree.ExportAsWideText(TLTTextSource::txsAll, ',').indexOf("e,,,,say \"hi\"\r\n"), -1)
        << "the Unicode text quotes only for the separator";
    EXPECT_NE(tree.ExportAsText(TLTTextSource::txsAll, ',').find("e,,,,\"say \"\"hi\"\"\"\r\n"), std::string::npos);
}

TEST(StringExport, EmptyWalksAndHiddenColumns)
{
    TExportTree columns(true);
    EXPECT_EQ(columns.ExportAsText(TLTTextSource::txsSelected, '\t'), "Name\tKind\r\n") << "only the header line";
    TExportTree plain(false);
    EXPECT_EQ(plain.ExportAsText(TLTTextSource::txsSelected, '\t'), "");
    const QByteArray csv = plain.ExportToGlobalMemory(CSVFormatId, TLTTextSource::txsSelected);
    EXPECT_EQ(csv, QByteArray(1, '\0')) << "just the NUL";
    EXPECT_EQ(plain.ExportAsText(TLTTextSource::txsAll, '\t'), "a\r\n\tb\r\n\t\tc\r\n\t\t\td\r\ne\r\n")
        << "without columns: one cell, never quoted";
    for (int i = 0; i < 2; ++i) {
        TLazyTreeColumn* c = columns.Header().Columns().ColumnAt(i);
        c->SetOptions(c->Options() - coVisible);
    }
    EXPECT_EQ(columns.ExportAsText(TLTTextSource::txsAll, '\t'), "\r\n\r\n\r\n\r\n\r\n\r\n")
        << "empty lines: the header's and one per node";
    EXPECT_TRUE(columns.ExportToGlobalMemory(0xBEEF, TLTTextSource::txsAll).isEmpty()) << "an unknown format";
}

TEST(StringExport, HtmlEscapesTextsAndCaptionsAndReadsBackAsATable)
{
    TExportTree tree(true);
    tree.ExpandSubtree(nullptr);
    tree.Texts[{"e", 0}] = "<b>&\"x";
    tree.Texts[{"e", 1}] = "</td></tr><script>alert(1)</script>";
    const std::string html = tree.ExportAsHTML(TLTTextSource::txsAll, "<i>caption</i> & \"more\"");
    EXPECT_EQ(html.find("<b>&"), std::string::npos) << "node texts are data, not markup";
    EXPECT_NE(html.find("&lt;b&gt;&amp;&quot;x"), std::string::npos);
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    const std::string table = ReadTable(html);
    EXPECT_NE(table.find(R"(["Name", "Kind"])"), std::string::npos) << table;
    EXPECT_NE(table.find(R"(["<b>&\"x", "</td></tr><script>alert(1)</script>"])"), std::string::npos) << table;
    EXPECT_NE(table.find(R"("caption": "<i>caption</i> & \"more\"")"), std::string::npos) << table;
    // The level-2 node: two indentation cells, then its text spanning the rest of the levels.
    EXPECT_NE(table.find(R"(["\u00a0", "\u00a0", "c", "kc"])"), std::string::npos) << table;
    EXPECT_NE(html.find("colspan=\"2\">c</td>"), std::string::npos);
}

TEST(StringExport, TheHtmlClipboardBlockNamesItsOwnOffsets)
{
    const std::string empty = MakeHTMLClipboardBlock("");
    EXPECT_EQ(empty.substr(0, 97), "Version:1.0\r\nStartHTML:00000097\r\nEndHTML:00000301\r\n"
                                   "StartFragment:00000269\r\nEndFragment:00000269\r\n");
    EXPECT_EQ(empty.size(), 301u);
    const std::string fragment = "<table>x</table>";
    const std::string block = MakeHTMLClipboardBlock(fragment);
    EXPECT_EQ(block.substr(269, fragment.size()), fragment);
    EXPECT_EQ(block.compare(97, 9, "<!DOCTYPE"), 0);
    EXPECT_EQ(block.size(), 301 + fragment.size());
}

TEST(StringExport, RtfIndentsByTabsAndReadsBackWithUnrtf)
{
    TExportTree tree(true);
    tree.ExpandSubtree(nullptr);
    tree.Texts[{"e", 1}] = QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80");
    const std::string rtf = tree.ExportAsRTF(TLTTextSource::txsAll);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl", 0), 0u);
    EXPECT_NE(rtf.find("\\tab\\tab  \\u99\\'3f\\cell"), std::string::npos) << "two tabs and a blank before c";
    EXPECT_NE(rtf.find("\\u-10179\\'3f\\u-8704\\'3f"), std::string::npos) << "a surrogate pair is two words";
    // unrtf writes the document's characters as HTML (its text output shows only the fallback
    // characters of the Unicode words; its tables do not keep every cell in place, and it writes
    // each half of a surrogate pair alone); html5lib reads the words back.
    TempDir dir;
    const std::string file = dir.Write("tree.rtf", rtf);
    const TToolResult html = RunTool("unrtf", {"--html", file});
    ASSERT_EQ(html.ExitCode, 0) << html.Errors;
    const TToolResult words = RunTool("/usr/bin/python3", {"-c", TextReader}, html.Output);
    ASSERT_EQ(words.ExitCode, 0) << words.Errors;
    EXPECT_NE(words.Output.find(R"(["Gr\u00fc\u00dfe", "Kind", "Name", "a", "b", "c", "d", "e", "ka", "kb", "kc", "kd"])"),
              std::string::npos)
        << words.Output;
}

TEST(StringExport, Utf8OfWideTextsAndCharactersBeyondThePlane)
{
    EXPECT_EQ(WideToUTF8(QString::fromUtf8("a\xC3\xA9\xE4\xB8\x96\xF0\x9F\x98\x80")), "a\xC3\xA9\xE4\xB8\x96\xF0\x9F\x98\x80");
    const char16_t lone[] = {u'x', 0xD800, u'y', 0xDC00};
    EXPECT_EQ(WideToUTF8(QString::fromUtf16(lone, 4)), "xy") << "unpaired surrogates are dropped";
    TExportTree tree(false);
    tree.Texts[{"a", NoColumn}] = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_NE(tree.ExportAsHTML(TLTTextSource::txsAll, {}).find("\xF0\x9F\x98\x80"), std::string::npos)
        << "one 4-byte sequence";
}
