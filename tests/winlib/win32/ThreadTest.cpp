// The worker-thread base on a real Windows thread: start, stop with and without waiting, restart
// after the body has returned, and the owner-only handle hand-off.
#include <windows.h>

#include <atomic>

#include "Thread.h"
#include "WinCheck.h"

namespace {

class ProbeThread final : public Thread {
public:
    ~ProbeThread() { Stop(true); }

    void Run() override {
        stopSeenAtStart = WaitForSingleObject(stopEvent.Get(), 0) == WAIT_OBJECT_0;
        ++runs;
        WaitForSingleObject(release.Get(), INFINITE);
        if (extraMs != 0) {
            Sleep(extraMs);
        }
        bodyReturned = true;
    }

    UniqueHandle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<int> runs{0};
    std::atomic<bool> bodyReturned{false};
    std::atomic<bool> stopSeenAtStart{false};
    DWORD extraMs = 0;
};

bool WaitFor(const std::atomic<int>& value, int expected) {
    for (int i = 0; i < 200 && value.load() != expected; ++i) {
        Sleep(10);
    }
    return value.load() == expected;
}

}  // namespace

WIN_CASE(StopWithoutStartReturnsAtOnceAndSignals) {
    ProbeThread probe;
    DWORD start = GetTickCount();
    probe.Stop(true);
    WIN_CHECK(GetTickCount() - start < 50);
    WIN_CHECK(WaitForSingleObject(probe.stopEvent.Get(), 0) == WAIT_OBJECT_0);
    WIN_CHECK(!probe.thread);
}

WIN_CASE(StopWithoutWaitReturnsWhileTheBodyRuns) {
    ProbeThread probe;
    probe.Start();
    WIN_CHECK(WaitFor(probe.runs, 1));
    DWORD start = GetTickCount();
    probe.Stop(false);
    WIN_CHECK(GetTickCount() - start < 50);
    WIN_CHECK(!probe.bodyReturned);
    WIN_CHECK(probe.thread);  // still attached: the owner alone lets it go
    SetEvent(probe.release.Get());
    probe.Stop(true);
    WIN_CHECK(probe.bodyReturned);
    WIN_CHECK(!probe.thread);
}

WIN_CASE(SecondStartWhileRunningStartsNothing) {
    ProbeThread probe;
    probe.Start();
    WIN_CHECK(WaitFor(probe.runs, 1));
    HANDLE first = probe.thread.Get();
    probe.Start();
    Sleep(50);
    WIN_CHECK(probe.runs == 1);
    WIN_CHECK(probe.thread.Get() == first);
    SetEvent(probe.release.Get());
    probe.Stop(true);
}

WIN_CASE(StopWaitsForTheBodyAndNotMuchLonger) {
    ProbeThread probe;
    probe.extraMs = 300;
    probe.Start();
    WIN_CHECK(WaitFor(probe.runs, 1));
    SetEvent(probe.release.Get());
    DWORD start = GetTickCount();
    probe.Stop(true);
    DWORD elapsed = GetTickCount() - start;
    WIN_CHECK(probe.bodyReturned);
    WIN_CHECK(elapsed >= 250);
    WIN_CHECK(elapsed < 300 + 250);
}

WIN_CASE(ExitCodeIsZeroAndHandleStaysValidUntilTheOwnerLetsGo) {
    ProbeThread probe;
    SetEvent(probe.release.Get());
    probe.Start();
    WIN_CHECK(WaitFor(probe.runs, 1));
    // The body has returned on its own; the handle is the owner's and can still be queried.
    WIN_CHECK(WaitForSingleObject(probe.thread.Get(), 2000) == WAIT_OBJECT_0);
    DWORD exitCode = STILL_ACTIVE;
    WIN_CHECK(GetExitCodeThread(probe.thread.Get(), &exitCode));
    WIN_CHECK(exitCode == 0);
    probe.Stop(true);
    WIN_CHECK(!probe.thread);
}

WIN_CASE(StartAfterTheBodyReturnedRunsAFreshBodyWithTheEventReset) {
    ProbeThread probe;
    SetEvent(probe.release.Get());
    probe.Start();
    WIN_CHECK(WaitFor(probe.runs, 1));
    probe.Stop(true);  // signals the event
    WIN_CHECK(WaitForSingleObject(probe.stopEvent.Get(), 0) == WAIT_OBJECT_0);
    probe.Start();
    WIN_CHECK(WaitFor(probe.runs, 2));
    WIN_CHECK(!probe.stopSeenAtStart);
    probe.Stop(true);

    // Without a Stop in between: the finished thread is reaped by the next Start.
    probe.Start();
    WIN_CHECK(WaitFor(probe.runs, 3));
    WaitForSingleObject(probe.thread.Get(), 2000);
    probe.Start();
    WIN_CHECK(WaitFor(probe.runs, 4));
    probe.Stop(true);
}

namespace {

// A derived class that breaks the contract: its destructor does not stop the thread. Its body
// touches nothing of the object, so the body may outlive it.
class UnstoppedThread final : public Thread {
public:
    UnstoppedThread(HANDLE bodyStarted, HANDLE bodyRelease)
        : started(bodyStarted), release(bodyRelease) {}
    void Run() override {
        HANDLE wait = release;
        SetEvent(started);
        WaitForSingleObject(wait, INFINITE);
    }

private:
    HANDLE started;  // borrowed; outlive the body
    HANDLE release;
};

}  // namespace

WIN_CASE(DestroyingARunningThreadIsReported) {
    MessageBoxCatcher boxes;
    UniqueHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    {
        UnstoppedThread idle(started.Get(), release.Get());  // never started: nothing to report
    }
    WIN_CHECK(MessageBoxCatcher::Boxes().empty());

    HANDLE running = nullptr;
    {
        UnstoppedThread unstopped(started.Get(), release.Get());
        unstopped.Start();
        // The body must be under way: the object's table of operations goes with it.
        WIN_CHECK(WaitForSingleObject(started.Get(), 5000) == WAIT_OBJECT_0);
        WIN_CHECK(DuplicateHandle(GetCurrentProcess(), unstopped.thread.Get(), GetCurrentProcess(),
                                  &running, 0, FALSE, DUPLICATE_SAME_ACCESS));
    }
    WIN_CHECK(MessageBoxCatcher::Boxes().size() == 1);
    if (MessageBoxCatcher::Boxes().size() == 1) {
        const CaughtBox& box = MessageBoxCatcher::Boxes()[0];
        WIN_CHECK(box.caption == L"Thread");
        WIN_CHECK(box.text == L"Error: Call Stop() in derived destructor");
        WIN_CHECK(box.owner == nullptr);
    }
    SetEvent(release.Get());
    WIN_CHECK(WaitForSingleObject(running, 5000) == WAIT_OBJECT_0);
    CloseHandle(running);

    // A thread whose body has returned is not reported.
    {
        UnstoppedThread finished(started.Get(), release.Get());
        finished.Start();
        WaitForSingleObject(finished.thread.Get(), 5000);
    }
    WIN_CHECK(MessageBoxCatcher::Boxes().size() == 1);
}
