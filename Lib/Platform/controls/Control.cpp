#include "Platform/controls/Control.h"

#include "Platform/core/Application.h"
#include "Platform/graphics/PainterState.h"
#include "Platform/core/PostedMessage.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextChars.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QToolTip>
#include <QWheelEvent>

namespace {

bool IsDialogKey(WORD key)
{
    switch (key) {
    case VK_TAB:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_CANCEL:
    case VK_EXECUTE:
        return true;
    default:
        return false;
    }
}

// The WM_GETDLGCODE bit that claims `key`.
LRESULT DialogCodeMask(WORD key)
{
    switch (key) {
    case VK_TAB: return DLGC_WANTTAB;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: return DLGC_WANTARROWS;
    default: return DLGC_WANTALLKEYS;
    }
}

WPARAM MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    WPARAM flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

TShiftState ShiftFromKeyData(LPARAM keyData)
{
    TShiftState s = CurrentShiftState() - TShiftState{ssAlt, ssLeft, ssRight, ssMiddle};
    if (keyData & KF_ALTDOWN_BIT)
        s.Include(ssAlt);
    return s;
}

WORD NumpadKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<WORD>(VK_NUMPAD0 + (qtKey - Qt::Key_0));
    switch (qtKey) {
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Slash: return VK_DIVIDE;
    case Qt::Key_Period:
    case Qt::Key_Comma: return VK_DECIMAL;
    default: return VirtualKeyFromQt(qtKey);
    }
}

} // namespace

TShiftState ShiftStateFromMouseFlags(WPARAM flags)
{
    TShiftState s;
    if (flags & MK_SHIFT)
        s.Include(ssShift);
    if (flags & MK_CONTROL)
        s.Include(ssCtrl);
    if (flags & MK_LBUTTON)
        s.Include(ssLeft);
    if (flags & MK_RBUTTON)
        s.Include(ssRight);
    if (flags & MK_MBUTTON)
        s.Include(ssMiddle);
    // Alt is not part of the mouse flags; ask the keyboard.
    if (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier)
        s.Include(ssAlt);
    return s;
}

struct TWinControlCore::QtEventContext {
    QEvent* Event;
    bool ForViewport;
    UINT DefaultMsg = 0;
    bool DefaultDone = false;
    bool DefaultResult = false;
};

TWinControlCore::TWinControlCore(TComponent* AOwner, QWidget* self) : TComponent(AOwner), FWidget(self)
{
    WindowProc = [this](TMessage& m) { WndProc(m); };
}

TWinControlCore::~TWinControlCore()
{
    WindowProc = nullptr;
}

