#pragma once
// TCGIRunSlots: how many interpreters may run at once and how many requests may wait for one.
// A request that finds every slot taken waits its turn in order of arrival; one that finds
// the queue full is turned away at once.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <mutex>

class TCGIRunSlots {
public:
    enum class TTurn { Granted, QueueFull, TimedOut, Cancelled, Refused };

    void SetLimits(size_t running, size_t waiting);
    size_t MaxRunning() const;
    size_t MaxWaiting() const;
    size_t Running() const;
    size_t Waiting() const;

    // Takes a slot, waiting for one until `deadline`; `cancelled` is asked now and then while
    // waiting (a client that has gone). Every Granted is followed by one Release.
    TTurn Acquire(std::chrono::steady_clock::time_point deadline, const std::function<bool()>& cancelled);
    void Release();

    // Turns every waiting request and every later one away (Refused) until Open.
    void Close();
    void Open();

private:
    // invariant: called with FLock held.
    void GrantWaiting();

    mutable std::mutex FLock;
    std::condition_variable FChanged;
    // One entry per waiting request, oldest first: true once a slot was handed to it.
    std::list<bool> FQueue;
    size_t FRunning = 0;
    size_t FMaxRunning = 8;
    size_t FMaxWaiting = 64;
    bool FClosed = false;
};

// Holds a granted slot until it goes.
class TCGIRunSlot {
public:
    explicit TCGIRunSlot(TCGIRunSlots& owner) : FSlots(owner) {}
    ~TCGIRunSlot() { FSlots.Release(); }
    TCGIRunSlot(const TCGIRunSlot&) = delete;
    TCGIRunSlot& operator=(const TCGIRunSlot&) = delete;

private:
    TCGIRunSlots& FSlots;
};
