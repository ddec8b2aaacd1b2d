#pragma once
// TProjectManagerForm: the modal project manager that lists the projects of "projects.dat"
// and creates, edits, opens and removes them; and the New Project command of the main window.

#include "projects/zuProjectOptionsDialog.h"

#include <QDialog>

#include <functional>
#include <vector>

class QListWidget;
class QPushButton;

class TProjectManagerForm : public QDialog {
public:
    TProjectManagerForm(const TProjectServices& services, QWidget* parent = nullptr);
    ~TProjectManagerForm() override;

    // Refills the list: one row per section of "projects.dat" in file order, named by its
    // ProjectName ("Untitled Project" when missing); with `clearOnly` it only empties it.
    void FillProjectList(bool clearOnly);
    // The GUIDs and names of the rows, in order.
    std::vector<TGUID> ProjectIDs() const;
    std::vector<std::string> ProjectNames() const;
    void SelectRow(int row);

    // "New Project": the options dialog for a new GUID; OK refills the list (the dialog's
    // Apply has made the new project current already).
    void DoNewProject();
    // "Edit Project" and a double click: the options dialog for the selected project.
    void DoEditProject();
    // "Open Project": opens the selected project and closes the manager with OK.
    void DoOpenProject();
    // "Remove Project": erases the selected project's section at once, without a question.
    void DoRemoveProject();

    // Shows an options dialog modally and answers its result; tests replace it.
    std::function<int(TProjectOptionsForm& dialog)> ExecuteOptions = [](TProjectOptionsForm& dialog) {
        return dialog.exec();
    };

    QListWidget* ProjectList;
    QPushButton* btnNewProject;
    QPushButton* btnEditProject;
    QPushButton* btnOpenProject;
    QPushButton* btnRemoveProject;
    QPushButton* btnClose;

private:
    bool SelectedProject(TGUID& project) const;
    void ShowOptions(const TGUID& project);

    TProjectServices FServices;
};

// The main window's New Project: a new GUID in a new options dialog; OK opens that project.
// `execute` shows the dialog (exec() when unset). True when a project was made.
bool ExecuteNewProject(const TProjectServices& services, QWidget* parent,
                       const std::function<int(TProjectOptionsForm&)>& execute = {});
