// Writes an inspected file as readable text, as one JSON document on one line, or as its
// warnings and errors alone, all in UTF-8.
#pragma once

#include <cstdio>
#include <string>

#include "FileInspector.h"

// How the reading ended, as the viewer reports it: "Unknown format", or the error box's caption
// and code for a file that could not be positioned ("Error (131)"); empty when all was read.
std::string OutcomeText(const DataSetChain& outcome);

void PrintTextReport(std::FILE* out, const FileReport& report);
// path is the file's name as given; the document names it under "file".
void PrintJsonReport(std::FILE* out, const std::string& path, const FileReport& report);
// One line per warning ("PATH: data set N: TEXT") and "PATH: Unknown format"; true when any.
bool PrintCheckReport(std::FILE* out, const std::string& path, const FileReport& report);
