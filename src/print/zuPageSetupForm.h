#pragma once
// TPageSetupForm: "Page Setup" edits copies of the print component's margins, header and footer
// and its options; "&Apply" gives them to the component, writes [Print] and tells the caller
// (which re-paginates a shown print preview).

#include "SrcEdit/Source/print/SrcEditPrint.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class TIniFileEx;

class TPageSetupForm : public QDialog {
public:
    TPageSetupForm(TSrcEditPrint& print, TIniFileEx* settings, QWidget* parent = nullptr);
    ~TPageSetupForm() override;

    // Run after "&Apply" has stored the values.
    std::function<void()> OnApplied;

    // The controls, named as the dialog shows them.
    QComboBox* Units = nullptr;
    QDoubleSpinBox* MarginTop = nullptr;
    QDoubleSpinBox* MarginBottom = nullptr;
    QDoubleSpinBox* MarginLeft = nullptr;
    QDoubleSpinBox* MarginRight = nullptr;
    QDoubleSpinBox* MarginGutter = nullptr;
    QDoubleSpinBox* MarginHeader = nullptr;
    QDoubleSpinBox* MarginFooter = nullptr;
    QCheckBox* PrintSyntax = nullptr;
    QCheckBox* WordWrap = nullptr;
    QCheckBox* PrintLineNumbers = nullptr;
    QCheckBox* PrintColors = nullptr;
    QCheckBox* MirrorMargins = nullptr;
    QCheckBox* NumbersInMargin = nullptr;
    struct TBandControls {
        QLineEdit* Texts[3] = {}; // left, centre, right
        QToolButton* Inserts[3] = {};
        QCheckBox* Line = nullptr;
        QCheckBox* Box = nullptr;
        QCheckBox* Shadow = nullptr;
        QCheckBox* MirrorPosition = nullptr;
        QPushButton* LineColor = nullptr;
        QPushButton* ShadowColor = nullptr;
        TColor LineColorValue = clBlack;
        TColor ShadowColorValue = clSilver;
    };
    TBandControls HeaderControls;
    TBandControls FooterControls;
    QPushButton* ApplyButton = nullptr;
    QLineEdit* CurrentBox() const { return FCurrentBox; }

    void Apply();
    // Inserts a macro at the caret of the box entered last, replacing its selection.
    void InsertMacro(const std::string& macro);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* MakeMarginsPage();
    QWidget* MakeBandGroup(const char* title, TBandControls& controls);
    void FillMargins();
    void FillBand(TBandControls& controls, THeaderFooter& band);
    void ApplyBand(TBandControls& controls, THeaderFooter& band);
    void MakeCurrent(QLineEdit* box);
    void ChooseColor(QPushButton* button, TColor& value);

    TSrcEditPrint& FPrint;
    TIniFileEx* FSettings;
    TSrcEditPrintMargins FMargins;
    THeader FHeader;
    TFooter FFooter;
    QLineEdit* FCurrentBox = nullptr;
};
