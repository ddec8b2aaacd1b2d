// The application options dialog: its frame, the general, editor, code insight, backup and
// appearance pages, Apply and Cancel. The highlighting, auto-correction, key map and
// association pages live in files of their own.

#include "options/zuApplicationOptionsForm.h"

#include "options/zuFileAssociations.h"
#include "options/zuOptionsControls.h"

#include "app/zuMainForm.h"
#include "app/zuScopeGuards.h"
#include "code/zuCodeInsight.h"
#include "documents/zuCodeEditorForm.h"
#include "documents/zuEditorModule.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/autocorrect/SrcEditAutoCorrect.h"

#include "ExLib/run/colors/ExOfficeColorButton.h"
#include "ExLib/run/edits/ExFileDirEdit.h"
#include "ExLib/run/edits/ExSpinEdit.h"
#include "ExLib/run/lists/ExComboBox.h"
#include "ExLib/run/lists/ExListBox.h"
#include "ExLib/run/panels/ExPageControl.h"
#include "ExLib/run/panels/ExStaticText.h"

#include "Platform/controls/ControlFont.h"
#include "Platform/core/DateTime.h"
#include "Platform/core/QtBridge.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "utility/UclDateUtils.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

struct TEditorOption {
    const char* Caption;
    const TBoolKey& Key;
    const char* Hint;
};

const TEditorOption EditorOptions[] = {
    {"Auto Indent", Settings::Editor::AutoIndent,
     "Will indent the caret on new lines with the same \r\namount of leading white space as the preceding line"},
    {"Alt Sets Column Mode", Settings::Editor::ColumnMode,
     "Holding down the Alt Key will put the selection mode into columnar format"},
    {"Smart Tabs", Settings::Editor::SmartTabs,
     "When tabbing, the cursor will go to the next non-white space \r\ncharacter of the previous line"},
    {"Enhance Home Key", Settings::Editor::HomeKey,
     "Enhance the home key so that the cursor will jump to the beginning \r\nof the currently indented block "
     "instead of the real beginning of the line"},
    {"Show Line Numbers", Settings::Editor::LineNumbers, "Show line numbers on the gutter"},
    {"Show Special Chars", Settings::Editor::SpecialChars,
     "Show special characters like Tabs and Returns in the source code"},
    {"Group Undo/Redo", Settings::Editor::GroupUndo,
     "When undoing/redoing actions, handle all continous changes of the same \r\nkind in one call instead "
     "undoing/redoing each command separately"},
    {"Smart Tab Delete", Settings::Editor::SmartTabDelete, "Similar to Smart Tabs, but when you delete characters"},
    {"Tab Indent", Settings::Editor::TabIndent,
     "When active <Tab> and <Shift><Tab> act as block indent, \r\nunindent when text is selected"},
    {"Scroll Past End Of File", Settings::Editor::ScrollPastEOF, "Allows the cursor to go past the end of file marker"},
    {"Right Click Moves Cursor", Settings::Editor::RightMouseMovesCursor,
     "When clicking with the right mouse for a popup menu, \r\nmove the cursor to that location"},
    {"Trim Trailing Spaces", Settings::Editor::TrimTrailingSpaces,
     "Spaces at the end of lines will be trimmed and not saved"},
    {"Scroll Past End Of Line", Settings::Editor::ScrollPastEOL,
     "Allows the cursor to go past the last character into the white \r\nspace at the end of a line"},
    {"Half Page Scroll", Settings::Editor::HalfPageScroll,
     "When scrolling with page-up and page-down commands, \r\nonly scroll a half page at a time"},
    {"Tabs To Spaces", Settings::Editor::TabsToSpaces,
     "Converts a tab character to a specified number of space characters"},
    {"Undo After Save", Settings::Editor::UndoAfterSave, "Allow undoing/redoing operations after saving modifications"},
    {"Highlight Matching Brackets", Settings::Editor::MatchBrackets, "Highlight matching brackets"},
};

