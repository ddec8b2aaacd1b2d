// The main window's project commands: New Project, Open Project (the project manager) and
// Project Options for the current project.

#include "app/zuMainForm.h"

#include "projects/zuCurrentProject.h"
#include "projects/zuProjectManager.h"
#include "projects/zuProjectOptionsDialog.h"

void TMainForm::NewProjectExecute()
{
    if (!CurrentProject)
        return;
    ExecuteNewProject(ProjectServices, this, [this](TProjectOptionsForm& dialog) { return ShowModal(dialog); });
}

void TMainForm::OpenProjectExecute()
{
    if (!CurrentProject)
        return;
    TProjectManagerForm manager(ProjectServices, this);
    // why: the options dialogs the manager opens are modal too and answer through the same seam.
    manager.ExecuteOptions = [this](TProjectOptionsForm& dialog) { return ShowModal(dialog); };
    ShowModal(manager);
}

void TMainForm::ProjectOptionsExecute()
{
    if (!CurrentProject)
        return;
    TProjectOptionsForm dialog(ProjectServices, this);
    dialog.LoadProject(CurrentProject->CurrentProject());
    ShowModal(dialog);
}
