#pragma once
// The form extension base. Besides the template it keeps the keyboard cues in step with the
// user: when the form shows it initialises its UI state, and when a dialog key (Tab, an arrow
// or Alt) arrives it shows focus rectangles, and with Alt the accelerators too.

#include "ExLib/run/controls/ExExControls.h"

#include "Platform/controls/Forms.h"

class TExExForm : public TExExWinControlTemplate<TCustomForm> {
public:
    using TExExWinControlTemplate<TCustomForm>::TExExWinControlTemplate;

protected:
    // why: these run where the base class dispatches the notification, so also through the
    // defaults of ShowingChanged and of dialog keys.
    void BaseWndProc(TMessage& message) override;
};
