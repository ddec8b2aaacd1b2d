#pragma once
// TSearchResultForm: the "Search Results" tool window. It runs Find in Files (from its dialog,
// or again with the last parameters) over the current file, the open documents, the active
// project's folder or a folder tree, lists the hits grouped by file and opens a file at a hit's
// line. The window stays usable while a search runs: Abort or Esc ends it after the file being
// searched.
//
// What it needs of the program (documents, project, settings, opening files, showing dialogs
// and showing itself) comes through TSearchResultHost, so that it works on its own in tests.
// Without a host (as the default dock layout makes it) it searches nothing.

#include "search/zuFindInFiles.h"

#include "windows/zuToolWindowForm.h"

#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class QDialog;
class QLabel;
class QToolBar;
class TAction;
class TIniFileEx;
class TSearchResultForm;
class TSearchResultTree;

class TSearchResultHost {
public:
    struct TDocument {
        // The full path, or the caption of a document that has no file.
        std::string FileName;
        bool HasFile = false;
    };

    virtual ~TSearchResultHost() = default;
    // False without an active document.
    virtual bool ActiveDocument(TDocument& document) const = 0;
    // The open documents in the order of the program's windows.
    virtual std::vector<TDocument> OpenDocuments() const = 0;
    // The word at the active editor's caret ("" without one).
    virtual std::string WordAtCaret() const = 0;
    // The active project's folder.
    virtual std::string ProjectFolder() const = 0;
    // The folder the dialog offers when [Find] has none.
    virtual std::string DefaultSearchFolder() const = 0;
    // The main settings file, or null.
    virtual TIniFileEx* Settings() const = 0;
    virtual void OpenFileAtLine(const std::string& fileName, int line) = 0;
    virtual int ShowModal(QDialog& dialog) = 0;
    // Shows the results window where the program keeps its tool windows.
    virtual void ShowResultWindow(TSearchResultForm& window) = 0;
};

class TSearchResultForm : public TToolWindowForm {
public:
    explicit TSearchResultForm(TExDockBasicStyle* style, TSearchResultHost* host = nullptr);
    ~TSearchResultForm() override;

    // `programWindow`: closing it ends a running search, which would otherwise keep the program
    // from ending. A null host ends a running search.
    void SetHost(TSearchResultHost* host, QWidget* programWindow);

    // A search from the dialog, or, with `repeat` and stored parameters, the last one again.
    // While a search runs it only shows the window.
    void StartSearch(bool repeat);
    void Abort();
    bool Busy() const { return FBusy; }

    // The parameters of the last search.
    TGrepSettings GrepSettings;

    TSearchResultTree* ResultList = nullptr;
    TAction* acSearch = nullptr;
    TAction* acRefresh = nullptr;
    TAction* acAbort = nullptr;
    TAction* acExpand = nullptr;
    TAction* acContract = nullptr;
    // Tells how many files could not be searched (hidden when none).
    QLabel* StatusLabel = nullptr;

protected:
    void DoClose(TCloseAction& action) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool AskParameters();
    void RunSearch();
    void SearchCurrentFile(TFindInFiles& run);
    void SearchOpenDocuments(TFindInFiles& run);
    void AddHit(const std::string& fileName, TSearchResult&& hit);
    void ShowSkipped(const TFindInFiles& run);
    void EscapePressed();

    TSearchResultHost* FHost;
    QPointer<QWidget> FProgramWindow;
    QToolBar* FToolBar = nullptr;
    TFindInFiles* FRun = nullptr;
    // The file now being searched: its results; null between files.
    TSearchResults* FCurrentResults = nullptr;
    bool FBusy = false;
};
