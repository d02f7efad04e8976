// The text of the error box: the system's text for a Win32 error code, then the code in decimal
// in parentheses. Kept apart from FormatMessageW so the composition is tested natively.
#pragma once

#include <cstdint>
#include <string>

// systemText may be null when the system has no text for the code; only " (code)" remains then.
std::wstring ComposeErrorText(const wchar_t* systemText, uint32_t code);
