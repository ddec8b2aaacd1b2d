// Check boxes, radio buttons and push buttons of TBaseLazyTree: the check state machine, the
// propagation of tri-state boxes to children and ancestors, and the check image sets.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTCheckImages.h"

#include "Platform/graphics/ImgList.h"

namespace {
bool IsBox(TLTCheckKind kind)
{
    return kind == chkTriState || kind == chkBox;
}

TCheckState Pressed(TCheckState state)
{
    switch (state) {
    case csUncheckedNormal:
        return csUncheckedPressed;
    case csCheckedNormal:
        return csCheckedPressed;
    case csMixedNormal:
        return csMixedPressed;
    default:
        return state;
    }
}

TCheckState Unpressed(TCheckState state)
{
    switch (state) {
    case csUncheckedPressed:
        return csUncheckedNormal;
    case csCheckedPressed:
        return csCheckedNormal;
    case csMixedPressed:
        return csMixedNormal;
    default:
        return state;
    }
}

bool IsChecked(TCheckState state)
{
    return state == csCheckedNormal || state == csCheckedPressed;
}
} // namespace

void TBaseLazyTree::SetNodeCheckMark(PLazyNode node, TCheckState state)
{
    if (!node || node == FRoot || node->CheckMark == state || node->Has(nsInactive))
        return;
    if (FireChecking(node, state))
        ApplyCheckClick(node, state);
}

void TBaseLazyTree::SetNodeCheckKind(PLazyNode node, TLTCheckKind kind)
{
    if (!node || node == FRoot || node->CheckKind == kind || HasOption(toReadOnly))
        return;
    node->CheckKind = kind;
    node->CheckMark = csUncheckedNormal;
    PLazyNode parent = node->ParentLink;
    if (HasOption(toAutoTristateTracking) && IsBox(kind) && parent != FRoot) {
        if (!parent->Has(nsReady))
            PrepareNode(parent);
        if (parent->CheckKind == chkTriState &&
            (parent->CheckMark == csUncheckedNormal || parent->CheckMark == csCheckedNormal))
            SetNodeCheckMark(node, parent->CheckMark);
    }
    RepaintNode(node);
}

void TBaseLazyTree::ApplyCheckClick(PLazyNode node, TCheckState newState)
{
    if (SwitchCheckMark(node, newState))
        FireChecked(node);
}

bool TBaseLazyTree::SwitchCheckMark(PLazyNode node, TCheckState newState)
{
    if (node->Has(nsCheckChanging))
        return false;
    node->StateBits.Include(nsCheckChanging);
    struct TDepth {
        TBaseLazyTree& Tree;
        PLazyNode Node;
        explicit TDepth(TBaseLazyTree& tree, PLazyNode node) : Tree(tree), Node(node)
        {
            if (Tree.FCheckPropagationDepth++ == 0)
                Tree.ShiftTreeStates(tsCheckPropagation, {});
        }
        ~TDepth()
        {
            Node->StateBits.Exclude(nsCheckChanging);
            if (--Tree.FCheckPropagationDepth == 0)
                Tree.ShiftTreeStates({}, tsCheckPropagation);
        }
        TDepth(const TDepth&) = delete;
        TDepth& operator=(const TDepth&) = delete;
    } depth(*this, node);
    if (!node->Has(nsReady))
        PrepareNode(node);
    const bool tracking = HasOption(toAutoTristateTracking);
    const bool toChildren =
        tracking && node->CheckKind == chkTriState && (newState == csUncheckedNormal || newState == csCheckedNormal);
    // Children not made or not initialised yet have no check kind; they must not be passed over.
    if (toChildren && node->NumChildren == 0 && node->Has(nsMayHaveChildren))
        LoadChildNodes(node);
    if (toChildren && node->ChildHead) {
        int unchecked = 0;
        int checked = 0;
        int mixed = 0;
        for (PLazyNode child = node->ChildHead; child; child = child->NextLink) {
            if (!child->Has(nsReady))
                PrepareNode(child);
            if (!IsBox(child->CheckKind))
                continue;
            SetNodeCheckMark(child, newState);
            switch (child->CheckMark) {
            case csUncheckedNormal:
                ++unchecked;
                break;
            case csCheckedNormal:
                ++checked;
                break;
            case csMixedNormal:
                ++mixed;
                break;
            default:
                break;
            }
        }
        if (mixed > 0)
            newState = csMixedNormal;
        else if (checked > 0)
            newState = unchecked > 0 ? csMixedNormal : csCheckedNormal;
    }
    if (node->CheckKind == chkRadio && newState == csCheckedNormal) {
        for (PLazyNode sibling = node->ParentLink->ChildHead; sibling; sibling = sibling->NextLink)
            if (sibling != node && sibling->CheckKind == chkRadio)
                sibling->CheckMark = csUncheckedNormal;
        InvalidateClient();
    }
    node->CheckMark = newState;
    PLazyNode parent = node->ParentLink;
    bool result = true;
    if (parent != FRoot) {
        if (!parent->Has(nsReady))
            PrepareNode(parent);
        if (tracking && !parent->Has(nsCheckChanging | nsInactive) && IsBox(node->CheckKind) &&
            parent->CheckKind == chkTriState)
            result = DeriveParentCheckMark(node, newState);
    }
    RepaintNode(node);
    return result;
}

