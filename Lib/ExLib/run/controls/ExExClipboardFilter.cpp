#include "ExLib/run/controls/ExExClipboardFilter.h"

std::optional<TExClipboardCommand> ClipboardCommandOf(UINT msg)
{
    switch (msg) {
    case WM_COPY: return caCopy;
    case WM_CUT: return caCut;
    case WM_PASTE: return caPaste;
    case WM_CLEAR: return caClear;
    case WM_UNDO:
    case EM_UNDO: return caUndo;
    default: return std::nullopt;
    }
}
