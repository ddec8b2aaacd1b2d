// The main window's edit, bookmark and go-to commands, and the making of every command of the
// edit, search, view, insert, window and help menus with their menu entries.

#include "app/zuMainForm.h"

#include "app/zuActionImages.h"
#include "documents/zuCodeEditorForm.h"
#include "experts/zuGotoForm.h"
#include "experts/zuTagCaseForm.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/Application.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QToolBar>

#include <array>

namespace {

QMenu* FindOrAddMenu(QMenuBar& bar, const QString& title, const QString& after)
{
    const QList<QAction*> menus = bar.actions();
    for (QAction* action : menus)
        if (action->menu() && action->text() == title)
            return action->menu();
    QAction* before = nullptr;
    for (int i = 0; i + 1 < menus.size(); ++i)
        if (menus[i]->text() == after)
            before = menus[i + 1];
    auto* menu = new QMenu(title, &bar);
    bar.insertMenu(before, menu);
    return menu;
}

QAction* FindMenuAction(const QMenu& menu, const QAction* action)
{
    for (QAction* entry : menu.actions())
        if (entry == action)
            return entry;
    return nullptr;
}

bool HasMark(TSrcEdit& editor, int line)
{
    std::array<TSrcEditMark*, 16> marks{};
    editor.MarkList().CollectLineMarks(line, marks);
    return marks[0] != nullptr;
}

// The first mark of the first line in `lines` that holds one.
TSrcEditMark* FirstMarkOf(TSrcEdit& editor, const std::vector<int>& lines)
{
    for (int line : lines) {
        std::array<TSrcEditMark*, 16> marks{};
        editor.MarkList().CollectLineMarks(line, marks);
        if (marks[0])
            return marks[0];
    }
    return nullptr;
}

// Every line once, starting after (or before) the caret line, wrapping round the ends and ending
// with the caret line itself.
std::vector<int> MarkSearchOrder(int caret, int count, bool forward)
{
    std::vector<int> lines;
    for (int step = 1; step <= count; ++step) {
        const int offset = forward ? caret - 1 + step : caret - 1 - step;
        lines.push_back((offset % count + count) % count + 1);
    }
    return lines;
}

void JumpToMark(TSrcEdit& editor, const TSrcEditMark* mark)
{
    if (!mark)
        return;
    TBufferCoord target = MakeBufferCoord(mark->Char(), mark->Line());
    editor.DispatchCommand(ecGotoXY, 0, &target);
}

} // namespace

