#include "code/zuCodeExplorerForm.h"

#include "app/zuMainForm.h"
#include "documents/zuCodeEditorForm.h"

#include "code/zuCodeImages.h"
#include "code/zuCodeTree.h"
#include "code/zuPHPParser.h"

#include "Platform/files/FileNames.h"
#include "Platform/graphics/ImgList.h"
#include "Platform/text/TextUtils.h"

#include <QMenu>

#include <deque>
#include <unordered_map>

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

std::int32_t NodeKind(const TPHP& item)
{
    if (dynamic_cast<const TPHPFunction*>(&item))
        return 1;
    if (dynamic_cast<const TPHPVar*>(&item))
        return 2;
    if (dynamic_cast<const TPHPInclude*>(&item))
        return 3;
    return 0;
}

TCodeExplorerForm::TCodeExplorerForm(TExDockBasicStyle* style)
    : TToolWindowForm("CodeExplorerForm", "Code Explorer", style)
{
    CreateTree();
    CreatePopupMenu();
    FThread = std::make_unique<TPHPParserThread>(
        this, [this](std::vector<TPHPParserThread::TResult> results) { Deliver(std::move(results)); });
}

void TCodeExplorerForm::CreateTree()
{
    ImageList1 = new TCustomImageList(this); // owned by the form
    AddCodeKindImages(*ImageList1);
    Tree1 = CreateCodeTree(*this, "Tree1", sizeof(TCodeExplorerNodeData), ImageList1, [this](PLazyNode node) {
        const auto* data = Tree1->NodeData<TCodeExplorerNodeData>(node);
        return data ? data->Kind : -1;
    });
    TCustomLazyTreeOptions& options = Tree1->TreeOptions();
    options.SetPaintOptions(options.PaintOptions() + toShowRoot);
    // why: a double-click goes to the entry; it does not fold the class.
    options.SetMiscOptions(options.MiscOptions() - toToggleOnDblClick);
    Tree1->OnGetText = [this](TCustomLazyStringTree*, PLazyNode node, TColumnIndex, TVSTTextType type, QString& text) {
        if (const TPHP* item = NodeItem(node); item && type == TVSTTextType::ttNormal)
            text = QString::fromStdString(NodeText(*item));
    };
    Tree1->OnCompareNodes = [this](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex, int& result) {
        const TPHP* first = NodeItem(a);
        const TPHP* second = NodeItem(b);
        if (first && second)
            result = CompareText(NodeText(*first), NodeText(*second));
    };
    const auto keepExpanded = [this](PLazyNode node, bool expanded) {
        if (auto* caret = dynamic_cast<TPHPCaret*>(NodeItem(node)))
            caret->Expanded = expanded;
    };
    Tree1->OnExpanded = [keepExpanded](TBaseLazyTree*, PLazyNode node) { keepExpanded(node, true); };
    Tree1->OnCollapsed = [keepExpanded](TBaseLazyTree*, PLazyNode node) { keepExpanded(node, false); };
    Tree1->OnDblClick = [this](TObject*) { TreeDblClick(); };
    Tree1->OnMouseUp = [this](TObject*, TMouseButton, TShiftState shift, int, int) { TreeMouseUp(shift); };
}

void TCodeExplorerForm::CreatePopupMenu()
{
    PopupMenu = new QMenu(this); // owned by the form
    mnuOpenIncludeFile = PopupMenu->addAction(QStringLiteral("Open Include File"));
    mnuOpenIncludeFile->setEnabled(false);
    UpdateMenu = PopupMenu->addAction(QStringLiteral("Update"));
    connect(PopupMenu, &QMenu::aboutToShow, this, [this] {
        mnuOpenIncludeFile->setEnabled(dynamic_cast<TPHPInclude*>(NodeItem(Tree1->FocusNode())) != nullptr);
    });
    connect(mnuOpenIncludeFile, &QAction::triggered, this, [this] { OpenIncludeFile(NodeItem(Tree1->FocusNode())); });
    connect(UpdateMenu, &QAction::triggered, this, [this] {
        if (TCodeEditorForm* document = MainForm ? MainForm->ActiveEditorForm() : nullptr)
            RequestParse(document, prkParse);
    });
    Tree1->SetPopupMenu(PopupMenu);
}

