// The compare window: its commands, controls and settings, loading files, comparing, options and
// closing.

#include "compare/zuCompareMainForm.h"

#include "compare/CodeEditor.h"
#include "compare/DiffUnit.h"
#include "compare/zuCompareSelectForm.h"
#include "compare/zuCompareWidgets.h"

#include "app/zuActionImages.h"
#include "settings/zuSettings.h"

#include "utility/UclDateUtils.h"

#include "Platform/controls/ControlFont.h"
#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"
#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFontDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TCompareMainForm::TCompareMainForm(QWidget* parent) : QMainWindow(parent)
{
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Compare"));
    setObjectName(QStringLiteral("CompareMainForm"));
    FDiff = std::make_unique<TDiff>(nullptr);
    FDiff->OnProgress = [this](TObject*, int percent) { ShowProgress(percent); };
    CreateActions();
    CreateControls();
    CreateMenus();
    for (TAction* action : {acCompare, acCancelCompare, acSaveFile1, acSaveFile2, acSaveReport, acCopyRight,
                            acCopyLeft, acNextDiff, acPrevDiff})
        action->SetEnabled(false);
    ReadSettings();
}

TCompareMainForm::~TCompareMainForm() = default;

// ---- construction

TAction* TCompareMainForm::AddAction(const char* name, const char* caption, TShortCut shortCut,
                                     std::function<void()> handler)
{
    auto* action = new TAction(name, caption, shortCut, this);
    if (handler)
        action->OnExecute = [handler](TObject*) { handler(); };
    addAction(action);
    return action;
}

void TCompareMainForm::CreateActions()
{
    const TShiftState ctrl{ssCtrl};
    const TShiftState ctrlShift{ssCtrl, ssShift};
    const TShiftState ctrlAlt{ssCtrl, ssAlt};
    acNewCompare = AddAction("acNewCompare", "&New Comparison...", scNone, [this] { NewComparison(); });
    acCompare = AddAction("acCompare", "&Compare", ShortCut(VK_F9, {}), [this] { Compare(); });
    acCancelCompare = AddAction("acCancelCompare", "Cancel C&ompare", ShortCut(VK_ESCAPE, {}), [this] { CancelCompare(); });
    acSaveFile1 = AddAction("acSaveFile1", "Save File&1", scNone, [this] { SaveFile(0); });
    acSaveFile2 = AddAction("acSaveFile2", "Save File&2", scNone, [this] { SaveFile(1); });
    acSaveReport = AddAction("acSaveReport", "Save &Report As...", scNone, [this] { SaveReport(); });
    acExit = AddAction("acExit", "E&xit", scNone, [this] { close(); });

    const auto onPane = [this](void (TCodeEdit::*call)()) {
        return [this, call] {
            if (FActivePane)
                (FActivePane->*call)();
        };
    };
    acUndo = AddAction("acUndo", "&Undo", ShortCut('Z', ctrl), onPane(&TCodeEdit::Undo));
    acRedo = AddAction("acRedo", "&Redo", ShortCut('Z', ctrlShift), onPane(&TCodeEdit::Redo));
    acCut = AddAction("acCut", "C&ut", ShortCut('X', ctrl), onPane(&TCodeEdit::CutToClipboard));
    acCopy = AddAction("acCopy", "C&opy", ShortCut('C', ctrl), onPane(&TCodeEdit::CopyToClipboard));
    acPaste = AddAction("acPaste", "&Paste", ShortCut('V', ctrl), onPane(&TCodeEdit::PasteFromClipboard));
    acCopyRight = AddAction("acCopyRight", "Copy Block &Right", ShortCut('R', ctrlAlt), [this] { CopyBlock(0); });
    acCopyLeft = AddAction("acCopyLeft", "Copy Block &Left", ShortCut('L', ctrlAlt), [this] { CopyBlock(1); });
    acNextDiff = AddAction("acNextDiff", "Goto &Next Difference", ShortCut('N', ctrl), [this] { NextDifference(); });
    acPrevDiff = AddAction("acPrevDiff", "Goto &Previous Difference", ShortCut('P', ctrl), [this] { PreviousDifference(); });

    acIgnoreBlanks = AddAction("acIgnoreBlanks", "Ignore &Blanks", scNone, nullptr);
    acIgnoreBlanks->SetChecked(false);
    acIgnoreCase = AddAction("acIgnoreCase", "Ignore &Case", scNone, nullptr);
    acIgnoreCase->SetChecked(false);
    acDiffOnly = AddAction("acDiffOnly", "Show Differences Only", scNone, [this] {
        if (FComparisonShown)
            FillPanes();
    });
    acDiffOnly->SetChecked(false);
    acSplitHorizontally = AddAction("acSplitHorizontally", "Split &Horizontally", ShortCut('H', ctrl),
                                    [this] { SetHorizontal(acSplitHorizontally->isChecked()); });
    acSplitHorizontally->SetChecked(false);
    acAddColor = AddAction("acAddColor", "Line &Added Color...", scNone, [this] { ChooseColor(FAddColor); });
    acModColor = AddAction("acModColor", "Line &Modified Color...", scNone, [this] { ChooseColor(FModColor); });
    acDelColor = AddAction("acDelColor", "Line &Deleted Color...", scNone, [this] { ChooseColor(FDelColor); });
    acFont = AddAction("acFont", "&Font...", scNone, [this] { ChooseFont(); });
    acOpen1 = AddAction("acOpen1", "Open 1", scNone, [this] { OpenFile(0); });
    acOpen2 = AddAction("acOpen2", "Open 2", scNone, [this] { OpenFile(1); });

    acCompare->setIcon(ActionImage("view-refresh"));
    acCancelCompare->setIcon(ActionImage("process-stop"));
    acNextDiff->setIcon(ActionImage("go-down"));
    acPrevDiff->setIcon(ActionImage("go-up"));
    acSaveFile1->setIcon(ActionImage("document-save"));
    acSaveFile2->setIcon(ActionImage("document-save"));
    acOpen1->setIcon(ActionImage("document-open"));
    acOpen2->setIcon(ActionImage("document-open"));
    SetHorizontal(false);
}