std::string GetShortHint(const std::string& hint)
{
    const size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

TWinControlCore* TWinControlCore::ControlOf(QWidget* widget)
{
    return widget ? dynamic_cast<TWinControlCore*>(widget) : nullptr;
}

TWinControlCore* TWinControlCore::Parent() const
{
    return ControlOf(FWidget->parentWidget());
}

TWinControlCore* TWinControlCore::FormControl() const
{
    TWinControlCore* top = ControlOf(FWidget->window());
    return top && top->IsForm() ? top : nullptr;
}

void TWinControlCore::SetParent(QWidget* parent)
{
    QWidget* old = FWidget->parentWidget();
    if (old == parent)
        return;
    const bool explicitlyHidden =
        FWidget->testAttribute(Qt::WA_WState_ExplicitShowHide) && FWidget->testAttribute(Qt::WA_WState_Hidden);
    const auto self = reinterpret_cast<WPARAM>(this);
    if (TWinControlCore* oldControl = ControlOf(old)) {
        oldControl->Perform(CM_CONTROLCHANGE, self, 0);
        FWidget->setParent(nullptr);
        oldControl->Perform(CM_CONTROLLISTCHANGE, self, 0);
    }
    TWinControlCore* newControl = ControlOf(parent);
    if (newControl)
        newControl->Perform(CM_CONTROLLISTCHANGE, self, 1);
    FWidget->setParent(parent);
    // why: Qt hides a widget that changes its parent; a control keeps its visibility.
    if (parent && !explicitlyHidden)
        FWidget->show();
    if (newControl)
        newControl->Perform(CM_CONTROLCHANGE, self, 1);
}

void TWinControlCore::RemoveControl(TWinControlCore* child)
{
    if (child && child->Parent() == this)
        child->SetParent(nullptr);
}

void TWinControlCore::DetachFromParent()
{
    TWinControlCore* parent = Parent();
    if (!parent || parent->ComponentState().Contains(csDestroying))
        return;
    // invariant: destructors never throw; a failing notification is reported, not raised.
    try {
        const auto self = reinterpret_cast<WPARAM>(this);
        parent->Perform(CM_CONTROLCHANGE, self, 0);
        FWidget->setParent(nullptr);
        parent->Perform(CM_CONTROLLISTCHANGE, self, 0);
    } catch (...) {
        HandleCurrentException();
    }
}

bool TWinControlCore::WantsDialogKey(WORD key)
{
    if (!IsDialogKey(key))
        return true;
    return (Perform(WM_GETDLGCODE, key, 0) & DialogCodeMask(key)) != 0;
}

void TWinControlCore::BroadcastToChildren(TMessage& message)
{
    // why: a handler may add or remove children; walk a snapshot.
    const QObjectList children = FWidget->children();
    for (QObject* child : children) {
        auto* widget = qobject_cast<QWidget*>(child);
        TWinControlCore* control = ControlOf(widget);
        if (!control)
            continue;
        const LRESULT result = control->Perform(message.Msg, message.WParam, message.LParam);
        if (result != 0) {
            message.Result = result;
            return;
        }
    }
}

QWidget* TWinControlCore::ClientWidget() const
{
    if (FClientIsViewport)
        if (auto* area = qobject_cast<QAbstractScrollArea*>(FWidget))
            return area->viewport();
    return FWidget;
}

// ---- sending and posting

LRESULT TWinControlCore::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage m{msg, wParam, lParam, 0};
    // A performed message never returns to a Qt event that happens to be in progress.
    QtEventContext* outer = FEventContext;
    FEventContext = nullptr;
    try {
        if (WindowProc)
            WindowProc(m);
    } catch (...) {
        FEventContext = outer;
        throw;
    }
    FEventContext = outer;
    return m.Result;
}

void TWinControlCore::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    PostMessageTo(FWidget, TMessage{msg, wParam, lParam, 0});
}

LRESULT TWinControlCore::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return PerformOnThreadOf(FWidget, [&] { return Perform(msg, wParam, lParam); });
}

void TWinControlCore::SetTimer(std::uintptr_t id, unsigned milliseconds)
{
    KillTimer(id);
    const int qtId = FWidget->startTimer(static_cast<int>(std::max(1u, milliseconds)));
    if (qtId != 0)
        FTimers[id] = qtId;
}

void TWinControlCore::KillTimer(std::uintptr_t id)
{
    const auto it = FTimers.find(id);
    if (it == FTimers.end())
        return;
    FWidget->killTimer(it->second);
    FTimers.erase(it);
}

// ---- the Qt side

