#pragma once
// TScrollBarOptions: which scroll bars a tree has, whether they always show, and the scroll steps.

#include "TreeView/Source/core/LTTypes.h"

#include "Platform/core/Component.h"

class TScrollBarOptions : public TPersistent {
public:
    explicit TScrollBarOptions(TBaseLazyTree* owner) : FOwner(owner) {}

    bool AlwaysVisible() const { return FAlwaysVisible; }
    void SetAlwaysVisible(bool value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle value);
    // Only the regular style exists; any other fails an assertion.
    TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
    void SetScrollBarStyle(TScrollBarStyle value);
    // Steps in pixels, 1 to 10000.
    int HorizontalIncrement() const { return FHorizontalIncrement; }
    void SetHorizontalIncrement(int value);
    int VerticalIncrement() const { return FVerticalIncrement; }
    void SetVerticalIncrement(int value);

    void Assign(const TPersistent& source) override;

private:
    void Changed();

    TBaseLazyTree* FOwner;
    bool FAlwaysVisible = false;
    TScrollStyle FScrollBars = TScrollStyle::ssBoth;
    TScrollBarStyle FScrollBarStyle = TScrollBarStyle::sbmRegular;
    int FHorizontalIncrement = 20;
    int FVerticalIncrement = 20;
};
