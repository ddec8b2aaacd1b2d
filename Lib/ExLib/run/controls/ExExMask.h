#pragma once
// The masked-edit extension base: the clipboard filter, BeepOnError and ErrorBeep.

#include "ExLib/run/controls/ExExClipboardFilter.h"

#include "Platform/controls/Mask.h"

class TExExCustomMaskEdit : public TExExClipboardFilter<TCustomMaskEdit> {
public:
    using TExExClipboardFilter<TCustomMaskEdit>::TExExClipboardFilter;

    bool BeepOnError() const { return FBeepOnError; }
    // Only stores the value; descendants override it to react.
    virtual void SetBeepOnError(bool value) { FBeepOnError = value; }

protected:
    // Descendants call it on rejected input.
    virtual void ErrorBeep();

private:
    bool FBeepOnError = true;
};
