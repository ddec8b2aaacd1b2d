#include "ExLib/run/edits/ExMemo.h"

#include "Platform/core/Application.h"
#include "Platform/text/TextUtils.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

namespace {

bool IsLineBreak(char32_t c)
{
    return c == '\r' || c == '\n';
}

} // namespace

TExCustomMemo::TExCustomMemo(TComponent* AOwner, QWidget* parent)
    : TExExCustomMemo(AOwner, parent), FCaret(std::make_unique<TExCaret>(this))
{
    FCaret->OnChanged = [this](TObject*) {
        FCaret->DestroyCaret();
        FCaret->CreateCaret();
    };
    FQtCursorWidth = cursorWidth();
    FBlink.setInterval(std::max(100, QApplication::cursorFlashTime() / 2));
    QObject::connect(&FBlink, &QTimer::timeout, viewport(), [this] {
        FCaretOn = !FCaretOn;
        viewport()->update();
    });
    FScrollConnections[0] = QObject::connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(), [this] {
        if (OnHorizontalScroll)
            OnHorizontalScroll(this);
    });
    FScrollConnections[1] = QObject::connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), [this] {
        if (OnVerticalScroll)
            OnVerticalScroll(this);
    });
}

TExCustomMemo::~TExCustomMemo()
{
    for (const auto& c : FScrollConnections)
        QObject::disconnect(c);
    FBlink.stop();
}

void TExCustomMemo::SetLines(const TStrings& lines)
{
    Lines().Assign(lines);
    if (FMaxLines > 0)
        FFullText.Assign(lines);
    ApplyLimit();
}

void TExCustomMemo::SetMaxLines(int value)
{
    if (value == FMaxLines)
        return;
    if (FMaxLines == 0 && value > 0)
        FFullText.Assign(Lines());
    // why: putting the full text back would throw away what was typed under the limit.
    if (value == 0)
        FFullText.Clear();
    FMaxLines = value;
    ApplyLimit();
}

void TExCustomMemo::ApplyLimit()
{
    if (FMaxLines <= 0 || FLimiting)
        return;
    FLimiting = true;
    try {
        while (Lines().Count() > FMaxLines)
            Lines().Delete(Lines().Count() - 1);
        // The line break before the deleted lines goes with them.
        const QString text = toPlainText();
        if (Lines().Count() == FMaxLines && text.endsWith(QLatin1Char('\n'))) {
            QTextCursor cursor(document());
            cursor.movePosition(QTextCursor::End);
            cursor.deletePreviousChar();
        }
    } catch (...) {
        FLimiting = false;
        throw;
    }
    FLimiting = false;
}

void TExCustomMemo::Change()
{
    if (FLimiting)
        return;
    ApplyLimit();
    TExExCustomMemo::Change();
}

int TExCustomMemo::CaretLine() const
{
    return textCursor().blockNumber();
}

void TExCustomMemo::KeyDown(WORD& key, TShiftState shift)
{
    TExExCustomMemo::KeyDown(key, shift);
    if (FMaxLines > 0 && Lines().Count() >= FMaxLines && key == VK_RETURN)
        key = 0;
}

void TExCustomMemo::KeyPress(char32_t& key)
{
    if (FMaxLines > 0 && Lines().Count() >= FMaxLines) {
        if (IsLineBreak(key) || (key != 8 && CaretLine() >= FMaxLines)) {
            key = 0;
            return;
        }
    }
    TExExCustomMemo::KeyPress(key);
}

bool TExCustomMemo::HandleHiddenCaret(TMessage& m)
{
    switch (m.Msg) {
    case WM_KEYDOWN: {
        QScrollBar* v = verticalScrollBar();
        QScrollBar* h = horizontalScrollBar();
        switch (static_cast<WORD>(m.WParam)) {
        case VK_PRIOR: v->triggerAction(QAbstractSlider::SliderPageStepSub); break;
        case VK_NEXT: v->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
        case VK_HOME: v->triggerAction(QAbstractSlider::SliderToMinimum); break;
        case VK_END: v->triggerAction(QAbstractSlider::SliderToMaximum); break;
        case VK_UP: v->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case VK_DOWN: v->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        case VK_LEFT: h->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case VK_RIGHT: h->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        default: break;
        }
        return true;
    }
    case WM_LBUTTONDOWN:
        if (!Focused())
            SetFocus();
        return true;
    case WM_KEYUP:
    case WM_CHAR:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK: return true;
    default: return false;
    }
}

