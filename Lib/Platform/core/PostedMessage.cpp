#include "Platform/core/PostedMessage.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <list>
#include <mutex>

namespace {

// invariant: holds exactly the posted-message events that Qt has not yet destroyed, oldest first.
struct PendingMessages {
    std::mutex Lock;
    std::list<TPostedMessageEvent*> Events;
};

PendingMessages& Pending()
{
    static PendingMessages pending;
    return pending;
}

} // namespace

QEvent::Type PostedMessageEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

TPostedMessageEvent::TPostedMessageEvent(QObject* receiver, const TMessage& message)
    : QEvent(PostedMessageEventType()), Message(message), FReceiver(receiver)
{
    PendingMessages& p = Pending();
    const std::lock_guard guard(p.Lock);
    p.Events.push_back(this);
}

TPostedMessageEvent::~TPostedMessageEvent()
{
    PendingMessages& p = Pending();
    const std::lock_guard guard(p.Lock);
    p.Events.remove(this);
}

void PostMessageTo(QObject* receiver, const TMessage& message)
{
    QCoreApplication::postEvent(receiver, new TPostedMessageEvent(receiver, message));
}

bool DiscardPostedMessage(QObject* receiver, UINT msg)
{
    PendingMessages& p = Pending();
    const std::lock_guard guard(p.Lock);
    const auto it = std::find_if(p.Events.begin(), p.Events.end(), [&](const TPostedMessageEvent* e) {
        return e->Receiver() == receiver && e->Message.Msg == msg && !e->Discarded();
    });
    if (it == p.Events.end())
        return false;
    (*it)->Discard();
    return true;
}

std::vector<TMessage> TakePostedMessages(QObject* receiver, UINT msg)
{
    PendingMessages& p = Pending();
    const std::lock_guard guard(p.Lock);
    std::vector<TMessage> taken;
    for (TPostedMessageEvent* e : p.Events) {
        if (e->Receiver() == receiver && e->Message.Msg == msg && !e->Discarded()) {
            e->Discard();
            taken.push_back(e->Message);
        }
    }
    return taken;
}

LRESULT PerformOnThreadOf(QObject* receiver, const std::function<LRESULT()>& perform)
{
    if (QThread::currentThread() == receiver->thread())
        return perform();
    LRESULT result = 0;
    QMetaObject::invokeMethod(
        receiver, [&] { result = perform(); }, Qt::BlockingQueuedConnection);
    return result;
}
