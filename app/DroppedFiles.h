// Files dropped on a window from the shell: the system's drop block and the paths it names.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "UniqueResource.h"

struct DropTraits {  // the block of a WM_DROPFILES; DragFinish gives it back to the system
    using Value = HDROP;
    static Value Invalid() { return nullptr; }
    static void Close(Value drop) { DragFinish(drop); }
};

using UniqueDrop = UniqueResource<DropTraits>;

// The path of the first file of a drop; false when the drop names none.
bool FirstDroppedFile(HDROP drop, std::wstring& path);
