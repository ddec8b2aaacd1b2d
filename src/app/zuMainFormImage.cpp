// The main window's Insert > Image command: the image insert dialog for the active document.

#include "app/zuMainForm.h"

#include "documents/zuCodeEditorForm.h"
#include "experts/zuGraphicExpertForm.h"

void TMainForm::InsertGraphicsExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    TGraphicExpertForm dialog(document, this);
    ShowModal(dialog);
}
