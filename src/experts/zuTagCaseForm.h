#pragma once
// TTagCaseForm: the "Convert Case" dialog. "&Apply" rewrites the whole text of the active
// document with every tag name and attribute in upper or lower case.

#include <QDialog>

#include <functional>

class QRadioButton;
class TSrcEdit;

class TTagCaseForm : public QDialog {
public:
    explicit TTagCaseForm(QWidget* parent = nullptr);

    QRadioButton* UpperCaseButton = nullptr;
    QRadioButton* LowerCaseButton = nullptr;
    // The editor whose text is converted; null changes nothing.
    std::function<TSrcEdit*()> TargetEditor;

    // Converts, marks the document modified and closes the dialog.
    void ApplyClick();
};
