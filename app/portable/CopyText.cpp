// The copy's text in a caller's buffer. Rows are written while they fit; the writer remembers
// the last row that still left room for the note, so a copy cut short goes back to it and says
// so, while a selection that fits is copied whole. Sizes are counted in 64 bits: a row bound times
// a hundred million rows passes any 32-bit size.
#include "CopyText.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <limits>

#include "BoundedFormat.h"

namespace {

// A zero-terminated text growing in a fixed buffer, refusing what would not fit.
class BoundedText {
public:
    BoundedText(wchar_t* buffer, size_t capacity)
        : out(buffer), room(capacity > 0 ? capacity - 1 : 0), terminated(capacity > 0) {}

    // The characters the buffer holds before its terminator.
    size_t Room() const { return room; }
    size_t Length() const { return length; }
    void CutTo(size_t kept) { length = kept; }

    // Appends count characters unless the text would then be longer than the room.
    bool Append(const wchar_t* text, size_t count) {
        if (count > room - length) {
            return false;
        }
        std::wmemcpy(out + length, text, count);
        length += count;
        return true;
    }

    void Terminate() {
        if (terminated) {
            out[length] = L'\0';
        }
    }

private:
    wchar_t* out;
    size_t room;
    bool terminated;  // a buffer of no characters cannot even hold the terminator
    size_t length = 0;
};

// Appends one line of cells, or nothing when it does not fit.
template <typename CellOf>
bool AppendLine(BoundedText& text, size_t columns, CellOf cellOf) {
    const size_t start = text.Length();
    const wchar_t separator[] = {kCellSeparator};
    for (size_t column = 0; column < columns; ++column) {
        const wchar_t* cell = cellOf(column);
        if ((column > 0 && !text.Append(separator, 1)) || !text.Append(cell, std::wcslen(cell))) {
            text.CutTo(start);
            return false;
        }
    }
    if (!text.Append(kLineEnd, std::wcslen(kLineEnd))) {
        text.CutTo(start);
        return false;
    }
    return true;
}

// The note for rows of selected, or an empty text when it cannot be formatted.
int FormatNote(wchar_t (&note)[kWideTextCapacity], int rows, int selected) {
    const int length = FormatWide256(note, kCopyCutNote, rows, selected);
    return length < 0 ? 0 : length;
}

// The room a note for this selection needs: no count of copied rows has more digits than the
// count of selected ones.
size_t NoteRoom(int selected) {
    wchar_t note[kWideTextCapacity];
    return LineLength(static_cast<size_t>(FormatNote(note, selected, selected)), 1);
}

uint64_t SaturatingProduct(uint64_t a, uint64_t b) {
    uint64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? std::numeric_limits<uint64_t>::max() : product;
}

uint64_t SaturatingSum(uint64_t a, uint64_t b) {
    uint64_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? std::numeric_limits<uint64_t>::max() : sum;
}

size_t HeadingLineLength(const std::vector<std::wstring>& headings) {
    size_t length = 0;
    for (const std::wstring& heading : headings) {
        length += std::wcslen(heading.c_str());  // the list shows a heading up to its first zero
    }
    return LineLength(length, headings.size());
}

}  // namespace

size_t LineLength(size_t cellsLength, size_t columns) {
    return cellsLength + (columns > 0 ? columns - 1 : 0) + std::wcslen(kLineEnd);
}

size_t CopyTextCapacity(CopyTable& table) {
    const int selected = std::max(table.RowCount(), 0);
    uint64_t needed = HeadingLineLength(table.Headings());
    needed = SaturatingSum(
        needed, SaturatingProduct(static_cast<uint64_t>(selected), table.LineLengthBound()));
    needed = SaturatingSum(needed, NoteRoom(selected));
    needed = SaturatingSum(needed, 1);  // the terminator
    return static_cast<size_t>(std::min<uint64_t>(needed, kMaxCopyCharacters));
}

CopiedText WriteCopyText(CopyTable& table, wchar_t* out, size_t capacity) {
    CopiedText copied;
    copied.selected = std::max(table.RowCount(), 0);
    BoundedText text(out, capacity);
    // Where the text may end and still leave room for the note, and the last state that did.
    const size_t belowNote = text.Room() - std::min(NoteRoom(copied.selected), text.Room());
    size_t keptLength = 0;
    int keptRows = 0;

    const std::vector<std::wstring> headings = table.Headings();
    const size_t columns = headings.size();
    bool fits = AppendLine(text, columns, [&](size_t column) { return headings[column].c_str(); });
    while (fits) {
        if (text.Length() <= belowNote) {
            keptLength = text.Length();
            keptRows = copied.rows;
        }
        if (copied.rows == copied.selected || !table.NextRow()) {
            break;
        }
        fits = AppendLine(text, columns,
                          [&](size_t column) { return table.Cell(static_cast<int>(column)); });
        copied.rows += fits ? 1 : 0;
    }
    if (copied.rows < copied.selected) {
        text.CutTo(keptLength);
        copied.rows = keptRows;
        wchar_t note[kWideTextCapacity];
        FormatNote(note, copied.rows, copied.selected);
        AppendLine(text, 1, [&](size_t) { return static_cast<const wchar_t*>(note); });
    }
    text.Terminate();
    copied.length = text.Length();
    return copied;
}