void TMainForm::CreateEditCommands()
{
    const TShiftState ctrl{ssCtrl};
    const TShiftState shift{ssShift};
    const TShiftState alt{ssAlt};
    const TShiftState ctrlAlt{ssCtrl, ssAlt};
    acCutAppend = AddAction("acCutAppend", "Cut && &Append", scNone, &TMainForm::CutAppendExecute);
    acCopyAppend = AddAction("acCopyAppend", "Copy && Append", scNone, &TMainForm::CopyAppendExecute);
    acConvertTagCase = AddAction("acConvertTagCase", "Convert &Tag Case", scNone, &TMainForm::ConvertTagCaseExecute);
    acGoto = AddAction("acGoto", "&Goto Line/Column", ShortCut('G', ctrl), &TMainForm::GotoExecute);
    acToggleBookmark =
        AddAction("acToggleBookmark", "Toggle Bookmark", ShortCut(VK_F2, ctrl), &TMainForm::ToggleBookmarkExecute);
    acNextBookmark = AddAction("acNextBookmark", "Next Bookmark", ShortCut(VK_F2, {}), &TMainForm::NextBookmarkExecute);
    acPreviousBookmark =
        AddAction("acPreviousBookmark", "Previous Bookmark", ShortCut(VK_F2, alt), &TMainForm::PreviousBookmarkExecute);
    acRemoveBookmarks =
        AddAction("acRemoveBookmarks", "Remove Bookmarks", scNone, &TMainForm::RemoveBookmarksExecute);
    acChangeSyntax = AddAction("acChangeSyntax", "Syntax Highlighting...", scNone, &TMainForm::ChangeSyntaxExecute);
    acFullScreen = AddAction("acFullScreen", "Full &Screen", scNone, &TMainForm::FullScreenExecute);
    acFullScreen->SetChecked(false);
    // A name in the action list and the key map only: no handler, no entry, no button.
    acTransferLog = AddAction("acTransferLog", "FTP Logs", scNone, nullptr);
    acInsertColor = AddAction("acInsertColor", "&Color...", ShortCut('C', ctrlAlt), &TMainForm::InsertColorExecute);
    acInsertDate = AddAction("acInsertDate", "Date/Time", scNone, &TMainForm::InsertDateExecute);
    acInsertEntity = AddAction("acInsertEntity", "&Special Character", scNone, &TMainForm::InsertEntityExecute);
    acInsertTable = AddAction("acInsertTable", "Table", scNone, &TMainForm::InsertTableExecute);
    acWndCascade = AddAction("acWndCascade", "&Cascade", scNone, nullptr);
    acWndCascade->OnExecute = [this](TObject*) { MDIArea->cascadeSubWindows(); };
    acWndTileHorz = AddAction("acWndTileHorz", "Tile &Horizontally", scNone, &TMainForm::WndTileHorzExecute);
    acWndTileVert = AddAction("acWndTileVert", "Tile &Vertically", scNone, &TMainForm::WndTileVertExecute);
    acWndMinimizeAll = AddAction("acWndMinimizeAll", "&Minimize All", scNone, &TMainForm::WndMinimizeAllExecute);
    acWndArrange = AddAction("acWndArrange", "&Arrange Icons", scNone, &TMainForm::WndArrangeExecute);
    acHelpTopics = AddAction("acHelpTopics", "&Zentu Help Topics", ShortCut(VK_F1, shift), &TMainForm::HelpTopicsExecute);
    acPHPHelp = AddAction("acPHPHelp", "&PHP Help Topics", ShortCut(VK_F1, {}), &TMainForm::PHPHelpExecute);
    acHomePage = AddAction("acHomePage", "Zentu &Home Page", scNone, &TMainForm::HomePageExecute);
    acCustomerSupport =
        AddAction("acCustomerSupport", "Technical &Support", scNone, &TMainForm::CustomerSupportExecute);

    const std::pair<TAction*, const char*> images[] = {
        {acFullScreen, "view-fullscreen"}, {acPHPHelp, "help-browser"}, {acHelpTopics, "help-contents"},
        {acInsertColor, "color-picker"},   {acGoto, "go-jump"},
    };
    for (const auto& [action, image] : images)
        action->setIcon(ActionImage(image));
    CreateEditMenuEntries();
    StartHelpRouter();
    StartStatusBarWatcher();
    UpdateDocumentActions(true);
    UpdateWindowKeys();
}

void TMainForm::CreateEditMenuEntries()
{
    QMenuBar& bar = *menuBar();
    QMenu* edit = FindOrAddMenu(bar, QStringLiteral("&Edit"), QStringLiteral("&File"));
    edit->insertActions(FindMenuAction(*edit, acSelectAll), {acCutAppend, acCopyAppend});
    edit->addAction(acConvertTagCase);

    QMenu* search = FindOrAddMenu(bar, QStringLiteral("&Search"), QStringLiteral("&Edit"));
    search->addSeparator();
    AddMenuEntry(*search, acGoto, "&Goto Line/Column...");
    search->addSeparator();
    for (TAction* action : {acToggleBookmark, acNextBookmark, acPreviousBookmark, acRemoveBookmarks})
        search->addAction(action);

    QMenu* view = FindOrAddMenu(bar, QStringLiteral("&View"), QStringLiteral("&Search"));
    view->addSeparator();
    view->addAction(acChangeSyntax);
    view->addAction(acFullScreen);

    QMenu* insert = FindOrAddMenu(bar, QStringLiteral("&Insert"), QStringLiteral("&View"));
    QAction* image = FindMenuAction(*insert, acInsertGraphics);
    QAction* color = AddOwnKeyEntry(*insert, acInsertColor, "&Color...", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R));
    insert->removeAction(color);
    insert->insertAction(image, color);
    insert->insertAction(image, acInsertDate);
    AddMenuEntry(*insert, acInsertEntity, "&Special Character...");
    AddMenuEntry(*insert, acInsertTable, "Table...");

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(acHelpTopics);
    help->addSeparator();
    help->addAction(acPHPHelp);
    help->addSeparator();
    help->addAction(acHomePage);
    help->addAction(acCustomerSupport);

    QAction* first = TextEditorPopup->actions().value(0);
    QAction* topicSearch = new QAction(QStringLiteral("&Topic Search"), TextEditorPopup);
    connect(topicSearch, &QAction::triggered, acPHPHelp, [this] { acPHPHelp->trigger(); });
    TextEditorPopup->insertAction(first, topicSearch);
    TextEditorPopup->insertActions(FindMenuAction(*TextEditorPopup, acSelectAll), {acCutAppend, acCopyAppend});

    FToolBar->addSeparator();
    FToolBar->addAction(acFullScreen);
    FToolBar->addAction(acPHPHelp);
}

