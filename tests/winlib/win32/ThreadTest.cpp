// The worker-thread base on a real Windows thread: start, stop with and without waiting, restart
// after the body has returned, and the owner-only handle hand-off. The cases wait on what the
// thread does (events it signals, counts it keeps), never on how long it takes.
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <atomic>

#include "MessageBoxCatcher.h"
#include "Thread.h"

namespace {

// The longest any case waits for something the thread is to do. A passing case never comes near
// it; a failing one ends with a named failure instead of hanging until ctest's time-out.
constexpr DWORD kPatienceMs = 30000;

class ProbeThread final : public Thread {
public:
    ~ProbeThread() { Stop(true); }

    void Run() override {
        stopSeenAtStart = WaitForSingleObject(stopEvent.Get(), 0) == WAIT_OBJECT_0;
        ++runs;
        ReleaseSemaphore(bodyStarted.Get(), 1, nullptr);
        // Held until the case lets it go; on its own only when the case is stuck.
        WaitForSingleObject(release.Get(), kPatienceMs);
        if (lingerMs != 0) {
            // Work after the release: a Stop that did not wait for the body would return in here.
            Sleep(lingerMs);
        }
        bodyReturned = true;
    }

    // Waits until the body has started `count` times in all.
    bool WaitForRuns(int count) {
        while (runs.load() < count) {
            if (WaitForSingleObject(bodyStarted.Get(), kPatienceMs) != WAIT_OBJECT_0) {
                return false;
            }
        }
        return runs.load() == count;
    }

    UniqueHandle release{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle bodyStarted{CreateSemaphoreW(nullptr, 0, 1000, nullptr)};
    std::atomic<int> runs{0};
    std::atomic<bool> bodyReturned{false};
    std::atomic<bool> stopSeenAtStart{false};
    DWORD lingerMs = 0;
};

// The threads of this process that the system knows of right now.
int ThreadsOfThisProcess() {
    UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more;
         more = Thread32Next(snapshot.Get(), &entry)) {
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(Thread, StopWithoutStartSignalsAndAttachesNothing) {
    ProbeThread probe;
    probe.Stop(true);
    EXPECT_EQ(WaitForSingleObject(probe.stopEvent.Get(), 0), WAIT_OBJECT_0);
    EXPECT_FALSE(probe.thread);
    EXPECT_EQ(probe.runs, 0);
}

TEST(Thread, StopWithoutWaitReturnsWhileTheBodyRuns) {
    ProbeThread probe;
    probe.Start();
    ASSERT_TRUE(probe.WaitForRuns(1));
    // The body is held until this thread releases it, so a Stop that waited for it would only
    // return once the body gave up waiting, and would find it returned.
    probe.Stop(false);
    EXPECT_FALSE(probe.bodyReturned);
    EXPECT_EQ(WaitForSingleObject(probe.stopEvent.Get(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(probe.thread);  // still attached: the owner alone lets it go
    SetEvent(probe.release.Get());
    probe.Stop(true);
    EXPECT_TRUE(probe.bodyReturned);
    EXPECT_FALSE(probe.thread);
}

TEST(Thread, SecondStartWhileRunningStartsNothing) {
    ProbeThread probe;
    probe.Start();
    ASSERT_TRUE(probe.WaitForRuns(1));
    const HANDLE first = probe.thread.Get();
    const uint32_t firstId = probe.threadId;
    const int threadsBefore = ThreadsOfThisProcess();
    probe.Start();
    // A thread exists as soon as its creation returns, whether or not it has run yet.
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
    EXPECT_EQ(probe.thread.Get(), first);
    EXPECT_EQ(probe.threadId, firstId);
    SetEvent(probe.release.Get());
    probe.Stop(true);
    EXPECT_EQ(probe.runs, 1);
}

TEST(Thread, StopWaitsUntilTheBodyHasReturned) {
    ProbeThread probe;
    probe.lingerMs = 200;
    probe.Start();
    ASSERT_TRUE(probe.WaitForRuns(1));
    SetEvent(probe.release.Get());
    probe.Stop(true);
    EXPECT_TRUE(probe.bodyReturned);
    EXPECT_FALSE(probe.thread);  // and the owner has let the handle go
}

TEST(Thread, ExitCodeIsZeroAndHandleStaysValidUntilTheOwnerLetsGo) {
    ProbeThread probe;
    SetEvent(probe.release.Get());
    probe.Start();
    ASSERT_TRUE(probe.WaitForRuns(1));
    // The body returns on its own; the handle is the owner's and can still be queried.
    ASSERT_EQ(WaitForSingleObject(probe.thread.Get(), kPatienceMs), WAIT_OBJECT_0);
    DWORD exitCode = STILL_ACTIVE;
    EXPECT_TRUE(GetExitCodeThread(probe.thread.Get(), &exitCode));
    EXPECT_EQ(exitCode, 0u);
    probe.Stop(true);
    EXPECT_FALSE(probe.thread);
}

TEST(Thread, StartAfterTheBodyReturnedRunsAFreshBodyWithTheEventReset) {
    ProbeThread probe;
    SetEvent(probe.release.Get());
    probe.Start();
    ASSERT_TRUE(probe.WaitForRuns(1));
    probe.Stop(true);  // signals the event
    EXPECT_EQ(WaitForSingleObject(probe.stopEvent.Get(), 0), WAIT_OBJECT_0);
    probe.Start();
    ASSERT_TRUE(probe.WaitForRuns(2));
    EXPECT_FALSE(probe.stopSeenAtStart);
    probe.Stop(true);

    // Without a Stop in between: the finished thread is reaped by the next Start.
    probe.Start();
    ASSERT_TRUE(probe.WaitForRuns(3));
    ASSERT_EQ(WaitForSingleObject(probe.thread.Get(), kPatienceMs), WAIT_OBJECT_0);
    probe.Start();
    ASSERT_TRUE(probe.WaitForRuns(4));
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

TEST(Thread, DestroyingARunningThreadIsReported) {
    MessageBoxCatcher boxes;
    UniqueHandle started(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    UniqueHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    {
        UnstoppedThread idle(started.Get(), release.Get());  // never started: nothing to report
    }
    EXPECT_TRUE(MessageBoxCatcher::Boxes().empty());

    HANDLE running = nullptr;
    {
        UnstoppedThread unstopped(started.Get(), release.Get());
        unstopped.Start();
        // The body must be under way: the object's table of operations goes with it.
        ASSERT_EQ(WaitForSingleObject(started.Get(), kPatienceMs), WAIT_OBJECT_0);
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), unstopped.thread.Get(),
                                    GetCurrentProcess(), &running, 0, FALSE,
                                    DUPLICATE_SAME_ACCESS));
    }
    ASSERT_EQ(MessageBoxCatcher::Boxes().size(), 1u);
    const CaughtBox box = MessageBoxCatcher::Boxes()[0];
    EXPECT_EQ(box.caption, L"Thread");
    EXPECT_EQ(box.text, L"Error: Call Stop() in derived destructor");
    EXPECT_EQ(box.owner, nullptr);
    SetEvent(release.Get());
    EXPECT_EQ(WaitForSingleObject(running, kPatienceMs), WAIT_OBJECT_0);
    CloseHandle(running);

    // A thread whose body has returned is not reported.
    {
        UnstoppedThread finished(started.Get(), release.Get());
        finished.Start();
        ASSERT_EQ(WaitForSingleObject(finished.thread.Get(), kPatienceMs), WAIT_OBJECT_0);
    }
    EXPECT_EQ(MessageBoxCatcher::Boxes().size(), 1u);
}
