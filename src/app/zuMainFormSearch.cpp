// The main window's search commands: Find and Replace in the active document with their
// dialogs and the replace confirmation, Find Next and Find Previous, Find in Files, and the
// Search Results window, one of the docked tool windows.

#include "app/zuMainForm.h"

#include "app/zuActionImages.h"
#include "app/zuConstants.h"
#include "app/zuFolders.h"
#include "documents/zuCodeEditorForm.h"
#include "documents/zuEditorModule.h"
#include "search/zuConfirmationForm.h"
#include "search/zuReplaceForm.h"
#include "search/zuSearchResultForm.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/search/SrcEditRegexSearch.h"
#include "SrcEdit/Source/search/SrcEditSearch.h"
#include "SrcEdit/Source/view/SrcEdit.h"

#include "ExLib/run/docking/control/ExDockGlobals.h"

#include "Platform/core/Application.h"
#include "Platform/text/Format.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace {

// What the results window needs of the main window.
class TMainFormSearchHost : public TSearchResultHost {
public:
    explicit TMainFormSearchHost(TMainForm& form) : FForm(form) {}

    bool ActiveDocument(TDocument& document) const override
    {
        const TCodeEditorForm* active = FForm.ActiveEditorForm();
        if (!active)
            return false;
        document = {active->FileName(), active->HasFile()};
        return true;
    }
    std::vector<TDocument> OpenDocuments() const override
    {
        std::vector<TDocument> documents;
        for (const TCodeEditorForm* document : FForm.Documents())
            documents.push_back({document->FileName(), document->HasFile()});
        return documents;
    }
    std::string WordAtCaret() const override
    {
        TSrcEdit* editor = FForm.ActiveEditor();
        return editor ? editor->GetWordAtCaret() : std::string();
    }
    std::string ProjectFolder() const override { return FForm.ProjectLocalPath(); }
    std::string DefaultSearchFolder() const override { return ::ProjectFolder; }
    TIniFileEx* Settings() const override { return SettingsFile; }
    void OpenFileAtLine(const std::string& fileName, int line) override { FForm.OpenFile(fileName, false, line); }
    int ShowModal(QDialog& dialog) override { return FForm.ShowModal(dialog); }
    void ShowResultWindow(TSearchResultForm& window) override { ShowDockableForm(&window); }

private:
    TMainForm& FForm;
};

// The Search menu, made after the Edit menu when it does not exist yet.
QMenu* SearchMenu(QMenuBar& bar)
{
    const QList<QAction*> menus = bar.actions();
    for (QAction* action : menus)
        if (action->menu() && action->text() == QStringLiteral("&Search"))
            return action->menu();
    QAction* afterEdit = nullptr;
    for (qsizetype i = 0; i + 1 < menus.size(); ++i)
        if (menus[i]->text() == QStringLiteral("&Edit"))
            afterEdit = menus[i + 1];
    auto* menu = new QMenu(QStringLiteral("&Search"), &bar);
    bar.insertMenu(afterEdit, menu);
    return menu;
}

} // namespace

void TMainForm::CreateSearchCommands()
{
    const TShiftState ctrl{ssCtrl};
    acFind = AddAction("acFind", "&Find", ShortCut('F', ctrl), &TMainForm::FindExecute);
    acFindNext = AddAction("acFindNext", "Find &Next", ShortCut(VK_F3, {}), &TMainForm::FindNextExecute);
    acFindPrevious =
        AddAction("acFindPrevious", "Find &Previous", ShortCut(VK_F3, ctrl), &TMainForm::FindPreviousExecute);
    acReplace = AddAction("acReplace", "&Replace", ShortCut('R', ctrl), &TMainForm::ReplaceExecute);
    acExFind = AddAction("acExFind", "Find in Files...", scNone, &TMainForm::ExFindExecute);
    acFind->setIcon(ActionImage("edit-find"));
    acReplace->setIcon(ActionImage("edit-find-replace"));
    acExFind->setIcon(ActionImage("system-search"));

    QMenu* search = SearchMenu(*menuBar());
    AddMenuEntry(*search, acFind, "&Find...");
    AddMenuEntry(*search, acFindNext, nullptr);
    AddMenuEntry(*search, acFindPrevious, nullptr);
    AddMenuEntry(*search, acReplace, "&Replace...");
    search->addSeparator();
    AddMenuEntry(*search, acExFind, nullptr);

    // The tool bar shows Find, Replace and Find in Files after the clipboard commands.
    QAction* runGroup = nullptr;
    const QList<QAction*> buttons = FToolBar->actions();
    for (int i = 1; i < buttons.size(); ++i)
        if (buttons[i] == acInternalPreview && buttons[i - 1]->isSeparator())
            runGroup = buttons[i - 1];
    FToolBar->insertActions(runGroup, {acFind, acReplace, acExFind});
    FToolBar->insertSeparator(acFind);

    // The editor's menu offers Find and Replace before Reload.
    TextEditorPopup->insertActions(acReload, {acFind, acReplace});
    TextEditorPopup->insertSeparator(acReload);
}

