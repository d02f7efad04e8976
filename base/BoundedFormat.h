// Formatting of short texts into fixed arrays. Every array has a capacity in characters that
// includes the terminating zero; a text that does not fit is either an error (the array is left
// empty) or cut to the capacity less one. Both report -1, as the platform's bounded functions do.
#pragma once

#include <cstdarg>
#include <cstddef>

constexpr int kFormatFailed = -1;

constexpr size_t kWideTextCapacity = 256;    // summary rows, number texts, keyword names, prompts
constexpr size_t kVersionTextCapacity = 16;  // "v%d.%dr%d": cut, never refused
constexpr size_t kIconRefCapacity = 8;       // "#%d" of an icon control

enum class Overflow { Error, Cut };

// The general forms: capacity counts the terminator. On success the number of characters
// written (without the terminator); otherwise -1 with the array holding an empty text (Error)
// or the first capacity - 1 characters (Cut). A zero capacity writes nothing and gives -1;
// arrays of 65536 characters or more are refused (empty, -1).
int VFormatBounded(wchar_t* buffer,
                   size_t capacity,
                   Overflow overflow,
                   const wchar_t* format,
                   va_list arguments);
int VFormatBounded(char* buffer,
                   size_t capacity,
                   Overflow overflow,
                   const char* format,
                   va_list arguments);

// The same with the arguments in place, for buffers whose capacity their user chooses.
int FormatBounded(wchar_t* buffer, size_t capacity, Overflow overflow, const wchar_t* format, ...);
int FormatBounded(char* buffer, size_t capacity, Overflow overflow, const char* format, ...);

// The program's fixed arrays, one form per kind of array.
int FormatWide256(wchar_t (&buffer)[kWideTextCapacity], const wchar_t* format, ...);
int FormatWideCut16(wchar_t (&buffer)[kVersionTextCapacity], const wchar_t* format, ...);
int FormatWide8(wchar_t (&buffer)[kIconRefCapacity], const wchar_t* format, ...);

// Copies text into an array of 256, cutting what does not fit (a label copy, never refused).
// Returns the number of characters copied.
int CopyWide256(wchar_t (&buffer)[kWideTextCapacity], const wchar_t* text);
