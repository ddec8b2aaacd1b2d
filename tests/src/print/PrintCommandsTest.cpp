// The IDE's print and export commands: [Print] read at start, the page setup dialog storing and
// showing its values, printing the active document to a PDF file through the print dialog, the
// print preview inside the main window, and the export dialog.

#include "src/run/ShellTestSupport.h"

#include "print/zuExportForm.h"
#include "print/zuPageSetupForm.h"
#include "print/zuPrintPreviewForm.h"

#include "SrcEdit/Source/print/SrcEditPrint.h"

#include "support/ConsumerTools.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStackedWidget>

namespace {

struct PrintCommandsTest : ShellTest {
    // Answers the next modal dialog of type T with `body`, which returns the dialog's result.
    template <class T>
    void OnDialog(std::function<int(T&)> body)
    {
        Form->ModalHook = [body](QDialog& dialog) {
            auto* typed = dynamic_cast<T*>(&dialog);
            if (!typed) {
                ADD_FAILURE() << "unexpected dialog " << dialog.metaObject()->className();
                return int(QDialog::Rejected);
            }
            return body(*typed);
        };
    }
};

std::string PhpLines(int count)
{
    std::string text = "<?php\n";
    for (int i = 1; i <= count; ++i)
        text += "echo \"line " + std::to_string(i) + "\";\n";
    return text + "?>\n";
}

} // namespace

TEST_F(PrintCommandsTest, PrintSettingsAreReadAtStart)
{
    Setting("Print", "PLineNumbers", "1");
    Setting("Print", "PWrapped", "0");
    Setting("Print", "MUnit", "2");
    Setting("Print", "MTop", "1");
    Setting("Print", "HString", "$TITLE$\\.1\\.0\\.-13\\.Arial\\.0\\.96\\.10\\.0\\.1\\.0");
    Setting("Print", "HBox", "1");
    Setting("Print", "FLine", "0");
    Start();
    TSrcEditPrint& print = *Form->CodePrint;
    EXPECT_TRUE(print.LineNumbers);
    EXPECT_FALSE(print.Wrap);
    EXPECT_TRUE(print.Highlight);
    EXPECT_EQ(print.Margins().UnitSystem(), usInch);
    print.Margins().SetUnitSystem(usMM);
    EXPECT_DOUBLE_EQ(print.Margins().Top(), 25.4);
    EXPECT_DOUBLE_EQ(print.Margins().Left(), 25) << "a missing key keeps the component's value";
    ASSERT_EQ(print.Header().TextItemCount(), 1);
    EXPECT_EQ(print.Header().TextItemAt(0).ItemText, "$TITLE$");
    EXPECT_EQ(print.Header().FrameTypes(), (TFrameTypes{ftLine, ftBox}));
    EXPECT_EQ(print.Footer().FrameTypes(), TFrameTypes{});
}