void TCompareMainForm::CreateMenus()
{
    QMenu* action = menuBar()->addMenu(QStringLiteral("&Action"));
    for (TAction* a : {acNewCompare, acCompare, acCancelCompare})
        action->addAction(a);
    action->addSeparator();
    for (TAction* a : {acSaveFile1, acSaveFile2, acSaveReport})
        action->addAction(a);
    action->addSeparator();
    action->addAction(acExit);

    EditMenu = menuBar()->addMenu(QStringLiteral("&Edit"));
    for (TAction* a : {acUndo, acRedo})
        EditMenu->addAction(a);
    EditMenu->addSeparator();
    for (TAction* a : {acCut, acCopy, acPaste})
        EditMenu->addAction(a);
    EditMenu->addSeparator();
    for (TAction* a : {acCopyRight, acCopyLeft})
        EditMenu->addAction(a);
    EditMenu->addSeparator();
    for (TAction* a : {acNextDiff, acPrevDiff})
        EditMenu->addAction(a);
    connect(EditMenu, &QMenu::aboutToShow, this, [this] { UpdateEditCommands(); });
    // why: the shortcuts of disabled commands would stay dead until the menu opens again.
    connect(EditMenu, &QMenu::aboutToHide, this, [this] {
        for (TAction* a : {acUndo, acRedo, acCut, acCopy, acPaste})
            a->SetEnabled(true);
    });

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    for (TAction* a : {acIgnoreBlanks, acIgnoreCase, acDiffOnly, acSplitHorizontally})
        options->addAction(a);
    options->addSeparator();
    for (TAction* a : {acAddColor, acModColor, acDelColor, acFont})
        options->addAction(a);

    FToolBar = addToolBar(QStringLiteral("ToolBar"));
    FToolBar->setObjectName(QStringLiteral("CompareToolBar"));
    FToolBar->setMovable(false);
    FToolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // The tool bar's buttons carry captions of their own.
    const auto button = [this](TAction* target, const char* caption, const char* image) {
        auto* entry = new QAction(QString::fromUtf8(caption), FToolBar);
        entry->setIcon(target->icon().isNull() ? ActionImage(image) : target->icon());
        const auto mirror = [entry, target] {
            entry->setEnabled(target->isEnabled());
            entry->setCheckable(target->isCheckable());
            entry->setChecked(target->isChecked());
        };
        mirror();
        connect(target, &QAction::changed, entry, mirror);
        connect(entry, &QAction::triggered, target, [target] { target->trigger(); });
        FToolBar->addAction(entry);
    };
    button(acCompare, "Compare", "view-refresh");
    button(acCancelCompare, "Cancel Compare", "process-stop");
    FToolBar->addSeparator();
    button(acNextDiff, "Next Different", "go-down");
    button(acPrevDiff, "Prev Different", "go-up");
    FToolBar->addSeparator();
    button(acSplitHorizontally, "Rotate", "object-rotate-right");
}

