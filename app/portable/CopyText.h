// The text a copy of selected rows puts on the clipboard: a line of column headings, then one
// line per row, cells separated by tabs and every line ended by CR LF. It is written into a
// buffer of bounded size, whole rows only; a copy that cannot hold every selected row ends with
// a line that says how many it holds.
#pragma once

#include <cstddef>

#include "CopyTable.h"

// The most one copy takes, terminator included: 32 Mi UTF-16 characters, 64 MiB of text.
constexpr size_t kMaxCopyCharacters = size_t{32} * 1024 * 1024;

// The last line of a copy that holds fewer rows than were selected.
constexpr const wchar_t* kCopyCutNote = L"Copied the first %d of %d selected rows.";

constexpr wchar_t kCellSeparator = L'\t';
constexpr const wchar_t* kLineEnd = L"\r\n";

// The length of a line of columns cells whose texts together have cellsLength characters.
size_t LineLength(size_t cellsLength, size_t columns);

struct CopiedText {
    size_t length = 0;  // characters written, without the terminator
    int rows = 0;       // selected rows the text holds
    int selected = 0;   // selected rows in all
};

// The characters (terminator included) that the table's text needs at most: every selected row
// at its longest, but never more than kMaxCopyCharacters.
size_t CopyTextCapacity(CopyTable& table);

// Writes the table's text into out, at most capacity - 1 characters and a terminator, reading
// the rows in order. Rows are written whole or not at all; when one does not fit, the rows after
// it are not read, and as many rows as leave room for it are followed by kCopyCutNote.
CopiedText WriteCopyText(CopyTable& table, wchar_t* out, size_t capacity);