QAction* TMainForm::AddOwnKeyEntry(QMenu& menu, TAction* action, const char* caption, const QKeySequence& key)
{
    auto* entry = menu.addAction(QString::fromUtf8(caption));
    entry->setShortcut(key);
    const auto mirror = [entry, action] {
        entry->setEnabled(action->isEnabled());
        entry->setIcon(action->icon());
    };
    mirror();
    connect(action, &QAction::changed, entry, mirror);
    connect(entry, &QAction::triggered, action, [action] { action->trigger(); });
    return entry;
}

void TMainForm::UpdateEntryKeys()
{
    // Menu entries that are not commands themselves carry keys of their own.
    std::vector<QKeySequence> entryKeys;
    for (const QMenu* menu : menuBar()->findChildren<QMenu*>())
        for (const QAction* entry : menu->actions())
            if (!dynamic_cast<const TAction*>(entry) && !entry->shortcut().isEmpty())
                entryKeys.push_back(entry->shortcut());
    // why: the menu is asked before the action list, so an entry's own key beats an action's.
    for (TAction* action : ActionList.Actions()) {
        const QKeySequence key = ShortCutToKeySequence(action->ShortCut());
        const bool taken = !key.isEmpty() && std::find(entryKeys.begin(), entryKeys.end(), key) != entryKeys.end();
        action->setShortcut(taken ? QKeySequence() : key);
    }
}

// ---- clipboard

void TMainForm::CopyAppendExecute()
{
    AppendSelectionToClipboard(false);
}

void TMainForm::CutAppendExecute()
{
    AppendSelectionToClipboard(true);
}

void TMainForm::AppendSelectionToClipboard(bool cut)
{
    TSrcEdit* editor = ActiveEditor();
    if (!editor)
        return;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) {
        if (cut)
            editor->CutSelectionToClipboard();
        else
            editor->CopySelectionToClipboard();
        return;
    }
    editor->PutTextOnClipboard(data->text().toStdString() + editor->GetSelectedText());
    if (cut)
        editor->SetSelectedText(std::string());
}

void TMainForm::ConvertTagCaseExecute()
{
    TSrcEdit* editor = ActiveEditor();
    if (!editor)
        return;
    TTagCaseForm dialog(this);
    dialog.TargetEditor = [this] { return ActiveEditor(); };
    ShowModal(dialog);
}

void TMainForm::GotoExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    TGotoForm dialog(document, this);
    ShowModal(dialog);
}

// ---- bookmarks

void TMainForm::ToggleBookmarkExecute()
{
    TSrcEdit* editor = ActiveEditor();
    if (!editor)
        return;
    const int line = editor->CaretLine();
    if (HasMark(*editor, line)) {
        std::array<TSrcEditMark*, 16> marks{};
        editor->MarkList().CollectLineMarks(line, marks);
        editor->MarkList().RemoveLineMarks(line);
        // The list gave the removed marks back.
        for (TSrcEditMark* mark : marks)
            if (mark && !editor->MarkList().Contains(mark))
                delete mark;
    } else {
        auto mark = std::make_unique<TSrcEditMark>(editor);
        mark->SetLineNumber(line);
        mark->SetCharIndex(editor->CaretChar());
        mark->SetVisibleFlag(true);
        editor->MarkList().PlaceMark(mark.release());
    }
    editor->Invalidate();
}

void TMainForm::NextBookmarkExecute()
{
    if (TSrcEdit* editor = ActiveEditor())
        JumpToMark(*editor, FirstMarkOf(*editor, MarkSearchOrder(editor->CaretLine(), editor->Lines().Count(), true)));
}

void TMainForm::PreviousBookmarkExecute()
{
    if (TSrcEdit* editor = ActiveEditor())
        JumpToMark(*editor, FirstMarkOf(*editor, MarkSearchOrder(editor->CaretLine(), editor->Lines().Count(), false)));
}

void TMainForm::RemoveBookmarksExecute()
{
    TSrcEdit* editor = ActiveEditor();
    if (!editor)
        return;
    editor->MarkList().ClearAll();
    editor->Invalidate();
}
