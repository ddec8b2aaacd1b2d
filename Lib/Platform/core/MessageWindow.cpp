#include "Platform/core/MessageWindow.h"

#include "Platform/core/Application.h"
#include "Platform/core/PostedMessage.h"

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
    return PerformOnThreadOf(this, [&] { return Perform(msg, wParam, lParam); });
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
    } catch (...) {
        HandleCurrentException();
    }
    return true;
}
