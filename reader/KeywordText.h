// Keyword names and values from TEXT bytes to the model's wide text.
#pragma once

#include <string>

// How a data set's TEXT bytes are read: in the system's ANSI code page (FCS 2.0 and 3.0), or,
// from FCS 3.1 on, whose keywords are UTF-8, as UTF-8 wherever the bytes are valid UTF-8 and in
// the ANSI code page otherwise, so that files written in a legacy code page still read as before.
enum class TextEncoding { kAnsi, kUtf8WhereValid };

std::wstring KeywordTextToWide(const std::string& bytes, TextEncoding encoding);
