// Conversion of TEXT-segment bytes to wide text in the system's ANSI code page. On Windows
// that is MultiByteToWideChar(CP_ACP); elsewhere a Windows-1252 table stands in.
#pragma once

#include <string>

std::wstring AnsiToWide(const char* zeroTerminated);
