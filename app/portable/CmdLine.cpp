// Command-line splitting. The rules are deliberately simple and not the system's: one space
// ends an argument (so a run of spaces yields empty arguments), the character after a closing
// quote is skipped whatever it is, and a backslash is an ordinary character.
#include "CmdLine.h"

#include <cwchar>

namespace {
bool IsIn(const wchar_t* set, wchar_t character) {
    return character != L'\0' && std::wcschr(set, character) != nullptr;
}
}  // namespace

const wchar_t* CmdLine::SkipSeparators(const wchar_t* cursor) {
    while (IsIn(separators, *cursor)) {
        ++cursor;
    }
    return cursor;
}

void CmdLine::Parse(const wchar_t*& cursor) {
    for (;;) {
        std::wstring argument;
        wchar_t activeQuote = L'\0';
        if (IsIn(quotes, *cursor)) {
            activeQuote = *cursor++;
        }
        while (*cursor != L'\0') {
            if (activeQuote == L'\0' ? IsIn(separators, *cursor) : *cursor == activeQuote) {
                break;
            }
            argument += *cursor++;
        }
        if (activeQuote != L'\0') {
            if (*cursor == L'\0') {
                return;  // never closed: the unfinished argument is dropped
            }
            ++cursor;  // past the closing quote
        }
        args.push_back(std::move(argument));
        if (*cursor == L'\0') {
            return;
        }
        ++cursor;  // the separator, or whatever follows a closing quote
    }
}
