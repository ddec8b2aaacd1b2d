// What the user does to items in an explorer tree besides browsing: keys, double-clicks,
// clipboard commands, delete, properties, opening, renaming in place and new folders.

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/operations/ShellKitLink.h"

#include "TreeView/Source/header/LTHeader.h"

#include "Platform/controls/Keys.h"
#include "Platform/core/Exceptions.h"
#include "Platform/core/PostedMessage.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace {

TColumnIndex NameColumn(TBaseLazyTree& tree)
{
    return tree.Header().Columns().Count() > 0 ? 0 : NoColumn;
}

} // namespace

// ---- clipboard

void TCustomShellExplorerTree::CopySelectionToClipboard()
{
    WaitCursor(true);
    bool handled = false;
    if (OnClipboardCopy)
        OnClipboardCopy(this, handled);
    const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
    if (!handled && !selected.empty())
        if (TNamespace* ns = NodeNamespace(selected.front()))
            if (ns->Copy(SelectedNamespaces()))
                MarkSelectionCopied();
    WaitCursor(false);
}

void TCustomShellExplorerTree::CutSelectionToClipboard()
{
    if (Has(toVETReadOnly))
        return;
    WaitCursor(true);
    bool markCut = true;
    bool handled = false;
    if (OnClipboardCut)
        OnClipboardCut(this, markCut, handled);
    const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
    if (!handled) {
        if (!selected.empty())
            if (TNamespace* ns = NodeNamespace(selected.front()))
                if (ns->Cut(SelectedNamespaces()))
                    MarkSelectionCut();
    } else if (markCut) {
        MarkSelectionCut();
    }
    WaitCursor(false);
}

bool TCustomShellExplorerTree::PasteClipboardNodes()
{
    return PasteFromClipboard();
}

bool TCustomShellExplorerTree::PasteFromClipboard()
{
    if (Has(toVETReadOnly))
        return false;
    WaitCursor(true);
    bool handled = false;
    if (OnClipboardPaste)
        OnClipboardPaste(this, handled);
    bool result = handled;
    const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
    if (!handled && selected.size() == 1)
        if (TNamespace* ns = NodeNamespace(selected.front())) {
            // Copies, or moves after a cut; links are made only by the menu's own verb.
            ns->Paste({ns}, true);
            result = true;
        }
    WaitCursor(false);
    return result;
}

void TCustomShellExplorerTree::PasteIntoSelection(bool all)
{
    const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
    if (selected.empty() || (!all && selected.size() != 1))
        return;
    for (std::size_t i = 0; i < (all ? selected.size() : 1); ++i)
        if (TNamespace* ns = NodeNamespace(selected[i]); ns && ns->OkToBrowse())
            ns->Paste({ns}, true);
}

void TCustomShellExplorerTree::MarkSelectionCopied()
{
    if (!Has(toMarkCutAndCopy))
        return;
    DropCutCopyMarks();
    ShiftTreeStates(tsCopyPending, {});
    FlagSelectedForCutCopy();
    viewport()->update();
}

void TCustomShellExplorerTree::MarkSelectionCut()
{
    if (!Has(toMarkCutAndCopy))
        return;
    DropCutCopyMarks();
    ShiftTreeStates(tsCutPending, {});
    FlagSelectedForCutCopy();
    viewport()->update();
}

// ---- item commands

void TCustomShellExplorerTree::DeleteSelection()
{
    if (Has(toVETReadOnly))
        return;
    WaitCursor(true);
    const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
    if (!selected.empty())
        if (TNamespace* ns = NodeNamespace(selected.front()))
            ns->Delete(SelectedNamespaces());
    WaitCursor(false);
}

void TCustomShellExplorerTree::ShowSelectionProperties()
{
    const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
    if (!selected.empty())
        if (TNamespace* ns = NodeNamespace(selected.front()))
            ns->ShowPropertySheetMulti(SelectedNamespaces());
}

void TCustomShellExplorerTree::ExecuteNode(PLazyNode node)
{
    TNamespace* ns = NodeNamespace(node);
    if (!ns || !Has(toExecuteOnDblClk))
        return;
    QString workingDir;
    QString arguments;
    bool allow = true;
    if (OnShellExecute)
        OnShellExecute(this, ns, workingDir, arguments, allow);
    if (!allow)
        return;
    ShellExecuteItem(ns, workingDir, arguments);
    if (ns->IsShellLinkItem() && Has(toBrowseExecuteFolderShortcut))
        BrowseShortcutTarget(ns);
}

void TCustomShellExplorerTree::ShellExecuteItem(TNamespace* ns, const QString& workingDir, const QString& arguments)
{
    if (!ns)
        return;
    bool executeFolders = true;
    if (Has(toBrowseExecuteFolder) && ns->IsFolderItem())
        executeFolders = ns->ExtensionText().compare(QLatin1String(".zip"), Qt::CaseInsensitive) == 0 &&
                         !Has(toBrowseExecuteZipFolder);
    ns->ShellExecuteNamespace(workingDir, arguments, !Has(toBrowseExecuteFolderShortcut), executeFolders);
}

