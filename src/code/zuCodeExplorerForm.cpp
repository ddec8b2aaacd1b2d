#include "code/zuCodeExplorerForm.h"

#include "app/zuMainForm.h"
#include "documents/zuCodeEditorForm.h"

#include "code/zuPHPParser.h"

#include "Platform/files/FileNames.h"

std::string NodeText(const TPHP& item)
{
    if (const auto* function = dynamic_cast<const TPHPFunction*>(&item))
        return function->Name + "(" + function->Params.Text() + ")";
    if (const auto* phpClass = dynamic_cast<const TPHPClass*>(&item))
        return phpClass->ParentName.empty() ? phpClass->Name : phpClass->Name + " extends " + phpClass->ParentName;
    if (dynamic_cast<const TPHPVar*>(&item) || dynamic_cast<const TPHPInclude*>(&item))
        return item.Name;
    return "unknown type";
}

TCodeExplorerForm::TCodeExplorerForm(TExDockBasicStyle* style)
    : TToolWindowForm("CodeExplorerForm", "Code Explorer", style),
      FThread(std::make_unique<TPHPParserThread>(
          this, [this](std::vector<TPHPParserThread::TResult> results) { Deliver(std::move(results)); }))
{
}

TCodeExplorerForm::~TCodeExplorerForm()
{
    // why: the thread may still deliver into this form's members; it goes first.
    FThread.reset();
}

void TCodeExplorerForm::Queue(TCodeEditorForm* document, bool scan)
{
    TPHPParserThread::TRequest request{FNextTicket++, scan, {}};
    if (scan) {
        // why: the thread reads this copy, never the document, which may change or close.
        const TStrings& lines = document->Editor()->Lines();
        request.Lines.reserve(static_cast<size_t>(lines.Count()));
        for (int i = 0; i < lines.Count(); ++i)
            request.Lines.push_back(lines.Get(i));
    }
    FPending.emplace(request.Ticket, document);
    FThread->Queue(std::move(request));
}

void TCodeExplorerForm::RequestParse(TCodeEditorForm* document, TParseRequestKind kind)
{
    if (!FEnabled || !document || document->Closing())
        return;
    if (kind == prkParse) {
        if (MainForm && MainForm->ActiveEditorForm() == document)
            SaveScrollOffset(document);
        Queue(document, true);
        return;
    }
    if (document == FShown)
        return;
    if (FShown)
        SaveScrollOffset(FShown);
    Queue(document, !document->CodePage());
}

void TCodeExplorerForm::DocumentClosing(TCodeEditorForm* document)
{
    std::vector<std::uint64_t> tickets;
    for (auto it = FPending.begin(); it != FPending.end();)
        if (it->second == document) {
            tickets.push_back(it->first);
            it = FPending.erase(it);
        } else
            ++it;
    FThread->Drop([&](const TPHPParserThread::TRequest& request) {
        return std::find(tickets.begin(), tickets.end(), request.Ticket) != tickets.end();
    });
    // why: the next document may have been activated already while this one closed; its page
    // stays.
    if (FShown == document || (FShownPage && FShownPage == document->CodePage()))
        ClearTree();
}

void TCodeExplorerForm::Deliver(std::vector<TPHPParserThread::TResult> results)
{
    bool updated = false;
    for (TPHPParserThread::TResult& result : results) {
        const auto it = FPending.find(result.Ticket);
        if (it == FPending.end())
            continue; // its document closed meanwhile
        TCodeEditorForm* document = it->second;
        FPending.erase(it);
        if (!document || document->Closing())
            continue;
        if (result.Page) {
            if (const TPHPPageRef& previous = document->CodePage())
                CarryOverViewState(*result.Page, *previous);
            document->SetCodePage(std::move(result.Page));
        }
        updated = true;
    }
    if (updated)
        UpdateTree();
}

void TCodeExplorerForm::UpdateTree()
{
    TCodeEditorForm* active = MainForm ? MainForm->ActiveEditorForm() : nullptr;
    FShown = active;
    if (active && active->CodePage())
        BuildTree(active->CodePage());
}

void TCodeExplorerForm::GoToItem(const TPHP* item)
{
    const auto* caret = dynamic_cast<const TPHPCaret*>(item);
    TCodeEditorForm* document = MainForm ? MainForm->ActiveEditorForm() : nullptr;
    if (caret && document)
        document->ShowLine(MakeBufferCoord(caret->Column, caret->Line));
}

bool TCodeExplorerForm::OpenIncludeFile(const TPHP* item)
{
    const auto* include = dynamic_cast<const TPHPInclude*>(item);
    TCodeEditorForm* document = MainForm ? MainForm->ActiveEditorForm() : nullptr;
    if (!include || include->Name.empty() || !document)
        return false;
    const std::string& name = include->Name;
    const std::string path = ExpandFileName(name.front() == '/' ? name : ExtractFilePath(document->FileName()) + name);
    if (!FileExists(path))
        return false;
    return MainForm->OpenFile(path, false, 0) != nullptr;
}

void TCodeExplorerForm::ClearTree()
{
    FShown = nullptr;
    FShownPage.reset();
}

void TCodeExplorerForm::SaveScrollOffset(TCodeEditorForm* document)
{
    (void)document;
}

void TCodeExplorerForm::BuildTree(const TPHPPageRef& page)
{
    FShownPage = page;
}