bool TWinControlCore::IsClientEvent(QEvent::Type type) const
{
    switch (type) {
    case QEvent::Paint:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::Resize:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool TWinControlCore::DispatchEvent(QEvent* event, bool forViewport)
{
    // Client-area events of a scroll area come from its viewport; those of the frame stay Qt's.
    if (FClientIsViewport && IsClientEvent(event->type()) && !forViewport)
        return CallQtDefault(event, false);
    if (!FClientIsViewport && forViewport)
        return CallQtDefault(event, true);
    QtEventContext context{event, forViewport};
    QtEventContext* outer = FEventContext;
    FEventContext = &context;
    bool translated = false;
    try {
        translated = Translate(event, forViewport);
    } catch (...) {
        FEventContext = outer;
        HandleCurrentException();
        return true;
    }
    FEventContext = outer;
    if (!translated)
        return CallQtDefault(event, forViewport);
    if (context.DefaultDone)
        return context.DefaultResult;
    event->accept();
    return true;
}

void TWinControlCore::Deliver(TMessage& message, bool defaultIsQt)
{
    if (FEventContext) {
        FEventContext->DefaultMsg = defaultIsQt ? message.Msg : 0;
    }
    if (WindowProc)
        WindowProc(message);
}

void TWinControlCore::KeepEvent()
{
    QtEventContext* c = FEventContext;
    if (!c)
        return;
    c->Event->accept();
    c->DefaultResult = true;
}

void TWinControlCore::DefaultHandler(TMessage& message)
{
    QtEventContext* c = FEventContext;
    if (c && !c->DefaultDone && c->DefaultMsg != 0 && c->DefaultMsg == message.Msg) {
        c->DefaultDone = true;
        c->DefaultResult = CallQtDefault(c->Event, c->ForViewport);
    }
}

bool TWinControlCore::Translate(QEvent* event, bool forViewport)
{
    const QEvent::Type type = event->type();
    if (type == PostedMessageEventType()) {
        auto* posted = static_cast<TPostedMessageEvent*>(event);
        if (posted->Discarded())
            return true;
        TMessage m = posted->Message;
        Deliver(m, false);
        return true;
    }
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return TranslateKey(event);
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return TranslateMouse(event);
    case QEvent::Wheel:
        return TranslateWheel(event);
    case QEvent::InputMethod: {
        auto* ime = static_cast<QInputMethodEvent*>(event);
        if (ime->commitString().isEmpty())
            return false;
        const std::string text = StdStr(ime->commitString());
        TMessage m{WM_IME_COMPOSITION, reinterpret_cast<WPARAM>(&text), GCS_RESULTSTR, 0};
        Deliver(m, true);
        return true;
    }
    case QEvent::Paint: {
        {
            QPainter painter(ClientWidget());
            TMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(&painter), 0, 0};
            Deliver(erase, false);
        }
        TMessage m{WM_PAINT, 0, reinterpret_cast<LPARAM>(event), 0};
        Deliver(m, true);
        return true;
    }
    case QEvent::Resize: {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        TMessage m{WM_SIZE, 0, MakeLParam(size.width(), size.height()), 0};
        Deliver(m, true);
        return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // why: a completion list or menu takes no focus from the control it belongs to; treating
        // its opening as leaving and entering made a combo edit select its text between two keys.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason)
            return false;
        QWidget* other = QApplication::focusWidget();
        TMessage m{type == QEvent::FocusIn ? UINT(WM_SETFOCUS) : UINT(WM_KILLFOCUS),
                   reinterpret_cast<WPARAM>(other == FWidget ? nullptr : other), 0, 0};
        Deliver(m, true);
        return true;
    }
    case QEvent::Timer: {
        const int qtId = static_cast<QTimerEvent*>(event)->timerId();
        for (const auto& [id, q] : FTimers)
            if (q == qtId) {
                TMessage m{WM_TIMER, id, 0, 0};
                Deliver(m, false);
                return true;
            }
        return false;
    }
    case QEvent::Enter:
    case QEvent::Leave: {
        TMessage m{type == QEvent::Enter ? UINT(CM_MOUSEENTER) : UINT(CM_MOUSELEAVE), 0,
                   reinterpret_cast<LPARAM>(this), 0};
        Deliver(m, true);
        return true;
    }
    case QEvent::ShowToParent:
    case QEvent::HideToParent: {
        TMessage m{CM_VISIBLECHANGED, type == QEvent::ShowToParent ? 1u : 0u, 0, 0};
        Deliver(m, true);
        return true;
    }
    case QEvent::Show:
    case QEvent::Hide: {
        TMessage m{CM_SHOWINGCHANGED, 0, 0, 0};
        Deliver(m, true);
        return true;
    }
    case QEvent::EnabledChange: {
        TMessage m{CM_ENABLEDCHANGED, 0, 0, 0};
        Deliver(m, true);
        return true;
    }
    case QEvent::FontChange:
        DeliverParentNotification(CM_PARENTFONTCHANGED, CM_FONTCHANGED, !FWidget->testAttribute(Qt::WA_SetFont));
        return true;
    case QEvent::PaletteChange:
        DeliverParentNotification(CM_PARENTCOLORCHANGED, CM_COLORCHANGED,
                                  !FWidget->testAttribute(Qt::WA_SetPalette));
        return true;
    case QEvent::CursorChange: {
        TMessage m{CM_CURSORCHANGED, 0, 0, 0};
        Deliver(m, true);
        return true;
    }
    case QEvent::ToolTip:
        return TranslateHint(event);
    case QEvent::Close: {
        TMessage m{WM_CLOSE, 0, 0, 0};
        Deliver(m, true);
        return true;
    }
    default:
        (void)forViewport;
        return false;
    }
}