// The appearance colours: the module's field and the key, in button order.
struct TAppearanceColor {
    TColor TEditorModule::*Field;
    const TColorKey& Key;
};
const TAppearanceColor AppearanceColors[7] = {
    {&TEditorModule::SelectionBG, Settings::Editor::SelectionBG},
    {&TEditorModule::SelectionFG, Settings::Editor::SelectionFG},
    {&TEditorModule::BookmarkBG, Settings::Editor::BookmarkBG},
    {&TEditorModule::BookmarkFG, Settings::Editor::BookmarkFG},
    {&TEditorModule::MatchedLineBG, Settings::Editor::MatchedLineBG},
    {&TEditorModule::MatchedLineFG, Settings::Editor::MatchedLineFG},
    {&TEditorModule::ActiveLineBG, Settings::Editor::ActiveLineBG},
};

QWidget* NewPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    return page;
}

QCheckBox* AddCheckBox(QBoxLayout& layout, const char* caption)
{
    auto* box = new QCheckBox(QString::fromUtf8(caption));
    layout.addWidget(box);
    return box;
}

TExComboBox* MakeList(QWidget* parent, std::initializer_list<const char*> items)
{
    auto* combo = new TExComboBox(nullptr, parent);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    for (const char* item : items)
        combo->Items().Add(item);
    return combo;
}

// A stored list position; one outside the list shows the first entry.
void SetListPosition(TExComboBox& combo, int position)
{
    combo.SetItemIndex(position >= 0 && position < combo.Items().Count() ? position : 0);
}

} // namespace

TExOfficeColorButton* MakeOptionsColorButton(QWidget* parent)
{
    auto* button = new TExOfficeColorButton(nullptr, parent);
    button->SetFaceColor(clBtnFace);
    TExOfficeColorButtonProperties& p = button->Properties();
    p.SetShowDragBar(false);
    p.SetDragBarHint("Drag to floating");
    p.SetShowAutoButton(false);
    p.SetShowColorHint(false);
    p.SetOtherCaption("More...");
    button->SetOptions(TColorDialogOptions{cdFullOpen});
    button->setFixedSize(75, 22);
    // why: a modal dialog blocks input to every window but its own, so the colour window
    // that drops down becomes one of the dialog's windows
    QWidget& popup = button->ColorWindow();
    popup.setParent(parent->window(), popup.windowFlags());
    return button;
}

const std::vector<std::string>& TApplicationOptionsForm::SectionNames()
{
    static const std::vector<std::string> names = {
        "General Options", "Editor Options",        "Code Insight",      "Backup Options",    "Syntax Highlighting",
        "Automatic Correction", "Editor Appearance", "Key Mapping",       "File Associations",
    };
    return names;
}

TApplicationOptionsForm::TApplicationOptionsForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ApplicationOptionsForm"));
    setWindowTitle(QStringLiteral("Application Options"));
    CreateControls();
    LoadGeneral();
    LoadEditor();
    LoadCodeInsight();
    LoadBackup();
    LoadHighlighting();
    LoadAutoCorrect();
    LoadAppearance();
    LoadKeyMap();
    LoadAssociations();
    SelectSection(0);
}

TApplicationOptionsForm::~TApplicationOptionsForm() = default;

void TApplicationOptionsForm::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    SectionTree = new QTreeWidget(this);
    SectionTree->setObjectName(QStringLiteral("SectionTree"));
    SectionTree->setHeaderHidden(true);
    SectionTree->setRootIsDecorated(false);
    SectionTree->setFixedWidth(160);
    for (const std::string& name : SectionNames())
        new QTreeWidgetItem(SectionTree, QStringList{QStr(name)});
    body->addWidget(SectionTree);

    auto* right = new QVBoxLayout;
    HeaderText = new TExStaticText(nullptr, this);
    HeaderText->setObjectName(QStringLiteral("HeaderText"));
    HeaderText->SetAutoSize(false);
    HeaderText->SetLayout(TTextLayout::tlCenter);
    HeaderText->SetBorderStyle(TStaticBorderStyle::sbsSunken);
    HeaderText->SetColor(clBtnShadow);
    HeaderText->Font().SetColor(clWhite);
    HeaderText->Font().SetStyle(TFontStyles{fsBold});
    HeaderText->setFixedHeight(22);
    right->addWidget(HeaderText);
    PageControl = new TExPageControl(nullptr, this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->SetHideAllTabs(true);
    const std::vector<QWidget*> pages = {
        MakeGeneralPage(),      MakeEditorPage(),     MakeCodeInsightPage(), MakeBackupPage(), MakeHighlightingPage(),
        MakeAutoCorrectPage(),  MakeAppearancePage(), MakeKeyMapPage(),      MakeAssociationsPage(),
    };
    for (size_t i = 0; i < pages.size(); ++i) {
        auto* sheet = new TTabSheet(nullptr);
        sheet->SetCaption(SectionNames()[i]);
        sheet->SetPageControl(PageControl);
        auto* sheetLayout = new QVBoxLayout(sheet);
        sheetLayout->setContentsMargins(6, 6, 6, 6);
        sheetLayout->addWidget(pages[i]);
    }
    right->addWidget(PageControl, 1);
    body->addLayout(right, 1);
    layout->addLayout(body, 1);
    AddDialogButtons(*layout, *this, ApplyButton, CancelButton);
    connect(ApplyButton, &QPushButton::clicked, this, [this] { RunGuarded([this] { Apply(); }); });
    connect(SectionTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item)
            SelectSection(SectionTree->indexOfTopLevelItem(item));
    });
    resize(720, 520);
}

