#include "code/zuPHPParserThread.h"

#include "code/zuPHPParser.h"

#include <QThread>

TPHPParserThread::TPHPParserThread(QObject* receiver, TDeliver deliver)
    : FReceiver(receiver), FDeliver(std::move(deliver)), FThread(QThread::create([this] { Execute(); }))
{
    FThread->setObjectName("PHP parser");
    FThread->start(QThread::IdlePriority);
}

TPHPParserThread::~TPHPParserThread()
{
    {
        const std::lock_guard guard(FLock);
        FTerminated = true;
        FRequests.clear();
    }
    FStop = true;
    FWake.notify_one();
    FThread->wait();
}

void TPHPParserThread::Queue(TRequest request)
{
    {
        const std::lock_guard guard(FLock);
        FRequests.push_back(std::move(request));
    }
    FWake.notify_one();
}

bool TPHPParserThread::Drop(const std::function<bool(const TRequest&)>& match)
{
    const std::lock_guard guard(FLock);
    return std::erase_if(FRequests, match) > 0;
}

void TPHPParserThread::Execute()
{
    while (true) {
        std::deque<TRequest> drain;
        {
            std::unique_lock lock(FLock);
            FWake.wait(lock, [this] { return FTerminated || !FRequests.empty(); });
            if (FTerminated)
                return;
            // why: scanning outside the lock keeps the GUI thread from waiting on a scan.
            drain.swap(FRequests);
        }
        std::vector<TResult> results;
        for (const TRequest& request : drain) {
            if (FStop)
                return;
            TResult result{request.Ticket, nullptr};
            try {
                if (request.Scan)
                    result.Page = ScanPHPPage(request.Lines, nullptr, &FStop);
            } catch (const std::exception&) {
                continue; // why: one failed request must not stop the others
            }
            results.push_back(std::move(result));
        }
        if (FStop)
            return;
        QMetaObject::invokeMethod(
            FReceiver, [deliver = FDeliver, results = std::move(results)]() mutable { deliver(std::move(results)); },
            Qt::QueuedConnection);
    }
}
