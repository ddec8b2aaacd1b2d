#include "ShellBrowsing/Source/combo/ExplorerDropDown.h"

#include "ShellBrowsing/Source/combo/ShellExplorerCombobox.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/KnownNamespaces.h"

#include "TreeView/Source/core/LTScrollBarOptions.h"

#include "Platform/controls/Keys.h"

#include <QTimer>

namespace {

// Mouse messages carry the position in the LParam.
TPoint MessagePoint(const TMessage& message)
{
    return {LowWordSigned(message.LParam), HighWordSigned(message.LParam)};
}

// Beyond this distance outside the list the auto-scroll runs fast.
constexpr int FastScrollDistance = 20;

} // namespace

// ---- tree

TPopupExplorerTree::TPopupExplorerTree(TPopupExplorerDropDown* dropDown, QWidget* parent)
    : TCustomShellExplorerTree(dropDown, parent), FDropDown(dropDown)
{
    AssignDefaultOptions();
    SetIndent(10);
    TVETFolderOptions folder = VETFolderOptions();
    folder.Include(toNoUseVETColorsProp);
    SetVETFolderOptions(folder);
    OnEnumFolder = [this](TCustomShellExplorerTree* sender, TNamespace* ns, bool& allow) {
        if (OnEnumFolderUser)
            OnEnumFolderUser(sender, ns, allow);
        if (allow)
            allow = ItemShown(ns);
    };
    setFocusPolicy(Qt::NoFocus);
    viewport()->setMouseTracking(true);
    ApplyRegistrations();
}

void TPopupExplorerTree::AssignDefaultOptions()
{
    TCustomLazyTreeOptions& options = TreeOptions();
    options.SetAutoOptions({toAutoScroll, toAutoScrollOnExpand});
    options.SetMiscOptions({});
    options.SetPaintOptions({toHideFocusRect, toPopupMode, toShowBackground, toUseBlendedImages});
    options.SetSelectionOptions({toDisableDrawSelection});
    SetVETFolderOptions({toFoldersExpandable});
    SetVETImageOptions({toImages});
    SetVETShellOptions({});
    SetVETMiscOptions({toBrowseExecuteFolder, toBrowseExecuteZipFolder});
    SetVETSyncOptions({toCollapseTargetFirst, toSelectTarget});
}

bool TPopupExplorerTree::ItemShown(TNamespace* ns) const
{
    if (!ns)
        return false;
    if (FDropDown->ComboBoxStyle() == TComboBoxStyle::cbsVETEnhanced)
        return true;
    if (PIDLMgr().IDCount(ns->AbsolutePIDL()) < 3)
        return true;
    const PCItemIDList target = FDropDown->TargetPIDL();
    return target && PIDLMgr().IsSubPIDL(target, ns->AbsolutePIDL());
}

bool TPopupExplorerTree::BrowseTo(PCItemIDList list, bool expandTarget, bool selectTarget, bool takeFocus,
                                  bool collapseAllFirst, bool expandPath)
{
    (void)takeFocus;
    (void)collapseAllFirst;
    (void)expandPath;
    StartBatchUpdate();
    bool found = false;
    try {
        // The filter depends on the target, so the folders are listed afresh.
        if (Active())
            RebuildTree();
        else
            SetActive(true);
        found = TCustomShellExplorerTree::BrowseTo(list, expandTarget, selectTarget, false, false, true);
        AssignFocusedNode(nullptr);
        if (TNamespace* computer = KnownNamespaces().MyComputerFolder.get())
            if (PLazyNode node = FindExistingNodeByPIDL(computer->AbsolutePIDL()))
                SetNodeExpanded(node, true);
    } catch (...) {
        FinishBatchUpdate();
        throw;
    }
    FinishBatchUpdate();
    if (PLazyNode target = FindExistingNodeByPIDL(list))
        MakeNodeVisible(target, false, false);
    return found;
}

void TPopupExplorerTree::FireExpanded(PLazyNode node)
{
    TCustomShellExplorerTree::FireExpanded(node);
    QTimer::singleShot(0, FDropDown, [dropDown = FDropDown] { dropDown->UpdateScrollbar(); });
}

void TPopupExplorerTree::FireCollapsed(PLazyNode node)
{
    TCustomShellExplorerTree::FireCollapsed(node);
    QTimer::singleShot(0, FDropDown, [dropDown = FDropDown] { dropDown->UpdateScrollbar(); });
}

void TPopupExplorerTree::MouseMove(TShiftState shift, int x, int y)
{
    TDropDownWnd& dropDown = *FDropDown;
    if (y < 0 || y > ClientHeight()) {
        const int distance = y < 0 ? -y : y - ClientHeight();
        const bool fast = distance > FastScrollDistance;
        dropDown.SetAutoScrollDirection(y < 0);
        if (fast && !(dropDown.DropState() & dsFastScroll))
            dropDown.StartAutoScroll(true);
        else if (!fast && !(dropDown.DropState() & dsSlowScroll))
            dropDown.StartAutoScroll(false);
    } else {
        dropDown.StopAutoScroll(true);
    }
    const QPoint here(x, y);
    if (!(dropDown.DropState() & (dsScrollUp | dsScrollDown)) && here != FLastMouse) {
        PLazyNode node = NodeAtY(y, true);
        if (node && node != FirstSelectedNode()) {
            DeselectAll();
            SetNodeSelected(node, true);
            AssignFocusedNode(node);
        }
    }
    FLastMouse = here;
    TCustomShellExplorerTree::MouseMove(shift, x, y);
}

