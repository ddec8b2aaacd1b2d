#pragma once
// TApplicationOptionsForm: "Application Options", nine pages chosen from a tree: general,
// editor, code insight, backup, syntax highlighting, auto-correction, editor appearance, key
// mapping and file associations. It shows the main settings file, the editor module's live
// highlighters, auto-correction and colours, and the main window's commands. Colours, styles,
// extensions and shortcuts change the live objects at once; "&Apply" writes every page to the
// settings files, gives the values to the running program and closes; "&Cancel" puts the
// live objects back as they were when the dialog opened and writes nothing.

#include "Platform/controls/Keys.h"
#include "Platform/graphics/Graphics.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QKeySequenceEdit;
class QLineEdit;
class QPushButton;
class QSlider;
class QTreeWidget;
class QTreeWidgetItem;
class TAction;
class TExComboBox;
class TExDirectoryEdit;
class TExListBox;
class TExOfficeColorButton;
class TExPageControl;
class TExSpinEdit;
class TExStaticText;
class TSrcCustomHighlighter;
class TSrcEdit;
class TSrcHighlighterAttributes;

class TApplicationOptionsForm : public QDialog {
public:
    // Reads the pages in their order and selects the first one. The main window, the settings
    // files and the editor module exist.
    explicit TApplicationOptionsForm(QWidget* parent = nullptr);
    ~TApplicationOptionsForm() override;

    // The page names of the tree, in page order.
    static const std::vector<std::string>& SectionNames();
    QTreeWidget* SectionTree = nullptr;
    TExStaticText* HeaderText = nullptr;
    TExPageControl* PageControl = nullptr;
    QPushButton* ApplyButton = nullptr;
    QPushButton* CancelButton = nullptr;
    void SelectSection(int index);

    // "General Options"
    TExSpinEdit* spedRecentItems = nullptr;
    QPushButton* btnClearList = nullptr;
    TExComboBox* cmbxLineEnding = nullptr;
    TExComboBox* cmbxReloadType = nullptr;
    TExComboBox* cmbxSQLDialect = nullptr;
    TExComboBox* cmbxTagCase = nullptr;
    QLineEdit* edDateTime = nullptr;
    QLineEdit* edSampleDateTime = nullptr;

    // "Editor Options": the option boxes in the order of EditorOptionKeys().
    std::vector<QCheckBox*> EditorOptionBoxes;
    QCheckBox* CloseBoxes[5] = {};
    TExSpinEdit* spedMaxUndo = nullptr;
    TExSpinEdit* spedTabWidth = nullptr;
    TExSpinEdit* spedLineSpacing = nullptr;
    TExSpinEdit* spedRightMargin = nullptr;
    QPushButton* btnFont = nullptr;
    // The font the button shows and Apply writes.
    TFont EditorFont;
    // Answers the font dialog; true when a font was chosen. Tests put their own here.
    std::function<bool(TFont& font)> FontDialogHook;
    void ChooseFont();

    // "Code Insight"
    QCheckBox* cbCodeCompletion = nullptr;
    QCheckBox* cbParameterHints = nullptr;
    QCheckBox* cbHTMLCompletion = nullptr;
    QCheckBox* cbCSSCompletion = nullptr;
    QCheckBox* cbDisplayDescription = nullptr;
    QSlider* tbDelay = nullptr;

    // "Backup Options"
    QCheckBox* cbBackupLocalFiles = nullptr;
    QCheckBox* cbUseBackupPath = nullptr;
    TExDirectoryEdit* edBackupPath = nullptr;
    QCheckBox* cbAutomaticSave = nullptr;
    TExSpinEdit* spedSaveInterval = nullptr;
    QCheckBox* cbNoAutoSaveFTP = nullptr;
    QCheckBox* cbNoAutoSaveUntitled = nullptr;

    // "Syntax Highlighting"
    TExComboBox* cmbxScheme = nullptr;
    QLineEdit* edExtensions = nullptr;
    TSrcEdit* Preview = nullptr;
    TExListBox* lbElements = nullptr;
    TExOfficeColorButton* btnForeground = nullptr;
    TExOfficeColorButton* btnBackground = nullptr;
    QCheckBox* cbBold = nullptr;
    QCheckBox* cbItalic = nullptr;
    QCheckBox* cbUnderline = nullptr;
    QCheckBox* cbStrikeOut = nullptr;
    void ChooseScheme(int index);
    void ChooseElement(int index);
    // The highlighter and the attribute chosen now (null before a choice).
    TSrcCustomHighlighter* ChosenHighlighter() const { return FHighlighter; }
    TSrcHighlighterAttributes* ChosenAttribute() const { return FAttribute; }

