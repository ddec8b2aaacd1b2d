#include "ExLib/run/docking/tree/ExDockTree.h"

#include <algorithm>

namespace {

constexpr TDockOrientation H = TDockOrientation::doHorizontal;
constexpr TDockOrientation V = TDockOrientation::doVertical;
constexpr TDockOrientation None = TDockOrientation::doNoOrient;

} // namespace

TExDockZone::TExDockZone(TExDockTree* tree) : Tree(tree) {}

TExDockZone::~TExDockZone() = default;

void TExDockZone::SetShown(bool value)
{
    if (!value && FShown && Parent)
        SavedSize = Parent->Orientation == None ? Tree->RootExtent() : LimitSize();
    FShown = value;
}

TDockOrientation TExDockZone::ParentOrientation() const
{
    return Parent ? Parent->Orientation : Orientation;
}

int TExDockZone::LimitBegin() const
{
    const TDockOrientation o = ParentOrientation();
    return o == None ? 0 : EdgeOf(o);
}

int TExDockZone::LimitSize() const
{
    const TDockOrientation o = ParentOrientation();
    return o == None ? Tree->RootExtent() : ExtentOf(o);
}

int TExDockZone::EdgeOf(TDockOrientation o) const
{
    for (const TExDockZone* z = this; z && z->Parent; z = z->Parent)
        if (z->Parent->Orientation == o)
            if (const TExDockZone* prev = z->PrevVisible())
                return prev->Limit;
    const TRect client = Tree->SiteClientRect();
    return o == H ? client.Top : client.Left;
}

int TExDockZone::ExtentOf(TDockOrientation o) const
{
    const TExDockZone* root = Tree->RootZone();
    const TRect client = Tree->SiteClientRect();
    if (this == root || (Control && Parent == root && root && root->ChildCount() == 1))
        return o == H ? client.Height() : client.Width();
    for (const TExDockZone* z = this; z && z->Parent; z = z->Parent)
        if (z->Parent->Orientation == o)
            return z->Limit - z->LimitBegin();
    if (!root)
        return 0;
    return o == root->Orientation ? Tree->RootExtent() : root->Limit;
}

TRect TExDockZone::ZoneRect() const
{
    return Bounds(EdgeOf(V), EdgeOf(H), ExtentOf(V), ExtentOf(H));
}

int TExDockZone::ChildCount() const
{
    int n = 0;
    for (const TExDockZone* z = FirstChild; z; z = z->NextZone)
        ++n;
    return n;
}

int TExDockZone::VisibleChildCount() const
{
    int n = 0;
    for (const TExDockZone* z = FirstChild; z; z = z->NextZone)
        if (z->Shown())
            ++n;
    return n;
}

TExDockZone* TExDockZone::FirstVisibleChild() const
{
    for (TExDockZone* z = FirstChild; z; z = z->NextZone)
        if (z->Shown())
            return z;
    return nullptr;
}

TExDockZone* TExDockZone::LastVisibleChild() const
{
    TExDockZone* last = nullptr;
    for (TExDockZone* z = FirstChild; z && z->Shown(); z = z->NextZone)
        last = z;
    return last;
}

TExDockZone* TExDockZone::NextVisible() const
{
    for (TExDockZone* z = NextZone; z; z = z->NextZone)
        if (z->Shown())
            return z;
    return nullptr;
}

TExDockZone* TExDockZone::PrevVisible() const
{
    for (TExDockZone* z = PrevZone; z; z = z->PrevZone)
        if (z->Shown())
            return z;
    return nullptr;
}

int TExDockZone::NextSiblingsVisibleTotal() const
{
    int n = 0;
    for (const TExDockZone* z = NextZone; z; z = z->NextZone)
        n += (z->Shown() ? 1 : 0) + z->VisibleDescendantCount();
    return n;
}

int TExDockZone::VisibleDescendantCount() const
{
    int n = 0;
    for (const TExDockZone* z = FirstChild; z; z = z->NextZone)
        n += (z->Shown() ? 1 : 0) + z->VisibleDescendantCount();
    return n;
}

void TExDockZone::Undock()
{
    if (Control)
        ManualDock(*Control, nullptr, nullptr, TAlign::alTop);
}

int TExDockZone::InnerBound(bool isEnd)
{
    int bound = isEnd ? Limit : LimitBegin();
    if (FirstChild)
        FirstChild->CollectInnerBound(ParentOrientation(), isEnd, bound);
    return bound;
}

void TExDockZone::CollectInnerBound(TDockOrientation o, bool isEnd, int& bound)
{
    for (TExDockZone* z = this; z; z = z->NextZone) {
        if (z->Shown() && z->Parent && z->Parent->Orientation == o) {
            if (isEnd)
                bound = std::min(bound, z->Limit);
            else if (z->NextVisible())
                bound = std::max(bound, z->Limit);
        }
        if (z->FirstChild)
            z->FirstChild->CollectInnerBound(o, isEnd, bound);
    }
}

