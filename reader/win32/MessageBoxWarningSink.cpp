// Warnings in boxes without an owner window, so the main window stays usable while one is
// open; the reader goes on once the box is dismissed.
#include "MessageBoxWarningSink.h"

#include <windows.h>

#include "ProgramTexts.h"

void MessageBoxWarningSink::Warn(const std::wstring& text) {
    if (silenced) {
        return;
    }
    MessageBoxW(NULL, text.c_str(), kProgramName, MB_OK);
}

void MessageBoxWarningSink::Diagnostic(const std::string& line) {
    OutputDebugStringA(line.c_str());
}
