#include "TreeView/Source/core/LTOptions.h"

#include "TreeView/Source/core/LazyTree.h"
#include "TreeView/Source/header/LTHeader.h"

TCustomLazyTreeOptions::TCustomLazyTreeOptions(TBaseLazyTree* owner) : FOwner(owner) {}

void TCustomLazyTreeOptions::SetPaintOptions(TLTPaintOptions value)
{
    if (value == FPaintOptions)
        return;
    const TLTPaintOptions old = FPaintOptions;
    FPaintOptions = value;
    if (!FOwner || FOwner->Loading() || !FOwner->WindowExists())
        return;
    if (old.Contains(toThemeAware) != value.Contains(toThemeAware)) {
        if (value.Contains(toThemeAware))
            FOwner->ShiftTreeStates(tsUseThemes, {});
        else
            FOwner->ShiftTreeStates({}, tsUseThemes);
        FOwner->update();
    }
    FOwner->InvalidateClient();
}

void TCustomLazyTreeOptions::SetAnimationOptions(TLTAnimationOptions value)
{
    FAnimationOptions = value;
}

void TCustomLazyTreeOptions::SetAutoOptions(TLTAutoOptions value)
{
    if (value == FAutoOptions)
        return;
    const bool spanChanged = FAutoOptions.Contains(toAutoSpanColumns) != value.Contains(toAutoSpanColumns);
    FAutoOptions = value;
    if (spanChanged && FOwner && !FOwner->Loading() && FOwner->WindowExists())
        FOwner->InvalidateClient();
}

void TCustomLazyTreeOptions::SetSelectionOptions(TLTSelectionOptions value)
{
    if (value == FSelectionOptions)
        return;
    const TLTSelectionOptions old = FSelectionOptions;
    FSelectionOptions = value;
    if (!FOwner)
        return;
    auto switchedOn = [&](TLTSelectionOption o) { return value.Contains(o) && !old.Contains(o); };
    if (old.Contains(toMultiSelect) != value.Contains(toMultiSelect) || switchedOn(toLevelSelectConstraint) ||
        switchedOn(toSiblingSelectConstraint))
        FOwner->DeselectAll();
    if (value.Contains(toExtendedFocus))
        return;
    TLTHeader& header = FOwner->Header();
    if (old.Contains(toExtendedFocus) && FOwner->FFocusedColumn > 0 && FOwner->WindowExists())
        FOwner->InvalidateClient();
    FOwner->FFocusedColumn = header.MainColumn();
}

void TCustomLazyTreeOptions::SetMiscOptions(TLTMiscOptions value)
{
    if (value == FMiscOptions)
        return;
    const TLTMiscOptions old = FMiscOptions;
    FMiscOptions = value;
    if (!FOwner || FOwner->Loading() || !FOwner->WindowExists())
        return;
    if (old.Contains(toCheckSupport) != value.Contains(toCheckSupport))
        FOwner->InvalidateClient();
    if (old.Contains(toAcceptOLEDrop) != value.Contains(toAcceptOLEDrop))
    {
        FOwner->setAcceptDrops(value.Contains(toAcceptOLEDrop));
        FOwner->viewport()->setAcceptDrops(value.Contains(toAcceptOLEDrop));
    }
}

void TCustomLazyTreeOptions::AssignTo(TPersistent& dest) const
{
    auto* options = dynamic_cast<TCustomLazyTreeOptions*>(&dest);
    if (!options) {
        TPersistent::AssignTo(dest);
        return;
    }
    options->SetPaintOptions(FPaintOptions);
    options->SetAnimationOptions(FAnimationOptions);
    options->SetAutoOptions(FAutoOptions);
    options->SetSelectionOptions(FSelectionOptions);
    options->SetMiscOptions(FMiscOptions);
}