void TMainForm::CreateSearchWindow()
{
    FSearchHost = std::make_unique<TMainFormSearchHost>(*this);
    if (TSearchResultForm* results = SearchResultForm())
        results->SetHost(FSearchHost.get(), this);
}

void TMainForm::DestroySearchWindow()
{
    if (TSearchResultForm* results = SearchResultForm())
        results->SetHost(nullptr, nullptr);
    FSearchHost.reset();
}

TSearchResultForm* TMainForm::SearchResultForm() const
{
    for (const auto& window : ToolWindows)
        if (auto* results = dynamic_cast<TSearchResultForm*>(window.get()))
            return results;
    return nullptr;
}

void TMainForm::ExFindExecute()
{
    if (TSearchResultForm* results = SearchResultForm())
        results->StartSearch(false);
}

// ---- Find and Replace

namespace {

// The editor's search flags of the dialogs' choices.
TSrcEditSearchFlags DialogSearchFlags(TSrcEditSearchFlags flags)
{
    if (SearchBackwards)
        flags.Include(sfBackwards);
    if (SearchCaseSensitive)
        flags.Include(sfMatchCase);
    if (!SearchFromCaret)
        flags.Include(sfWholeScope);
    if (SearchSelectedOnly)
        flags.Include(sfSelectionOnly);
    if (SearchWholeWords)
        flags.Include(sfWholeWord);
    return flags;
}

} // namespace

void TMainForm::RunSearchDialog(TSearchForm& dialog, TSrcEditSearchFlags startFlags)
{
    TSrcEdit* editor = ActiveEditor();
    if (TAction* help = ActionList.Find("acHelpTopics"))
        dialog.SetHelpHandler([help] { help->trigger(); });
    if (ShowModal(dialog) != QDialog::Accepted)
        return;
    SearchFlags = DialogSearchFlags(startFlags);
    if (EditorModule)
        editor->SetSearchEngine(SearchRegExp ? static_cast<TSrcEditSearchCustom*>(EditorModule->RegExpSearch)
                                             : static_cast<TSrcEditSearchCustom*>(EditorModule->BasicSearch));
    if (!LastSearchText.empty())
        SearchAgain();
}

void TMainForm::FindExecute()
{
    TSrcEdit* editor = ActiveEditor();
    if (!editor)
        return;
    TSearchForm dialog(SettingsFile, editor->GetWordAtCaret(), this);
    RunSearchDialog(dialog, {});
}

void TMainForm::ReplaceExecute()
{
    TSrcEdit* editor = ActiveEditor();
    if (!editor)
        return;
    TReplaceForm dialog(SettingsFile, editor->GetWordAtCaret(), this);
    RunSearchDialog(dialog, {sfReplace, sfReplaceAll, sfPromptReplace});
}

void TMainForm::FindNextExecute()
{
    TSrcEdit* editor = ActiveEditor();
    if (!editor || !editor->SearchEngine())
        return;
    SearchFlags = SearchFlags * TSrcEditSearchFlags{sfMatchCase, sfWholeWord, sfSelectionOnly};
    SearchAgain();
}

void TMainForm::FindPreviousExecute()
{
    TSrcEdit* editor = ActiveEditor();
    if (!editor || !editor->SearchEngine())
        return;
    SearchFlags = SearchFlags * TSrcEditSearchFlags{sfMatchCase, sfWholeWord, sfSelectionOnly};
    SearchFlags.Include(sfBackwards);
    SearchAgain();
}

void TMainForm::SearchAgain()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document)
        return;
    TSrcEdit* editor = document->Editor();
    document->ClearMarkedLine();
    // The confirmation window lives as long as this replace run.
    std::unique_ptr<TConfirmationForm> confirmation;
    const TSrcReplaceTextEvent previous = editor->OnReplaceText;
    editor->OnReplaceText = [&](TObject*, const std::string& search, const std::string& replace, int line,
                                int column, TSrcReplaceAction& action) {
        action = ConfirmReplacement(*editor, *document, confirmation,
                                    [this](QDialog& dialog) { return ShowModal(dialog); }, search, replace, line,
                                    column);
    };
    int found = 0;
    try {
        found = editor->FindAndReplace(LastSearchText, LastReplaceText, SearchFlags);
    } catch (...) {
        editor->OnReplaceText = previous;
        throw;
    }
    editor->OnReplaceText = previous;
    if (found > 0)
        return;
    QApplication::beep();
    ShowMessageBox(Format(sTextNotFound, {LastSearchText}), MB_OK | MB_ICONINFORMATION);
    editor->SetCaretCoord(SearchFlags.Contains(sfBackwards) ? editor->GetSelectionStart() : editor->GetSelectionEnd());
}
