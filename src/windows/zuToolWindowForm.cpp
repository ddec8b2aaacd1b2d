#include "windows/zuToolWindowForm.h"

#include "ExLib/run/docking/control/ExDockClient.h"

#include "Platform/controls/AlignLayout.h"
#include "Platform/controls/ExtCtrls.h"

#include <QVBoxLayout>

TToolWindowForm::TToolWindowForm(const std::string& name, const std::string& caption, TExDockBasicStyle* style)
    : TExForm(nullptr)
{
    SetName(name);
    SetCaption(caption);
    resize(300, 200);
    FDockClient = new TExDockClient(this); // owned by the form
    FDockClient->SetName("DockClient");
    FDockClient->SetDockStyle(style);
    // A tool window appears where the layout puts it; it starts hidden.
    hide();
}

TToolWindowForm::~TToolWindowForm() = default;

QVBoxLayout* TToolWindowForm::MakeClientLayout()
{
    auto* client = new TCustomPanel(this, this); // owned by the form
    client->SetBevelOuter(TPanelBevel::bvNone);
    SetAlign(*client, TAlign::alClient);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}