void TApplicationOptionsForm::SelectSection(int index)
{
    if (index < 0 || index >= static_cast<int>(SectionNames().size()))
        return;
    if (SectionTree->currentItem() != SectionTree->topLevelItem(index))
        SectionTree->setCurrentItem(SectionTree->topLevelItem(index));
    PageControl->SetActivePageIndex(index);
    HeaderText->SetCaption("  " + SectionNames()[static_cast<size_t>(index)]);
}

// ---- General Options

QWidget* TApplicationOptionsForm::MakeGeneralPage()
{
    QWidget* page = NewPage(this);
    auto* layout = new QVBoxLayout(page);
    auto* recent = new QGroupBox(QStringLiteral("Recent Lists"), page);
    auto* recentRow = new QHBoxLayout(recent);
    recentRow->addWidget(new QLabel(QStringLiteral("Maximum Items on Recent List")));
    spedRecentItems = MakeSpinEdit(recent, 0, Settings::MaxSavedRecentFiles);
    recentRow->addWidget(spedRecentItems);
    recentRow->addStretch(1);
    btnClearList = new QPushButton(QStringLiteral("Clear List"), recent);
    recentRow->addWidget(btnClearList);
    connect(btnClearList, &QPushButton::clicked, this, [] {
        if (MainForm)
            MainForm->RecentFileList.Clear();
    });
    layout->addWidget(recent);

    auto* general = new QGroupBox(QStringLiteral("General Options"), page);
    auto* form = new QFormLayout(general);
    cmbxLineEnding = MakeList(general, {"CR+LF (Windows)", "LF (Unix/Linux)", "CR (Machintosh)"});
    form->addRow(QStringLiteral("Default Line Ending Mode On Saving"), cmbxLineEnding);
    cmbxReloadType = MakeList(general, {"Prompt For Reload", "Always Reload", "Ignore"});
    form->addRow(QStringLiteral("When Files Are Modified by External Process"), cmbxReloadType);
    cmbxSQLDialect = MakeList(general, {"Standard ", "Interbase 6 ", "MS SQL7 ", "MySQL ", "Oracle", "Sybase ",
                                        "Ingres ", "MS SQL2K"});
    form->addRow(QStringLiteral("Default SQL Dialect"), cmbxSQLDialect);
    cmbxTagCase = MakeList(general, {"lowercase", "UPPERCASE"});
    form->addRow(QStringLiteral("Default HTML Tag Case"), cmbxTagCase);
    layout->addWidget(general);

    auto* date = new QGroupBox(QStringLiteral("Date / Time Format"), page);
    auto* dateRow = new QHBoxLayout(date);
    edDateTime = new QLineEdit(date);
    edSampleDateTime = new QLineEdit(date);
    edSampleDateTime->setReadOnly(true);
    dateRow->addWidget(edDateTime);
    dateRow->addWidget(edSampleDateTime);
    connect(edDateTime, &QLineEdit::textChanged, this, [this] { ShowSampleDate(); });
    layout->addWidget(date);
    layout->addStretch(1);
    return page;
}

