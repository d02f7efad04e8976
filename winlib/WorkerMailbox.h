// How a worker thread hands results to its window without touching it: the worker leaves its
// latest result in a mailbox and posts the window a message; the window takes the result when
// the message arrives, on its own thread. A result handed in while an earlier one still waits
// replaces it, and only one message is ever in flight, so a fast worker cannot flood the
// window's queue: the window sees the newest result whenever it gets round to looking.
#pragma once

#include <windows.h>

#include <optional>
#include <utility>

// A slim reader/writer lock held exclusively for one scope.
class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& held) : lock(held) { AcquireSRWLockExclusive(&lock); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock;
};

template <typename Result>
class WorkerMailbox {
public:
    WorkerMailbox() = default;
    WorkerMailbox(const WorkerMailbox&) = delete;
    WorkerMailbox& operator=(const WorkerMailbox&) = delete;

    // The window and the message it is told by; set before the worker starts.
    void Address(HWND window, UINT message) {
        target = window;
        notice = message;
    }

    // Worker: leaves a result and, unless a message is already on its way, posts one (wParam
    // is tag, which the window may use to tell passes apart). False when the post failed.
    bool Hand(Result result, WPARAM tag = 0) {
        bool post = false;
        {
            ExclusiveLock locked(lock);
            waiting = std::move(result);
            post = !posted;
            posted = true;
        }
        if (post && !PostMessageW(target, notice, tag, 0)) {
            ExclusiveLock locked(lock);
            posted = false;
            return false;
        }
        return true;
    }

    // Window, on the message: the newest result, if one is waiting.
    std::optional<Result> Take() {
        ExclusiveLock locked(lock);
        posted = false;
        return std::exchange(waiting, std::nullopt);
    }

    // Window, before a new worker starts: forgets whatever an earlier one left.
    void Clear() {
        ExclusiveLock locked(lock);
        waiting.reset();
    }

private:
    SRWLOCK lock = SRWLOCK_INIT;
    std::optional<Result> waiting;
    bool posted = false;  // a message is on its way and has not been answered by Take yet
    HWND target = nullptr;
    UINT notice = 0;
};
