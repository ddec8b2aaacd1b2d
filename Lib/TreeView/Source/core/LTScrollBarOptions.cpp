#include "TreeView/Source/core/LTScrollBarOptions.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/core/LazyTree.h"

#include <algorithm>

void TScrollBarOptions::Changed()
{
    if (!FOwner || FOwner->Loading() || !FOwner->WindowExists())
        return;
    FOwner->ApplyScrollBarPolicies();
    FOwner->RefreshScrollBars(true);
}

void TScrollBarOptions::SetAlwaysVisible(bool value)
{
    if (value == FAlwaysVisible)
        return;
    FAlwaysVisible = value;
    Changed();
}

void TScrollBarOptions::SetScrollBars(TScrollStyle value)
{
    if (value == FScrollBars)
        return;
    FScrollBars = value;
    Changed();
}

void TScrollBarOptions::SetScrollBarStyle(TScrollBarStyle value)
{
    LTAssert(value == TScrollBarStyle::sbmRegular,
             "Flat scrollbars styles are disabled. Enable UseFlatScrollbars in LTConfig.inc forflat scrollbar support.");
    FScrollBarStyle = value;
}

void TScrollBarOptions::SetHorizontalIncrement(int value)
{
    FHorizontalIncrement = std::clamp(value, 1, 10000);
}

void TScrollBarOptions::SetVerticalIncrement(int value)
{
    FVerticalIncrement = std::clamp(value, 1, 10000);
}

void TScrollBarOptions::Assign(const TPersistent& source)
{
    const auto* options = dynamic_cast<const TScrollBarOptions*>(&source);
    if (!options) {
        TPersistent::Assign(source);
        return;
    }
    SetAlwaysVisible(options->FAlwaysVisible);
    SetHorizontalIncrement(options->FHorizontalIncrement);
    SetScrollBars(options->FScrollBars);
    SetScrollBarStyle(options->FScrollBarStyle);
    SetVerticalIncrement(options->FVerticalIncrement);
}
