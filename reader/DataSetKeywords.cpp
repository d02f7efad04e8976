// Parse's third step: the keywords that define the events, the checks against the keywords a
// version requires and against each other, and the event layout. Every problem is a warning to
// the sink, in a fixed order; nothing here fails Parse.
#include <algorithm>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>

#include "AnsiText.h"
#include "DataSet.h"
#include "DecimalDigits.h"
#include "NumberReading.h"
#include "ProgramTexts.h"
#include "SafeMath.h"

namespace {

// Names compared as views: their lengths decide most comparisons before any character does.
using namespace std::string_view_literals;

struct FcsVersion {
    int32_t major;
    int32_t minor;
};

constexpr FcsVersion kNever = {std::numeric_limits<int32_t>::max(), 0};
// FCS 3.2 made the ANALYSIS and supplemental TEXT offsets and $MODE optional, required $CYT,
// and let each parameter have a data type of its own.
constexpr FcsVersion kVersion32 = {3, 2};

struct RequiredKeyword {
    std::wstring_view name;
    FcsVersion since;  // the version from which the keyword is required
    FcsVersion until;  // the version from which it is optional again
};

// Ordered by UTF-16 code units, the order in which missing keywords are reported.
constexpr RequiredKeyword kRequiredKeywords[] = {
    {L"$BEGINANALYSIS"sv, {3, 0}, kVersion32},
    {L"$BEGINDATA"sv, {3, 0}, kNever},
    {L"$BEGINSTEXT"sv, {3, 0}, kVersion32},
    {L"$BYTEORD"sv, {2, 0}, kNever},
    {L"$CYT"sv, kVersion32, kNever},
    {L"$DATATYPE"sv, {2, 0}, kNever},
    {L"$ENDANALYSIS"sv, {3, 0}, kVersion32},
    {L"$ENDDATA"sv, {3, 0}, kNever},
    {L"$ENDSTEXT"sv, {3, 0}, kVersion32},
    {L"$MODE"sv, {2, 0}, kVersion32},
    {L"$NEXTDATA"sv, {2, 0}, kNever},
    {L"$PAR"sv, {2, 0}, kNever},
    {L"$TOT"sv, {2, 0}, kNever},
};
constexpr size_t kRequiredKeywordCount = std::size(kRequiredKeywords);

// The keywords every parameter n must have: $PnB, $PnE, $PnN and $PnR.
constexpr const wchar_t kParameterLetters[] = L"BENR";
constexpr size_t kParameterLetterCount = std::size(kParameterLetters) - 1;
constexpr int32_t kBitsPerByte = 8;

// A version from x.0 on is any of major x, whatever its minor says (a HEADER may write a minor
// of -1); from 3.2 on, the minor counts.
bool AtLeast(int32_t major, int32_t minor, FcsVersion version) {
    return major > version.major ||
           (major == version.major && (version.minor == 0 || minor >= version.minor));
}

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

constexpr std::wstring_view kColumnTypeSuffix = L"DATATYPE"sv;
constexpr const wchar_t* kNoValuesShown = L" No values are shown.";

// The parameter number of a name "$P<n>DATATYPE" (n read as in $PnB and $PnN); 0 for any
// other name.
int32_t ColumnTypeParameter(const std::wstring& name) {
    if (name.size() < 3 || name[0] != L'$' || name[1] != L'P') {
        return 0;
    }
    int32_t n = 0;
    const wchar_t* end = nullptr;
    if (!StrictInt32(name.c_str() + 2, n, end) || std::wstring_view(end) != kColumnTypeSuffix) {
        return 0;
    }
    return n;
}

bool IsKnownDataType(wchar_t letter) {
    return letter == L'I' || letter == L'F' || letter == L'D';
}

// The width a data type needs, in bytes; for I the widest it reads.
int32_t WidthOfDataType(char dataType) {
    return dataType == 'F' ? kSingleBytes : kDoubleBytes;
}

}  // namespace

void DataSet::InterpretKeywords(int64_t base, Bounds bounds, int64_t& nextData) {
    const EventKeywords event = ReadEventKeywords(base, bounds, nextData);
    SetDefaultByteOrder();
    CheckRequiredKeywords();
    if (event.declaredParameters > kMaxParameterCount) {
        // One warning instead of four for each of thousands of parameters; the widths still
        // count, so the events are counted right, but none is decoded.
        valuesReadable = false;
        warnings.Warn(L"$PAR " + std::to_wstring(event.declaredParameters) + L" is more than the " +
                      std::to_wstring(kMaxParameterCount) + L" parameters " + kProgramName +
                      L" reads." + kNoValuesShown);
    } else {
        CheckParameterKeywords();
    }
    const int64_t widthSum = ReadWidthsAndNames(event.declaredParameters);
    ComputeLayout(bounds, widthSum, event.totValue);
    if (valuesReadable && eventSize > kMaxEventSize) {
        valuesReadable = false;
        warnings.Warn(L"Events of " + std::to_wstring(eventSize) + L" bytes are wider than the " +
                      std::to_wstring(kMaxEventSize) + L" bytes " + kProgramName + L" reads." +
                      kNoValuesShown);
    }
    ReadColumnTypes();
    CheckColumns();
}

