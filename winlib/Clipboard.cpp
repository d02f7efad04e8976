// Putting a text, or a picture and a text, on the clipboard. The text is written straight into
// the block the clipboard takes, so no second copy of it is made, and the block is then shrunk to
// the text, since the clipboard keeps a copy of a block's whole size. Allocating, locking,
// opening, emptying and setting the data each report their own failure; the clipboard is closed
// again whatever happens, since every other program waits for it meanwhile.
#include "Clipboard.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "Handles.h"

namespace {

// The thread's code is cleared before each call, so a code read after its failure is the call's
// own; some failures leave none, and a box must never read "completed successfully".
DWORD CodeOfFailure(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != 0 ? error : fallback;
}

// A block of global memory locked for as long as the object lives.
class GlobalMemoryLock {
public:
    explicit GlobalMemoryLock(HGLOBAL locked) : block(locked) {
        SetLastError(0);
        data = GlobalLock(locked);
        error = data != nullptr ? 0 : CodeOfFailure(ERROR_INVALID_HANDLE);
    }
    ~GlobalMemoryLock() {
        if (data != nullptr) {
            GlobalUnlock(block);
        }
    }
    GlobalMemoryLock(const GlobalMemoryLock&) = delete;
    GlobalMemoryLock& operator=(const GlobalMemoryLock&) = delete;

    void* Data() const { return data; }  // null when the lock failed
    DWORD Error() const { return error; }

private:
    HGLOBAL block;
    void* data = nullptr;
    DWORD error = 0;
};

// The clipboard, open for the calling thread for as long as the object lives.
class ClipboardOpening {
public:
    explicit ClipboardOpening(HWND owner) {
        SetLastError(0);
        error = OpenClipboard(owner) ? 0 : CodeOfFailure(ERROR_ACCESS_DENIED);
    }
    ~ClipboardOpening() {
        if (error == 0) {
            CloseClipboard();
        }
    }
    ClipboardOpening(const ClipboardOpening&) = delete;
    ClipboardOpening& operator=(const ClipboardOpening&) = delete;

    DWORD Error() const { return error; }  // 0 when the clipboard is open

private:
    DWORD error = 0;
};

// A block holding the written text, shrunk to it; 0 or the code of the call that failed.
DWORD WriteBlock(size_t capacity, const ClipboardTextWriter& write, UniqueGlobalMemory& block) {
    SetLastError(0);
    block.Reset(GlobalAlloc(GMEM_MOVEABLE, capacity * sizeof(wchar_t)));
    if (!block) {
        return CodeOfFailure(ERROR_NOT_ENOUGH_MEMORY);
    }
    size_t length = 0;
    {
        const GlobalMemoryLock locked(block.Get());
        if (locked.Data() == nullptr) {
            return locked.Error();
        }
        length = write(static_cast<wchar_t*>(locked.Data()), capacity);
    }
    // A block that cannot shrink stays as it is.
    if (HGLOBAL shrunk =
            GlobalReAlloc(block.Get(), (length + 1) * sizeof(wchar_t), GMEM_MOVEABLE)) {
        block.Release();
        block.Reset(shrunk);
    }
    return 0;
}

// A device-independent bitmap block: the header, then the rows bottom-up as CF_DIB has them.
DWORD WritePictureBlock(const ClipboardPicture& picture, UniqueGlobalMemory& block) {
    const size_t rowBytes = static_cast<size_t>(picture.width) * sizeof(Colour);
    const size_t bytes = sizeof(BITMAPINFOHEADER) + rowBytes * static_cast<size_t>(picture.height);
    SetLastError(0);
    block.Reset(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block) {
        return CodeOfFailure(ERROR_NOT_ENOUGH_MEMORY);
    }
    const GlobalMemoryLock locked(block.Get());
    if (locked.Data() == nullptr) {
        return locked.Error();
    }
    auto* header = static_cast<BITMAPINFOHEADER*>(locked.Data());
    *header = {};
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = picture.width;
    header->biHeight = picture.height;  // positive: bottom-up
    header->biPlanes = 1;
    header->biBitCount = 32;
    header->biCompression = BI_RGB;
    header->biSizeImage = static_cast<DWORD>(rowBytes * static_cast<size_t>(picture.height));
    auto* rows = reinterpret_cast<uint8_t*>(header + 1);
    for (int y = 0; y < picture.height; ++y) {
        const Colour* source = picture.pixels + static_cast<size_t>(picture.height - 1 - y) *
                                                    static_cast<size_t>(picture.width);
        memcpy(rows + static_cast<size_t>(y) * rowBytes, source, rowBytes);
    }
    return 0;
}

struct ClipboardBlock {
    UINT format;
    UniqueGlobalMemory* block;
};

// Empties the clipboard and hands it the blocks, in one opening.
DWORD SetClipboardBlocks(HWND owner, std::initializer_list<ClipboardBlock> blocks) {
    const ClipboardOpening clipboard(owner);
    if (clipboard.Error() != 0) {
        return clipboard.Error();
    }
    SetLastError(0);
    if (!EmptyClipboard()) {
        return CodeOfFailure(ERROR_CLIPBOARD_NOT_OPEN);
    }
    for (const ClipboardBlock& data : blocks) {
        SetLastError(0);
        if (SetClipboardData(data.format, data.block->Get()) == nullptr) {
            return CodeOfFailure(ERROR_CLIPBOARD_NOT_OPEN);
        }
        data.block->Release();  // the clipboard's now
    }
    return 0;
}

}  // namespace

DWORD PutTextOnClipboard(HWND owner, size_t capacity, const ClipboardTextWriter& write) {
    UniqueGlobalMemory block;
    if (const DWORD error = WriteBlock(capacity, write, block)) {
        return error;
    }
    return SetClipboardBlocks(owner, {{CF_UNICODETEXT, &block}});
}

DWORD PutPictureAndTextOnClipboard(HWND owner,
                                   const ClipboardPicture& picture,
                                   size_t capacity,
                                   const ClipboardTextWriter& write) {
    UniqueGlobalMemory pictureBlock;
    if (const DWORD error = WritePictureBlock(picture, pictureBlock)) {
        return error;
    }
    UniqueGlobalMemory textBlock;
    if (const DWORD error = WriteBlock(capacity, write, textBlock)) {
        return error;
    }
    return SetClipboardBlocks(owner, {{CF_DIB, &pictureBlock}, {CF_UNICODETEXT, &textBlock}});
}