void TApplicationOptionsForm::LoadGeneral()
{
    using namespace Settings::General;
    const TIniFileEx& ini = *SettingsFile;
    spedRecentItems->SetIntValue(MaxMRU.Read(ini));
    SetListPosition(*cmbxLineEnding, LineEnding.Read(ini));
    SetListPosition(*cmbxReloadType, Reload.Read(ini));
    SetListPosition(*cmbxSQLDialect, SQLDialect.Read(ini));
    SetListPosition(*cmbxTagCase, TagCase.Read(ini));
    edDateTime->setText(QStr(DateTimeFormat.Read(ini)));
    ShowSampleDate();
}

void TApplicationOptionsForm::ShowSampleDate()
{
    edSampleDateTime->setText(QStr(FormatDateTimeIso8601(StdStr(edDateTime->text()), Now())));
}

void TApplicationOptionsForm::ApplyGeneral()
{
    using namespace Settings::General;
    TIniFileEx& ini = *SettingsFile;
    Reload.Write(ini, cmbxReloadType->ItemIndex());
    LineEnding.Write(ini, cmbxLineEnding->ItemIndex());
    SQLDialect.Write(ini, cmbxSQLDialect->ItemIndex());
    TagCase.Write(ini, cmbxTagCase->ItemIndex());
    MaxMRU.Write(ini, spedRecentItems->IntValue());
    DateTimeFormat.Write(ini, StdStr(edDateTime->text()));
}

// ---- Editor Options