void TWinControlCore::DeliverParentNotification(UINT parentMsg, UINT ownMsg, bool inherited)
{
    // why: the class library tells a child of its parent's change first; the child then takes
    // the parent's value, which is its own change.
    if (inherited) {
        TMessage fromParent{parentMsg, 0, 0, 0};
        Deliver(fromParent, false);
    }
    TMessage m{ownMsg, 0, 0, 0};
    Deliver(m, true);
}

bool TWinControlCore::TranslateHint(QEvent* event)
{
    const std::string hint = Hint();
    if (hint.empty())
        return false; // Qt passes the request on to the parent
    auto* help = static_cast<QHelpEvent*>(event);
    THintInfo info;
    info.HintControl = this;
    info.CursorPos = TPoint::FromQt(help->pos());
    info.HintPos = TPoint::FromQt(help->globalPos());
    info.CursorRect = ClientRect();
    if (TApplication* app = Application())
        info.HintColor = app->HintColor;
    info.HintStr = GetShortHint(hint);
    TMessage m{CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info), 0};
    Deliver(m, false);
    if (m.Result != 0 || info.HintStr.empty()) {
        QToolTip::hideText();
        return true;
    }
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, ToQColor(info.HintColor));
    QToolTip::setPalette(palette);
    QToolTip::showText(info.HintPos.ToQt(), QStr(info.HintStr), ClientWidget(), info.CursorRect.ToQt(),
                       info.HideTimeout);
    return true;
}

bool TWinControlCore::TranslateKey(QEvent* event)
{
    auto* ke = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = ke->modifiers();
    const bool alt = mods & Qt::AltModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const WORD vk = (mods & Qt::KeypadModifier) ? NumpadKey(ke->key()) : VirtualKeyFromQt(ke->key());
    LPARAM keyData = 1;
    if (alt)
        keyData |= KF_ALTDOWN_BIT;
    if (ke->isAutoRepeat())
        keyData |= KF_REPEAT_BIT;
    const bool sys = alt && !ctrl;

    if (event->type() == QEvent::KeyRelease) {
        if (vk == 0)
            return false;
        TMessage m{sys ? UINT(WM_SYSKEYUP) : UINT(WM_KEYUP), vk, keyData | static_cast<LPARAM>(0xC0000000u), 0};
        Deliver(m, true);
        return true;
    }

    // The characters this key types, as the system's character messages carry them.
    std::u32string chars;
    if (ctrl && !alt && vk >= 'A' && vk <= 'Z') {
        chars += static_cast<char32_t>(vk - 0x40);
    } else {
        for (char32_t c : ke->text().toUcs4())
            if (c != 0x7F)
                chars += c;
    }
    const bool printable = !chars.empty() && chars[0] >= 0x20;

    if (vk != 0) {
        TMessage m{sys ? UINT(WM_SYSKEYDOWN) : UINT(WM_KEYDOWN), vk, keyData, 0};
        Deliver(m, !printable);
    }
    for (char32_t c : chars) {
        TMessage m{sys ? UINT(WM_SYSCHAR) : UINT(WM_CHAR), c, keyData, 0};
        Deliver(m, printable && c == chars[0]);
    }
    return vk != 0 || !chars.empty();
}

