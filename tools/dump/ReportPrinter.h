// Writes an inspected file as readable text or as one JSON document, both in UTF-8.
#pragma once

#include <cstdio>
#include <string>

#include "FileInspector.h"

// How the reading ended, as the viewer reports it: "Unknown format", or the error box's caption
// and code for a file that could not be positioned ("Error (131)"); empty when all was read.
std::string OutcomeText(const DataSetChain& outcome);

void PrintTextReport(std::FILE* out, const FileReport& report);
void PrintJsonReport(std::FILE* out, const FileReport& report);
