// Parse's third step: the keywords that define the events, the checks against the keywords a
// version requires and against each other, and the event layout. Every problem is a warning to
// the sink, in a fixed order; nothing here fails Parse.
#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

#include "AnsiText.h"
#include "DataSet.h"
#include "DecimalDigits.h"
#include "NumberReading.h"
#include "SafeMath.h"

namespace {

// Names compared as views: their lengths decide most comparisons before any character does.
using namespace std::string_view_literals;

struct RequiredKeyword {
    std::wstring_view name;
    int32_t since;  // major version from which the keyword is required
};

// Ordered by UTF-16 code units, the order in which missing keywords are reported.
constexpr RequiredKeyword kRequiredKeywords[] = {
    {L"$BEGINANALYSIS"sv, 3}, {L"$BEGINDATA"sv, 3},   {L"$BEGINSTEXT"sv, 3}, {L"$BYTEORD"sv, 2},
    {L"$DATATYPE"sv, 2},      {L"$ENDANALYSIS"sv, 3}, {L"$ENDDATA"sv, 3},    {L"$ENDSTEXT"sv, 3},
    {L"$MODE"sv, 2},          {L"$NEXTDATA"sv, 2},    {L"$PAR"sv, 2},        {L"$TOT"sv, 2},
};
constexpr size_t kRequiredKeywordCount = std::size(kRequiredKeywords);

// The keywords every parameter n must have: $PnB, $PnE, $PnN and $PnR.
constexpr const wchar_t kParameterLetters[] = L"BENR";
constexpr size_t kParameterLetterCount = std::size(kParameterLetters) - 1;
constexpr int32_t kBitsPerByte = 8;

void AppendByteOrder(const std::wstring& value, std::vector<int32_t>& byteOrder) {
    const wchar_t* cursor = value.c_str();
    for (;;) {
        int32_t number = 0;
        const wchar_t* end = nullptr;
        if (!StrictInt32(cursor, number, end)) {
            return;
        }
        byteOrder.push_back(number);
        if (*end != L',') {
            return;
        }
        cursor = end + 1;
    }
}

// The number and letter of a name written exactly as a parameter's required keyword is: "$P", the
// number in decimal without sign or leading zero, one letter of BENR. Numbers beyond any
// parameter read as kMaxParameterCount + 1.
bool ParameterKeywordOf(const std::wstring& name, size_t& n, size_t& letter) {
    if (name.size() < 4 || name[0] != L'$' || name[1] != L'P' || name[2] == L'0') {
        return false;
    }
    const wchar_t* digits = name.c_str() + 2;
    const wchar_t* end = name.c_str() + name.size();
    uint64_t number = 0;
    const wchar_t* after = ScanDecimalDigits(digits, end, kMaxParameterCount + 1, number);
    if (after == digits || after + 1 != end) {
        return false;
    }
    for (letter = 0; letter < kParameterLetterCount; ++letter) {
        if (*after == kParameterLetters[letter]) {
            n = static_cast<size_t>(number);
            return true;
        }
    }
    return false;
}

std::wstring ConflictText(const std::wstring& name, size_t count) {
    return name + L" conflicts with $PAR (" + std::to_wstring(count) + L"). Ignoring.";
}

}  // namespace

void DataSet::InterpretKeywords(int64_t base, Bounds bounds, int64_t& nextData) {
    const int64_t totValue = ReadEventKeywords(base, bounds, nextData);
    SetDefaultByteOrder();
    CheckRequiredKeywords();
    CheckParameterKeywords();
    const int64_t widthSum = ReadWidthsAndNames();
    ComputeLayout(bounds, widthSum, totValue);
}

int64_t DataSet::ReadEventKeywords(int64_t base, Bounds& bounds, int64_t& nextData) {
    // Later occurrences win, byte orders accumulate.
    dataType = 'I';
    int64_t totValue = 0;
    for (const Keyword& keyword : keywords) {
        const std::wstring_view name = keyword.name;
        const wchar_t* value = keyword.value.c_str();
        if (name == L"$PAR"sv) {
            // A negative count means no parameters; an absurd one is bounded so that neither
            // memory nor the per-parameter warnings run away.
            const int32_t count = std::clamp(WholeValueInt32(value), 0, kMaxParameterCount);
            parameters.resize(static_cast<size_t>(count));
        } else if (name == L"$DATATYPE"sv) {
            dataType = static_cast<char>(static_cast<unsigned char>(value[0]));  // cut to 8 bits
        } else if (name == L"$BYTEORD"sv) {
            AppendByteOrder(keyword.value, byteOrder);
        } else if (name == L"$BEGINDATA"sv) {
            bounds.dataStart = SaturatingAdd(base, WholeValueInt64(value));
        } else if (name == L"$ENDDATA"sv) {
            bounds.dataEnd = SaturatingAdd(base, WholeValueInt64(value));
        } else if (name == L"$NEXTDATA"sv) {
            nextData = WholeValueInt64(value);
        } else if (name == L"$TOT"sv) {
            totValue = WholeValueInt64(value);
        }
    }
    return totValue;
}

