// Writes an inspected file as readable text or as one JSON document, both in UTF-8.
#pragma once

#include <cstdio>

#include "FileInspector.h"

extern const char* const kUnknownFormat;

void PrintTextReport(std::FILE* out, const FileReport& report);
void PrintJsonReport(std::FILE* out, const FileReport& report);
