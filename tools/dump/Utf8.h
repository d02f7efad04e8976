// Wide text of the reader's model turned into UTF-8 for the terminal and for JSON.
#pragma once

#include <string>
#include <string_view>

// wchar_t is UTF-16 on Windows and UTF-32 elsewhere; both are handled. Unpaired surrogates and
// values beyond U+10FFFF become U+FFFD, so the output is always valid UTF-8.
std::string WideToUtf8(const std::wstring& text);
std::string WideToUtf8(const wchar_t* text);
void AppendUtf8(std::string& out, const wchar_t* text);

// bytes with every sequence that is not UTF-8 replaced by U+FFFD (file names are bytes).
std::string ValidUtf8(const std::string& bytes);

// Appends a JSON string literal, quotes included; control characters are escaped.
void AppendJsonString(std::string& out, std::string_view utf8);
// Appends a JSON array of the strings that separator (a control character) divides items into.
void AppendJsonStrings(std::string& out, std::string_view items, char separator);
