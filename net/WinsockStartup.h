// Windows Sockets is started once for the whole process, before wWinMain and before any other
// static object of the program is constructed, and cleaned up at process exit.
#pragma once

// True if the start-up succeeded. Without it no socket call can work.
bool WinsockStarted();
