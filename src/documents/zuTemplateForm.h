#pragma once
// TTemplateForm: the "Template" dialog of the New command. It lists the files of the template
// folder by name and opens the chosen one as a new untitled document.

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;

class TTemplateForm : public QDialog {
public:
    // Lists the template folder's files (no folders, no hidden files), sorted by caption.
    explicit TTemplateForm(QWidget* parent = nullptr);

    // One entry: the file name without its extension, with the full path kept.
    void AddTemplateFile(const std::string& path);
    // The captions in list order.
    std::vector<std::string> Captions() const;
    // Selects the entry of that caption; false when there is none.
    bool SelectTemplate(const std::string& caption);
    // "&Open": opens the selected template as a new document and closes the dialog (without a
    // selection it only closes).
    void OpenClick();

private:
    // A double click or Enter: opens the selected template; nothing without a selection.
    void OpenSelected();

    QListWidget* FTemplateList;
};