void TCompareMainForm::CreateControls()
{
    auto* client = new QWidget(this);
    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FOverview = new TCompareOverview(client);
    FOverview->hide();
    layout->addWidget(FOverview);
    FSplitter = new QSplitter(Qt::Horizontal, client);
    FSplitter->setChildrenCollapsible(false);
    layout->addWidget(FSplitter, 1);
    for (int side = 0; side < 2; ++side) {
        TSide& s = FSides[side];
        s.Save = side == 0 ? acSaveFile1 : acSaveFile2;
        s.Open = side == 0 ? acOpen1 : acOpen2;
        auto* panel = new QWidget(FSplitter);
        auto* column = new QVBoxLayout(panel);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        // The buttons say "Save 1" and "Open 1" (or 2) whatever the menu calls the commands.
        auto* save = new QAction(QStringLiteral("Save %1").arg(side + 1), panel);
        save->setIcon(s.Save->icon());
        connect(save, &QAction::triggered, s.Save, [action = s.Save] { action->trigger(); });
        connect(s.Save, &QAction::changed, save, [save, action = s.Save] { save->setEnabled(action->isEnabled()); });
        save->setEnabled(false);
        s.Caption = new TCompareCaptionBar(save, s.Open, panel);
        column->addWidget(s.Caption);
        s.Pane = new TCodeEdit(nullptr, panel);
        s.Pane->setObjectName(side == 0 ? QStringLiteral("LeftPane") : QStringLiteral("RightPane"));
        column->addWidget(s.Pane, 1);
        FSplitter->addWidget(panel);
        ConnectPane(side);
    }
    setCentralWidget(client);

    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    const char* captions[3] = {"Inserted", "Modified", "Deleted"};
    for (int i = 0; i < 3; ++i) {
        FColorPanels[i] = new TColorPanel(QString::fromUtf8(captions[i]), bar);
        FColorPanels[i]->setFixedWidth(80);
        bar->addWidget(FColorPanels[i]);
    }
    FStatusLabel = new QLabel(bar);
    bar->addWidget(FStatusLabel, 1);
    SetRowColors(FAddColor, FModColor, FDelColor);
}

void TCompareMainForm::ConnectPane(int side)
{
    TCodeEdit* pane = FSides[side].Pane;
    pane->Lines().OnChange = [this, side](TObject*) {
        if (!FFilling)
            SetSideEdited(side, true);
    };
    pane->OnCaretPtChange = [this](TObject*) { UpdateCopyCommands(); };
    pane->OnPaintLeftMargin = [this](TObject*, TCanvas& canvas, const TRect& margin, int, int tag) {
        PaintMargin(canvas, margin, tag);
    };
    pane->OnDropFiles = [this, side](TObject*, const std::string& fileName, bool& accepted) {
        LoadFile(side, fileName);
        raise();
        activateWindow();
        accepted = true;
    };
    pane->OnExit = [this, pane](TObject*) {
        const int row = pane->CaretRow();
        FRememberedRow = row >= pane->FirstRow() && row < pane->FirstRow() + pane->VisibleRows() ? row : -1;
    };
    pane->OnEnter = [this, pane](TObject*) {
        FActivePane = pane;
        if (FComparisonShown && FRememberedRow >= 0 && FRememberedRow < pane->Lines().Count())
            pane->SetCaretPoint(0, FRememberedRow);
        UpdateCopyCommands();
    };
    pane->OnScroll = [this, side](TObject*) { SyncScroll(side); };
}

