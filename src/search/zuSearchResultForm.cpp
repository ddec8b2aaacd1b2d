#include "search/zuSearchResultForm.h"

#include "app/zuActionImages.h"
#include "app/zuConstants.h"
#include "app/zuScopeGuards.h"
#include "search/zuExFindForm.h"
#include "search/zuSearchResultTree.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"

#include "Platform/controls/ActnList.h"
#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QKeyEvent>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The skipped files named in the status line's tool tip; the rest are only counted.
constexpr size_t MaxListedSkippedFiles = 40;

} // namespace

TSearchResultForm::TSearchResultForm(TExDockBasicStyle* style, TSearchResultHost* host)
    : TToolWindowForm("SearchResultForm", "Search Results", style), FHost(host)
{
    resize(640, 240);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FToolBar = new QToolBar(this);
    FToolBar->setIconSize(QSize(16, 16));
    layout->addWidget(FToolBar);
    ResultList = new TSearchResultTree(nullptr, this);
    layout->addWidget(ResultList, 1);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setContentsMargins(4, 2, 4, 2);
    StatusLabel->hide();
    layout->addWidget(StatusLabel);

    const auto addAction = [this](const char* name, const char* caption, const char* image, auto handler) {
        auto* action = new TAction(name, caption, scNone, this);
        action->setIcon(ActionImage(image));
        action->OnExecute = [handler](TObject*) { handler(); };
        FToolBar->addAction(action);
        return action;
    };
    acSearch = addAction("acSearch", "Find in Files", "edit-find", [this] { StartSearch(false); });
    acRefresh = addAction("acRefresh", "Refresh", "view-refresh", [this] { StartSearch(true); });
    acAbort = addAction("acAbort", "Abort", "process-stop", [this] { Abort(); });
    acExpand = addAction("acExpand", "Expand All", "list-add", [this] { ResultList->ExpandAll(); });
    acContract = addAction("acContract", "Contract All", "list-remove", [this] { ResultList->ContractAll(); });

    ResultList->OnOpenHit = [this](const TSearchResults& file, const TSearchResult& hit) {
        if (FHost)
            FHost->OpenFileAtLine(file.FileName, hit.LineNo);
    };
    // Esc reaches the window first, wherever the focus is in it.
    installEventFilter(this);
    ResultList->installEventFilter(this);
    FToolBar->installEventFilter(this);
}

void TSearchResultForm::SetHost(TSearchResultHost* host, QWidget* programWindow)
{
    if (!host)
        Abort();
    if (FProgramWindow)
        FProgramWindow->removeEventFilter(this);
    FHost = host;
    FProgramWindow = programWindow;
    // why: a search runs inside the event loop; when the program's window closes meanwhile, the
    // search has to end for the program to end.
    if (FProgramWindow)
        FProgramWindow->installEventFilter(this);
}

TSearchResultForm::~TSearchResultForm()
{
    Abort();
}

void TSearchResultForm::Abort()
{
    if (FRun)
        FRun->Abort();
}

void TSearchResultForm::EscapePressed()
{
    if (FBusy)
        Abort();
    else if (DockClient()->DockStyle())
        HideDockableForm(this);
    else
        hide();
}

void TSearchResultForm::DoClose(TCloseAction& action)
{
    TExForm::DoClose(action);
    action = TCloseAction::caHide;
}

bool TSearchResultForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        (watched == this || watched == ResultList || watched == FToolBar)) {
        EscapePressed();
        return true;
    }
    if (event->type() == QEvent::Close && watched == FProgramWindow)
        Abort();
    return TExForm::eventFilter(watched, event);
}

void TSearchResultForm::StartSearch(bool repeat)
{
    if (!FHost)
        return;
    FHost->ShowResultWindow(*this);
    if (FBusy)
        return;
    if (!(repeat && GrepSettings.HaveParameters) && !AskParameters())
        return;
    RunSearch();
}

