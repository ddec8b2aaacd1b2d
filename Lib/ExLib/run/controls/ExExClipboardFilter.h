#pragma once
// The clipboard filter of the memo and masked-edit bases: WM_COPY, WM_CUT, WM_PASTE, WM_CLEAR
// and WM_UNDO (also EM_UNDO) reach the edit only when their command is in ClipboardCommands;
// otherwise they are swallowed with Result 1.

#include "ExLib/run/controls/ExExControls.h"

#include <optional>

std::optional<TExClipboardCommand> ClipboardCommandOf(UINT msg);

template <class TBase>
class TExExClipboardFilter : public TExExWinControlTemplate<TBase> {
public:
    using TExExWinControlTemplate<TBase>::TExExWinControlTemplate;

    TExClipboardCommands ClipboardCommands() const { return FClipboardCommands; }
    // Only stores the value; descendants override it to react.
    virtual void SetClipboardCommands(TExClipboardCommands value) { FClipboardCommands = value; }

protected:
    void WndProc(TMessage& m) override
    {
        if (const auto command = ClipboardCommandOf(m.Msg)) {
            if (FClipboardCommands.Contains(*command))
                this->BaseWndProc(m);
            else
                m.Result = 1;
            return;
        }
        TExExWinControlTemplate<TBase>::WndProc(m);
    }

private:
    TExClipboardCommands FClipboardCommands = AllClipboardCommands;
};