void TCompareMainForm::PaintMargin(TCanvas& canvas, const TRect& margin, int lineNumber)
{
    if (lineNumber <= 0)
        return;
    QPainter& painter = *canvas.Handle();
    painter.setPen(ToQColor(clWindowText));
    painter.drawText(QRect(margin.Left, margin.Top, std::max(0, margin.Right + 2 - 4 - margin.Left), margin.Height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(lineNumber));
}

// ---- settings

void TCompareMainForm::ReadSettings()
{
    if (!SettingsFile)
        return;
    const TIniFileEx& ini = *SettingsFile;
    SetRowColors(Settings::Compare::AddColor.Read(ini), Settings::Compare::ModColor.Read(ini),
                 Settings::Compare::DelColor.Read(ini));
    TFont font;
    font.Assign(Pane(0)->Font());
    Settings::Compare::Font.Read(ini, font);
    Pane(0)->SetFont(font);
    Pane(1)->SetFont(font);
    FSides[0].FileName = Settings::Compare::File1.Read(ini);
    FSides[1].FileName = Settings::Compare::File2.Read(ini);
    if (Settings::Compare::Horizontal.Read(ini))
        acSplitHorizontally->trigger();
}

void TCompareMainForm::WriteSettings()
{
    if (!SettingsFile)
        return;
    TIniFileEx& ini = *SettingsFile;
    Settings::Compare::AddColor.Write(ini, FAddColor);
    Settings::Compare::ModColor.Write(ini, FModColor);
    Settings::Compare::DelColor.Write(ini, FDelColor);
    Settings::Compare::Font.Write(ini, Pane(0)->Font());
    Settings::Compare::Horizontal.Write(ini, FHorizontal);
    Settings::Compare::File1.Write(ini, FSides[0].FileName);
    Settings::Compare::File2.Write(ini, FSides[1].FileName);
}

void TCompareMainForm::SetRowColors(TColor added, TColor modified, TColor deleted)
{
    FAddColor = added;
    FModColor = modified;
    FDelColor = deleted;
    FColorPanels[0]->SetPanelColor(added);
    FColorPanels[1]->SetPanelColor(modified);
    FColorPanels[2]->SetPanelColor(deleted);
    statusBar()->repaint();
}

// ---- showing, sizing and closing

void TCompareMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FFirstShow) {
        FFirstShow = false;
        QTimer::singleShot(0, this, [this] {
            try {
                NewComparison();
            } catch (...) {
                HandleCurrentException();
            }
        });
    }
}

void TCompareMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    KeepHalves();
}

void TCompareMainForm::KeepHalves()
{
    const int total = FHorizontal ? FSplitter->height() : FSplitter->width();
    FSplitter->setSizes({total / 2, total - total / 2});
}

void TCompareMainForm::closeEvent(QCloseEvent* event)
{
    if (FComparing) {
        // why: the comparison runs inside this window's handlers; the window goes once it ends.
        FCloseAfterCompare = true;
        FDiff->RequestCancel();
        event->ignore();
        return;
    }
    try {
        WriteSettings();
    } catch (const std::exception& e) {
        if (TApplication* app = Application())
            app->ShowException(e);
    }
    event->accept();
}

int TCompareMainForm::ShowModal(QDialog& dialog)
{
    return ModalHook ? ModalHook(dialog) : dialog.exec();
}

// ---- status

void TCompareMainForm::SetStatusText(const std::string& text)
{
    FStatusText = text;
    FStatusLabel->setText(QStr(text));
}

std::string TCompareMainForm::StatusText() const
{
    return FStatusText;
}

void TCompareMainForm::ShowProgress(int percent)
{
    SetStatusText(Format("Approx. %d%% complete", {percent}));
    statusBar()->repaint();
}

void TCompareMainForm::SetSideEdited(int side, bool edited)
{
    TSide& s = FSides[side];
    s.Edited = edited;
    s.Caption->SetBarColor(edited ? EditedCaptionColor : clBtnFace);
    s.Save->SetEnabled(edited);
}

