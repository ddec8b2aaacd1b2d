#pragma once
// Messages across threads. A posted message queued for a receiver travels as a Qt event and
// is handled later on the receiver's thread; the queue can be searched, so that one pending
// message can be taken back before it arrives (the system's PeekMessage with PM_REMOVE). A
// sent message runs on the receiver's thread while the sender waits.

#include "Platform/core/Messages.h"

#include <QEvent>
#include <atomic>
#include <functional>
#include <vector>

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
// Takes back every pending message `msg` for `receiver` and hands back their records, oldest
// first, so that a sender can free what they carry.
std::vector<TMessage> TakePostedMessages(QObject* receiver, UINT msg);

// Runs `perform` on the receiver's thread and waits for its result; on that thread it runs at
// once. The receiver must outlive the call.
LRESULT PerformOnThreadOf(QObject* receiver, const std::function<LRESULT()>& perform);
