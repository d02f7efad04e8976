// The text is written straight into the block the clipboard takes, sized for the selection
// (never beyond the limit), and the block is then shrunk to the text: the clipboard keeps a
// copy of a block's whole size, and no second buffer of the text is ever made.
#include "ClipboardCopy.h"

#include "Clipboard.h"
#include "CopyText.h"
#include "Handles.h"

DWORD CopyToClipboard(HWND owner, CopyTable& table) {
    const size_t capacity = CopyTextCapacity(table);
    SetLastError(0);
    UniqueGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, capacity * sizeof(wchar_t)));
    if (!block) {
        const DWORD error = GetLastError();
        return error != 0 ? error : ERROR_NOT_ENOUGH_MEMORY;
    }
    size_t length = 0;
    {
        const GlobalMemoryLock locked(block.Get());
        if (locked.Data() == nullptr) {
            return locked.Error();
        }
        length = WriteCopyText(table, static_cast<wchar_t*>(locked.Data()), capacity).length;
    }
    // A block that cannot shrink stays as it is.
    if (HGLOBAL shrunk =
            GlobalReAlloc(block.Get(), (length + 1) * sizeof(wchar_t), GMEM_MOVEABLE)) {
        block.Release();
        block.Reset(shrunk);
    }
    return PutTextOnClipboard(owner, block);
}