// ---- loading

void TCompareMainForm::NewComparison()
{
    if (FComparing)
        return;
    TCompareSelectForm dialog(FSides[0].FileName, FSides[1].FileName, this);
    if (ShowModal(dialog) != QDialog::Accepted)
        return;
    LoadFile(0, dialog.File1());
    LoadFile(1, dialog.File2());
    Compare();
}

void TCompareMainForm::OpenFile(int side)
{
    if (FComparing)
        return;
    const std::string& last = FSides[side].FileName;
    OpenDialog.FileName = last;
    OpenDialog.InitialDir = ExtractFilePath(last);
    if (OpenDialog.Execute(this))
        LoadFile(side, OpenDialog.FileName);
}

void TCompareMainForm::LoadFile(int side, const std::string& fileName)
{
    // why: the running comparison reads the lines of both sides.
    if (FComparing || fileName.empty() || !FileExists(fileName))
        return;
    TTextLines lines = ReadTextLines(fileName);
    FComparisonShown = false;
    FOverview->hide();
    TSide& s = FSides[side];
    s.Lines = std::move(lines);
    s.Shown.clear();
    s.LaidOut = false;
    {
        FFilling = true;
        const struct TEnd {
            bool& Flag;
            ~TEnd() { Flag = false; }
        } end{FFilling};
        s.Pane->Lines().AssignLines(s.Lines);
    }
    s.FileName = fileName;
    FILETIME time;
    s.FileTime = GetFileLastWriteTime(fileName, time) ? LocalDateTimeOfFileTime(time) : 0;
    s.Caption->SetCaption("  " + fileName);
    s.Pane->SetAutoLineNum(true);
    SetSideEdited(side, false);
    s.Pane->setFocus();
    FActivePane = s.Pane;
    acCompare->SetEnabled(!FSides[0].Lines.empty() && !FSides[1].Lines.empty());
    SetStatusText({});
    for (TAction* action : {acNextDiff, acPrevDiff, acSaveReport, acCopyRight, acCopyLeft})
        action->SetEnabled(false);
}

// ---- comparing

void TCompareMainForm::Compare()
{
    if (FComparing || FSides[0].Lines.empty() || FSides[1].Lines.empty())
        return;
    if (Pane(0)->Lines().Modified() || Pane(1)->Lines().Modified()) {
        TApplication* app = Application();
        const int answer = app ? app->MessageBox("Changes will be lost if you proceed with this compare.\nContinue? ...",
                                                 app->Title, MB_YESNO | MB_ICONERROR | MB_DEFBUTTON2)
                               : IDNO;
        if (answer != IDYES)
            return;
    }
    Pane(0)->SetColor(clWindow);
    Pane(1)->SetColor(clWindow);
    const bool ignoreCase = acIgnoreCase->isChecked();
    const bool ignoreBlanks = acIgnoreBlanks->isChecked();
    std::string options = ignoreCase ? "Case Ignored" : "";
    if (ignoreBlanks)
        options += options.empty() ? "Blanks Ignored" : ", Blanks Ignored";
    if (!options.empty())
        options = "  (" + options + ")";
    const std::vector<std::uint32_t> hashes1 = HashLines(FSides[0].Lines, ignoreCase, ignoreBlanks);
    const std::vector<std::uint32_t> hashes2 = HashLines(FSides[1].Lines, ignoreCase, ignoreBlanks);

    acCompare->SetEnabled(false);
    acCancelCompare->SetEnabled(true);
    FComparing = true;
    bool compared = false;
    try {
        compared = FDiff->CompareHashes(hashes1.data(), hashes2.data(), static_cast<int>(hashes1.size()),
                                        static_cast<int>(hashes2.size()));
    } catch (...) {
        FComparing = false;
        acCompare->SetEnabled(true);
        acCancelCompare->SetEnabled(false);
        throw;
    }
    FComparing = false;
    if (compared && !FCloseAfterCompare) {
        FComparisonShown = true;
        FillPanes();
        SetStatusText(Format("  Changes: %d %s", {FDiff->ChangeCount(), options}));
        FOverview->show();
        UpdateMarker();
        SetSideEdited(0, false);
        SetSideEdited(1, false);
        Pane(0)->setFocus();
        FActivePane = Pane(0);
        for (TAction* action : {acNextDiff, acPrevDiff, acSaveReport})
            action->SetEnabled(true);
        UpdateCopyCommands();
    }
    acCompare->SetEnabled(true);
    acCancelCompare->SetEnabled(false);
    if (FCloseAfterCompare)
        QTimer::singleShot(0, this, [this] { close(); });
}

