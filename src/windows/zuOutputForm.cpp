#include "windows/zuOutputForm.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/lists/ExTextListBox.h"

#include "Platform/controls/AlignLayout.h"

TOutputForm::TOutputForm(TExDockBasicStyle* style) : TToolWindowForm("OutputForm", "Output", style)
{
    OutputEdit = new TExTextListBox(this, this); // owned by the form
    OutputEdit->SetName("OutputEdit");
    SetAlign(*OutputEdit, TAlign::alClient);
    DockClient()->SetTopDock(false);
}
