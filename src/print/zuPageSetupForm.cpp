#include "print/zuPageSetupForm.h"

#include "print/zuPrintSettings.h"

#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr TAlignment BoxAlignments[3] = {taLeftJustify, taCenter, taRightJustify};

const std::pair<const char*, const char*> Macros[] = {{"Title", "$TITLE$"},
                                                      {"Page Number", "$PAGENUM$"},
                                                      {"Total Page Count", "$PAGECOUNT$"},
                                                      {"Date", "$DATE$"},
                                                      {"Time", "$TIME$"}};

QDoubleSpinBox* MarginBox(QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setDecimals(2);
    box->setRange(0, 65535);
    return box;
}

// The colour as a swatch beside the caption, which stays readable on any colour.
void ShowColor(QPushButton* button, TColor color)
{
    QPixmap swatch(16, 16);
    swatch.fill(ToQColor(color));
    button->setIcon(QIcon(swatch));
}

} // namespace

TPageSetupForm::TPageSetupForm(TSrcEditPrint& print, TIniFileEx* settings, QWidget* parent)
    : QDialog(parent), FPrint(print), FSettings(settings)
{
    setWindowTitle(QStringLiteral("Page Setup"));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    tabs->addTab(MakeMarginsPage(), QStringLiteral("Margins/Options"));
    auto* bands = new QWidget(tabs);
    auto* bandLayout = new QVBoxLayout(bands);
    bandLayout->addWidget(MakeBandGroup("Header", HeaderControls));
    bandLayout->addWidget(MakeBandGroup("Footer", FooterControls));
    tabs->addTab(bands, QStringLiteral("Header/Footer"));
    layout->addWidget(tabs);
    auto* buttons = new QDialogButtonBox(this);
    ApplyButton = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    FMargins.Assign(FPrint.Margins());
    FillMargins();
    FHeader.Assign(FPrint.Header());
    FFooter.Assign(FPrint.Footer());
    FillBand(HeaderControls, FHeader);
    FillBand(FooterControls, FFooter);
    PrintSyntax->setChecked(FPrint.Highlight);
    WordWrap->setChecked(FPrint.Wrap);
    PrintLineNumbers->setChecked(FPrint.LineNumbers);
    PrintColors->setChecked(FPrint.Colors);
    NumbersInMargin->setChecked(FPrint.LineNumbersInMargin);
    MirrorMargins->setChecked(FMargins.MirrorMargins());
    MakeCurrent(HeaderControls.Texts[0]);
}

TPageSetupForm::~TPageSetupForm() = default;

QWidget* TPageSetupForm::MakeMarginsPage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* margins = new QGroupBox(QStringLiteral("Margins"), page);
    auto* form = new QFormLayout(margins);
    Units = new QComboBox(margins);
    Units->addItems({QStringLiteral("mm"), QStringLiteral("cm"), QStringLiteral("inch")});
    form->addRow(QStringLiteral("Units"), Units);
    const std::pair<const char*, QDoubleSpinBox**> boxes[] = {
        {"Top", &MarginTop},       {"Bottom", &MarginBottom}, {"Left", &MarginLeft},    {"Right", &MarginRight},
        {"Gutter", &MarginGutter}, {"Header", &MarginHeader}, {"Footer", &MarginFooter}};
    for (const auto& [label, box] : boxes) {
        *box = MarginBox(margins);
        form->addRow(QString::fromLatin1(label), *box);
    }
    connect(Units, &QComboBox::currentIndexChanged, this, [this](int index) {
        FMargins.SetUnitSystem(static_cast<TUnitSystem>(index));
        FillMargins();
    });
    layout->addWidget(margins);
    auto* options = new QGroupBox(QStringLiteral("Options"), page);
    auto* optionLayout = new QVBoxLayout(options);
    const std::pair<const char*, QCheckBox**> checks[] = {{"Print with Syntax Highlight", &PrintSyntax},
                                                          {"Word Wrap", &WordWrap},
                                                          {"Print Line Numbers", &PrintLineNumbers},
                                                          {"Print with Color", &PrintColors},
                                                          {"Mirror Margins", &MirrorMargins},
                                                          {"Line Numbers in Margin", &NumbersInMargin}};
    for (const auto& [caption, check] : checks) {
        *check = new QCheckBox(QString::fromLatin1(caption), options);
        optionLayout->addWidget(*check);
    }
    layout->addWidget(options);
    return page;
}

QWidget* TPageSetupForm::MakeBandGroup(const char* title, TBandControls& controls)
{
    auto* group = new QGroupBox(QString::fromLatin1(title), this);
    auto* grid = new QGridLayout(group);
    const char* const labels[3] = {"Left", "Center", "Right"};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(labels[i]), group), i, 0);
        controls.Texts[i] = new QLineEdit(group);
        controls.Texts[i]->installEventFilter(this);
        grid->addWidget(controls.Texts[i], i, 1);
        controls.Inserts[i] = new QToolButton(group);
        controls.Inserts[i]->setText(QStringLiteral("$"));
        controls.Inserts[i]->setPopupMode(QToolButton::InstantPopup);
        auto* menu = new QMenu(controls.Inserts[i]);
        for (const auto& [caption, macro] : Macros) {
            const std::string text = macro;
            menu->addAction(QString::fromLatin1(caption), this, [this, text] { InsertMacro(text); });
        }
        controls.Inserts[i]->setMenu(menu);
        grid->addWidget(controls.Inserts[i], i, 2);
    }
    controls.Line = new QCheckBox(QStringLiteral("&Line"), group);
    controls.Box = new QCheckBox(QStringLiteral("&Box"), group);
    controls.Shadow = new QCheckBox(QStringLiteral("&Shadow"), group);
    controls.MirrorPosition = new QCheckBox(QStringLiteral("&Mirror Position"), group);
    controls.LineColor = new QPushButton(QStringLiteral("Line Color"), group);
    controls.ShadowColor = new QPushButton(QStringLiteral("Shadow Color"), group);
    grid->addWidget(controls.Line, 0, 3);
    grid->addWidget(controls.Box, 1, 3);
    grid->addWidget(controls.Shadow, 2, 3);
    grid->addWidget(controls.MirrorPosition, 3, 3);
    grid->addWidget(controls.LineColor, 0, 4);
    grid->addWidget(controls.ShadowColor, 1, 4);
    connect(controls.LineColor, &QPushButton::clicked, this,
            [this, &controls] { ChooseColor(controls.LineColor, controls.LineColorValue); });
    connect(controls.ShadowColor, &QPushButton::clicked, this,
            [this, &controls] { ChooseColor(controls.ShadowColor, controls.ShadowColorValue); });
    return group;
}

