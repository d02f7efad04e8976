// Starts Windows Sockets before anything else of the program runs. The start-up object carries
// the highest user priority for static construction, so it is built before every static object
// of default priority (the link control's class registration among them) whatever order the
// linker puts the objects in. Socket.cpp asks WinsockStarted(), which pulls this file into every
// program that uses sockets.
#include "WinsockStartup.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdlib>

#include "ProgramTexts.h"

namespace {

constexpr WORD kWinsockVersion = MAKEWORD(2, 2);

void CleanupWinsock() {
    WSACleanup();
}

class WinsockStartup {
public:
    WinsockStartup() {
        WSADATA data;
        started = WSAStartup(kWinsockVersion, &data) == 0;
        if (!started)
            MessageBoxW(nullptr, L"Can't init sockets", kErrorCaption, MB_OK);
        // Registered even after a failure: WSACleanup is harmless then.
        std::atexit(CleanupWinsock);
    }
    WinsockStartup(const WinsockStartup&) = delete;
    WinsockStartup& operator=(const WinsockStartup&) = delete;

    bool started = false;
};

// 101 is the first priority open to programs; lower ones belong to the runtime.
__attribute__((init_priority(101))) WinsockStartup winsockStartup;

}  // namespace

bool WinsockStarted() {
    return winsockStartup.started;
}
