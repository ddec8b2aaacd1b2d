#pragma once
// TCompareMainForm: the "Compare" window. Two text files are compared line by line and shown
// side by side (or one above the other) in two compare text views, with added, modified and
// deleted lines coloured and aligned by empty filler rows. The user steps from difference to
// difference, copies a differing block from one side to the other, edits and saves either file,
// and saves a text report of the differences. Options live in [Compare] of the main settings.
//
// Rows: after a comparison every row's colour tells its kind (the pane's colour for unchanged
// rows) and its LineNumber is the 1-based line of that side's file, 0 for a filler row. Both
// panes have the same number of rows, and row i of one faces row i of the other.
//
// The window is made by zuCompareLayout.cpp (laying out, navigating, copying blocks) and
// zuCompareSaving.cpp (saving a side, the report) beside this file.

#include "compare/CompareText.h"

#include "app/zuDialogs.h"

#include "Platform/controls/ActnList.h"
#include "Platform/core/DateTime.h"
#include "Platform/graphics/Canvas.h"
#include "Platform/graphics/Graphics.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QDialog;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;
class TCodeEdit;
class TColorPanel;
class TCompareCaptionBar;
class TCompareOverview;
class TDiff;

class TCompareMainForm : public QMainWindow {
public:
    static constexpr TColor DefaultAddColor = 15781032; // F0CCA8
    static constexpr TColor DefaultModColor = 7338890;  // 6FFB8A
    static constexpr TColor DefaultDelColor = 12285951; // BB77FF
    static constexpr TColor EditedCaptionColor = 13426912; // CCE0E0

    // A new window each time; it frees itself when closed.
    explicit TCompareMainForm(QWidget* parent = nullptr);
    ~TCompareMainForm() override;

    // One side: the file as last loaded (the comparison always runs on these lines), its name
    // and modification time, its pane and caption bar, and which of its lines the last layout
    // showed.
    struct TSide {
        TTextLines Lines;
        std::string FileName;
        TDateTime FileTime = 0;
        TCodeEdit* Pane = nullptr;
        TCompareCaptionBar* Caption = nullptr;
        TAction* Save = nullptr;
        TAction* Open = nullptr;
        bool Edited = false;
        // The pane holds the rows of a layout of Lines (until the side is loaded again).
        bool LaidOut = false;
        std::vector<char> Shown;
    };
    TSide& Side(int index) { return FSides[index]; }
    const TSide& Side(int index) const { return FSides[index]; }
    TCodeEdit* Pane(int index) const { return FSides[index].Pane; }

    // ---- commands
    void NewComparison();
    // Loads a file into side 0 or 1; nothing when it does not exist.
    void LoadFile(int side, const std::string& fileName);
    void OpenFile(int side);
    void Compare();
    void CancelCompare();
    void NextDifference();
    void PreviousDifference();
    // From side `source` to the other side.
    void CopyBlock(int source);
    void SaveFile(int side);
    void SaveReport();
    void SetHorizontal(bool horizontal);
    bool Horizontal() const { return FHorizontal; }
    void ChooseColor(TColor& color);
    void ChooseFont();

    // ---- state
    bool ComparisonShown() const { return FComparisonShown; }
    bool Comparing() const { return FComparing; }
    std::string StatusText() const;
    TColor AddColor() const { return FAddColor; }
    TColor ModColor() const { return FModColor; }
    TColor DelColor() const { return FDelColor; }
    void SetRowColors(TColor added, TColor modified, TColor deleted);
    TDiff& Diff() { return *FDiff; }
    TCompareOverview* Overview() const { return FOverview; }
    // The pane the edit commands act on: the one that last had the focus.
    TCodeEdit* ActivePane() const { return FActivePane; }
    // Times a navigation or a command beeped.
    int Beeps = 0;

    // The text of the report at `now`: its lines without line breaks.
    std::vector<std::string> ReportLines(TDateTime now) const;
    // The file a side saves while its pane holds a layout: every line of its file in order, with the
    // edits made in the pane, lines hidden by "Show Differences Only" included, fillers left out.
    TTextLines SavedLines(int side) const;

    TAction* acNewCompare = nullptr;
    TAction* acCompare = nullptr;
    TAction* acCancelCompare = nullptr;
    TAction* acSaveFile1 = nullptr;
    TAction* acSaveFile2 = nullptr;
    TAction* acSaveReport = nullptr;
    TAction* acExit = nullptr;
    TAction* acUndo = nullptr;
    TAction* acRedo = nullptr;
    TAction* acCut = nullptr;
    TAction* acCopy = nullptr;
    TAction* acPaste = nullptr;
    TAction* acCopyRight = nullptr;
    TAction* acCopyLeft = nullptr;
    TAction* acNextDiff = nullptr;
    TAction* acPrevDiff = nullptr;
    TAction* acIgnoreBlanks = nullptr;
    TAction* acIgnoreCase = nullptr;
    TAction* acDiffOnly = nullptr;
    TAction* acSplitHorizontally = nullptr;
    TAction* acAddColor = nullptr;
    TAction* acModColor = nullptr;
    TAction* acDelColor = nullptr;
    TAction* acFont = nullptr;
    TAction* acOpen1 = nullptr;
    TAction* acOpen2 = nullptr;
    QMenu* EditMenu = nullptr;

    TFileDialog OpenDialog{TFileDialog::TKind::dkOpen};
    TFileDialog SaveDialog{TFileDialog::TKind::dkSave};
    TFileDialog ReportDialog{TFileDialog::TKind::dkSave};
    // Modal dialogs (the "Select Files" dialog) go through this when set (tests answer here).
    std::function<int(QDialog& dialog)> ModalHook;
    // The colour and font dialogs: true with the choice, false when cancelled.
    std::function<bool(TColor& color)> ColorDialogHook;
    std::function<bool(TFont& font)> FontDialogHook;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TAction* AddAction(const char* name, const char* caption, TShortCut shortCut, std::function<void()> handler);
    void CreateActions();
    void CreateMenus();
    void CreateControls();
    void ConnectPane(int side);
    void ReadSettings();
    void WriteSettings();
    int ShowModal(QDialog& dialog);
    void SetStatusText(const std::string& text);
    void ShowProgress(int percent);
    void SetSideEdited(int side, bool edited);
    void UpdateCopyCommands();
    void UpdateEditCommands();
    void KeepHalves();

    // zuCompareLayout.cpp
    void FillPanes();
    void BuildOverview();
    void UpdateMarker();
    void SyncScroll(int side);
    // True when rows a and b of a pane belong to one block: the same colour, and on each side
    // where both rows have a number, numbers that follow each other.
    bool SameBlock(int a, int b) const;
    bool IsChangedColor(TColor color) const;
    void PaintMargin(TCanvas& canvas, const TRect& margin, int lineNumber);

    TSide FSides[2];
    std::unique_ptr<TDiff> FDiff;
    TColor FAddColor = DefaultAddColor;
    TColor FModColor = DefaultModColor;
    TColor FDelColor = DefaultDelColor;
    bool FComparisonShown = false;
    bool FComparing = false;
    bool FCloseAfterCompare = false;
    bool FFirstShow = true;
    bool FHorizontal = false;
    bool FFilling = false;
    bool FSyncing = false;
    int FRememberedRow = -1;
    TCodeEdit* FActivePane = nullptr;
    std::string FStatusText;

    QToolBar* FToolBar = nullptr;
    QSplitter* FSplitter = nullptr;
    TCompareOverview* FOverview = nullptr;
    TColorPanel* FColorPanels[3] = {};
    QLabel* FStatusLabel = nullptr;
};
