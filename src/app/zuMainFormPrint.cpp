// The main window's print and export commands: Print with the print dialog, Print Preview in
// the window's client area, Page Setup and Export, and the print settings read at start.

#include "app/zuMainForm.h"

#include "documents/zuCodeEditorForm.h"
#include "documents/zuEditorModule.h"
#include "print/zuExportForm.h"
#include "print/zuPageSetupForm.h"
#include "print/zuPrintPreviewForm.h"
#include "print/zuPrintSettings.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/print/SrcEditPrint.h"
#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/QtBridge.h"
#include "Platform/files/FileNames.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QStackedWidget>

void TMainForm::CreatePrintActions()
{
    CodePrint = std::make_unique<TSrcEditPrint>();
    TFont font;
    font.SetName("Courier New");
    font.SetHeight(-13);
    font.SetPitch(TFontPitch::fpFixed);
    CodePrint->SetFont(font);
    CodePrint->Header().SetDefaultFont(font);
    CodePrint->Footer().SetDefaultFont(font);
    CodePrint->TabWidth = 8;
    CodePrint->Color = clWhite;
    acPrint = AddAction("acPrint", "&Print", ShortCut('P', TShiftState{ssCtrl}), &TMainForm::PrintExecute);
    acPrintPreview = AddAction("acPrintPreview", "Print Preview", scNone, &TMainForm::PrintPreviewExecute);
    acPageSetup = AddAction("acPageSetup", "Page Setup...", scNone, &TMainForm::PageSetupExecute);
    acExport = AddAction("acExport", "Export", scNone, &TMainForm::ExportExecute);
    acPrint->setIcon(QIcon::fromTheme(QStringLiteral("document-print")));
    acPrintPreview->setIcon(QIcon::fromTheme(QStringLiteral("document-print-preview")));
}

void TMainForm::LoadPrintSettings()
{
    if (SettingsFile)
        ReadPrintSettings(*SettingsFile, *CodePrint);
}

void TMainForm::PrintExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    CodePrint->TakeEditorSettings(*document->Editor());
    CodePrint->Title = StdStr(document->windowTitle());
    QPrinter& printer = *CodePrint->Printer();
    const int pages = CodePrint->CountPages();
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, std::max(1, pages));
    dialog.setFromTo(1, std::max(1, pages));
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    if (ShowModal(dialog) != QDialog::Accepted)
        return;
    // why: the engine prints its copies itself, page by page.
    CodePrint->Copies = std::max(1, printer.copyCount());
    printer.setCopyCount(1);
    if (dialog.printRange() == QAbstractPrintDialog::PageRange)
        CodePrint->PrintPageRange(dialog.fromPage(), dialog.toPage());
    else
        CodePrint->PrintAllPages();
}

void TMainForm::PrintPreviewExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document || PrintPreviewForm)
        return;
    SetPreviewMode(true);
    TSrcEdit& editor = *document->Editor();
    CodePrint->TakeEditorSettings(editor);
    CodePrint->Title = ExtractFileName(StdStr(document->windowTitle()));
    CodePrint->Header().SetDefaultFont(editor.Font());
    CodePrint->Footer().SetDefaultFont(editor.Font());
    PrintPreviewForm = new TPrintPreviewForm(*CodePrint, FClientStack);
    PrintPreviewForm->OnPrint = [this] { PrintExecute(); };
    PrintPreviewForm->OnPageSetup = [this] { PageSetupExecute(); };
    PrintPreviewForm->OnClose = [this] { ClosePrintPreview(); };
    FClientStack->addWidget(PrintPreviewForm);
    FClientStack->setCurrentWidget(PrintPreviewForm);
    PrintPreviewForm->PreviewPanel->setFocus();
    PrintPreviewForm->FormShow();
}

void TMainForm::ClosePrintPreview()
{
    SetPreviewMode(false);
    if (!PrintPreviewForm)
        return;
    FClientStack->setCurrentWidget(FClientPage);
    FClientStack->removeWidget(PrintPreviewForm);
    PrintPreviewForm->hide();
    PrintPreviewForm->deleteLater();
    PrintPreviewForm = nullptr;
}

void TMainForm::PageSetupExecute()
{
    TPageSetupForm dialog(*CodePrint, SettingsFile, this);
    dialog.OnApplied = [this] {
        if (PrintPreviewForm && PrintPreviewForm->isVisible())
            PrintPreviewForm->PreviewPanel->RefreshPages();
    };
    ShowModal(dialog);
}

void TMainForm::ExportExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document || !EditorModule)
        return;
    TExportForm dialog(*document->Editor(), document->FileName(), EditorModule->Highlighters(), this);
    ShowModal(dialog);
}
