#include "ExLib/run/controls/ExExControls.h"

#include "Platform/core/Application.h"

namespace {

struct CodeBit {
    TDialogCode Code;
    LRESULT Bit;
};

constexpr CodeBit CodeBits[] = {
    {dgcWantAllKeys, DLGC_WANTALLKEYS}, {dgcWantArrows, DLGC_WANTARROWS}, {dgcWantChars, DLGC_WANTCHARS},
    {dgcButton, DLGC_BUTTON},           {dgcHasSetSel, DLGC_HASSETSEL},   {dgcWantTab, DLGC_WANTTAB},
};

} // namespace

TDialogCodeSet DialogCodesFromResult(LRESULT result)
{
    TDialogCodeSet codes;
    for (const CodeBit& cb : CodeBits)
        if (result & cb.Bit)
            codes.Include(cb.Code);
    return codes;
}

LRESULT DialogCodesToResult(TDialogCodeSet codes)
{
    LRESULT result = 0;
    for (const CodeBit& cb : CodeBits)
        if (codes.Contains(cb.Code))
            result |= cb.Bit;
    return result;
}

LPARAM KeyDataFromShift(TShiftState shift)
{
    LPARAM data = 0;
    if (shift.Contains(ssShift))
        data |= 0x08000000;
    if (shift.Contains(ssCtrl))
        data |= 0x10000000;
    if (shift.Contains(ssAlt))
        data |= 0x20000000;
    return data;
}

void ApplyHintColor(THintInfo& hintInfo, TWinControlCore* control, TColor color)
{
    if (color == clNone) {
        if (TApplication* app = Application())
            hintInfo.HintColor = app->HintColor;
        return;
    }
    if (color != clDefault) {
        hintInfo.HintColor = color;
        return;
    }
    TWinControlCore* parent = control ? control->Parent() : nullptr;
    if (!parent)
        return;
    THintInfo copy = hintInfo;
    parent->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&copy));
    hintInfo.HintColor = copy.HintColor;
}
