#include "ftp/explorer/zuFTPExplorerToolForm.h"

#include "ftp/explorer/zuFTPExplorerForm.h"


#include <QVBoxLayout>

TFTPExplorerToolForm::TFTPExplorerToolForm(TExDockBasicStyle* style)
    : TToolWindowForm("FTPExplorerToolForm", "FTP Explorer", style)
{
    FClient = MakeClientLayout()->parentWidget();
}

TFTPExplorerToolForm::~TFTPExplorerToolForm()
{
    if (Embedded())
        FExplorer->setParent(nullptr);
}

void TFTPExplorerToolForm::Embed(TFTPExplorerForm* explorer)
{
    FExplorer = explorer;
    if (!explorer)
        return;
    if (!Embedded()) {
        explorer->setParent(FClient, Qt::Widget);
        FClient->layout()->addWidget(explorer);
    }
    explorer->show();
}

void TFTPExplorerToolForm::Release(QWidget* owner)
{
    if (!Embedded())
        return;
    FClient->layout()->removeWidget(FExplorer);
    FExplorer->setParent(owner, Qt::Dialog);
}

bool TFTPExplorerToolForm::Embedded() const
{
    return FExplorer && FExplorer->parentWidget() == FClient;
}
