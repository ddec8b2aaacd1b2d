#pragma once
// The plain bases on which the library's concrete classes stand; none adds state or behaviour
// beyond the design-time marker AboutExLib of TExComponent.

#include "ExLib/run/controls/ExExControls.h"
#include "ExLib/run/controls/ExExExtCtrls.h"
#include "ExLib/run/controls/ExExForms.h"

#include "Platform/core/Component.h"

class TExComponent : public TComponent {
public:
    using TComponent::TComponent;
    TExLibAboutInfo AboutExLib() const { return TExLibAboutInfo::ExLibAbout; }
    void SetAboutExLib(TExLibAboutInfo) {}
};

class TExGraphicControl : public TExExGraphicControl {
public:
    using TExExGraphicControl::TExExGraphicControl;
};

class TExCustomPanel : public TExExCustomPanel {
public:
    using TExExCustomPanel::TExExCustomPanel;
};

class TExCustomControl : public TExExCustomControl {
public:
    using TExExCustomControl::TExExCustomControl;
};

class TExWinControl : public TExExWinControl {
public:
    using TExExWinControl::TExExWinControl;
};

class TExForm : public TExExForm {
public:
    using TExExForm::TExExForm;
};