void TCustomShellExplorerTree::BrowseShortcutTarget(TNamespace* ns)
{
    if (!ns || !ns->IsShellLinkItem())
        return;
    TShellKitLink link;
    if (!link.ReadLink(ns->ParsingPathForAddressBar()))
        return;
    const QString target = link.TargetPath;
    if (!QFileInfo(target).isDir())
        return;
    TPIDLHolder list(PathToPIDL(target));
    if (list && BrowseAllowed(list.Get()))
        BrowseTo(list.Get(), Has(toExpandTarget), Has(toSelectTarget), false, Has(toCollapseTargetFirst), true);
}

QString TCustomShellExplorerTree::CreateNewFolder(PCItemIDList folder, const QString& suggestedName)
{
    if (!HasOption(toEditable))
        throw EAssertionFailed("You must set the toEditable option to Edit paths");
    if (Has(toVETReadOnly) || !folder)
        return {};
    const QString path = QString::fromStdString(PIDLToFileSystemPath(folder));
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return {};
    PLazyNode parent = LocateNodeByPIDL(folder, false, true, false, true);
    if (!parent)
        return {};
    const QString newPath = UniqueDirName(path, suggestedName);
    if (newPath.isEmpty() || !QDir().mkdir(newPath))
        return {};
    std::unique_ptr<TNamespace> created;
    try {
        created = TNamespace::CreateFromFileName(newPath);
    } catch (const Exception&) {
        return {};
    }
    if (parent != HiddenRoot() && !parent->Has(nsOpen))
        SetNodeExpanded(parent, true);
    // The folder may have come with the expansion already.
    PLazyNode node = FindExistingNodeByPIDL(created->AbsolutePIDL());
    if (!node)
        node = AddNamespaceNode(parent == HiddenRoot() ? nullptr : parent, std::move(created), true);
    if (!node)
        return {};
    DeselectAll();
    AssignFocusedNode(nullptr);
    SetNodeSelected(node, true);
    AssignFocusedNode(node);
    MakeNodeVisible(node);
    BeginNodeEdit(node, NameColumn(*this));
    return NodeNamespace(node)->NameForEditing();
}

bool TCustomShellExplorerTree::EditSelectedName()
{
    const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
    if (selected.size() != 1)
        return false;
    AssignFocusedNode(selected.front());
    return BeginNodeEdit(selected.front(), NameColumn(*this));
}

// ---- renaming in place

void TCustomShellExplorerTree::FireNewText(PLazyNode node, TColumnIndex column, const QString& text)
{
    const bool applicationColumn = FColumnDetails == TColumnDetailType::cdShellColumns
                                       ? column >= FShellColumnCount
                                       : ColumnKind(column) == TColumnDetails::cdCustom && column >= 0;
    if (applicationColumn) {
        TCustomLazyStringTree::FireNewText(node, column, text);
        return;
    }
    TNamespace* ns = NodeNamespace(node);
    if (!ns)
        return;
    if (text == ns->NameForEditingInFolder())
        return;
    if (ns->SetNameOf(text)) {
        ns->InvalidateCache();
        RepaintNode(node);
    } else {
        PostMessageTo(this, TMessage{VM_RETRYRENAME, reinterpret_cast<WPARAM>(node), 0, 0});
    }
}

void TCustomShellExplorerTree::RetryRename(PLazyNode node)
{
    // The node may have gone meanwhile.
    for (PLazyNode walk = FirstNodeRaw(); walk; walk = NextNodeRaw(walk))
        if (walk == node) {
            QApplication::beep();
            BeginNodeEdit(node, NameColumn(*this));
            return;
        }
}

// ---- keys and mouse

