#include "ExLib/run/controls/ExExForms.h"

#include "Platform/controls/Keys.h"

namespace {

constexpr WPARAM UiState(WPARAM action, WPARAM flags)
{
    return action | (flags << 16);
}

} // namespace

void TExExForm::BaseWndProc(TMessage& message)
{
    if (message.Msg == CM_SHOWINGCHANGED && Showing()) {
        Perform(WM_CHANGEUISTATE, UiState(UIS_INITIALIZE, 0), 0);
    } else if (message.Msg == CM_DIALOGKEY) {
        switch (message.WParam) {
        case VK_TAB:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            Perform(WM_CHANGEUISTATE, UiState(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            break;
        case VK_MENU:
            Perform(WM_CHANGEUISTATE, UiState(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
            break;
        default:
            break;
        }
    }
    TExExWinControlTemplate<TCustomForm>::BaseWndProc(message);
}
