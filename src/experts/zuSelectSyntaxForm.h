#pragma once
// TSelectSyntaxForm: the "Syntax Highlighting" dialog. Chooses the active document's highlighter
// among the shared ones (or none) and the SQL dialect of the shared SQL highlighter.

#include <QDialog>

#include <vector>

class QListWidget;
class TSrcCustomHighlighter;
class TSrcEdit;
class TSrcSQLSyn;

class TSelectSyntaxForm : public QDialog {
public:
    // `highlighters` in component order; the editor's own is selected, "-- None --" without one.
    TSelectSyntaxForm(std::vector<TSrcCustomHighlighter*> highlighters, TSrcSQLSyn* sql, TSrcEdit* editor,
                      QWidget* parent = nullptr);

    QListWidget* SchemeBox = nullptr;
    QListWidget* SQLSchemeBox = nullptr;

    // The highlighter the scheme list names (null for "-- None --").
    TSrcCustomHighlighter* SelectedHighlighter() const;
    // Gives the editor the chosen highlighter, sets the SQL dialect and closes the dialog.
    void ApplyClick();

private:
    std::vector<TSrcCustomHighlighter*> FHighlighters;
    TSrcSQLSyn* FSQL;
    TSrcEdit* FEditor;
};

// The caption under which a highlighter is listed: the multi-language one by its component name
// with "_" shown as "+", the others by their language title.
std::string SchemeCaption(const TSrcCustomHighlighter& highlighter);
