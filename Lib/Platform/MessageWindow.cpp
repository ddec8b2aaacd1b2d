#include "Platform/MessageWindow.h"

#include "Platform/Application.h"
#include "Platform/PostedMessage.h"

#include <QThread>

TMessageWindow::TMessageWindow(TWndMethod handler, std::string className)
    : FHandler(std::move(handler)), FClassName(std::move(className))
{
}

TMessageWindow::~TMessageWindow() = default;

LRESULT TMessageWindow::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage m{msg, wParam, lParam, 0};
    // why: the handler may replace itself (or its owner may clear it) while it runs.
    const TWndMethod handler = FHandler;
    if (handler)
        handler(m);
    return m.Result;
}

void TMessageWindow::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    PostMessageTo(this, TMessage{msg, wParam, lParam, 0});
}

LRESULT TMessageWindow::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (QThread::currentThread() == thread())
        return Perform(msg, wParam, lParam);
    LRESULT result = 0;
    QMetaObject::invokeMethod(
        this, [&] { result = Perform(msg, wParam, lParam); }, Qt::BlockingQueuedConnection);
    return result;
}

bool TMessageWindow::event(QEvent* e)
{
    if (e->type() != PostedMessageEventType())
        return QObject::event(e);
    auto* posted = static_cast<TPostedMessageEvent*>(e);
    if (posted->Discarded())
        return true;
    // why: nothing may cross into Qt's event loop; the application's handler reports it.
    try {
        Perform(posted->Message.Msg, posted->Message.WParam, posted->Message.LParam);
    } catch (const std::exception& ex) {
        if (TApplication* app = Application())
            app->HandleException(ex);
    } catch (...) {
        if (TApplication* app = Application())
            app->HandleUnknownException();
    }
    return true;
}
