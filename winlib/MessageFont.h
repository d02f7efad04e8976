// The user's message font: the font of message boxes, which the library's dialogs and their
// controls use so that they look like the system's own.
#pragma once

#include <windows.h>

// Fills font from the system's non-client metrics. False when the system gives none.
bool QueryMessageFont(LOGFONTW& font);