TEST_F(PrintCommandsTest, PageSetupStoresTheBandsAndShowsThemAgain)
{
    Start();
    OnDialog<TPageSetupForm>([](TPageSetupForm& dialog) {
        dialog.HeaderControls.Texts[0]->setText("$TITLE$");
        dialog.HeaderControls.Texts[2]->setText("Page $PAGENUM$ of $PAGECOUNT$");
        dialog.FooterControls.Texts[1]->setText("a/b\\c");
        dialog.FooterControls.Box->setChecked(true);
        dialog.PrintLineNumbers->setChecked(true);
        dialog.MarginTop->setValue(30);
        dialog.Apply();
        return int(QDialog::Accepted);
    });
    Form->acPageSetup->trigger();
    TIniFileEx& ini = *SettingsFile;
    THeader stored;
    stored.LoadItemsFromText(ini.ReadString("Print", "HString", ""));
    ASSERT_EQ(stored.TextItemCount(), 2);
    EXPECT_EQ(stored.TextItemAt(0).ItemAlignment, taLeftJustify);
    EXPECT_EQ(stored.TextItemAt(1).ItemAlignment, taRightJustify);
    EXPECT_EQ(stored.TextItemAt(1).LineNo, 1);
    EXPECT_EQ(ini.ReadString("Print", "FBox", ""), "1");
    EXPECT_EQ(ini.ReadString("Print", "PLineNumbers", ""), "1");
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Print", "MTop", 0), 30);
    EXPECT_TRUE(Form->CodePrint->LineNumbers);

    OnDialog<TPageSetupForm>([](TPageSetupForm& dialog) {
        EXPECT_EQ(dialog.HeaderControls.Texts[0]->text(), "$TITLE$");
        EXPECT_EQ(dialog.HeaderControls.Texts[2]->text(), "Page $PAGENUM$ of $PAGECOUNT$");
        EXPECT_EQ(dialog.FooterControls.Texts[1]->text(), "a/b\\c");
        EXPECT_EQ(dialog.CurrentBox(), dialog.HeaderControls.Texts[0]);
        EXPECT_TRUE(dialog.HeaderControls.Inserts[0]->isEnabled());
        EXPECT_FALSE(dialog.HeaderControls.Inserts[1]->isEnabled());
        dialog.InsertMacro("$DATE$");
        EXPECT_EQ(dialog.HeaderControls.Texts[0]->text(), "$TITLE$$DATE$");
        dialog.Units->setCurrentIndex(2);
        EXPECT_EQ(dialog.MarginTop->text(), "1.18");
        dialog.HeaderControls.Texts[0]->clear();
        dialog.HeaderControls.Texts[2]->clear();
        return int(QDialog::Rejected);
    });
    Form->acPageSetup->trigger();
    EXPECT_EQ(Form->CodePrint->Header().TextItemCount(), 2) << "Cancel changes nothing";
    EXPECT_EQ(Form->CodePrint->Margins().UnitSystem(), usMM);
}

TEST_F(PrintCommandsTest, PrintWritesTheChosenPagesToAPdfFile)
{
    Start();
    Open(WriteWork("page.php", PhpLines(150)));
    Form->CodePrint->Header().AddTextItem("$TITLE$", nullptr, 1, taLeftJustify);
    Form->CodePrint->Footer().AddTextItem("$PAGENUM$ of $PAGECOUNT$", nullptr, 1, taRightJustify);
    Form->CodePrint->LineNumbers = true;
    const std::string pdf = Work("page.pdf");
    OnDialog<QPrintDialog>([&](QPrintDialog& dialog) {
        EXPECT_EQ(dialog.printRange(), QAbstractPrintDialog::AllPages);
        EXPECT_EQ(dialog.minPage(), 1);
        EXPECT_GE(dialog.maxPage(), 2);
        QPrinter* printer = dialog.printer();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(pdf));
        printer->setResolution(300);
        dialog.setPrintRange(QAbstractPrintDialog::PageRange);
        dialog.setFromTo(2, 3);
        return int(QDialog::Accepted);
    });
    Form->acPrint->trigger();
    ASSERT_EQ(PdfPageCount(pdf), 2);
    const std::string text = PdfText(pdf, 1, 1);
    EXPECT_NE(text.find(Work("page.php")), std::string::npos) << text;
    EXPECT_NE(text.find("2 of " + std::to_string(Form->CodePrint->TotalPages())), std::string::npos) << text;
    const int first = Form->CodePrint->PageStarts()[1] + 1;
    EXPECT_NE(text.find(std::to_string(first) + ": echo"), std::string::npos) << text;
}