QWidget* TApplicationOptionsForm::MakeEditorPage()
{
    QWidget* page = NewPage(this);
    auto* layout = new QVBoxLayout(page);
    auto* options = new QGroupBox(QStringLiteral("Editor Options"), page);
    auto* grid = new QGridLayout(options);
    grid->setVerticalSpacing(2);
    const int rows = (static_cast<int>(std::size(EditorOptions)) + 1) / 2;
    int index = 0;
    for (const TEditorOption& option : EditorOptions) {
        auto* box = new QCheckBox(QString::fromUtf8(option.Caption), options);
        box->setToolTip(QString::fromUtf8(option.Hint).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        grid->addWidget(box, index % rows, index / rows);
        EditorOptionBoxes.push_back(box);
        ++index;
    }
    layout->addWidget(options);

    auto* lower = new QHBoxLayout;
    auto* close = new QGroupBox(QStringLiteral("Automatically Close"), page);
    auto* closeRow = new QHBoxLayout(close);
    const char* closers[5] = {"{", "[", "(", "\"", "'"};
    for (int i = 0; i < 5; ++i) {
        CloseBoxes[i] = new QCheckBox(QString::fromUtf8(closers[i]), close);
        closeRow->addWidget(CloseBoxes[i]);
    }
    lower->addWidget(close);
    auto* numbers = new QFormLayout;
    spedMaxUndo = MakeSpinEdit(page, 0, 65535);
    numbers->addRow(QStringLiteral("Max Undo"), spedMaxUndo);
    spedTabWidth = MakeSpinEdit(page, 0, 65535);
    numbers->addRow(QStringLiteral("Tab Width"), spedTabWidth);
    spedLineSpacing = MakeSpinEdit(page, 0, 65535);
    numbers->addRow(QStringLiteral("Line Spacing"), spedLineSpacing);
    spedRightMargin = MakeSpinEdit(page, 0, 65535);
    numbers->addRow(QStringLiteral("Right Margin:"), spedRightMargin);
    lower->addLayout(numbers);
    layout->addLayout(lower);

    auto* font = new QGroupBox(QStringLiteral("Editor Font"), page);
    auto* fontRow = new QHBoxLayout(font);
    btnFont = new QPushButton(font);
    btnFont->setToolTip(QStringLiteral("Click to change the editor font"));
    fontRow->addWidget(btnFont);
    connect(btnFont, &QPushButton::clicked, this, [this] { RunGuarded([this] { ChooseFont(); }); });
    layout->addWidget(font);
    layout->addStretch(1);
    return page;
}

void TApplicationOptionsForm::LoadEditor()
{
    using namespace Settings::Editor;
    const TIniFileEx& ini = *SettingsFile;
    for (size_t i = 0; i < std::size(EditorOptions); ++i)
        EditorOptionBoxes[i]->setChecked(EditorOptions[i].Key.Read(ini));
    for (int i = 0; i < 5; ++i)
        CloseBoxes[i]->setChecked(Close[i].Read(ini));
    spedMaxUndo->SetIntValue(MaxUndo.Read(ini));
    spedTabWidth->SetIntValue(TabWidth.Read(ini));
    spedLineSpacing->SetIntValue(LineSpacing.Read(ini));
    spedRightMargin->SetIntValue(RightMarginAt.Read(ini));
    EditorFont.SetName("Courier New");
    EditorFont.SetSize(10);
    EditorFont.SetColor(clWindowText);
    Font.Read(ini, EditorFont);
    ShowFont();
}

void TApplicationOptionsForm::ShowFont()
{
    btnFont->setText(QStr(Format("%s %dpt", {EditorFont.Name(), EditorFont.Size()})));
}

void TApplicationOptionsForm::ChooseFont()
{
    TFont font;
    font.Assign(EditorFont);
    bool chosen = false;
    if (FontDialogHook) {
        chosen = FontDialogHook(font);
    } else {
        bool ok = false;
        const QFont qfont = QFontDialog::getFont(&ok, EditorFont.ToQFont(), this, QStringLiteral("Font"),
                                                 QFontDialog::MonospacedFonts | QFontDialog::ScalableFonts);
        if (ok) {
            AssignQFont(font, qfont);
            chosen = true;
        }
    }
    if (!chosen)
        return;
    EditorFont.Assign(font);
    ShowFont();
}

void TApplicationOptionsForm::ApplyEditor()
{
    using namespace Settings::Editor;
    TIniFileEx& ini = *SettingsFile;
    for (size_t i = 0; i < std::size(EditorOptions); ++i)
        EditorOptions[i].Key.Write(ini, EditorOptionBoxes[i]->isChecked());
    for (int i = 0; i < 5; ++i)
        Close[i].Write(ini, CloseBoxes[i]->isChecked());
    MaxUndo.Write(ini, spedMaxUndo->IntValue());
    TabWidth.Write(ini, spedTabWidth->IntValue());
    LineSpacing.Write(ini, spedLineSpacing->IntValue());
    RightMarginAt.Write(ini, spedRightMargin->IntValue());
    Font.Write(ini, EditorFont);
}

// ---- Code Insight

QWidget* TApplicationOptionsForm::MakeCodeInsightPage()
{
    QWidget* page = NewPage(this);
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Code Insight"), page);
    auto* boxes = new QVBoxLayout(group);
    cbCodeCompletion = AddCheckBox(*boxes, "Enable Code Completion");
    cbParameterHints = AddCheckBox(*boxes, "Enable Parameter Hints");
    cbHTMLCompletion = AddCheckBox(*boxes, "Enable HTML Code Completion");
    cbCSSCompletion = AddCheckBox(*boxes, "Enable CSS Code Completion");
    cbDisplayDescription = AddCheckBox(*boxes, "Display Description If Available");
    layout->addWidget(group);
    auto* delay = new QGroupBox(QStringLiteral("Delay"), page);
    auto* delayRow = new QHBoxLayout(delay);
    delayRow->addWidget(new QLabel(QStringLiteral("0.1 sec")));
    tbDelay = new QSlider(Qt::Horizontal, delay);
    tbDelay->setRange(100, 1500);
    tbDelay->setSingleStep(100);
    tbDelay->setPageStep(100);
    tbDelay->setTickInterval(100);
    tbDelay->setTickPosition(QSlider::TicksBelow);
    delayRow->addWidget(tbDelay, 1);
    delayRow->addWidget(new QLabel(QStringLiteral("1.5 sec")));
    // why: the track bar moves in whole steps of 100 ms
    connect(tbDelay, &QSlider::valueChanged, this, [this](int value) {
        const int stepped = (value + 50) / 100 * 100;
        if (stepped != value)
            tbDelay->setValue(stepped);
    });
    layout->addWidget(delay);
    layout->addStretch(1);
    return page;
}

void TApplicationOptionsForm::LoadCodeInsight()
{
    using namespace Settings::CodeInsight;
    const TIniFileEx& ini = *SettingsFile;
    cbCodeCompletion->setChecked(CodeCompletion.Read(ini));
    cbParameterHints->setChecked(ParameterHints.Read(ini));
    cbHTMLCompletion->setChecked(HTMLCompletion.Read(ini));
    cbCSSCompletion->setChecked(CSSCompletion.Read(ini));
    cbDisplayDescription->setChecked(DisplayDescription.Read(ini));
    tbDelay->setValue(EditorModule ? EditorModule->CodeInsight->ParameterProposal->TimerInterval() : Delay.Default);
}

void TApplicationOptionsForm::ApplyCodeInsight()
{
    using namespace Settings::CodeInsight;
    TIniFileEx& ini = *SettingsFile;
    CodeCompletion.Write(ini, cbCodeCompletion->isChecked());
    ParameterHints.Write(ini, cbParameterHints->isChecked());
    HTMLCompletion.Write(ini, cbHTMLCompletion->isChecked());
    CSSCompletion.Write(ini, cbCSSCompletion->isChecked());
    DisplayDescription.Write(ini, cbDisplayDescription->isChecked());
    Delay.Write(ini, tbDelay->value());
    if (EditorModule) {
        EditorModule->CodeInsight->CompletionProposal->SetTimerInterval(tbDelay->value());
        EditorModule->CodeInsight->ParameterProposal->SetTimerInterval(tbDelay->value());
    }
}

// ---- Backup Options

QWidget* TApplicationOptionsForm::MakeBackupPage()
{
    QWidget* page = NewPage(this);
    auto* layout = new QVBoxLayout(page);
    auto* backup = new QGroupBox(QStringLiteral("Backup Options"), page);
    auto* backupLayout = new QVBoxLayout(backup);
    cbBackupLocalFiles = AddCheckBox(*backupLayout, "Backup Local Files Before Saving");
    cbUseBackupPath = AddCheckBox(*backupLayout, "Use Backup Directory For Saving");
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(new QLabel(QStringLiteral("Backup Directory")));
    edBackupPath = new TExDirectoryEdit(nullptr, backup);
    pathRow->addWidget(edBackupPath, 1);
    backupLayout->addLayout(pathRow);
    layout->addWidget(backup);

    auto* save = new QGroupBox(QStringLiteral("Automatic Save"), page);
    auto* saveLayout = new QVBoxLayout(save);
    auto* intervalRow = new QHBoxLayout;
    cbAutomaticSave = new QCheckBox(QStringLiteral("Automatically Save Files (Minute)"), save);
    intervalRow->addWidget(cbAutomaticSave);
    spedSaveInterval = MakeSpinEdit(save, 0, 60);
    intervalRow->addWidget(spedSaveInterval);
    intervalRow->addStretch(1);
    saveLayout->addLayout(intervalRow);
    cbNoAutoSaveFTP = AddCheckBox(*saveLayout, "Do not Automatically Save FTP Files");
    cbNoAutoSaveUntitled = AddCheckBox(*saveLayout, "Do not Automatically Save Untitled (New) Files");
    connect(cbAutomaticSave, &QCheckBox::toggled, this, [this](bool on) { spedSaveInterval->setEnabled(on); });
    layout->addWidget(save);
    layout->addStretch(1);
    return page;
}

void TApplicationOptionsForm::LoadBackup()
{
    using namespace Settings::Backup;
    const TIniFileEx& ini = *SettingsFile;
    cbBackupLocalFiles->setChecked(BackupLocalFiles.Read(ini));
    cbUseBackupPath->setChecked(UseBackupPath.Read(ini));
    edBackupPath->setText(QStr(LocalBackupPath.Read(ini)));
    cbAutomaticSave->setChecked(AutomaticSave.Read(ini));
    spedSaveInterval->setEnabled(cbAutomaticSave->isChecked());
    spedSaveInterval->SetIntValue(SaveInterval.Read(ini, 1));
    cbNoAutoSaveFTP->setChecked(DisableAutoSaveFTP.Read(ini));
    cbNoAutoSaveUntitled->setChecked(DisableAutoSaveUntitled.Read(ini));
}

void TApplicationOptionsForm::ApplyBackup()
{
    using namespace Settings::Backup;
    TIniFileEx& ini = *SettingsFile;
    BackupLocalFiles.Write(ini, cbBackupLocalFiles->isChecked());
    UseBackupPath.Write(ini, cbUseBackupPath->isChecked());
    LocalBackupPath.Write(ini, StdStr(edBackupPath->text()));
    AutomaticSave.Write(ini, cbAutomaticSave->isChecked());
    DisableAutoSaveFTP.Write(ini, cbNoAutoSaveFTP->isChecked());
    DisableAutoSaveUntitled.Write(ini, cbNoAutoSaveUntitled->isChecked());
    SaveInterval.Write(ini, spedSaveInterval->IntValue());
}

// ---- Editor Appearance

QWidget* TApplicationOptionsForm::MakeAppearancePage()
{
    QWidget* page = NewPage(this);
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Editor Color Settings"), page);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Background")), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Text")), 0, 2);
    const char* rows[3] = {"Selection", "Bookmarked Line", "Matched Line"};
    for (int row = 0; row < 3; ++row) {
        grid->addWidget(new QLabel(QString::fromUtf8(rows[row])), row + 1, 0);
        for (int column = 0; column < 2; ++column) {
            TExOfficeColorButton*& button = AppearanceButtons[row * 2 + column];
            button = MakeOptionsColorButton(group);
            grid->addWidget(button, row + 1, column + 1);
        }
    }
    cbActiveLine = new QCheckBox(QStringLiteral("Active Line"), group);
    grid->addWidget(cbActiveLine, 4, 0);
    AppearanceButtons[6] = MakeOptionsColorButton(group);
    grid->addWidget(AppearanceButtons[6], 4, 1);
    grid->setColumnStretch(3, 1);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