bool TBaseLazyTree::DeriveParentCheckMark(PLazyNode node, TCheckState newState)
{
    PLazyNode parent = node->ParentLink;
    int boxes = 0;
    int checked = 0;
    bool mixed = false;
    for (PLazyNode sibling = parent->ChildHead; sibling; sibling = sibling->NextLink) {
        if (!sibling->Has(nsReady))
            PrepareNode(sibling);
        if (!IsBox(sibling->CheckKind))
            continue;
        ++boxes;
        const TCheckState state = sibling == node ? newState : sibling->CheckMark;
        if (IsChecked(state))
            ++checked;
        if (state == csMixedNormal)
            mixed = true;
    }
    TCheckState parentState;
    if (checked == 0 && !mixed)
        parentState = csUncheckedNormal;
    else
        parentState = checked < boxes ? csMixedNormal : csCheckedNormal;
    if (!FireChecking(parent, parentState))
        return false;
    ApplyCheckClick(parent, parentState);
    PLazyNode grandParent = parent->ParentLink;
    if (grandParent == FRoot)
        return true;
    if (!grandParent->Has(nsReady))
        PrepareNode(grandParent);
    if (grandParent->Has(nsCheckChanging | nsInactive))
        return true;
    if (grandParent->CheckKind == chkTriState)
        return DeriveParentCheckMark(parent, parentState);
    return true;
}

TCheckState TBaseLazyTree::NextCheckMarkFor(TLTCheckKind kind, TCheckState state) const
{
    switch (kind) {
    case chkTriState:
    case chkBox:
        return state == csCheckedNormal ? csUncheckedNormal : csCheckedNormal;
    case chkRadio:
        return csCheckedNormal;
    case chkButton:
        return csUncheckedNormal;
    default:
        return csMixedNormal;
    }
}

int TBaseLazyTree::CheckImageIndexFor(PLazyNode node) const
{
    if (node->CheckKind == chkNone)
        return -1;
    const bool disabled = node->Has(nsInactive) || !isEnabled();
    const bool hot = node == FHotNode;
    // Each group of four: normal, hot, pressed, disabled; pressed states ignore hot.
    auto pick = [&](int base, bool pressed) {
        if (disabled)
            return base + 3;
        if (pressed)
            return base + 2;
        return hot ? base + 1 : base;
    };
    const TCheckState state = node->CheckMark;
    const bool pressed = state == csUncheckedPressed || state == csCheckedPressed || state == csMixedPressed;
    if (state == csMixedNormal || state == csMixedPressed)
        return pick(17, pressed);
    const bool checked = IsChecked(state);
    switch (node->CheckKind) {
    case chkRadio:
        return pick(checked ? 5 : 1, pressed);
    case chkButton:
        return pick(21, pressed);
    default:
        return pick(checked ? 13 : 9, pressed);
    }
}

TCustomImageList* TBaseLazyTree::CheckImagesForKind(TCheckImageKind kind) const
{
    return ::CheckImagesForKind(kind);
}

void TBaseLazyTree::SetCheckImageKind(TCheckImageKind value)
{
    if (value == FCheckImageKind)
        return;
    FCheckImageKind = value;
    FCheckImages = CheckImagesForKind(value);
    if (!FCheckImages)
        FCheckImages = FCustomCheckImages;
    if (WindowExists() && FUpdateDepth == 0 && !Loading())
        InvalidateClient();
}

void TBaseLazyTree::SetCustomCheckImages(TCustomImageList* value)
{
    if (value == FCustomCheckImages)
        return;
    if (FCustomCheckImages && FCheckImages == FCustomCheckImages)
        FCheckImages = nullptr;
    RegisterImages(FCustomCheckImages, FCustomCheckImagesLink, value);
    if (FCheckImageKind == TCheckImageKind::ckCustom)
        FCheckImages = FCustomCheckImages;
    if (!Loading())
        InvalidateClient();
}

// ---- pressing a control with the mouse or Space

bool TBaseLazyTree::PressCheckControl(PLazyNode node)
{
    if (!node || node == FRoot || node->CheckKind == chkNone || node->Has(nsInactive))
        return false;
    TCheckState next = NextCheckMarkFor(node->CheckKind, Unpressed(node->CheckMark));
    if (!FireChecking(node, next))
        return false;
    FCheckNode = node;
    FPendingCheckState = next;
    node->CheckMark = Pressed(node->CheckMark);
    RepaintNode(node);
    return true;
}

void TBaseLazyTree::ReleaseCheckControl(PLazyNode node)
{
    if (!FCheckNode)
        return;
    PLazyNode pressed = FCheckNode;
    FCheckNode = nullptr;
    pressed->CheckMark = Unpressed(pressed->CheckMark);
    if (node == pressed)
        ApplyCheckClick(pressed, FPendingCheckState);
    RepaintNode(pressed);
}

void TBaseLazyTree::CancelCheckPress()
{
    ReleaseCheckControl(nullptr);
}
