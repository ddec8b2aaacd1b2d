#include "ShellBrowsing/Source/combo/AutoCompleteDropDown.h"

#include "ShellBrowsing/Source/combo/ShellExplorerCombobox.h"
#include "ShellBrowsing/Source/common/WideStrings.h"

#include "TreeView/Source/core/LTScrollBarOptions.h"

#include "Platform/controls/Keys.h"

namespace {

// Near the list's edges a drag of more than this scrolls a line.
constexpr int EdgeZone = 20;
constexpr int EdgeStep = 4;

} // namespace

// ---- list

TPopupAutoCompleteTree::TPopupAutoCompleteTree(TPopupAutoCompleteDropDown* dropDown, QWidget* parent)
    : TCustomLazyStringTree(dropDown, parent), FDropDown(dropDown),
      FAutoComplete(std::make_unique<TShellKitAutoComplete>())
{
    SetBorderStyle(TBorderStyle::bsNone);
    SetDefaultNodeHeight(17);
    TCustomLazyTreeOptions& options = TreeOptions();
    options.SetAutoOptions({toAutoScroll, toAutoScrollOnExpand});
    options.SetMiscOptions({});
    options.SetPaintOptions({toHideFocusRect, toPopupMode, toShowBackground, toUseBlendedImages});
    options.SetSelectionOptions({toDisableDrawSelection});
    SetNodeDataSize(4);
    SetIndent(0);
    setFocusPolicy(Qt::NoFocus);
    viewport()->setMouseTracking(true);
}

QString TPopupAutoCompleteTree::NodeText(PLazyNode node) const
{
    const auto* index = NodeData<std::uint32_t>(node);
    if (!index || static_cast<int>(*index) >= FCandidates.Count())
        return {};
    return FCandidates[static_cast<int>(*index)];
}

std::vector<QString> TPopupAutoCompleteTree::ShownTexts() const
{
    std::vector<QString> texts;
    for (PLazyNode node = HiddenRoot()->ChildHead; node; node = node->NextLink)
        texts.push_back(NodeText(node));
    return texts;
}

void TPopupAutoCompleteTree::FireGetText(PLazyNode node, TColumnIndex column, TVSTTextType textType, QString& text)
{
    TCustomLazyStringTree::FireGetText(node, column, textType, text);
    text = NodeText(node);
}

void TPopupAutoCompleteTree::MouseMove(TShiftState shift, int x, int y)
{
    const QPoint here(x, y);
    if (FLastMouse.x() >= 0 && (FDropDown->DropState() & dsDropped)) {
        const int moved = y - FLastMouse.y();
        if (y < EdgeZone && moved < -EdgeStep)
            SetOffsetY(OffsetY() + static_cast<int>(DefaultNodeHeight()));
        else if (y > ClientHeight() - EdgeZone && moved > EdgeStep)
            SetOffsetY(OffsetY() - static_cast<int>(DefaultNodeHeight()));
        FDropDown->UpdateScrollbar();
    }
    if (here != FLastMouse) {
        PLazyNode node = NodeAtY(y, true);
        if (node && node != FirstSelectedNode()) {
            StartBatchUpdate();
            DeselectAll();
            SetNodeSelected(node, true);
            AssignFocusedNode(nullptr);
            FinishBatchUpdate();
        }
    }
    FLastMouse = here;
    TCustomLazyStringTree::MouseMove(shift, x, y);
}

void TPopupAutoCompleteTree::MousePressed(TMessage& message, const TLTHitRecord& hit)
{
    (void)message;
    (void)hit;
}

void TPopupAutoCompleteTree::MouseReleased(TMessage& message, const TLTHitRecord& hit)
{
    FDropDown->StopAutoScroll(true);
    if (message.Msg == WM_LBUTTONUP && hit.HitNode) {
        DeselectAll();
        SetNodeSelected(hit.HitNode, true);
        FDropDown->CloseUp(true);
    }
}

// ---- drop-down

TPopupAutoCompleteDropDown::TPopupAutoCompleteDropDown(TCustomShellExplorerCombobox* comboBox, QWidget* parent)
    : TDropDownWnd(comboBox, parent), FComboBox(comboBox)
{
    FTree = new TPopupAutoCompleteTree(this, this);
    SetScrolledControl(FTree);
    SetFocusControl(FTree);
    SetDropDownCount(8);
    hide();
}

void TPopupAutoCompleteDropDown::UpdateList(const QString& typed)
{
    FTree->RemoveAllNodes();
    TWideStringList& candidates = FTree->Candidates();
    candidates.Clear();
    bool handled = false;
    if (OnAutoCompleteUpdateList)
        OnAutoCompleteUpdateList(this, typed, candidates, handled);
    FTree->StartBatchUpdate();
    if (handled) {
        for (int i = 0; i < candidates.Count(); ++i)
            FTree->AppendChildNode(nullptr, static_cast<std::uint32_t>(i));
    } else {
        const QString folder = WideExtractFileDir(typed);
        if (!folder.isEmpty()) {
            TShellKitAutoComplete& complete = FTree->AutoComplete();
            complete.SetCurrentDir(WideIncludeTrailingBackslash(folder));
            complete.Refresh();
            candidates.AddStrings(complete.Strings());
        }
        const QString lowerTyped = typed.toLower();
        const bool all = typed.endsWith(u'/');
        for (int i = 0; i < candidates.Count(); ++i)
            if (all || candidates[i].toLower().startsWith(lowerTyped))
                FTree->AppendChildNode(nullptr, static_cast<std::uint32_t>(i));
    }
    FTree->FinishBatchUpdate();
    UpdateScrollbar();
}

void TPopupAutoCompleteDropDown::Prepare()
{
    FTree->AssignFocusedNode(FTree->FirstSelectedNode());
    UpdateScrollbar();
}

void TPopupAutoCompleteDropDown::HandleKey(WORD key, bool& handled)
{
    handled = false;
    if (key == VK_TAB)
        key = VK_DOWN;
    if (key != VK_PRIOR && key != VK_NEXT && key != VK_UP && key != VK_DOWN)
        return;
    PLazyNode selected = FTree->FirstSelectedNode();
    PLazyNode next = nullptr;
    if (!selected) {
        next = FTree->FirstVisibleNode();
    } else {
        const int page = std::max(1, FTree->ClientHeight() / std::max(1, static_cast<int>(FTree->DefaultNodeHeight())));
        const int steps = key == VK_PRIOR || key == VK_NEXT ? page : 1;
        const bool down = key == VK_NEXT || key == VK_DOWN;
        next = selected;
        for (int i = 0; i < steps; ++i) {
            PLazyNode step = down ? FTree->NextVisibleAfter(next) : FTree->PreviousVisibleBefore(next);
            if (!step)
                break;
            next = step;
        }
    }
    if (next) {
        FTree->DeselectAll();
        FTree->SetNodeSelected(next, true);
        FTree->AssignFocusedNode(next);
        FTree->MakeNodeVisible(next, false, false);
        FComboBox->ShowCompletion(FTree->NodeText(next));
        UpdateScrollbar();
    }
    handled = true;
}

void TPopupAutoCompleteDropDown::RollUp(bool selected)
{
    TDropDownWnd::RollUp(selected);
    if (selected) {
        if (PLazyNode node = FTree->FirstSelectedNode())
            FComboBox->ShowCompletion(FTree->NodeText(node));
        FComboBox->InterpretEditText();
    }
    FTree->RemoveAllNodes();
    FTree->Candidates().Clear();
    FComboBox->DropDownClosed(this);
}

void TPopupAutoCompleteDropDown::UpdateScrollbar()
{
    UpdateScrollbarFromList();
}