DataSet::EventKeywords DataSet::ReadEventKeywords(int64_t base, Bounds& bounds, int64_t& nextData) {
    // Later occurrences win, byte orders accumulate.
    dataType = 'I';
    EventKeywords event;
    for (const Keyword& keyword : keywords) {
        const std::wstring_view name = keyword.name;
        const wchar_t* value = keyword.value.c_str();
        if (name == L"$PAR"sv) {
            // A negative count means no parameters. The list is bounded so that memory does not
            // run away; a data set beyond the bound is reported once and shows no values.
            event.declaredParameters = std::max<int64_t>(WholeValueInt64(value), 0);
            const int64_t count = std::min<int64_t>(event.declaredParameters, kMaxParameterCount);
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
            event.totValue = WholeValueInt64(value);
        }
    }
    return event;
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
    // In name order. Up to 3.1 only the major version counts, as every row's version has a
    // minor of 0 there.
    for (size_t row = 0; row < kRequiredKeywordCount; ++row) {
        const RequiredKeyword& required = kRequiredKeywords[row];
        if (AtLeast(versionMajor, versionMinor, required.since) &&
            !AtLeast(versionMajor, versionMinor, required.until) && !found[row]) {
            warnings.Warn(L"Required keyword " + std::wstring(required.name) + L" not present");
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

int64_t DataSet::ReadWidthsAndNames(int64_t declaredParameters) {
    // Parameters beyond the listed ones (a $PAR over the limit) still take their room in each
    // event; their keywords are not reported one by one.
    const bool overLimit = declaredParameters > static_cast<int64_t>(parameters.size());
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
            const int32_t width = bits / kBitsPerByte;
            if (overLimit && n > 0 && n <= declaredParameters &&
                static_cast<size_t>(n) > parameters.size()) {
                widthSum += width;
                continue;
            }
            if (n < 1 || static_cast<size_t>(n) > parameters.size()) {
                // A width for a parameter the data set does not have has no field to describe:
                // it is reported like a name beyond $PAR and does not count into the event.
                if (!overLimit) {
                    warnings.Warn(ConflictText(name, parameters.size()));
                }
                continue;
            }
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
                if (!overLimit) {
                    warnings.Warn(ConflictText(name, parameters.size()));
                }
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

bool DataSet::AtLeastVersion(int32_t major, int32_t minor) const {
    return AtLeast(versionMajor, versionMinor, {major, minor});
}

void DataSet::ReadColumnTypes() {
    for (Parameter& parameter : parameters) {
        parameter.dataType = dataType;
    }
    if (!AtLeast(versionMajor, versionMinor, kVersion32)) {
        return;
    }
    for (const Keyword& keyword : keywords) {
        const int32_t n = ColumnTypeParameter(keyword.name);
        if (n < 1 || static_cast<size_t>(n) > parameters.size()) {
            continue;
        }
        Parameter& parameter = parameters[static_cast<size_t>(n) - 1];
        const std::wstring& value = keyword.value;
        if (value.size() == 1 && IsKnownDataType(value[0])) {
            parameter.dataType = static_cast<char>(value[0]);
        } else {
            // No column is read by a guess at what its type was meant to be.
            parameter.dataType = '\0';
            warnings.Warn(keyword.name + L" " + value + L" is not I, F or D. Parameter " +
                          std::to_wstring(n) + L" shows no values.");
        }
    }
}

void DataSet::CheckColumns() {
    // Before FCS 3.2 a real of the wrong width shows no value without a word, as it always
    // has; integers too wide to read whole are new to every version, so they are reported.
    const bool since32 = AtLeast(versionMajor, versionMinor, kVersion32);
    for (size_t p = 0; p < parameters.size(); ++p) {
        const Parameter& parameter = parameters[p];
        const char type = parameter.dataType;
        if (!valuesReadable || !IsKnownDataType(static_cast<unsigned char>(type)) ||
            WidthFitsDataType(type, parameter.width) || (!since32 && type != 'I')) {
            continue;
        }
        const std::wstring number = std::to_wstring(p + 1);
        const char letter[2] = {type, '\0'};
        std::wstring text = L"Parameter " + number + L" is " + std::to_wstring(parameter.width) +
                            L" bytes wide; data type " + AnsiToWide(letter);
        text += type == 'I' ? L" reads at most " : L" needs ";
        text += std::to_wstring(type == 'I' ? kMaxIntegerBytes : WidthOfDataType(type));
        text += L". It shows no values.";
        warnings.Warn(text);
    }
}