void TPageSetupForm::ChooseColor(QPushButton* button, TColor& value)
{
    const QColor chosen = QColorDialog::getColor(ToQColor(value), this);
    if (chosen.isValid()) {
        value = FromQColor(chosen);
        ShowColor(button, value);
    }
}

void TPageSetupForm::FillMargins()
{
    const QSignalBlocker block(Units);
    Units->setCurrentIndex(FMargins.UnitSystem());
    MarginTop->setValue(FMargins.Top());
    MarginBottom->setValue(FMargins.Bottom());
    MarginLeft->setValue(FMargins.Left());
    MarginRight->setValue(FMargins.Right());
    MarginGutter->setValue(FMargins.Gutter());
    MarginHeader->setValue(FMargins.Header());
    MarginFooter->setValue(FMargins.Footer());
}

void TPageSetupForm::FillBand(TBandControls& controls, THeaderFooter& band)
{
    const TFrameTypes frame = band.FrameTypes();
    controls.Line->setChecked(frame.Contains(ftLine));
    controls.Box->setChecked(frame.Contains(ftBox));
    controls.Shadow->setChecked(frame.Contains(ftShaded));
    controls.MirrorPosition->setChecked(band.MirrorPosition());
    controls.LineColorValue = band.LineColor();
    controls.ShadowColorValue = band.ShadedColor();
    ShowColor(controls.LineColor, controls.LineColorValue);
    ShowColor(controls.ShadowColor, controls.ShadowColorValue);
    for (int i = 0; i < band.TextItemCount(); ++i) {
        const THeaderFooterItem& item = band.TextItemAt(i);
        for (int box = 0; box < 3; ++box)
            if (BoxAlignments[box] == item.ItemAlignment)
                controls.Texts[box]->setText(QStr(item.ItemText));
    }
}

void TPageSetupForm::MakeCurrent(QLineEdit* box)
{
    FCurrentBox = box;
    for (TBandControls* controls : {&HeaderControls, &FooterControls})
        for (int i = 0; i < 3; ++i) {
            const bool current = controls->Texts[i] == box;
            controls->Inserts[i]->setEnabled(current);
            QPalette palette = controls->Texts[i]->palette();
            palette.setColor(QPalette::Base, current ? QApplication::palette().color(QPalette::Base)
                                                     : QApplication::palette().color(QPalette::Button));
            controls->Texts[i]->setPalette(palette);
        }
}

bool TPageSetupForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        if (auto* box = qobject_cast<QLineEdit*>(watched))
            MakeCurrent(box);
    return QDialog::eventFilter(watched, event);
}

void TPageSetupForm::InsertMacro(const std::string& macro)
{
    if (FCurrentBox)
        FCurrentBox->insert(QStr(macro));
}

void TPageSetupForm::ApplyBand(TBandControls& controls, THeaderFooter& band)
{
    band.ClearTextItems();
    TFrameTypes frame;
    if (controls.Line->isChecked())
        frame.Include(ftLine);
    if (controls.Box->isChecked())
        frame.Include(ftBox);
    if (controls.Shadow->isChecked())
        frame.Include(ftShaded);
    band.SetFrameTypes(frame);
    for (int i = 0; i < 3; ++i) {
        const std::string text = StdStr(controls.Texts[i]->text());
        if (!text.empty())
            band.AddTextItem(text, nullptr, 1, BoxAlignments[i]);
    }
    band.SetMirrorPosition(controls.MirrorPosition->isChecked());
    band.SetLineColor(controls.LineColorValue);
    band.SetShadedColor(controls.ShadowColorValue);
}

void TPageSetupForm::Apply()
{
    FMargins.SetUnitSystem(static_cast<TUnitSystem>(Units->currentIndex()));
    FMargins.SetTop(MarginTop->value());
    FMargins.SetBottom(MarginBottom->value());
    FMargins.SetLeft(MarginLeft->value());
    FMargins.SetRight(MarginRight->value());
    FMargins.SetGutter(MarginGutter->value());
    FMargins.SetHeader(MarginHeader->value());
    FMargins.SetFooter(MarginFooter->value());
    FMargins.SetMirrorMargins(MirrorMargins->isChecked());
    ApplyBand(HeaderControls, FHeader);
    ApplyBand(FooterControls, FFooter);
    FPrint.Highlight = PrintSyntax->isChecked();
    FPrint.Wrap = WordWrap->isChecked();
    FPrint.LineNumbers = PrintLineNumbers->isChecked();
    FPrint.Colors = PrintColors->isChecked();
    FPrint.LineNumbersInMargin = NumbersInMargin->isChecked();
    FPrint.SetMargins(FMargins);
    FPrint.SetHeader(FHeader);
    FPrint.SetFooter(FFooter);
    if (FSettings)
        WritePrintSettings(*FSettings, FPrint);
    if (OnApplied)
        OnApplied();
}
