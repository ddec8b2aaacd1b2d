#include "code/zuPHPParserThread.h"

#include "code/zuPHPParser.h"

#include <QThread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

TPHPParserThread::TPHPParserThread(QObject* receiver, TDeliver deliver)
    : FReceiver(receiver), FDeliver(std::move(deliver)), FThread(QThread::create([this] { Execute(); }))
{
    FThread->setObjectName("PHP parser");
    // why: Qt's idle priority is SCHED_IDLE here, which a busy machine starves outright (the code
    // explorer would stop following the document while a build runs); the thread lowers its own
    // niceness instead, as the program's other idle workers do.
    FThread->start();
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
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), 19);
    while (true) {
        {
            std::unique_lock lock(FLock);
            FWake.wait(lock, [this] { return FTerminated || !FRequests.empty(); });
            if (FTerminated)
                return;
        }
        // why: one request at a time leaves the rest in the queue, where Drop still reaches
        // them; the scan itself runs outside the lock so the GUI thread never waits on it.
        std::vector<TResult> results;
        while (true) {
            TRequest request;
            {
                const std::lock_guard guard(FLock);
                if (FTerminated || FRequests.empty())
                    break;
                request = std::move(FRequests.front());
                FRequests.pop_front();
            }
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
        if (results.empty())
            continue;
        QMetaObject::invokeMethod(
            FReceiver, [deliver = FDeliver, results = std::move(results)]() mutable { deliver(std::move(results)); },
            Qt::QueuedConnection);
    }
}
