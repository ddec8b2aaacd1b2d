#pragma once
// The panel extension base.

#include "ExExControls.h"

#include "Platform/ExtCtrls.h"

class TExExCustomPanel : public TExExWinControlTemplate<TCustomPanel> {
public:
    using TExExWinControlTemplate<TCustomPanel>::TExExWinControlTemplate;
};
