// A copy of selected rows put on the clipboard as Unicode text.
#pragma once

#include <windows.h>

#include "CopyTable.h"

// Writes the table's text (see CopyText.h) into a block of global memory no larger than the
// copy's limit and puts it on the clipboard for owner. 0 or the Win32 error code of the call
// that failed.
DWORD CopyToClipboard(HWND owner, CopyTable& table);
