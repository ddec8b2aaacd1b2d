#pragma once
// A print engine on a PDF printer at 300 dots per inch in a temporary folder, with the engine's
// status and line reports recorded, for the tests that print and read the pages back.

#include "SrcEdit/Source/print/SrcEditPrint.h"

#include "support/ConsumerTools.h"
#include "support/TempDir.h"

#include <QPrinter>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

class PdfPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(QString::fromStdString(Pdf()));
        Printer.setResolution(300);
        Printer.setPageSize(QPageSize(QPageSize::A4));
        Print.SetPrinter(&Printer);
        TFont font;
        font.SetName("Courier New");
        font.SetSize(10);
        font.SetColor(clBlack);
        Print.SetFont(font);
        Print.OnPrintStatus = [this](TObject*, TSrcPrintStatus status, int page, bool& abort) {
            Statuses.emplace_back(status, page);
            abort = status == psNewPage && page == AbortOnPage;
        };
        Print.OnPrintLine = [this](TObject*, int line, int page) { PrintedLines.emplace_back(line, page); };
    }

public:
    std::string Pdf() const { return Dir.File("out.pdf"); }
    void SetLines(const std::vector<std::string>& lines)
    {
        TStringList list;
        for (const std::string& l : lines)
            list.Add(l);
        Print.SetLines(list);
    }
    std::vector<int> NewPages() const
    {
        std::vector<int> pages;
        for (const auto& [status, page] : Statuses)
            if (status == psNewPage)
                pages.push_back(page);
        return pages;
    }

    TempDir Dir;
    QPrinter Printer{QPrinter::HighResolution};
    TSrcEditPrint Print;
    std::vector<std::pair<TSrcPrintStatus, int>> Statuses;
    std::vector<std::pair<int, int>> PrintedLines;
    int AbortOnPage = -1;
};