bool TSearchResultForm::AskParameters()
{
    TExFindForm dialog(FHost->Settings(), FHost->WordAtCaret(), FHost->DefaultSearchFolder(), this);
    if (FHost->ShowModal(dialog) != QDialog::Accepted)
        return false;
    TGrepSettings parameters = dialog.Parameters();
    if (parameters.SearchText.empty() || parameters.Folder.empty())
        return false;
    parameters.HaveParameters = true;
    GrepSettings = parameters;
    return true;
}

void TSearchResultForm::RunSearch()
{
    FBusy = true;
    ResultList->Locked = true;
    raise();
    TWaitCursor wait;
    std::unique_ptr<TFindInFiles> run;
    const auto finish = [this, &run] {
        FBusy = false;
        ResultList->Locked = false;
        FRun = nullptr;
        FCurrentResults = nullptr;
        ResultList->SortFiles();
        const std::vector<PLazyNode> rows = ResultList->Rows();
        if (rows.size() == 1) {
            ResultList->SelectRow(rows.front());
            ResultList->ExpandAll();
        }
        if (run)
            ShowSkipped(*run);
    };
    try {
        ResultList->Clear();
        StatusLabel->hide();
        TSearchOptions options;
        if (GrepSettings.CaseSensitive)
            options.Include(soCaseSensitive);
        if (GrepSettings.WholeWords)
            options.Include(soWholeWord);
        run = std::make_unique<TFindInFiles>(GrepSettings.SearchText, options);
        FRun = run.get();
        run->OnHit = [this](const std::string& fileName, TSearchResult&& hit) { AddHit(fileName, std::move(hit)); };
        run->OnYield = [this] {
            ResultList->viewport()->update();
            QCoreApplication::processEvents();
        };
        QCoreApplication::processEvents();
        switch (GrepSettings.Scope) {
        case TGrepSettings::gsCurrentFile:
            SearchCurrentFile(*run);
            break;
        case TGrepSettings::gsOpenDocuments:
            SearchOpenDocuments(*run);
            break;
        case TGrepSettings::gsActiveProject:
        case TGrepSettings::gsFolder: {
            const bool project = GrepSettings.Scope == TGrepSettings::gsActiveProject;
            std::string masks = Trim(GrepSettings.Masks);
            if (masks.empty())
                masks = project ? "*.*" : "*.php";
            run->SearchFolder(project ? FHost->ProjectFolder() : GrepSettings.Folder, SplitMasks(masks),
                              GrepSettings.Recurse);
            break;
        }
        default:
            break;
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TSearchResultForm::SearchCurrentFile(TFindInFiles& run)
{
    TSearchResultHost::TDocument document;
    if (!FHost->ActiveDocument(document))
        return;
    if (!document.HasFile) {
        ShowMessageBox(Format(sDocumentNotFound, {document.FileName}), MB_OK | MB_ICONWARNING);
        return;
    }
    run.SearchFile(document.FileName);
}

void TSearchResultForm::SearchOpenDocuments(TFindInFiles& run)
{
    for (const TSearchResultHost::TDocument& document : FHost->OpenDocuments()) {
        if (run.Aborted())
            break;
        if (document.HasFile)
            run.SearchFile(document.FileName);
        else
            run.SkipFile(document.FileName);
    }
}

void TSearchResultForm::AddHit(const std::string& fileName, TSearchResult&& hit)
{
    if (!FCurrentResults || FCurrentResults->FileName != fileName)
        FCurrentResults = &ResultList->AddFile(fileName);
    FCurrentResults->Hits.push_back(std::move(hit));
}

void TSearchResultForm::ShowSkipped(const TFindInFiles& run)
{
    const auto& skipped = run.Skipped();
    if (skipped.empty()) {
        StatusLabel->hide();
        return;
    }
    StatusLabel->setText(QStr(Format("%d file(s) could not be searched", {static_cast<int>(skipped.size())})));
    QStringList lines;
    for (size_t i = 0; i < skipped.size() && i < MaxListedSkippedFiles; ++i)
        lines << QStr(skipped[i].first + ": " + skipped[i].second);
    if (skipped.size() > MaxListedSkippedFiles)
        lines << QStringLiteral("...");
    StatusLabel->setToolTip(lines.join(QLatin1Char('\n')));
    StatusLabel->show();
}