void TExCustomMemo::WndProc(TMessage& message)
{
    if (FHideCaret && !ComponentState().Contains(csDesigning) && HandleHiddenCaret(message))
        return;
    TExExCustomMemo::WndProc(message);
}

void TExCustomMemo::SetHideCaret(bool value)
{
    if (value == FHideCaret)
        return;
    FHideCaret = value;
    if (Focused())
        setCursorWidth(value ? 0 : FQtCursorWidth);
}

void TExCustomMemo::FocusReceived(QWidget* previousWindow)
{
    TExExCustomMemo::FocusReceived(previousWindow);
    FCaret->CreateCaret();
    if (FHideCaret && !ComponentState().Contains(csDesigning))
        setCursorWidth(0);
}

void TExCustomMemo::FocusLost(QWidget* nextWindow)
{
    if (FHideCaret)
        setCursorWidth(FQtCursorWidth);
    FCaret->DestroyCaret();
    TExExCustomMemo::FocusLost(nextWindow);
}

void TExCustomMemo::ShowCaretShape(const TExCaret&)
{
    FOwnCaret = true;
    FCaretOn = true;
    setCursorWidth(0);
    FBlink.start();
    viewport()->update();
}

void TExCustomMemo::HideCaretShape()
{
    FOwnCaret = false;
    FBlink.stop();
    setCursorWidth(FHideCaret ? 0 : FQtCursorWidth);
    viewport()->update();
}

void TExCustomMemo::paintEvent(QPaintEvent* event)
{
    TExExCustomMemo::paintEvent(event);
    if (!FOwnCaret || !FCaretOn || FHideCaret)
        return;
    QPainter painter(viewport());
    const QRect at = cursorRect();
    if (FCaret->IsBitmap()) {
        painter.drawImage(at.topLeft(), FCaret->Bitmap());
        return;
    }
    const int width = std::max(1, FCaret->Width());
    const int height = FCaret->Height() > 0 ? FCaret->Height() : at.height();
    const QBrush brush(palette().color(QPalette::Text), FCaret->Gray() ? Qt::Dense4Pattern : Qt::SolidPattern);
    painter.fillRect(QRect(at.left(), at.top(), width, height), brush);
}

void TExCustomMemo::SetHotTrack(bool value)
{
    FHotTrack = value;
    ApplyLook(value);
}

bool TExCustomMemo::LooksFlat() const
{
    return frameShadow() == QFrame::Plain;
}

void TExCustomMemo::ApplyLook(bool flat)
{
    setFrameShape(flat ? QFrame::Box : QFrame::StyledPanel);
    setFrameShadow(flat ? QFrame::Plain : QFrame::Sunken);
}

void TExCustomMemo::MouseEnter(TWinControlCore* control)
{
    if (!ComponentState().Contains(csDesigning) && !MouseInside() && FHotTrack)
        ApplyLook(false);
    TExExCustomMemo::MouseEnter(control);
}

void TExCustomMemo::MouseLeave(TWinControlCore* control)
{
    if (MouseInside() && FHotTrack)
        ApplyLook(true);
    TExExCustomMemo::MouseLeave(control);
}

void TExCustomMemo::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    viewport()->setAutoFillBackground(!value);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Base, value ? QColor(Qt::transparent) : palette().color(QPalette::Base));
    viewport()->setPalette(p);
    viewport()->update();
}

void TExCustomMemo::SetClipboardCommands(TExClipboardCommands value)
{
    TExExCustomMemo::SetClipboardCommands(value);
    if ((value - TExClipboardCommands{caCopy}).Empty())
        SetReadOnly(true);
}