bool TCustomShellExplorerTree::FireKeyAction(WORD& charCode, TShiftState& shift)
{
    if (!TCustomLazyStringTree::FireKeyAction(charCode, shift))
        return false;
    const bool ctrl = shift.Contains(ssCtrl);
    switch (charCode) {
    case VK_ESCAPE:
        DropCutCopyMarks();
        viewport()->update();
        return true;
    case VK_SPACE:
        if (!shift.Contains(ssShift) && !shift.Contains(ssAlt))
            if (PLazyNode focus = FocusNode()) {
                if (!GetNodeSelected(focus))
                    SetNodeSelected(focus, true);
                else if (ctrl)
                    SetNodeSelected(focus, false);
            }
        return true;
    case VK_PRIOR:
    case VK_NEXT:
        if (!ctrl)
            return true;
        if (!FocusNode())
            AssignFocusedNode(FirstNodeRaw());
        else if (charCode == VK_PRIOR)
            FocusPageUp();
        else
            FocusPageDown();
        return false;
    case VK_UP:
    case VK_DOWN:
        if (!ctrl)
            return true;
        if (PLazyNode focus = FocusNode()) {
            if (PLazyNode next = charCode == VK_UP ? focus->PrevLink : focus->NextLink)
                AssignFocusedNode(next);
        } else {
            AssignFocusedNode(FirstNodeRaw());
        }
        return false;
    case VK_INSERT:
        if (Has(toVETReadOnly))
            return true;
        if (shift.Contains(ssShift))
            PasteFromClipboard();
        else if (ctrl)
            CopySelectionToClipboard();
        return false;
    case VK_DELETE:
        DeleteSelection();
        return false;
    case 'A':
        if (ctrl && shift.Contains(ssShift)) {
            FlipSelection(false);
            return false;
        }
        return true;
    case 'C':
        if (!ctrl)
            return true;
        CopySelectionToClipboard();
        return false;
    case 'V':
        if (!ctrl)
            return true;
        PasteFromClipboard();
        return false;
    case 'X':
        if (!ctrl)
            return true;
        CutSelectionToClipboard();
        return false;
    case VK_DIVIDE:
        if (FocusNode())
            CollapseSubtree(FocusNode());
        charCode = 0;
        return false;
    case VK_F2:
        if (!Has(toVETReadOnly))
            EditSelectedName();
        return false;
    case VK_F3: {
        const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
        if (!selected.empty())
            RefreshNode(selected.front());
        return false;
    }
    case VK_F5:
        RefreshKeepingState(Has(toRestoreTopNodeOnRefresh));
        return false;
    case VK_RETURN:
        if (shift.Contains(ssAlt)) {
            ShowSelectionProperties();
            return false;
        }
        return true;
    default:
        return true;
    }
}

void TCustomShellExplorerTree::FocusPageUp()
{
    PLazyNode top = NodeAtTop();
    if (top && top == FocusNode()) {
        SetOffsetY(OffsetY() + ClientHeight());
        top = NodeAtTop();
    }
    if (top)
        AssignFocusedNode(top);
}

PLazyNode TCustomShellExplorerTree::PageLastNode()
{
    PLazyNode first = NodeAtTop();
    if (!first)
        return nullptr;
    // why: the running height counts the uppermost row twice, so the walk stops one row early
    // and the page's last row is one shown whole.
    int height = GetRowHeight(first);
    PLazyNode node = first;
    for (;;) {
        height += GetRowHeight(node);
        if (!node->NextLink)
            return node;
        node = node->NextLink;
        if (height >= ClientHeight())
            break;
    }
    return node->NextLink ? node->PrevLink : node;
}

void TCustomShellExplorerTree::FocusPageDown()
{
    PLazyNode last = PageLastNode();
    PLazyNode focus = FocusNode();
    PLazyNode lastFirstLevel = HiddenRoot()->ChildTail;
    if (last && last != focus && focus != lastFirstLevel) {
        AssignFocusedNode(last);
        return;
    }
    const int before = OffsetY();
    SetOffsetY(OffsetY() - ClientHeight());
    if (PLazyNode top = NodeAtTop())
        MakeNodeVisible(top, false, Has(toAutoScrollHorz));
    if (OffsetY() == before) {
        if (lastFirstLevel)
            AssignFocusedNode(lastFirstLevel);
    } else if (PLazyNode newLast = PageLastNode()) {
        AssignFocusedNode(newLast);
    }
}

void TCustomShellExplorerTree::FireTreeDblClick(TMouseButton button, TPoint point)
{
    if (OnTreeDblClick)
        OnTreeDblClick(this, NodeAtPoint(point.X, point.Y), button, point);
}

void TCustomShellExplorerTree::MousePressed(TMessage& message, const TLTHitRecord& hit)
{
    FExpandButtonHit = hit.HitParts.Contains(htOnButton);
    TCustomLazyStringTree::MousePressed(message, hit);
    FExpandButtonHit = false;
}

void TCustomShellExplorerTree::MouseDoubleClicked(TMessage& message, const TLTHitRecord& hit)
{
    // The right and middle buttons' double-clicks get only the base's handling.
    if (message.Msg != WM_LBUTTONDBLCLK) {
        TCustomLazyStringTree::MouseDoubleClicked(message, hit);
        return;
    }
    if (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier) {
        ShowSelectionProperties();
        return;
    }
    FireTreeDblClick(TMouseButton::mbLeft, {LowWordSigned(message.LParam), HighWordSigned(message.LParam)});
    FExpandButtonHit = hit.HitParts.Contains(htOnButton);
    TCustomLazyStringTree::MouseDoubleClicked(message, hit);
    FExpandButtonHit = false;
    const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
    if (selected.empty() || selected.front() != hit.HitNode)
        return;
    const bool onItem = hit.HitParts.Contains(htOnLabel) || hit.HitParts.Contains(htOnNormalImage);
    const bool onRow = Has(toExecuteOnDblClkFullRow) && HasOption(toFullRowSelect);
    if (onItem || onRow)
        ExecuteNode(hit.HitNode);
}