TPHP* TCodeExplorerForm::NodeItem(PLazyNode node) const
{
    const auto* data = node ? Tree1->NodeData<TCodeExplorerNodeData>(node) : nullptr;
    return data ? data->Item : nullptr;
}

void TCodeExplorerForm::TreeDblClick()
{
    if (Tree1->SelectionCount() > 0)
        GoToItem(NodeItem(Tree1->FirstSelectedNode()));
}

void TCodeExplorerForm::TreeMouseUp(TShiftState shift)
{
    if (shift.Contains(ssCtrl))
        OpenIncludeFile(NodeItem(Tree1->FocusNode()));
}

TCodeExplorerForm::~TCodeExplorerForm()
{
    // why: the thread may still deliver into this form's members; it goes first. The nodes point
    // into the shown page, which goes before the tree does.
    FThread.reset();
    Tree1->RemoveAllNodes();
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
    if (!active || !active->CodePage())
        return;
    // why: a tree that cannot be rebuilt keeps what it showed.
    try {
        BuildTree(active->CodePage());
    } catch (const std::exception&) {
    }
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
    Tree1->RemoveAllNodes();
    FShown = nullptr;
    FShownPage.reset();
}

void TCodeExplorerForm::SaveScrollOffset(TCodeEditorForm* document)
{
    if (const TPHPPageRef& page = document->CodePage())
        page->ScrollOffset = Tree1->GetScrollOffset();
}

void TCodeExplorerForm::BuildTree(const TPHPPageRef& page)
{
    Tree1->StartBatchUpdate();
    try {
        SyncTreeNodes(Tree1->HiddenRoot(), *page);
        Tree1->SortAllNodes(NoColumn, TSortDirection::sdAscending);
    } catch (...) {
        Tree1->FinishBatchUpdate();
        throw;
    }
    Tree1->FinishBatchUpdate();
    // invariant: every node points into this page from here on; the page it replaces may go.
    FShownPage = page;
    Tree1->SetScrollOffset(page->ScrollOffset);
}

void TCodeExplorerForm::SyncTreeNodes(PLazyNode parent, const TPHPList& list)
{
    // invariant: the children before position i are the ones placed for items 0 to i - 1; the
    // others keep their order, so the first unplaced node of a text is the one to reuse. A
    // queue per text finds it without walking the children for every item.
    std::unordered_map<std::string, std::deque<PLazyNode>> unplaced;
    for (PLazyNode child = parent->ChildHead; child; child = child->NextLink)
        if (const TPHP* item = NodeItem(child))
            unplaced[NodeText(*item)].push_back(child);
    PLazyNode previous = nullptr;
    for (int i = 0; i < list.Count(); ++i) {
        TPHP* item = list.Items(i);
        PLazyNode node = nullptr;
        if (const auto found = unplaced.find(NodeText(*item)); found != unplaced.end() && !found->second.empty()) {
            node = found->second.front();
            found->second.pop_front();
        }
        if (node) {
            if (node != (previous ? previous->NextLink : parent->ChildHead)) {
                if (previous)
                    Tree1->RelocateNode(node, previous, TLTNodeAttachMode::amInsertAfter, false);
                else
                    Tree1->RelocateNode(node, parent, TLTNodeAttachMode::amAddChildFirst, false);
            }
        } else
            node = previous ? Tree1->PlaceNewNode(previous, TLTNodeAttachMode::amInsertAfter)
                            : Tree1->PlaceNewNode(parent, TLTNodeAttachMode::amAddChildFirst);
        auto* data = Tree1->NodeData<TCodeExplorerNodeData>(node);
        data->Item = item;
        data->Kind = NodeKind(*item);
        if (const auto* phpClass = dynamic_cast<const TPHPClass*>(item)) {
            SyncTreeNodes(node, phpClass->Members);
            Tree1->SetNodeExpanded(node, phpClass->Expanded);
        } else
            Tree1->RemoveChildNodes(node);
        previous = node;
    }
    Tree1->SetNodeChildCount(parent, static_cast<std::uint32_t>(list.Count()));
}