void TExDockZone::ApplyControlVisible()
{
    if (Control)
        Control->SetVisible(ControlShown);
}

void TExDockZone::Show(int size, bool flag)
{
    VisibilityChanging(size, true, flag);
    if (Parent && !Parent->Shown() && Parent->VisibleChildCount() == 0)
        Parent->Show(Parent->SavedSize, flag);
    SetShown(true);
    if (Parent) {
        Parent->ShareSpace(this);
        Tree->ExtendLastZones(Parent);
        Tree->RefreshSubtree(Parent);
    }
}

void TExDockZone::Hide(int size, bool flag)
{
    VisibilityChanging(size, false, flag);
    SetShown(!flag);
    if (Parent && Parent != Tree->RootZone() && Parent->VisibleChildCount() == 0)
        Parent->Hide(Parent->LimitSize(), flag);
    if (!NextVisible())
        if (TExDockZone* prev = PrevVisible()) {
            prev->Limit = Limit;
            Tree->ExtendLastZones(prev);
        }
    Limit = LimitBegin();
}

void TExDockZone::ShareSpace(TExDockZone* except)
{
    if (Orientation == None || VisibleChildCount() == 0)
        return;
    const int size = ExtentOf(Orientation);
    const int share = size / VisibleChildCount();
    TExDockZone* first = FirstVisibleChild();
    const int begin = first->LimitBegin();
    Tree->AdjustOrientation = Orientation;
    Tree->ScaleOrigin = 0;
    auto factorFor = [share](int oldExtent) { return oldExtent >= 1 ? static_cast<double>(share) / oldExtent : 1.0; };
    auto rescaleChildren = [this](TExDockZone* z, int order) {
        if (Tree->ScaleFactor != 1.0 && z->VisibleChildCount() > 0)
            Tree->ForEachZone(z->FirstChild, order, true, [this](TExDockZone* c) { Tree->RescaleChild(c); });
    };

    Tree->ScaleFactor = factorFor(first->Limit - begin);
    rescaleChildren(first, 1);
    int oldEdge = first == except ? begin : first->Limit;
    first->Limit = begin + share;
    if (!first->NextVisible())
        first->Limit = begin + size;
    first->UpdateControlBounds();

    TExDockZone* prev = first;
    for (TExDockZone* z = first->NextVisible(); z; z = z->NextVisible()) {
        Tree->ScaleFactor = factorFor(z->Limit - oldEdge);
        Tree->ShiftAmount = prev->Limit - oldEdge;
        if (Tree->ShiftAmount != 0 && z->VisibleChildCount() > 0)
            Tree->ForEachZone(z->FirstChild, 0, false, [this](TExDockZone* c) { Tree->OffsetZone(c); });
        Tree->ScaleOrigin = prev->Limit;
        rescaleChildren(z, 0);
        if (z != except)
            oldEdge = z->Limit;
        z->Limit = prev->Limit + share;
        // The last one takes what is left, so no gap stays at the far end.
        if (!z->NextVisible())
            z->Limit = begin + size;
        z->UpdateControlBounds();
        prev = z;
    }
}

void TExDockZone::UpdateControlBounds()
{
    if (!Control || !Shown() || Tree->Updating())
        return;
    const TDockOrientation po = Parent ? Parent->Orientation : None;
    SetDockOrientation(*Control, po);
    int width = ExtentOf(V);
    int height = ExtentOf(H);
    const int sw = Tree->GetSplitterWidth();
    for (const TExDockZone* z = Parent; z; z = z->Parent)
        if (z->Orientation == po && z->NextVisible()) {
            if (po == H)
                width -= sw;
            else if (po == V)
                height -= sw;
            break;
        }
    bool splitterFollows = NextVisible() != nullptr;
    if (!splitterFollows && Parent) {
        const TExDockZone* root = Tree->RootZone();
        if (Parent != root && Parent->Orientation == root->Orientation && Limit < Tree->RootExtent())
            splitterFollows = true;
        else if (Parent->Orientation != root->Orientation && Limit < root->Limit)
            splitterFollows = true;
    }
    if (splitterFollows) {
        if (po == H)
            height -= sw;
        else if (po == V)
            width -= sw;
    }
    TRect r = Bounds(EdgeOf(V), EdgeOf(H), width, height);
    Tree->AdjustControlRect(Control, r);
    Control->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

TRect TExDockZone::GetFrameRect()
{
    TRect r = ZoneRect();
    if (NextZone) {
        r.Right -= Tree->GetBorderWidth();
        r.Bottom -= Tree->GetBorderWidth();
    }
    return r;
}
