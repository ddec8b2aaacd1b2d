// The exporter base as every format sees it: refused exports leave nothing behind, runs open and
// close only where colour or style change, files and the clipboard get the output, and a
// clipboard that cannot take the data is reported.

#include "SrcEdit/export/ExportTestSupport.h"
#include "SrcEdit/highlighters/TestHighlighter.h"

#include "SrcEdit/Source/export/SrcEditExportHTML.h"
#include "SrcEdit/Source/export/SrcEditExportRTF.h"

#include "Platform/core/Exceptions.h"
#include "support/TempDir.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

size_t Occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

} // namespace

TEST(ExporterBase, RefusedExportsAbortSilentlyAndLeaveNoEarlierOutput)
{
    TTestSyn syn;
    TSrcExporterHTML exporter;
    ASSERT_FALSE(Exported(exporter, syn, {"if x"}).empty());
    TStringList empty;
    EXPECT_THROW(exporter.ExportLines(empty), EAbort);
    EXPECT_TRUE(exporter.Output().empty()) << "an empty document exports nothing, not the last export";

    ASSERT_FALSE(Exported(exporter, syn, {"if x"}).empty());
    TStringList lines;
    FillLines(lines, {"abc"});
    EXPECT_THROW(exporter.ExportLineRange(lines, MakeBufferCoord(2, 1), MakeBufferCoord(2, 1)), EAbort);
    EXPECT_TRUE(exporter.Output().empty());
}

TEST(ExporterBase, WithoutAHighlighterTheExportAbortsAndIsEmpty)
{
    TTestSyn syn;
    TSrcExporterRTF exporter;
    ASSERT_FALSE(Exported(exporter, syn, {"if x"}).empty());
    exporter.SetHighlighter(nullptr);
    TStringList lines;
    FillLines(lines, {"abc"});
    EXPECT_THROW(exporter.ExportLines(lines), EAbort);
    EXPECT_TRUE(exporter.Output().empty());
}

TEST(ExporterBase, OneEmptyLineGivesPreambleLineBreakAndTrailerWithoutRuns)
{
    TTestSyn syn;
    TSrcExporterHTML exporter;
    exporter.CreateHTMLFragment = true;
    const std::string& out = Exported(exporter, syn, {""});
    EXPECT_EQ(out, "<pre>\r\n<code><span style=\"font: 10pt Courier New;\">\r\n</span>\r\n</code></pre>\r\n");
}

TEST(ExporterBase, RunsChangeOnlyWithColourOrStyle)
{
    TTestSyn syn;
    TSrcExporterHTML exporter;
    exporter.CreateHTMLFragment = true;
    // Identifier, blank and symbol share the plain look: one run for all of them.
    const std::string plain = Exported(exporter, syn, {"abc def ;"});
    EXPECT_EQ(Occurrences(plain, "<span class="), 1u) << plain;
    // The keyword's bold opens and closes a run of its own.
    const std::string bold = Exported(exporter, syn, {"abc if def"});
    EXPECT_EQ(Occurrences(bold, "<span class="), 3u) << bold;

    TSrcExporterRTF rtf;
    syn.IdentifierAttri->SetBackground(clYellow);
    const std::string noBackground = Exported(rtf, syn, {"a b"});
    EXPECT_EQ(noBackground.find("\\cb"), std::string::npos) << "background is ignored without UseBackground";
    rtf.SetUseBackground(true);
    EXPECT_NE(Exported(rtf, syn, {"a b"}).find("\\cb"), std::string::npos);
}

TEST(ExporterBase, ThePartOfALineRangeIsExported)
{
    TTestSyn syn;
    TSrcExporterRTF exporter;
    exporter.SetDocumentMode(true);
    exporter.SetHighlighter(&syn);
    TStringList lines;
    FillLines(lines, {"first line", "second line", "third line"});
    exporter.ExportLineRange(lines, MakeBufferCoord(7, 1), MakeBufferCoord(4, 3));
    const std::string& out = exporter.Output();
    EXPECT_NE(out.find("line"), std::string::npos);
    EXPECT_EQ(out.find("first"), std::string::npos);
    EXPECT_NE(out.find("second line"), std::string::npos);
    EXPECT_NE(out.find("thi"), std::string::npos);
    EXPECT_EQ(out.find("third"), std::string::npos);
}

TEST(ExporterBase, TheOutputGoesToAFileAndToTheClipboardAsText)
{
    TTestSyn syn;
    TSrcExporterRTF exporter;
    const std::string out = Exported(exporter, syn, {"if x"});
    TempDir dir;
    exporter.WriteToFile(dir.File("a.rtf"));
    EXPECT_EQ(ReadWholeFile(dir.File("a.rtf")), out);
    EXPECT_ANY_THROW(exporter.WriteToFile(dir.File("missing/a.rtf")));

    exporter.PutOnClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), out);
    exporter.SetDocumentMode(false);
    TStringList lines;
    FillLines(lines, {"if x"});
    exporter.ExportLines(lines);
    exporter.PutOnClipboard();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data("application/x-zentu-rich-text-format").toStdString(), exporter.Output());
}

TEST(ExporterBase, AClipboardThatCannotTakeTheDataIsReported)
{
    class TFailingExporter : public TSrcExporterHTML {
    protected:
        std::unique_ptr<QMimeData> MakeClipboardData(const std::string&, const std::string&) const override
        {
            throw std::bad_alloc();
        }
    };
    QGuiApplication::clipboard()->setText("before");
    TTestSyn syn;
    TFailingExporter exporter;
    Exported(exporter, syn, {"if x"});
    try {
        exporter.PutOnClipboard();
        FAIL() << "no error";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Out of memory");
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST(ExporterBase, TitleAndFontHaveTheirDefaults)
{
    TSrcExporterHTML exporter;
    EXPECT_EQ(exporter.Title(), "Untitled");
    exporter.SetTitle("x");
    exporter.SetTitle("");
    EXPECT_EQ(exporter.Title(), "Untitled");
    EXPECT_EQ(exporter.Font().Name(), "Courier New");
    EXPECT_EQ(exporter.Font().Size(), 10);
}
