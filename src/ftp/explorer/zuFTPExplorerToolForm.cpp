#include "ftp/explorer/zuFTPExplorerToolForm.h"

#include "ftp/explorer/zuFTPExplorerForm.h"

#include "Platform/controls/AlignLayout.h"
#include "Platform/controls/ExtCtrls.h"

#include <QVBoxLayout>

TFTPExplorerToolForm::TFTPExplorerToolForm(TExDockBasicStyle* style)
    : TToolWindowForm("FTPExplorerToolForm", "FTP Explorer", style)
{
    auto* client = new TCustomPanel(this, this); // owned by the form
    client->SetBevelOuter(TPanelBevel::bvNone);
    SetAlign(*client, TAlign::alClient);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    FClient = client;
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
