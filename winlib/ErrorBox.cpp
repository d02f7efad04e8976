// The error box for Win32 error codes. The box has no owner so that it never disables a window
// of the program; the caller goes on with its own failure path once the user has closed it.
#include "ErrorBox.h"

#include "ErrorTextFormat.h"
#include "Handles.h"
#include "ProgramTexts.h"

namespace {
constexpr DWORD kErrorTextFlags =
    FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER;
}  // namespace

std::wstring ErrorText(DWORD code) {
    wchar_t* systemText = nullptr;
    DWORD length =
        FormatMessageW(kErrorTextFlags, nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       reinterpret_cast<wchar_t*>(&systemText), 0, nullptr);
    // When the system has no text the pointer is not set by the call; it is read only when the
    // call reports text, and the system's block is always given back.
    UniqueLocalMemory block(length != 0 ? static_cast<HLOCAL>(systemText) : nullptr);
    return ComposeErrorText(length != 0 ? systemText : nullptr, code);
}

void ShowError(DWORD code) {
    std::wstring text = ErrorText(code);
    MessageBoxW(nullptr, text.c_str(), kErrorCaption, MB_OK);
}