void TPopupExplorerTree::MousePressed(TMessage& message, const TLTHitRecord& hit)
{
    if (message.Msg == WM_RBUTTONDOWN)
        return;
    if (message.Msg == WM_LBUTTONDOWN && hit.HitNode && hit.HitParts.Contains(htOnButton)) {
        FlipExpanded(hit.HitNode);
        grabMouse();
    }
}

void TPopupExplorerTree::MouseReleased(TMessage& message, const TLTHitRecord& hit)
{
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    FDropDown->StopAutoScroll(true);
    if (message.Msg != WM_LBUTTONUP)
        return;
    if (FDropDown->ComboBoxStyle() == TComboBoxStyle::cbsVETEnhanced
        && (hit.HitParts.Contains(htOnButton) || hit.HitParts.Contains(htOnIndent)))
        return;
    const TPoint p = MessagePoint(message);
    if (hit.HitNode && p.Y >= 0 && p.Y < ClientHeight())
        FDropDown->CloseUp(true);
}

// ---- drop-down

TPopupExplorerDropDown::TPopupExplorerDropDown(TCustomShellExplorerCombobox* comboBox, QWidget* parent)
    : TDropDownWnd(comboBox, parent), FComboBox(comboBox)
{
    FTree = new TPopupExplorerTree(this, this);
    FTree->SetBorderStyle(TBorderStyle::bsNone);
    FTree->SetFileObjects({TFileObject::foFolders, TFileObject::foHidden});
    FTree->SetDefaultNodeHeight(17);
    SetScrolledControl(FTree);
    SetFocusControl(FTree);
    SetDropDownCount(8);
    hide();
}

TPopupExplorerDropDown::~TPopupExplorerDropDown()
{
    PIDLMgr().FreeAndNilPIDL(FTargetPIDL);
}

void TPopupExplorerDropDown::SetTargetPIDL(PCItemIDList list)
{
    PIDLMgr().FreeAndNilPIDL(FTargetPIDL);
    FTargetPIDL = list ? PIDLMgr().CopyPIDL(list) : nullptr;
}

void TPopupExplorerDropDown::SetComboBoxStyle(TComboBoxStyle value)
{
    FComboBoxStyle = value;
    TCustomLazyTreeOptions& options = FTree->TreeOptions();
    TLTPaintOptions paint = options.PaintOptions();
    if (value == TComboBoxStyle::cbsVETEnhanced)
        paint.Include(toShowButtons).Include(toShowTreeLines);
    else
        paint.Exclude(toShowButtons).Exclude(toShowTreeLines);
    options.SetPaintOptions(paint);
}

void TPopupExplorerDropDown::SetOptions(TPopupOptions value)
{
    TDropDownWnd::SetOptions(value);
    TCustomLazyTreeOptions& options = FTree->TreeOptions();
    TLTPaintOptions paint = options.PaintOptions();
    if (value.Contains(TPopupOption::poThemeAware))
        paint.Include(toThemeAware);
    else
        paint.Exclude(toThemeAware);
    options.SetPaintOptions(paint);
}

void TPopupExplorerDropDown::Prepare()
{
    FTree->SetActive(true);
    if (FTargetPIDL) {
        FTree->BrowseTo(FTargetPIDL, true, FSelectTarget);
        if (!FSelectTarget)
            FTree->SetOffsetY(0);
    } else {
        TPIDLHolder desktop(PIDLMgr().CopyPIDL(KnownNamespaces().DesktopFolder->AbsolutePIDL()));
        FTree->BrowseTo(desktop.Get(), FSelectTarget, true);
    }
    FTree->AssignFocusedNode(FTree->FirstSelectedNode());
    UpdateScrollbar();
}

void TPopupExplorerDropDown::HandleKey(WORD key, bool& handled)
{
    handled = false;
    if (key == VK_TAB)
        key = VK_DOWN;
    switch (key) {
    case VK_RETURN: CloseUp(true); return;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_ADD:
    case VK_SUBTRACT:
        if (PLazyNode selected = FTree->FirstSelectedNode()) {
            FTree->AssignFocusedNode(selected);
            FTree->Perform(WM_KEYDOWN, key, 0);
            if (PLazyNode focused = FTree->FocusNode(); focused && focused != selected) {
                FTree->DeselectAll();
                FTree->SetNodeSelected(focused, true);
            }
            if (PLazyNode now = FTree->FirstSelectedNode())
                FTree->MakeNodeVisible(now, false, FTree->Has(toAutoScrollHorz));
            UpdateScrollbar();
            handled = true;
        } else if (PLazyNode first = FTree->FirstVisibleNode()) {
            FTree->SetNodeSelected(first, true);
            FTree->AssignFocusedNode(first);
        }
        return;
    default: CloseUp(false); return;
    }
}

void TPopupExplorerDropDown::RollUp(bool selected)
{
    PIDLMgr().FreeAndNilPIDL(FTargetPIDL);
    if (selected) {
        if (TNamespace* ns = FTree->NodeNamespace(FTree->FirstSelectedNode()))
            FComboBox->SetPath(ns);
    }
    FTree->SetActive(false);
    TDropDownWnd::RollUp(selected);
    FComboBox->DropDownClosed(this);
}

void TPopupExplorerDropDown::UpdateScrollbar()
{
    UpdateScrollbarFromList();
}
