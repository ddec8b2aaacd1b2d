// The main window's options commands.

#include "app/zuMainForm.h"

#include "options/zuApplicationOptionsForm.h"
#include "options/zuEnvironmentOptionsForm.h"

void TMainForm::EnvironmentOptionsExecute()
{
    TEnvironmentOptionsForm dialog(this);
    ShowModal(dialog);
}

void TMainForm::ApplicationOptionsExecute()
{
    TApplicationOptionsForm dialog(this);
    ShowModal(dialog);
}
