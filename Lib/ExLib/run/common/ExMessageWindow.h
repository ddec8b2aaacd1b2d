#pragma once
// Hidden message windows: objects without a screen presence through which non-visual objects
// (the process runner, the docking framework) receive messages on the GUI thread. Other
// threads post to them; the method runs in the GUI thread's event loop, in posting order.

#include "Platform/core/MessageWindow.h"

#include <memory>
#include <string>

using THiddenMessageWindow = std::unique_ptr<TMessageWindow>;

// The window class name used when none is given.
inline constexpr const char* HiddenWindowClassName = "TPUtilWindowEx";

// A window whose messages go to `method`; without a method every message is answered with 0.
// The window belongs to the calling thread.
THiddenMessageWindow CreateHiddenMessageWindow(const std::string& className, TWndMethod method);
// Destroys the window (pending messages for it are dropped) and leaves `window` empty.
void DestroyHiddenMessageWindow(THiddenMessageWindow& window);

// Takes back one pending posted message `msg` for `receiver` (a control's widget or a message
// window); true when one was pending.
bool DiscardPendingMessage(QObject* receiver, UINT msg);
