#pragma once
// TPHPParserThread: the code explorer's one scanning thread, at idle priority. A request carries
// its own copy of the document's lines, so the thread never reads a document; each drain of the
// request list ends in one call posted to the receiver's (GUI) thread with every result of that
// drain. The thread never waits for the GUI thread, so the destructor can stop it and join it
// from the GUI thread at any time: a scan in progress ends at its next line, queued requests are
// dropped, and results not yet delivered die with the receiver.

#include "code/zuPHPReference.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QThread;

class TPHPParserThread {
public:
    struct TRequest {
        // The caller's name for the request; it comes back with the result.
        std::uint64_t Ticket = 0;
        // False for a request that only asks for the tree to be rebuilt.
        bool Scan = true;
        std::vector<std::string> Lines;
    };
    struct TResult {
        std::uint64_t Ticket = 0;
        // Null when the request asked for no scan.
        TPHPPageRef Page;
    };
    // Runs on the receiver's thread with the results of one drain, in request order.
    using TDeliver = std::function<void(std::vector<TResult>)>;

    // `receiver` must outlive the thread (make the thread a member of the receiver).
    TPHPParserThread(QObject* receiver, TDeliver deliver);
    ~TPHPParserThread();
    TPHPParserThread(const TPHPParserThread&) = delete;
    TPHPParserThread& operator=(const TPHPParserThread&) = delete;

    // Safe from any thread; wakes the thread. Every queued request is handled: requests for the
    // same document are not merged.
    void Queue(TRequest request);
    // Forgets the queued requests that have not been taken up yet; true when one matched.
    bool Drop(const std::function<bool(const TRequest&)>& match);

private:
    void Execute();

    QObject* FReceiver;
    TDeliver FDeliver;
    std::mutex FLock;
    std::condition_variable FWake;
    std::deque<TRequest> FRequests;
    bool FTerminated = false;
    std::atomic<bool> FStop{false};
    std::unique_ptr<QThread> FThread;
};
