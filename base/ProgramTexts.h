// Texts the program shows in more than one place, each written once: the reader's warning boxes,
// the main window, the update prompt and ketterlin-dump all take them from here.
#pragma once

#include <cstddef>

// The program's name: caption of its boxes, its window class and the end of its title.
constexpr const wchar_t* kProgramName = L"Ketterlin";

// A file that cannot be read as a data set.
constexpr const wchar_t* kUnknownFormat = L"Unknown format";

// The caption of the box that shows a system error code.
constexpr const wchar_t* kErrorCaption = L"Error";

// The labels of the six HEADER offsets, in HEADER order.
constexpr const wchar_t* kHeaderFieldLabels[] = {
    L"Text Start", L"Text End", L"Data Start", L"Data End", L"Analysis Start", L"Analysis End",
};
constexpr std::size_t kHeaderFieldLabelCount =
    sizeof kHeaderFieldLabels / sizeof *kHeaderFieldLabels;