void DataSet::SetDefaultByteOrder() {
    if (!byteOrder.empty()) {
        return;
    }
    if (dataType != 'I') {
        std::wstring text = L"Required keyword $BYTEORD not present for data type ";
        const char letter[2] = {dataType, '\0'};
        text += AnsiToWide(letter);
        warnings.Warn(text);
    }
    byteOrder.push_back(1);
}

void DataSet::CheckRequiredKeywords() {
    bool found[kRequiredKeywordCount] = {};
    for (const Keyword& keyword : keywords) {
        for (size_t row = 0; row < kRequiredKeywordCount; ++row) {
            if (keyword.name == kRequiredKeywords[row].name) {
                found[row] = true;
            }
        }
    }
    // In name order; only the major version counts.
    for (size_t row = 0; row < kRequiredKeywordCount; ++row) {
        if (versionMajor >= kRequiredKeywords[row].since && !found[row]) {
            warnings.Warn(L"Required keyword " + std::wstring(kRequiredKeywords[row].name) +
                          L" not present");
        }
    }
}

void DataSet::CheckParameterKeywords() {
    // Which of each parameter's keywords are there, one bit per letter, found in one pass so
    // that data sets with thousands of parameters open at once.
    std::vector<uint8_t> present(parameters.size(), 0);
    for (const Keyword& keyword : keywords) {
        size_t n = 0;
        size_t letter = 0;
        if (ParameterKeywordOf(keyword.name, n, letter) && n >= 1 && n <= parameters.size()) {
            present[n - 1] |= static_cast<uint8_t>(1u << letter);
        }
    }
    for (size_t n = 1; n <= parameters.size(); ++n) {
        for (size_t letter = 0; letter < kParameterLetterCount; ++letter) {
            if ((present[n - 1] & (1u << letter)) == 0) {
                warnings.Warn(L"Required keyword $P" + std::to_wstring(n) +
                              kParameterLetters[letter] + L" not present");
            }
        }
    }
}

int64_t DataSet::ReadWidthsAndNames() {
    int64_t widthSum = 0;
    for (const Keyword& keyword : keywords) {
        const std::wstring& name = keyword.name;
        if (name.size() < 2 || name[0] != L'$' || name[1] != L'P') {
            continue;
        }
        int32_t n = 0;
        const wchar_t* end = nullptr;
        if (!StrictInt32(name.c_str() + 2, n, end)) {
            continue;
        }
        const wchar_t letter = *end;
        if (letter != L'B' && letter != L'N') {
            continue;
        }
        if (letter == L'B') {
            int32_t bits = 0;
            const wchar_t* valueEnd = nullptr;
            // A negative bit count is no width at all, like a value without a number.
            if (!StrictInt32(keyword.value.c_str(), bits, valueEnd) || bits < 0) {
                continue;
            }
            if (n < 1 || static_cast<size_t>(n) > parameters.size()) {
                // A width for a parameter the data set does not have has no field to describe:
                // it is reported like a name beyond $PAR and does not count into the event.
                warnings.Warn(ConflictText(name, parameters.size()));
                continue;
            }
            const int32_t width = bits / kBitsPerByte;
            widthSum += width;
            parameters[static_cast<size_t>(n) - 1].width = width;
            if (static_cast<size_t>(width) != byteOrder.size()) {
                warnings.Diagnostic("Fieldsize " + std::to_string(width) + " byteordsize " +
                                    std::to_string(byteOrder.size()) + "\n");
            }
        } else {
            if (n >= 1 && static_cast<size_t>(n) > parameters.size() && versionMajor == 1 &&
                n <= kMaxParameterCount) {
                // Version 1 let names define the parameters.
                parameters.resize(static_cast<size_t>(n));
            }
            if (n < 1 || static_cast<size_t>(n) > parameters.size()) {
                warnings.Warn(ConflictText(name, parameters.size()));
                continue;
            }
            parameters[static_cast<size_t>(n) - 1].name = keyword.value;
        }
    }
    return widthSum;
}

void DataSet::ComputeLayout(const Bounds& bounds, int64_t widthSum, int64_t totValue) {
    dataOffset = bounds.dataStart;
    eventSize = ClampToInt32(widthSum);
    fieldOffsets.assign(parameters.size(), 0);
    int64_t offset = 0;
    for (size_t p = 0; p < parameters.size(); ++p) {
        fieldOffsets[p] = offset;
        offset += parameters[p].width;
    }
    // Both DATA offsets are inclusive. No width, no event. The count is the file's own, bounded
    // only by 64-bit arithmetic (the DATA bounds saturate); how many of the events a view can
    // show is the view's business.
    int64_t computed = 0;
    if (widthSum > 0) {
        const int64_t length = SaturatingAdd(SaturatingSub(bounds.dataEnd, bounds.dataStart), 1);
        computed = length / widthSum;  // negative when the DATA end lies before its start
    }
    // Reversed DATA bounds hold no events; $TOT is checked against the count the bounds give,
    // so they are reported rather than passing as an empty data set.
    eventCount = std::max<int64_t>(computed, 0);
    if (computed != totValue) {
        warnings.Warn(L"$TOT conflict with data size");
    }
}