    // "Automatic Correction"
    QCheckBox* cbAutoCorrect = nullptr;
    QCheckBox* cbCorrectOnMouseDown = nullptr;
    QCheckBox* cbIgnoreCase = nullptr;
    QCheckBox* cbMaintainCase = nullptr;
    QTreeWidget* lvCorrections = nullptr;
    QLineEdit* edReplace = nullptr;
    QLineEdit* edWith = nullptr;
    QPushButton* btnAddCorrection = nullptr;
    QPushButton* btnReplaceCorrection = nullptr;
    QPushButton* btnRemoveCorrection = nullptr;
    void AddCorrection();
    void ReplaceCorrection();
    void RemoveCorrection();

    // "Editor Appearance": selection, bookmarked line and matched line (background, text),
    // then the active line's background.
    TExOfficeColorButton* AppearanceButtons[7] = {};
    QCheckBox* cbActiveLine = nullptr;

    // "Key Mapping"
    TExListBox* lbCategories = nullptr;
    QTreeWidget* lvCommands = nullptr;
    QLineEdit* edCurrentShortCut = nullptr;
    QKeySequenceEdit* hkNewShortCut = nullptr;
    QPushButton* btnAssign = nullptr;
    QPushButton* btnClearShortCut = nullptr;
    void ChooseCategory(int index);
    // The command of the chosen row (null without one).
    TAction* ChosenCommand() const;
    void AssignShortCut();
    void ClearShortCut();

    // "File Associations"
    TExListBox* lbFileTypes = nullptr;
    QLineEdit* edExtension = nullptr;
    QPushButton* btnAddFileType = nullptr;
    QPushButton* btnRemoveFileType = nullptr;
    void AddFileType();
    void RemoveFileType();

    bool HighlightersChanged() const { return FHighlightersChanged; }
    bool KeymapChanged() const { return FKeymapChanged; }
    bool AssociationsChanged() const { return FAssociationsChanged; }

    // "&Apply": writes, gives the values to the program and closes with the result OK.
    void Apply();
    // "&Cancel", Esc or closing: undoes the live changes.
    void reject() override;

private:
    void CreateControls();
    QWidget* MakeGeneralPage();
    QWidget* MakeEditorPage();
    QWidget* MakeCodeInsightPage();
    QWidget* MakeBackupPage();
    QWidget* MakeHighlightingPage();
    QWidget* MakeAutoCorrectPage();
    QWidget* MakeAppearancePage();
    QWidget* MakeKeyMapPage();
    QWidget* MakeAssociationsPage();

    void LoadGeneral();
    void LoadEditor();
    void LoadCodeInsight();
    void LoadBackup();
    void LoadHighlighting();
    void LoadAutoCorrect();
    void LoadAppearance();
    void LoadKeyMap();
    void LoadAssociations();

    void ApplyGeneral();
    void ApplyEditor();
    void ApplyCodeInsight();
    void ApplyBackup();
    void ApplyAutoCorrect();
    void ApplyAppearance();
    void ApplyHighlighters();

    void ShowFont();
    void ShowSampleDate();
    void ShowAttribute();
    void RestoreHighlighters();
    void AttributeEdited();
    void ExtensionsEdited(const QString& text);
    void PreviewClicked();
    void SortCorrections();
    void FillCommands();
    void ShowCommand();

    // The live state the dialog may change, as it was when the dialog opened.
    struct THighlighterState {
        TSrcCustomHighlighter* Highlighter;
        std::string Filter;
        std::vector<std::string> Attributes; // attribute texts, in attribute order
    };
    std::vector<THighlighterState> FSavedHighlighters;
    std::vector<std::pair<TAction*, TShortCut>> FSavedShortCuts;

    TSrcCustomHighlighter* FHighlighter = nullptr;
    TSrcHighlighterAttributes* FAttribute = nullptr;
    std::vector<TAction*> FCategoryCommands;
    bool FSetting = false;
    bool FHighlightersChanged = false;
    bool FKeymapChanged = false;
    bool FAssociationsChanged = false;
};

// The category under which the key map lists a command of the main window: the name of the
// main menu that holds it ("&" removed), "Other" for a command in no menu.
std::string ActionCategory(const TAction& action);

// A colour button as the options dialogs place it: no drag bar, no automatic button, and the
// full colour dialog behind "More...".
TExOfficeColorButton* MakeOptionsColorButton(QWidget* parent);
