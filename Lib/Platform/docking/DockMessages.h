#pragma once
// The window messages the docking support generates on top of Messages.h: activation, the
// hit-test codes of a window's own caption and border (FloatingFrame.h), and the record a docked control's notification carries to its site.

#include "Platform/core/Messages.h"

enum : UINT {
    WM_ACTIVATE = 0x0006,
    WM_WINDOWPOSCHANGED = 0x0047,
    WM_CAPTURECHANGED = 0x0215,
};

// WParam of WM_ACTIVATE.
enum : WPARAM { WA_INACTIVE = 0, WA_ACTIVE = 1 };

// Hit-test codes: WParam of the non-client messages (LParam holds the screen point).
enum : int {
    HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13,
    HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17, HTBORDER = 18, HTCLOSE = 20,
};

// LParam of CM_DOCKNOTIFICATION (WParam: the docked control): the message that the docked
// control received, CM_VISIBLECHANGED (WParam 1 shown, 0 hidden) or WM_SETTEXT (LParam: a
// const std::string* with the new text).
struct TDockNotifyRec {
    UINT ClientMsg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
};
