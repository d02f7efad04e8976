// GoogleTest's place for what a platform supplies itself, used by the cross builds (it stands
// before GoogleTest's own empty one in the include path). mingw-w64 compilers of the win32 thread
// model before GCC 13 have no std::mutex or std::condition_variable, of which GoogleTest makes
// its Notification; there it is a Win32 event, as the rest of GoogleTest's threading on Windows
// is made of Win32 objects.
#ifndef KETTERLIN_GTEST_CUSTOM_PORT_H
#define KETTERLIN_GTEST_CUSTOM_PORT_H

#include <cstddef>  // the standard library's configuration: whether it has its own threads

#if defined(__MINGW32__) && !defined(_GLIBCXX_HAS_GTHREADS)
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

// Lets threads that wait for it go once, when the controlling thread notifies.
class Notification {
public:
    Notification() : event(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event); }
    void WaitForNotification() { WaitForSingleObject(event, INFINITE); }

private:
    HANDLE event;
};

}  // namespace internal
}  // namespace testing
#endif

#endif  // KETTERLIN_GTEST_CUSTOM_PORT_H