void TCompareMainForm::CancelCompare()
{
    FDiff->RequestCancel();
    SetStatusText("Compare cancelled.");
}

// ---- commands that follow the panes

void TCompareMainForm::UpdateCopyCommands()
{
    const auto changedCaretRow = [this](TCodeEdit* pane) {
        if (!FComparisonShown || pane != FActivePane || pane->Lines().Count() == 0)
            return false;
        const int row = pane->CaretRow();
        return row < pane->Lines().Count() && IsChangedColor(pane->Lines().GetLineObj(row).Color);
    };
    acCopyRight->SetEnabled(changedCaretRow(Pane(0)));
    acCopyLeft->SetEnabled(changedCaretRow(Pane(1)));
}

void TCompareMainForm::UpdateEditCommands()
{
    TCodeEdit* pane = FActivePane;
    acUndo->SetEnabled(pane && pane->CanUndo());
    acRedo->SetEnabled(pane && pane->CanRedo());
    acCut->SetEnabled(pane && pane->SelLength() > 0);
    acCopy->SetEnabled(acCut->isEnabled());
    acPaste->SetEnabled(pane && !QApplication::clipboard()->text().isEmpty());
}

bool TCompareMainForm::IsChangedColor(TColor color) const
{
    return color == FAddColor || color == FModColor || color == FDelColor;
}

// ---- options

void TCompareMainForm::SetHorizontal(bool horizontal)
{
    FHorizontal = horizontal;
    acSplitHorizontally->setChecked(horizontal);
    const TShiftState ctrlAlt{ssCtrl, ssAlt};
    if (horizontal) {
        acCopyRight->SetCaption("Copy Block &Down");
        acCopyRight->SetShortCut(ShortCut('D', ctrlAlt));
        acCopyLeft->SetCaption("Copy Block &Up");
        acCopyLeft->SetShortCut(ShortCut('U', ctrlAlt));
    } else {
        acCopyRight->SetCaption("Copy Block &Right");
        acCopyRight->SetShortCut(ShortCut('R', ctrlAlt));
        acCopyLeft->SetCaption("Copy Block &Left");
        acCopyLeft->SetShortCut(ShortCut('L', ctrlAlt));
    }
    // The arrow keys copy toward the other pane in either arrangement.
    acCopyRight->setShortcuts({acCopyRight->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Right)});
    acCopyLeft->setShortcuts({acCopyLeft->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Left)});
    if (!FSplitter)
        return;
    FSplitter->setOrientation(horizontal ? Qt::Vertical : Qt::Horizontal);
    KeepHalves();
    if (FActivePane)
        FActivePane->ScrollCaretIntoView();
}

void TCompareMainForm::ChooseColor(TColor& color)
{
    TColor chosen = color;
    bool ok = false;
    if (ColorDialogHook) {
        ok = ColorDialogHook(chosen);
    } else {
        const QColor picked = QColorDialog::getColor(ToQColor(color), this);
        ok = picked.isValid();
        if (ok)
            chosen = FromQColor(picked);
    }
    if (!ok)
        return;
    color = chosen;
    SetRowColors(FAddColor, FModColor, FDelColor);
}

void TCompareMainForm::ChooseFont()
{
    TFont font;
    font.Assign(Pane(0)->Font());
    bool ok = false;
    if (FontDialogHook) {
        ok = FontDialogHook(font);
    } else {
        const QFont picked = QFontDialog::getFont(&ok, font.ToQFont(), this, QString(), QFontDialog::MonospacedFonts);
        if (ok)
            AssignQFont(font, picked);
    }
    if (!ok)
        return;
    Pane(0)->SetFont(font);
    Pane(1)->SetFont(font);
}
