// The main window's title for an open file: its name and extension, " - ", "Ketterlin".
#pragma once

#include <string>

#include "ProgramTexts.h"

// The title from a file name and extension as the runtime's path splitting gives them.
std::wstring TitleFromParts(const std::wstring& name, const std::wstring& extension);

// The last component of a path (after the last '\\', '/' or drive colon), for paths whose name or
// extension is too long for the splitting buffers.
std::wstring LastPathComponent(const std::wstring& path);