bool TWinControlCore::TranslateMouse(QEvent* event)
{
    auto* me = static_cast<QMouseEvent*>(event);
    const QPoint pos = me->position().toPoint();
    const WPARAM flags = MouseKeyFlags(me->buttons(), me->modifiers());
    const LPARAM where = MakeLParam(pos.x(), pos.y());
    UINT msg = WM_MOUSEMOVE;
    const Qt::MouseButton button = me->button();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        msg = button == Qt::RightButton ? WM_RBUTTONDOWN : (button == Qt::MiddleButton ? WM_MBUTTONDOWN : WM_LBUTTONDOWN);
        break;
    case QEvent::MouseButtonRelease:
        msg = button == Qt::RightButton ? WM_RBUTTONUP : (button == Qt::MiddleButton ? WM_MBUTTONUP : WM_LBUTTONUP);
        break;
    case QEvent::MouseButtonDblClick:
        msg = button == Qt::RightButton ? WM_RBUTTONDBLCLK
                                        : (button == Qt::MiddleButton ? WM_MBUTTONDBLCLK : WM_LBUTTONDBLCLK);
        break;
    default:
        break;
    }
    if (event->type() != QEvent::MouseMove && button != Qt::LeftButton && button != Qt::RightButton &&
        button != Qt::MiddleButton)
        return false;
    TMessage m{msg, flags, where, 0};
    Deliver(m, true);
    return true;
}

bool TWinControlCore::TranslateWheel(QEvent* event)
{
    auto* we = static_cast<QWheelEvent*>(event);
    const QPoint delta = we->angleDelta();
    const bool horizontal = delta.y() == 0 && delta.x() != 0;
    const int amount = horizontal ? delta.x() : delta.y();
    if (amount == 0)
        return false;
    const WPARAM flags = MouseKeyFlags(we->buttons(), we->modifiers()) |
                         (static_cast<WPARAM>(static_cast<std::uint16_t>(amount)) << 16);
    const QPoint global = we->globalPosition().toPoint();
    TMessage m{horizontal ? UINT(WM_MOUSEHWHEEL) : UINT(WM_MOUSEWHEEL), flags, MakeLParam(global.x(), global.y()), 0};
    Deliver(m, true);
    return true;
}

// ---- the window procedure

