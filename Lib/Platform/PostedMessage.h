#pragma once
// Posted messages: a message queued for a receiver travels as a Qt event and is handled later
// on the receiver's thread. The queue can be searched, so that one pending message can be
// taken back before it arrives (the system's PeekMessage with PM_REMOVE).

#include "Platform/Messages.h"

#include <QEvent>
#include <atomic>

class QObject;

QEvent::Type PostedMessageEventType();

class TPostedMessageEvent : public QEvent {
public:
    TPostedMessageEvent(QObject* receiver, const TMessage& message);
    ~TPostedMessageEvent() override;
    TPostedMessageEvent(const TPostedMessageEvent&) = delete;
    TPostedMessageEvent& operator=(const TPostedMessageEvent&) = delete;

    QObject* Receiver() const { return FReceiver; }
    // A discarded message is dropped when it arrives.
    bool Discarded() const { return FDiscarded.load(); }
    void Discard() { FDiscarded.store(true); }

    TMessage Message;

private:
    QObject* FReceiver;
    std::atomic<bool> FDiscarded{false};
};

// Queues `message` for `receiver`. Safe from any thread; the receiver must outlive the call.
void PostMessageTo(QObject* receiver, const TMessage& message);

// Takes back the oldest pending message `msg` for `receiver`; true when there was one.
bool DiscardPostedMessage(QObject* receiver, UINT msg);
