// The one way a Win32 error code reaches the user: a box with the system's text and the code.
#pragma once

#include <windows.h>

#include <string>

// The system's text for code (empty when it has none), " (", the code in decimal, ")".
std::wstring ErrorText(DWORD code);

// A box without owner window, caption "Error", one OK button; returns when it is closed.
void ShowError(DWORD code);
