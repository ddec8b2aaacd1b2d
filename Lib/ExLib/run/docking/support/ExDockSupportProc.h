#pragma once
// Small procedures the docking framework shares: hex text for binary site streams, finding a
// form by name, a counted lock of screen updates, the window system's caption metrics, colours
// and font, the dock orientation of an align, mouse messages built from a client point, the
// layout-loading flag, and a shared hidden window that tells registered objects of system
// setting and colour changes.

#include "ExLib/run/common/ExMessageWindow.h"

#include "Platform/controls/AlignLayout.h"
#include "Platform/controls/Forms.h"
#include "Platform/files/Streams.h"
#include "Platform/graphics/Graphics.h"

#include <functional>
#include <string>
#include <vector>

// Messages of system changes, which the shared window receives.
enum : UINT { WM_SYSCOLORCHANGE = 0x0015, WM_WININICHANGE = 0x001A };

// Each byte as two upper-case hexadecimal digits, from the stream's start to its end.
std::string StreamToHexText(TMemoryStream& stream);
// Pairs of hexadecimal digits written as bytes at the stream's position; a last single digit is
// ignored; a pair that is not hexadecimal raises EConvertError.
void HexTextToStream(TMemoryStream& stream, const std::string& text);

// The first form of the platform's form list whose name is exactly `name`, or null.
TCustomForm* FindFormByName(const std::string& name);

// Nested: only the outermost lock and unlock reach the window system.
void LockDesktopUpdates();
void UnlockDesktopUpdates();
bool DesktopUpdatesLocked();
// Locks for a scope (nothing when `active` is false).
class TDesktopUpdateLock {
public:
    explicit TDesktopUpdateLock(bool active = true);
    ~TDesktopUpdateLock();
    TDesktopUpdateLock(const TDesktopUpdateLock&) = delete;
    TDesktopUpdateLock& operator=(const TDesktopUpdateLock&) = delete;

private:
    bool FActive;
};

// The non-client metrics of the program's frameless windows.
int SystemCaptionHeight();
int SystemBorderWidth();
int SystemCaptionBorderHeight();
TColor ActiveCaptionColor();
TColor ActiveCaptionGradientColor();
TColor InactiveCaptionColor();
TColor InactiveCaptionGradientColor();
TColor ActiveCaptionTextColor();
TColor InactiveCaptionTextColor();
// The shared caption font, refreshed from the system on every call; callers do not free it.
TFont& SystemCaptionFont();

// 1 horizontal for alTop and alBottom, 2 vertical for alLeft and alRight, 0 otherwise.
int DockOrientationOf(const TWinControlCore* control);

// A mouse message with the client point mapped to the screen as 16-bit X and Y.
void MakeMouseMessage(const TWinControlCore& control, UINT msg, WPARAM keys, TPoint clientPoint, TMessage& message);

// True while a dock layout is applied.
bool LayoutLoading();
void SetLayoutLoading(bool value);

// Called with the registered object and the window for WM_WININICHANGE and WM_SYSCOLORCHANGE.
class TExMsgWindow;
using TExSystemChangeProc = std::function<void(void* target, TExMsgWindow& window)>;

class TExMsgWindow {
public:
    TExMsgWindow();
    virtual ~TExMsgWindow();
    TExMsgWindow(const TExMsgWindow&) = delete;
    TExMsgWindow& operator=(const TExMsgWindow&) = delete;

    // An object may be registered more than once.
    virtual void AddHandler(void* target, TExSystemChangeProc proc);
    // Removes the first registration of the object, when any.
    virtual void RemoveHandler(void* target);
    int HandlerCount() const { return static_cast<int>(FTargets.size()); }
    TMessageWindow* Handle() const { return FHandle.get(); }

private:
    void MessageHook(TMessage& message);

    std::vector<void*> FTargets;
    std::vector<TExSystemChangeProc> FHandlers;
    THiddenMessageWindow FHandle;
};

// The shared window lives from the first registration to the last removal.
void AddSystemChangeHandler(void* target, TExSystemChangeProc proc);
void RemoveSystemChangeHandler(void* target);
TExMsgWindow* SystemChangeWindow();
