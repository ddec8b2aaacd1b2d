#include "print/zuPrintPreviewForm.h"

#include "SrcEdit/Source/print/SrcEditPrint.h"

#include "Platform/core/QtBridge.h"

#include <QLabel>
#include <QMenu>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TPrintPreviewForm::TPrintPreviewForm(TSrcEditPrint& print, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PrintPreviewForm"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FToolBar = new QToolBar(this);
    FToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    layout->addWidget(FToolBar);
    PreviewPanel = new TSrcEditPrintPreview(nullptr, this);
    PreviewPanel->setObjectName(QStringLiteral("PreviewPanel"));
    PreviewPanel->SetScaleMode(pscWholePage);
    PreviewPanel->SetSrcEditPrint(&print);
    layout->addWidget(PreviewPanel, 1);
    auto* bar = new QStatusBar(this);
    bar->setSizeGripEnabled(false);
    FStatus = new QLabel(bar);
    bar->addWidget(FStatus, 1);
    layout->addWidget(bar);

    const TShiftState alt{ssAlt};
    const TShiftState ctrl{ssCtrl};
    actPrint = AddAction("actPrint", "Print", ShortCut('P', ctrl), "Print");
    actPrint->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    FToolBar->addSeparator();
    actFirstPage = AddAction("actFirstPage", "First Page", ShortCut('F', alt), "First Page");
    actPreviousPage = AddAction("actPreviousPage", "Previous Page", ShortCut('P', alt), "Previous Page");
    actNextPage = AddAction("actNextPage", "Next Page", ShortCut('N', alt), "Next Page");
    actLastPage = AddAction("actLastPage", "Last Page", ShortCut('L', alt), "Last Page");
    FToolBar->addSeparator();
    actWholePage = AddAction("actWholePage", "Whole Page", scNone, "Whole Page");
    actPageWidth = AddAction("actPageWidth", "Page Width", scNone, "Page Width");
    actZoom = AddAction("actZoom", "Zoom", ShortCut('Z', alt), "Zoom|");
    auto* zoomMenu = new QMenu(this);
    for (const int percent : {25, 50, 100, 200, 400})
        zoomMenu->addAction(QStringLiteral("%1%").arg(percent), this, [this, percent] { PreviewPanel->SetScalePercent(percent); });
    if (auto* zoomButton = qobject_cast<QToolButton*>(FToolBar->widgetForAction(actZoom))) {
        zoomButton->setMenu(zoomMenu);
        zoomButton->setPopupMode(QToolButton::MenuButtonPopup);
    }
    FToolBar->addSeparator();
    actPageSetup = AddAction("actPageSetup", "Page Setup", scNone, "Page Setup");
    FToolBar->addSeparator();
    actClose = AddAction("actClose", "Close", ShortCut('C', alt), "");

    actPrint->OnExecute = [this](TObject*) {
        if (OnPrint)
            OnPrint();
        PreviewPanel->RefreshPages();
    };
    actFirstPage->OnExecute = [this](TObject*) { PreviewPanel->GoFirstPage(); };
    actPreviousPage->OnExecute = [this](TObject*) { PreviewPanel->GoPreviousPage(); };
    actNextPage->OnExecute = [this](TObject*) { PreviewPanel->GoNextPage(); };
    actLastPage->OnExecute = [this](TObject*) { PreviewPanel->GoLastPage(); };
    actWholePage->OnExecute = [this](TObject*) { PreviewPanel->SetScaleMode(pscWholePage); };
    actPageWidth->OnExecute = [this](TObject*) { PreviewPanel->SetScaleMode(pscPageWidth); };
    actZoom->OnExecute = [this](TObject*) { PreviewPanel->SetScalePercent(100); };
    actPageSetup->OnExecute = [this](TObject*) {
        if (OnPageSetup)
            OnPageSetup();
    };
    actClose->OnExecute = [this](TObject*) {
        if (OnClose)
            OnClose();
    };
    PreviewPanel->OnPreviewPage = [this](TObject*, int page) { ShowPageNumber(page); };
    PreviewPanel->OnMouseDown = [this](TObject*, Qt::MouseButton button, QPoint) { PreviewMouseDown(button); };
}

TPrintPreviewForm::~TPrintPreviewForm() = default;

TAction* TPrintPreviewForm::AddAction(const char* name, const char* caption, TShortCut shortCut, const char* hint)
{
    auto* action = new TAction(name, caption, shortCut, this);
    const QString text = QString::fromLatin1(hint);
    action->setToolTip(text.section(QLatin1Char('|'), 0, 0));
    action->setStatusTip(text.section(QLatin1Char('|'), 1));
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(action);
    FToolBar->addAction(action);
    return action;
}

void TPrintPreviewForm::FormShow()
{
    PreviewPanel->RefreshPages();
    PreviewPanel->GoFirstPage();
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull()) {
        const QString name = printer.printerName();
        actPrint->setToolTip(QStringLiteral("Print (") + name + QLatin1Char(')'));
        actPrint->setStatusTip(QStringLiteral("Print the document on ") + name);
    }
}

void TPrintPreviewForm::ShowPageNumber(int page)
{
    FStatus->setText(QStringLiteral("Page: %1 / %2").arg(page).arg(PreviewPanel->PageTotal()));
}

std::string TPrintPreviewForm::StatusText() const
{
    return StdStr(FStatus->text());
}

void TPrintPreviewForm::PreviewMouseDown(Qt::MouseButton button)
{
    if (button == Qt::LeftButton) {
        if (PreviewPanel->ScaleMode() == pscWholePage)
            PreviewPanel->SetScalePercent(100);
        else
            PreviewPanel->SetScalePercent(std::min(PreviewPanel->ScalePercent() * 2, 400));
    } else {
        PreviewPanel->SetScalePercent(std::max(PreviewPanel->ScalePercent() / 2, 25));
    }
}
