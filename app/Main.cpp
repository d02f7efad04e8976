// The program's entry: splits the command line, creates and shows the main window, runs the
// message loop until the window is destroyed, and tears down.
#include <windows.h>

#include "CmdLine.h"
#include "ComApartment.h"
#include "ErrorBox.h"
#include "Handles.h"
#include "MainWindow.h"
#include "Window.h"

namespace {

int RunMessageLoop(HWND mainWindow) {
    // The resources hold no accelerator table: the handle is null and nothing is translated,
    // but the loop keeps the translate step so a table can be added without touching it.
    UniqueAcceleratorTable accelerators(LoadAcceleratorsW(moduleInstance, nullptr));
    MSG message = {};
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) {
            return 0;  // an invalid call, not a message: stop rather than spin
        }
        if (!TranslateAcceleratorW(mainWindow, accelerators.Get(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    moduleInstance = instance;
    // The file-open dialog is a COM object used from this thread; COM lives longer than every
    // window object below.
    ComApartment com;
    MainWindow mainWindow;
    CmdLine cmdLine;
    const wchar_t* cursor = CmdLine::SkipSeparators(commandLine != nullptr ? commandLine : L"");
    if (*cursor != L'\0') {
        cmdLine.Parse(cursor);
    }
    int exitCode = 0;
    DWORD error = mainWindow.CreateAndShow(L"", showCommand, cmdLine);
    if (error != 0) {
        ShowError(error);
    } else {
        exitCode = RunMessageLoop(mainWindow.hwnd);
    }
    return exitCode;
}
