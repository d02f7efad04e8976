// The first path of a drop, however long: the system reports its length before copying it.
#include "DroppedFiles.h"

#include <utility>

namespace {
constexpr UINT kFirstFile = 0;
}  // namespace

bool FirstDroppedFile(HDROP drop, std::wstring& path) {
    const UINT length = DragQueryFileW(drop, kFirstFile, nullptr, 0);
    if (length == 0) {
        return false;
    }
    std::wstring copied(static_cast<size_t>(length) + 1, L'\0');
    const UINT written = DragQueryFileW(drop, kFirstFile, &copied[0], length + 1);
    if (written == 0) {
        return false;
    }
    copied.resize(written);
    path = std::move(copied);
    return true;
}
