// Runs the window library's and the worker thread's Windows-side cases.
#include <windows.h>

#include "WinCheck.h"
#include "Window.h"

int main() {
    moduleInstance = GetModuleHandleW(nullptr);
    return RunWinCases();
}
