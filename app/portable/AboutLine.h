// The About box's name-and-version line: the program's name, one space, and the version written
// "v%d.%dr%d" into a 16-character array that cuts a longer text.
#pragma once

#include <string>

#include "BoundedFormat.h"

// The number of characters written, or -1 when the text was cut to its first 15 characters.
int FormatVersionText(wchar_t (&text)[kVersionTextCapacity], int major, int minor, int revision);

// "Ketterlin", " " and the version text (empty when the version could not be read).
std::wstring AboutLine(const wchar_t* versionText);
