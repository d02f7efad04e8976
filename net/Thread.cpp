// The worker-thread base.
//
// Handle hand-off: the worker never touches the thread handle. The owner's thread alone closes
// it (when Stop(true) sees the thread ended, when Start finds the previous thread ended, or in
// the destructor). A worker that closed its own handle while the owner was querying it could
// make the owner query a closed (or, worse, reused) handle; with one side owning the handle
// there is nothing to race on, and no lock is needed. The thread's exit code turns from
// STILL_ACTIVE only after the whole entry routine, and so the body, has returned, which is what
// Stop(true) waits for.
#include "Thread.h"

#include <process.h>

namespace {
constexpr DWORD kPollIntervalMs = 100;
constexpr const wchar_t* kNotStoppedText = L"Error: Call Stop() in derived destructor";
constexpr const wchar_t* kNotStoppedCaption = L"Thread";
}  // namespace

Thread::Thread() : stopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Thread::~Thread() {
    if (IsRunning()) {
        MessageBoxW(nullptr, kNotStoppedText, kNotStoppedCaption, MB_OK);
    }
    // Members close the thread handle (the thread, if any, runs on detached) and the event.
}

bool Thread::IsRunning() const {
    if (!thread) {
        return false;
    }
    DWORD exitCode = 0;
    if (!GetExitCodeThread(thread.Get(), &exitCode)) {
        return false;
    }
    return exitCode == STILL_ACTIVE;
}

void Thread::WaitOneInterval() const {
    // Returns at once when the thread ends, so Stop(true) does not oversleep; otherwise this is
    // the polling interval.
    WaitForSingleObject(thread.Get(), kPollIntervalMs);
}

void Thread::Start() {
    if (thread) {
        if (IsRunning()) {
            return;
        }
        thread.Reset();
    }
    ResetEvent(stopEvent.Get());
    unsigned id = 0;
    auto handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Entry, this, 0, &id));
    thread.Reset(handle);
    threadId = id;
}

void Thread::Stop(bool wait) {
    SetEvent(stopEvent.Get());
    if (!wait) {
        return;
    }
    while (IsRunning()) {
        WaitOneInterval();
    }
    thread.Reset();
}

unsigned __stdcall Thread::Entry(void* object) {
    static_cast<Thread*>(object)->Run();
    return 0;
}
