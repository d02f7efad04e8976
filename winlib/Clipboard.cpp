// Putting a text on the clipboard. Opening, emptying and setting its data each report their own
// failure; the clipboard is closed again whatever happens, since every other program waits for
// it meanwhile.
#include "Clipboard.h"

namespace {

// The thread's code is cleared before each call, so a code read after its failure is the call's
// own; some failures leave none, and a box must never read "completed successfully".
DWORD CodeOfFailure(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != 0 ? error : fallback;
}

void* LockCleanly(HGLOBAL block) {
    SetLastError(0);
    return GlobalLock(block);
}

bool OpenCleanly(HWND owner) {
    SetLastError(0);
    return OpenClipboard(owner) != FALSE;
}

}  // namespace

GlobalMemoryLock::GlobalMemoryLock(HGLOBAL locked)
    : block(locked),
      data(LockCleanly(locked)),
      error(data != nullptr ? 0 : CodeOfFailure(ERROR_INVALID_HANDLE)) {}

GlobalMemoryLock::~GlobalMemoryLock() {
    if (data != nullptr) {
        GlobalUnlock(block);
    }
}

ClipboardOpening::ClipboardOpening(HWND owner)
    : error(OpenCleanly(owner) ? 0 : CodeOfFailure(ERROR_ACCESS_DENIED)) {}

ClipboardOpening::~ClipboardOpening() {
    if (error == 0) {
        CloseClipboard();
    }
}

DWORD PutTextOnClipboard(HWND owner, UniqueGlobalMemory& text) {
    const ClipboardOpening clipboard(owner);
    if (clipboard.Error() != 0) {
        return clipboard.Error();
    }
    SetLastError(0);
    if (!EmptyClipboard()) {
        return CodeOfFailure(ERROR_CLIPBOARD_NOT_OPEN);
    }
    SetLastError(0);
    if (SetClipboardData(CF_UNICODETEXT, text.Get()) == nullptr) {
        return CodeOfFailure(ERROR_CLIPBOARD_NOT_OPEN);
    }
    text.Release();  // the clipboard's now
    return 0;
}