void TApplicationOptionsForm::LoadAppearance()
{
    for (int i = 0; i < 7; ++i)
        AppearanceButtons[i]->SetSelectedColor(EditorModule->*AppearanceColors[i].Field);
    const bool activeLine = EditorModule->ActiveLineBG != clNone;
    cbActiveLine->setChecked(activeLine);
    if (!activeLine)
        AppearanceButtons[6]->SetSelectedColor(clWindow);
}

void TApplicationOptionsForm::ApplyAppearance()
{
    for (int i = 0; i < 7; ++i) {
        TColor color = AppearanceButtons[i]->SelectedColor();
        if (i == 6 && !cbActiveLine->isChecked())
            color = clNone;
        EditorModule->*AppearanceColors[i].Field = color;
        AppearanceColors[i].Key.Write(*SettingsFile, color);
    }
}

// ---- Apply and Cancel

void TApplicationOptionsForm::Apply()
{
    TWaitCursor wait;
    ApplyGeneral();
    ApplyEditor();
    ApplyCodeInsight();
    ApplyBackup();
    ApplyAutoCorrect();
    ApplyAppearance();
    if (FHighlightersChanged)
        ApplyHighlighters();
    if (FKeymapChanged) {
        std::vector<std::pair<std::string, TShortCut>> shortcuts;
        for (TAction* action : MainForm->ActionList.Actions())
            shortcuts.emplace_back(action->Name(), action->ShortCut());
        WriteKeymap(*KeymapFile, shortcuts);
    }
    if (FAssociationsChanged) {
        std::vector<std::string> extensions;
        for (int i = 0; i < lbFileTypes->Items().Count(); ++i)
            extensions.push_back(lbFileTypes->Items()[i]);
        TFileAssociations associations(UserXdgFolders(), StdStr(QCoreApplication::applicationFilePath()));
        associations.Rewrite(*SettingsFile, extensions);
    }
    SettingsFile->UpdateFile();
    // The module reads back what was written: the SQL dialect and the masks take effect now.
    EditorModule->LoadHighlighterSettings();
    EditorModule->BuildFileFilters();
    EditorModule->LoadEditorColors();
    EditorModule->LoadAutoCorrect();
    for (TCodeEditorForm* document : MainForm->Documents())
        document->ApplyEditorSettings();
    accept();
}

void TApplicationOptionsForm::reject()
{
    // why: reading the files again would keep a live change to a value the files do not hold
    // (a colour or mask never stored), so the values seen at opening come back exactly
    if (FHighlightersChanged)
        RestoreHighlighters();
    if (FKeymapChanged) {
        for (const auto& [action, shortCut] : FSavedShortCuts)
            action->SetShortCut(shortCut);
        MainForm->UpdateWindowKeys();
    }
    QDialog::reject();
}
