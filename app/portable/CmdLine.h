// The program's command line split into arguments by its own rules: arguments end at a space,
// a double quote opens a quoted argument only as its first character, nothing is unescaped.
#pragma once

#include <string>
#include <vector>

class CmdLine {
public:
    static constexpr const wchar_t* separators = L" ";  // end an unquoted argument
    static constexpr const wchar_t* quotes = L"\"";     // open (and close) a quoted argument

    std::vector<std::wstring> args;

    // The cursor past the leading separators (the entry skips them before Parse).
    static const wchar_t* SkipSeparators(const wchar_t* cursor);

    // Appends the arguments at the cursor to args, moving the cursor. The text must not be
    // empty and must not begin with a separator. An unterminated quoted argument is dropped,
    // and splitting stops there.
    void Parse(const wchar_t*& cursor);
};
