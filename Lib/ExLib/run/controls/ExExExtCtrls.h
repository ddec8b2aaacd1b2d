#pragma once
// The panel extension base.

#include "ExLib/run/controls/ExExControls.h"

#include "Platform/controls/ExtCtrls.h"

class TExExCustomPanel : public TExExWinControlTemplate<TCustomPanel> {
public:
    using TExExWinControlTemplate<TCustomPanel>::TExExWinControlTemplate;
};
