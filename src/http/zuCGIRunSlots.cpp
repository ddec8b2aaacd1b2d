// The interpreter slots of the CGI runner.

#include "http/zuCGIRunSlots.h"

#include <algorithm>
#include <optional>

void TCGIRunSlots::SetLimits(size_t running, size_t waiting)
{
    const std::lock_guard lock(FLock);
    FMaxRunning = std::max<size_t>(running, 1);
    FMaxWaiting = waiting;
    GrantWaiting();
    FChanged.notify_all();
}

size_t TCGIRunSlots::MaxRunning() const
{
    const std::lock_guard lock(FLock);
    return FMaxRunning;
}

size_t TCGIRunSlots::MaxWaiting() const
{
    const std::lock_guard lock(FLock);
    return FMaxWaiting;
}

size_t TCGIRunSlots::Running() const
{
    const std::lock_guard lock(FLock);
    return FRunning;
}

size_t TCGIRunSlots::Waiting() const
{
    const std::lock_guard lock(FLock);
    return FQueue.size();
}

void TCGIRunSlots::GrantWaiting()
{
    for (bool& granted : FQueue) {
        if (FRunning >= FMaxRunning)
            return;
        if (!granted) {
            granted = true;
            ++FRunning;
        }
    }
}

TCGIRunSlots::TTurn TCGIRunSlots::Acquire(std::chrono::steady_clock::time_point deadline,
                                          const std::function<bool()>& cancelled)
{
    std::unique_lock lock(FLock);
    if (FClosed)
        return TTurn::Refused;
    if (FQueue.empty() && FRunning < FMaxRunning) {
        ++FRunning;
        return TTurn::Granted;
    }
    if (FQueue.size() >= FMaxWaiting)
        return TTurn::QueueFull;
    const auto mine = FQueue.insert(FQueue.end(), false);
    const auto decide = [&]() -> std::optional<TTurn> {
        // invariant: a slot handed over counts as running already, so it is taken even when
        // the wait has just run out.
        if (*mine)
            return TTurn::Granted;
        if (FClosed)
            return TTurn::Refused;
        if (std::chrono::steady_clock::now() >= deadline)
            return TTurn::TimedOut;
        if (cancelled && cancelled())
            return TTurn::Cancelled;
        return std::nullopt;
    };
    std::optional<TTurn> turn;
    // why: a client's end wakes nobody, so it is looked at every few milliseconds.
    while (!(turn = decide()))
        FChanged.wait_until(lock, std::min(deadline, std::chrono::steady_clock::now() + std::chrono::milliseconds(50)));
    FQueue.erase(mine);
    return *turn;
}

void TCGIRunSlots::Release()
{
    const std::lock_guard lock(FLock);
    if (FRunning > 0)
        --FRunning;
    GrantWaiting();
    FChanged.notify_all();
}

void TCGIRunSlots::Close()
{
    const std::lock_guard lock(FLock);
    FClosed = true;
    FChanged.notify_all();
}

void TCGIRunSlots::Open()
{
    const std::lock_guard lock(FLock);
    FClosed = false;
}
