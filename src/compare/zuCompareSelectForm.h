#pragma once
// TCompareSelectForm: the "Select Files" dialog of a new comparison: two file names chosen with
// their browse buttons (the boxes take no typing), "Co&mpare" (once both are chosen) and "&Cancel".

#include "app/zuDialogs.h"

#include <QDialog>

#include <string>

class QLineEdit;

class TCompareSelectForm : public QDialog {
public:
    // The browse buttons start in the folders of these files.
    TCompareSelectForm(const std::string& lastFile1, const std::string& lastFile2, QWidget* parent);

    std::string File1() const;
    std::string File2() const;
    void SetFile1(const std::string& name);
    void SetFile2(const std::string& name);

    TFileDialog BrowseDialog{TFileDialog::TKind::dkOpen};

private:
    void Browse(QLineEdit* box, const std::string& last);

    QLineEdit* FFile1 = nullptr;
    QLineEdit* FFile2 = nullptr;
};