TEST_F(PrintCommandsTest, ThePreviewFillsTheWindowPagesZoomsAndCloses)
{
    Start();
    Open(WriteWork("page.php", PhpLines(150)));
    Form->acPrintPreview->trigger();
    TPrintPreviewForm* preview = Form->PrintPreviewForm;
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(Form->PreviewMode());
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(Form->CodePrint->Title, "page.php");
    const int total = preview->PreviewPanel->PageTotal();
    ASSERT_GE(total, 2);
    EXPECT_EQ(preview->StatusText(), "Page: 1 / " + std::to_string(total));
    preview->actNextPage->trigger();
    EXPECT_EQ(preview->StatusText(), "Page: 2 / " + std::to_string(total));
    preview->actLastPage->trigger();
    preview->actNextPage->trigger();
    EXPECT_EQ(preview->PreviewPanel->ShownPage(), total);

    QWidget* page = preview->PreviewPanel->viewport();
    QTest::mouseClick(page, Qt::LeftButton);
    EXPECT_EQ(preview->PreviewPanel->ScaleMode(), pscUserScaled);
    std::vector<int> percents;
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(page, Qt::LeftButton);
        percents.push_back(preview->PreviewPanel->ScalePercent());
    }
    for (int i = 0; i < 5; ++i) {
        QTest::mouseClick(page, Qt::RightButton);
        percents.push_back(preview->PreviewPanel->ScalePercent());
    }
    EXPECT_EQ(percents, (std::vector<int>{200, 400, 400, 200, 100, 50, 25, 25}));

    OnDialog<TPageSetupForm>([](TPageSetupForm& dialog) {
        dialog.MarginTop->setValue(150);
        dialog.Apply();
        return int(QDialog::Accepted);
    });
    preview->actPageSetup->trigger();
    EXPECT_GT(preview->PreviewPanel->PageTotal(), total) << "larger margins, more pages";

    EXPECT_FALSE(Form->close()) << "closing the window only leaves the preview";
    Flush();
    EXPECT_EQ(Form->PrintPreviewForm, nullptr);
    EXPECT_FALSE(Form->PreviewMode());
    Form->acPrintPreview->trigger();
    ASSERT_NE(Form->PrintPreviewForm, nullptr);
    Form->PrintPreviewForm->actClose->trigger();
    Flush();
    EXPECT_EQ(Form->PrintPreviewForm, nullptr);
    EXPECT_FALSE(Form->PreviewMode());
}

TEST_F(PrintCommandsTest, ExportWritesTheEditorsTextInTheChosenFormat)
{
    Start();
    Open(WriteWork("page.php", "<?php echo 1; ?>\n"));
    Type("x");
    OnDialog<TExportForm>([&](TExportForm& dialog) {
        EXPECT_EQ(dialog.edFileName->text().toStdString(), Work("page.html"));
        EXPECT_EQ(dialog.cmSyntaxScheme->currentText(), "PHP+HTML+XML+CSS+JS");
        dialog.cmExportFormat->setCurrentIndex(2);
        EXPECT_EQ(dialog.edFileName->text().toStdString(), Work("page.tex"));
        dialog.cmExportFormat->setCurrentIndex(0);
        EXPECT_TRUE(dialog.Export());
        return int(QDialog::Accepted);
    });
    Form->acExport->trigger();
    const std::string html = ReadWholeFile(Work("page.html"));
    EXPECT_NE(html.find("<title>Untitled</title>"), std::string::npos);
    std::string text;
    bool inTag = false;
    for (const char c : html.substr(html.find("<pre>"))) {
        inTag = c == '<' ? true : c == '>' ? false : inTag;
        if (!inTag && c != '>')
            text += c;
    }
    EXPECT_NE(text.find("x&lt;?php echo 1; ?&gt;"), std::string::npos) << "the unsaved text is exported: " << html;

    WriteWork("page.rtf", "keep");
    OnDialog<TExportForm>([&](TExportForm& dialog) {
        dialog.cmExportFormat->setCurrentIndex(1);
        Answers = {IDNO};
        EXPECT_FALSE(dialog.Export()) << "No keeps the file and the dialog";
        dialog.ckFile->setChecked(false);
        dialog.ckClipboard->setChecked(true);
        EXPECT_TRUE(dialog.Export()) << "the clipboard alone asks nothing";
        return int(QDialog::Accepted);
    });
    Form->acExport->trigger();
    EXPECT_EQ(ReadWholeFile(Work("page.rtf")), "keep");
    EXPECT_EQ(QGuiApplication::clipboard()->text().left(6), "{\\rtf1");
    EXPECT_EQ(Questions.back().Text, "A file named " + Work("page.rtf") + " already exists.\r\nDo you wish to overwrite it?");

    OnDialog<TExportForm>([&](TExportForm& dialog) {
        dialog.ckFile->setChecked(false);
        dialog.ckClipboard->setChecked(false);
        EXPECT_TRUE(dialog.Export());
        return int(QDialog::Accepted);
    });
    Form->acExport->trigger();
    EXPECT_FALSE(FileExists(Work("page.tex")));
}
