// The main window's Compare Files command.

#include "app/zuMainForm.h"

#include "compare/zuCompareMainForm.h"

void TMainForm::CompareFileExecute()
{
    // The window frees itself when closed; it goes with the main window at the latest.
    auto* form = new TCompareMainForm(this);
    form->ModalHook = ModalHook;
    form->showMaximized();
}
