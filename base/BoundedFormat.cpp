// Bounded formatting into fixed arrays: the program's one formatter, for the window library, the
// views, the About box and the update request and prompt. Pure code over the C library's counted
// formatting functions, so the cutting rules are tested natively.
#include "BoundedFormat.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

// Longest text that a cut format is allowed to produce before it is cut; far above any text of
// the program, and a bound on the scratch space a runaway format can claim.
constexpr size_t kScratchLimit = 65536;

// Formats into scratch space one character larger than the array, so a text of exactly the
// array's capacity (no room for the terminator) is seen as too long on every runtime, including
// those whose counted functions then leave the buffer unterminated.
template <typename Char, typename Printer>
int FormatInto(Char* buffer, size_t capacity, Overflow overflow, Printer print) {
    // No array of the program comes near the scratch limit; refusing larger ones keeps the
    // scratch size from wrapping around.
    if (buffer == nullptr || capacity == 0) {
        return kFormatFailed;
    }
    if (capacity >= kScratchLimit) {
        buffer[0] = Char(0);
        return kFormatFailed;
    }
    size_t scratchSize = capacity + 1;
    for (;;) {
        std::vector<Char> scratch(scratchSize, Char(0));
        int written = print(scratch.data(), scratchSize);
        scratch[scratchSize - 1] = Char(0);
        if (written >= 0 && static_cast<size_t>(written) < capacity) {
            for (int i = 0; i <= written; ++i) {
                buffer[i] = scratch[i];
            }
            return written;
        }
        if (overflow == Overflow::Error) {
            buffer[0] = Char(0);
            return kFormatFailed;
        }
        // Cut: the whole text is needed to know its first characters for sure.
        bool complete = written >= 0 && static_cast<size_t>(written) < scratchSize - 1;
        if (complete || scratchSize >= kScratchLimit) {
            size_t i = 0;
            for (; i + 1 < capacity && scratch[i] != Char(0); ++i) {
                buffer[i] = scratch[i];
            }
            buffer[i] = Char(0);
            return kFormatFailed;
        }
        scratchSize *= 4;
    }
}

}  // namespace

int VFormatBounded(wchar_t* buffer,
                   size_t capacity,
                   Overflow overflow,
                   const wchar_t* format,
                   va_list arguments) {
    return FormatInto(buffer, capacity, overflow, [&](wchar_t* scratch, size_t size) {
        va_list copy;
        va_copy(copy, arguments);
        int written = std::vswprintf(scratch, size, format, copy);
        va_end(copy);
        return written;
    });
}

int VFormatBounded(char* buffer,
                   size_t capacity,
                   Overflow overflow,
                   const char* format,
                   va_list arguments) {
    return FormatInto(buffer, capacity, overflow, [&](char* scratch, size_t size) {
        va_list copy;
        va_copy(copy, arguments);
        int written = std::vsnprintf(scratch, size, format, copy);
        va_end(copy);
        return written;
    });
}

int FormatBounded(wchar_t* buffer, size_t capacity, Overflow overflow, const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = VFormatBounded(buffer, capacity, overflow, format, arguments);
    va_end(arguments);
    return written;
}

int FormatBounded(char* buffer, size_t capacity, Overflow overflow, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = VFormatBounded(buffer, capacity, overflow, format, arguments);
    va_end(arguments);
    return written;
}

int FormatWide256(wchar_t (&buffer)[kWideTextCapacity], const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = VFormatBounded(buffer, kWideTextCapacity, Overflow::Error, format, arguments);
    va_end(arguments);
    return written;
}

int FormatWideCut16(wchar_t (&buffer)[kVersionTextCapacity], const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = VFormatBounded(buffer, kVersionTextCapacity, Overflow::Cut, format, arguments);
    va_end(arguments);
    return written;
}

int FormatWide8(wchar_t (&buffer)[kIconRefCapacity], const wchar_t* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = VFormatBounded(buffer, kIconRefCapacity, Overflow::Error, format, arguments);
    va_end(arguments);
    return written;
}

int CopyWide256(wchar_t (&buffer)[kWideTextCapacity], const wchar_t* text) {
    size_t i = 0;
    if (text != nullptr) {
        for (; i + 1 < kWideTextCapacity && text[i] != L'\0'; ++i) {
            buffer[i] = text[i];
        }
    }
    buffer[i] = L'\0';
    return static_cast<int>(i);
}
