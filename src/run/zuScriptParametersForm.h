#pragma once
// TScriptParametersForm: the "Script Parameters" dialog, in which the user gives the active
// document's request method and its name=value parameters. Apply hands both to the document;
// Cancel changes nothing. Made for one use.

#include <QDialog>

#include <string>

class QComboBox;
class QTableWidget;
class TCodeEditorForm;
class TStrings;

class TScriptParametersForm : public QDialog {
public:
    // Shows a copy of the document's parameters and its request method (none without one).
    explicit TScriptParametersForm(TCodeEditorForm* document, QWidget* parent = nullptr);

    QTableWidget* ParameterEditor = nullptr;
    // "GET" or "POST".
    QComboBox* ParameterType = nullptr;

    // The grid's rows as "name=value" lines; rows without a name are left out.
    void GetParameterLines(TStrings& lines) const;
    void SetParameterLines(const TStrings& lines);

    // Empties the grid.
    void ClearAllClick();
    // Hands the grid and the method to the document and closes; when two rows share a name,
    // says so and stays open.
    void ApplyClick();

private:
    // Keeps one empty row at the end, where a new parameter is typed.
    void EnsureEmptyLastRow();
    std::string DuplicateName() const;

    TCodeEditorForm* FDocument;
};
