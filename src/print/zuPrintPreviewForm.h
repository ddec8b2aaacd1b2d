#pragma once
// TPrintPreviewForm: the print preview inside the main window: the preview control over the
// whole window, a tool bar for printing, paging, zooming, page setup and closing, and a status
// bar with the page shown and the page count.

#include "SrcEdit/Source/print/SrcEditPrintPreview.h"

#include "Platform/controls/ActnList.h"

#include <QWidget>

#include <functional>

class QLabel;
class QToolBar;
class TSrcEditPrint;

class TPrintPreviewForm : public QWidget {
public:
    TPrintPreviewForm(TSrcEditPrint& print, QWidget* parent = nullptr);
    ~TPrintPreviewForm() override;

    TSrcEditPrintPreview* PreviewPanel = nullptr;
    TAction* actPrint = nullptr;
    TAction* actFirstPage = nullptr;
    TAction* actPreviousPage = nullptr;
    TAction* actNextPage = nullptr;
    TAction* actLastPage = nullptr;
    TAction* actWholePage = nullptr;
    TAction* actPageWidth = nullptr;
    TAction* actZoom = nullptr;
    TAction* actPageSetup = nullptr;
    TAction* actClose = nullptr;

    // What the window asks of the main window: print (after choosing a printer), page setup,
    // and leaving the preview.
    std::function<void()> OnPrint;
    std::function<void()> OnPageSetup;
    std::function<void()> OnClose;

    // Re-paginates and shows the first page; the print hint names the current printer.
    void FormShow();
    std::string StatusText() const;

private:
    TAction* AddAction(const char* name, const char* caption, TShortCut shortCut, const char* hint);
    void PreviewMouseDown(Qt::MouseButton button);
    void ShowPageNumber(int page);

    QToolBar* FToolBar = nullptr;
    QLabel* FStatus = nullptr;
};
