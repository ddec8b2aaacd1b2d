#pragma once
// The plain bases on which the library's concrete classes stand; none adds state or behaviour
// beyond the design-time marker AboutExLib of TExComponent.

#include "ExExControls.h"
#include "ExExExtCtrls.h"
#include "ExExForms.h"

#include "Platform/Component.h"

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
