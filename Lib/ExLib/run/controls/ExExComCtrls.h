#pragma once
// The page-control and status-bar extension bases.

#include "ExLib/run/controls/ExExControls.h"

#include "Platform/controls/ComCtrls.h"

class TExExPageControl : public TExExWinControlTemplate<TPageControl> {
public:
    using TExExWinControlTemplate<TPageControl>::TExExWinControlTemplate;
};

class TExExStatusBar : public TExExWinControlTemplate<TStatusBar> {
public:
    using TExExWinControlTemplate<TStatusBar>::TExExWinControlTemplate;
};
