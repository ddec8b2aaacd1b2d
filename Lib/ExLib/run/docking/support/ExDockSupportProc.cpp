#include "ExLib/run/docking/support/ExDockSupportProc.h"

#include "Platform/controls/FormList.h"
#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"
#include "Platform/docking/FloatingFrame.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <memory>

namespace {

// Process-wide state of the docking framework's procedures.
struct TDockProcState {
    int LockCount = 0;
    bool LockTaken = false;
    bool LayoutLoading = false;
    std::unique_ptr<TFont> CaptionFont;
    std::unique_ptr<TExMsgWindow> ChangeWindow;
};

TDockProcState& State()
{
    static TDockProcState state;
    return state;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Turns the application's palette and font changes into the system-change messages.
class TSystemChangeFilter : public QObject {
public:
    explicit TSystemChangeFilter(TMessageWindow* window) : QObject(window), FWindow(window)
    {
        if (qApp)
            qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != qApp)
            return false;
        if (event->type() == QEvent::ApplicationPaletteChange)
            FWindow->Perform(WM_SYSCOLORCHANGE);
        else if (event->type() == QEvent::ApplicationFontChange)
            FWindow->Perform(WM_WININICHANGE);
        return false;
    }

private:
    TMessageWindow* FWindow;
};

} // namespace

std::string StreamToHexText(TMemoryStream& stream)
{
    static const char digits[] = "0123456789ABCDEF";
    stream.SetPosition(0);
    std::string text;
    const std::string_view bytes = stream.View();
    text.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    stream.SetPosition(stream.Size());
    return text;
}

void HexTextToStream(TMemoryStream& stream, const std::string& text)
{
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        const int high = HexDigit(text[i]);
        const int low = HexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            throw EConvertError("'$" + text.substr(i, 2) + "' is not a valid integer value");
        const auto byte = static_cast<unsigned char>(high * 16 + low);
        stream.WriteBuffer(&byte, 1);
    }
}

TCustomForm* FindFormByName(const std::string& name)
{
    for (TCustomForm* form : CustomFormList())
        if (form->Name() == name)
            return form;
    return nullptr;
}

void LockDesktopUpdates()
{
    TDockProcState& s = State();
    // The window system draws each window by itself here; the lock only has to nest.
    if (s.LockCount++ == 0)
        s.LockTaken = true;
}

void UnlockDesktopUpdates()
{
    TDockProcState& s = State();
    if (s.LockCount > 0 && --s.LockCount == 0)
        s.LockTaken = false;
}

bool DesktopUpdatesLocked()
{
    return State().LockTaken;
}

TDesktopUpdateLock::TDesktopUpdateLock(bool active) : FActive(active)
{
    if (FActive)
        LockDesktopUpdates();
}

TDesktopUpdateLock::~TDesktopUpdateLock()
{
    if (FActive)
        UnlockDesktopUpdates();
}

int SystemCaptionHeight() { return TFloatingFrame::CaptionHeight(); }
int SystemBorderWidth() { return TFloatingFrame::BorderWidth(); }
int SystemCaptionBorderHeight() { return SystemCaptionHeight() + SystemBorderWidth(); }
TColor ActiveCaptionColor() { return clActiveCaption; }
TColor ActiveCaptionGradientColor() { return clGradientActiveCaption; }
TColor InactiveCaptionColor() { return clInactiveCaption; }
TColor InactiveCaptionGradientColor() { return clGradientInactiveCaption; }
TColor ActiveCaptionTextColor() { return clCaptionText; }
TColor InactiveCaptionTextColor() { return clInactiveCaptionText; }

TFont& SystemCaptionFont()
{
    TDockProcState& s = State();
    if (!s.CaptionFont)
        s.CaptionFont = std::make_unique<TFont>();
    const QFont system = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    s.CaptionFont->SetName(StdStr(system.family()));
    if (system.pixelSize() > 0)
        s.CaptionFont->SetHeight(-system.pixelSize());
    else if (system.pointSize() > 0)
        s.CaptionFont->SetSize(system.pointSize());
    s.CaptionFont->SetStyle(system.bold() ? TFontStyles{fsBold} : TFontStyles{});
    return *s.CaptionFont;
}

int DockOrientationOf(const TWinControlCore* control)
{
    if (!control)
        throw EInvalidArgument("Assertion failure");
    switch (AlignOf(*control)) {
    case TAlign::alTop:
    case TAlign::alBottom: return 1;
    case TAlign::alLeft:
    case TAlign::alRight: return 2;
    default: return 0;
    }
}

void MakeMouseMessage(const TWinControlCore& control, UINT msg, WPARAM keys, TPoint clientPoint, TMessage& message)
{
    const TPoint screen = control.ClientToScreen(clientPoint);
    message.Msg = msg;
    message.WParam = keys;
    message.LParam = MakeLParam(screen.X, screen.Y);
    message.Result = 0;
}

bool LayoutLoading() { return State().LayoutLoading; }
void SetLayoutLoading(bool value) { State().LayoutLoading = value; }

// ---- the system-change window

TExMsgWindow::TExMsgWindow()
{
    FHandle = CreateHiddenMessageWindow("", [this](TMessage& m) { MessageHook(m); });
    new TSystemChangeFilter(FHandle.get()); // owned by the window as its child object
}

TExMsgWindow::~TExMsgWindow()
{
    if (FHandle)
        DestroyHiddenMessageWindow(FHandle);
}

void TExMsgWindow::AddHandler(void* target, TExSystemChangeProc proc)
{
    FTargets.push_back(target);
    FHandlers.push_back(std::move(proc));
}

void TExMsgWindow::RemoveHandler(void* target)
{
    for (size_t i = 0; i < FTargets.size(); ++i)
        if (FTargets[i] == target) {
            FTargets.erase(FTargets.begin() + static_cast<std::ptrdiff_t>(i));
            FHandlers.erase(FHandlers.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

void TExMsgWindow::MessageHook(TMessage& message)
{
    if (message.Msg != WM_WININICHANGE && message.Msg != WM_SYSCOLORCHANGE) {
        message.Result = 0;
        return;
    }
    try {
        // why: a handler may register or remove others; call the ones present now.
        const std::vector<void*> targets = FTargets;
        const std::vector<TExSystemChangeProc> handlers = FHandlers;
        for (size_t i = 0; i < targets.size(); ++i)
            if (handlers[i])
                handlers[i](targets[i], *this);
    } catch (...) {
        HandleCurrentException();
    }
}

void AddSystemChangeHandler(void* target, TExSystemChangeProc proc)
{
    TDockProcState& s = State();
    if (!s.ChangeWindow)
        s.ChangeWindow = std::make_unique<TExMsgWindow>();
    s.ChangeWindow->AddHandler(target, std::move(proc));
}

void RemoveSystemChangeHandler(void* target)
{
    TDockProcState& s = State();
    if (!s.ChangeWindow)
        return;
    s.ChangeWindow->RemoveHandler(target);
    if (s.ChangeWindow->HandlerCount() == 0)
        s.ChangeWindow.reset();
}

TExMsgWindow* SystemChangeWindow()
{
    return State().ChangeWindow.get();
}