void TWinControlCore::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(m.WParam);
        KeyDown(key, ShiftFromKeyData(m.LParam));
        if (key == 0)
            return;
        // A dialog key the control does not want is the form's first; one it wants stays with
        // it and does not travel on to its parents.
        if (m.Msg == WM_KEYDOWN && IsDialogKey(key)) {
            if (TWinControlCore* form = FormControl()) {
                if (!WantsDialogKey(key)) {
                    if (form->Perform(CM_DIALOGKEY, key, m.LParam) != 0) {
                        m.Result = 1;
                        return;
                    }
                } else {
                    DefaultHandler(m);
                    KeepEvent();
                    return;
                }
            }
        }
        DefaultHandler(m);
        return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(m.WParam);
        KeyUp(key, ShiftFromKeyData(m.LParam));
        if (key != 0)
            DefaultHandler(m);
        return;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
        char32_t key = static_cast<char32_t>(m.WParam);
        KeyPress(key);
        if (key == 0)
            return;
        // An Alt+character the control leaves alone may be an accelerator on the form.
        if (m.Msg == WM_SYSCHAR)
            if (TWinControlCore* form = FormControl(); form && form->Perform(CM_DIALOGCHAR, key, m.LParam) != 0) {
                m.Result = 1;
                return;
            }
        m.WParam = key;
        DefaultHandler(m);
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
        DefaultHandler(m);
        const TMouseButton button = (m.Msg == WM_RBUTTONDOWN || m.Msg == WM_RBUTTONDBLCLK) ? TMouseButton::mbRight
                                    : (m.Msg == WM_MBUTTONDOWN || m.Msg == WM_MBUTTONDBLCLK) ? TMouseButton::mbMiddle
                                                                                               : TMouseButton::mbLeft;
        const bool dbl = m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
        TShiftState shift = ShiftStateFromMouseFlags(m.WParam);
        if (dbl)
            shift.Include(ssDouble);
        if (button == TMouseButton::mbLeft)
            FClicked = !dbl;
        MouseDown(button, shift, LowWordSigned(m.LParam), HighWordSigned(m.LParam));
        if (dbl && button == TMouseButton::mbLeft)
            DblClick();
        return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        DefaultHandler(m);
        const TMouseButton button = m.Msg == WM_RBUTTONUP ? TMouseButton::mbRight
                                    : m.Msg == WM_MBUTTONUP ? TMouseButton::mbMiddle
                                                            : TMouseButton::mbLeft;
        const int x = LowWordSigned(m.LParam);
        const int y = HighWordSigned(m.LParam);
        const bool click = button == TMouseButton::mbLeft && FClicked;
        if (button == TMouseButton::mbLeft)
            FClicked = false;
        MouseUp(button, ShiftStateFromMouseFlags(m.WParam), x, y);
        if (click && ClientRect().Contains({x, y}))
            Click();
        return;
    }
    case WM_MOUSEMOVE:
        DefaultHandler(m);
        MouseMove(ShiftStateFromMouseFlags(m.WParam), LowWordSigned(m.LParam), HighWordSigned(m.LParam));
        return;
    case WM_MOUSEWHEEL: {
        const int delta = static_cast<std::int16_t>((m.WParam >> 16) & 0xFFFF);
        if (DoMouseWheel(ShiftStateFromMouseFlags(m.WParam & 0xFFFF), delta,
                         {LowWordSigned(m.LParam), HighWordSigned(m.LParam)}))
            m.Result = 1;
        else
            DefaultHandler(m);
        return;
    }
    case WM_PAINT:
        if (FCustomPaint)
            PaintHandler();
        else
            DefaultHandler(m);
        return;
    case WM_SIZE:
        DefaultHandler(m);
        Resize();
        return;
    case WM_SETFOCUS:
        DefaultHandler(m);
        if (TWinControlCore* form = FormControl())
            form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
        DoEnter();
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
    case CM_FOCUSCHANGED:
        BroadcastToChildren(m);
        return;
    case WM_GETDLGCODE:
        m.Result = NativeDialogCode();
        return;
    case CM_HITTEST:
        m.Result = 1; // the whole client area belongs to the control
        return;
    case WM_ERASEBKGND: {
        auto* painter = reinterpret_cast<QPainter*>(m.WParam);
        const bool forChild = m.LParam != 0 && m.LParam == static_cast<LPARAM>(m.WParam);
        if (!forChild || !painter) {
            // Qt has filled the background of an auto-filling widget before its paint event.
            m.Result = FWidget->autoFillBackground() || FWidget->isWindow() ? 1 : 0;
            return;
        }
        // A child asks for the background it lies on; the painter is in this control's coordinates.
        if (FWidget->autoFillBackground() || FWidget->isWindow()) {
            painter->fillRect(ClientRect().ToQt(), FWidget->palette().brush(FWidget->backgroundRole()));
            m.Result = 1;
        } else if (TWinControlCore* parent = Parent()) {
            const TPainterStateGuard state(*painter);
            painter->translate(-Left(), -Top());
            m.Result = parent->Perform(WM_ERASEBKGND, m.WParam, m.LParam);
        }
        return;
    }
    case WM_KILLFOCUS:
        DefaultHandler(m);
        DoExit();
        return;
    default:
        DefaultHandler(m);
        return;
    }
}

void TWinControlCore::PaintHandler()
{
    QPainter painter(ClientWidget());
    FCanvas.SetHandle(&painter);
    try {
        Paint();
    } catch (...) {
        FCanvas.SetHandle(nullptr);
        throw;
    }
    FCanvas.SetHandle(nullptr);
}

void TWinControlCore::KeyDown(WORD& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TWinControlCore::KeyUp(WORD& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TWinControlCore::KeyPress(char32_t& key)
{
    if (OnKeyPress)
        OnKeyPress(this, key);
}

void TWinControlCore::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TWinControlCore::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TWinControlCore::MouseMove(TShiftState shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

bool TWinControlCore::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos)
{
    bool handled = false;
    if (OnMouseWheel)
        OnMouseWheel(this, shift, wheelDelta, mousePos, handled);
    return handled;
}

void TWinControlCore::Click()
{
    if (OnClick)
        OnClick(this);
}

void TWinControlCore::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TWinControlCore::Resize()
{
    if (OnResize)
        OnResize(this);
}

void TWinControlCore::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControlCore::DoExit()
{
    if (OnExit)
        OnExit(this);
}

// ---- properties

int TWinControlCore::Left() const { return FWidget->x(); }
int TWinControlCore::Top() const { return FWidget->y(); }
int TWinControlCore::Width() const { return FWidget->width(); }
int TWinControlCore::Height() const { return FWidget->height(); }

void TWinControlCore::SetBounds(int left, int top, int width, int height)
{
    FWidget->setGeometry(left, top, std::max(0, width), std::max(0, height));
}

TRect TWinControlCore::BoundsRect() const
{
    return TRect::FromQt(FWidget->geometry());
}

// The contents margins of a widget stand for its non-client area (a frameless window's own
// caption and border): the client area is the contents rectangle.
TRect TWinControlCore::ClientRect() const
{
    const QRect r = ClientWidget()->contentsRect();
    return Rect(0, 0, r.width(), r.height());
}

TPoint TWinControlCore::ClientToScreen(TPoint p) const
{
    const QWidget* client = ClientWidget();
    return TPoint::FromQt(client->mapToGlobal(p.ToQt() + client->contentsRect().topLeft()));
}

TPoint TWinControlCore::ScreenToClient(TPoint p) const
{
    const QWidget* client = ClientWidget();
    return TPoint::FromQt(client->mapFromGlobal(p.ToQt()) - client->contentsRect().topLeft());
}

bool TWinControlCore::Visible() const { return !FWidget->isHidden(); }
void TWinControlCore::SetVisible(bool visible) { FWidget->setVisible(visible); }
bool TWinControlCore::Showing() const { return FWidget->isVisible(); }
bool TWinControlCore::Enabled() const { return FWidget->isEnabled(); }
void TWinControlCore::SetEnabled(bool enabled) { FWidget->setEnabled(enabled); }
bool TWinControlCore::Focused() const { return FWidget->hasFocus(); }

bool TWinControlCore::CanFocus() const
{
    return FWidget->isVisible() && FWidget->isEnabled() && FWidget->focusPolicy() != Qt::NoFocus;
}

void TWinControlCore::SetFocus()
{
    FWidget->setFocus(Qt::OtherFocusReason);
}

void TWinControlCore::SetText(const std::string& text)
{
    if (text == FText)
        return;
    FText = text;
    ApplyText(text);
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TWinControlCore::ApplyText(const std::string& text)
{
    // why: a form docked into another window keeps its caption for when it floats again.
    if (FWidget->isWindow() || IsForm())
        FWidget->setWindowTitle(QStr(text));
}

std::string TWinControlCore::Hint() const
{
    return StdStr(FWidget->toolTip());
}

void TWinControlCore::SetHint(const std::string& hint)
{
    FWidget->setToolTip(QStr(hint));
}

TColor TWinControlCore::Color() const
{
    if (FParentColor)
        if (const TWinControlCore* parent = Parent())
            return parent->Color();
    return FColor;
}

void TWinControlCore::SetColor(TColor color)
{
    if (!FParentColor && color == FColor)
        return;
    FColor = color;
    FParentColor = false;
    QPalette palette = FWidget->palette();
    palette.setColor(FWidget->backgroundRole(), ToQColor(color));
    FWidget->setPalette(palette);
}

void TWinControlCore::SetParentColor(bool value)
{
    if (value == FParentColor)
        return;
    FParentColor = value;
    if (value) {
        FWidget->setPalette(QPalette());
        FWidget->setAttribute(Qt::WA_SetPalette, false);
        if (const TWinControlCore* parent = Parent())
            FColor = parent->Color();
    }
}

void TWinControlCore::Invalidate() { ClientWidget()->update(); }
void TWinControlCore::InvalidateRect(const TRect& r) { ClientWidget()->update(r.ToQt()); }
void TWinControlCore::Update() { ClientWidget()->repaint(); }
void TWinControlCore::Repaint() { ClientWidget()->repaint(); }

TWinControl::TWinControl(TComponent* AOwner, QWidget* parent) : TQtControl<QWidget>(AOwner, parent) {}

TCustomControl::TCustomControl(TComponent* AOwner, QWidget* parent) : TQtControl<QWidget>(AOwner, parent)
{
    SetCustomPaint(true);
}

TGraphicControl::TGraphicControl(TComponent* AOwner, QWidget* parent) : TQtControl<QWidget>(AOwner, parent)
{
    SetCustomPaint(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_NoSystemBackground);
}
