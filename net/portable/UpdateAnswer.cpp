// Parsing and judging the update server's answer. The answer is untrusted text from the
// network, so it is checked strictly and anything unexpected means "no update": the check must
// never prompt for a version it could not read exactly.
#include "UpdateAnswer.h"

#include <limits>

#include "BoundedFormat.h"
#include "DecimalDigits.h"

namespace {

constexpr char kSeparator = ',';
constexpr std::size_t kVersionNumbers = 3;
constexpr std::uint64_t kVersionNumberMax = std::numeric_limits<std::int32_t>::max();

}  // namespace

std::optional<std::vector<std::int32_t>> ParseUpdateAnswer(std::string_view answer) {
    while (!answer.empty() && (answer.back() == '\r' || answer.back() == '\n'))
        answer.remove_suffix(1);

    std::vector<std::int32_t> numbers;
    const char* cursor = answer.data();
    const char* const end = answer.data() + answer.size();
    for (;;) {
        // Saturating one above the largest version number tells a number too large apart.
        std::uint64_t value = 0;
        const char* after = ScanDecimalDigits(cursor, end, kVersionNumberMax + 1, value);
        if (after == cursor)
            return std::nullopt;
        // A version number too large for the comparison is not one we can trust; the numbers
        // after the version are only read past, whatever their size.
        if (numbers.size() < kVersionNumbers) {
            if (value > kVersionNumberMax)
                return std::nullopt;
            numbers.push_back(static_cast<std::int32_t>(value));
        }
        if (after == end)
            return numbers;
        if (*after != kSeparator)
            return std::nullopt;
        cursor = after + 1;
    }
}

bool IsNewer(const ProgramVersion& candidate, const ProgramVersion& current) {
    if (candidate.major != current.major)
        return candidate.major > current.major;
    if (candidate.minor != current.minor)
        return candidate.minor > current.minor;
    return candidate.revision > current.revision;
}

std::optional<ProgramVersion> OfferedUpdate(std::string_view answer,
                                            const ProgramVersion& current) {
    const auto numbers = ParseUpdateAnswer(answer);
    if (!numbers || numbers->size() < kVersionNumbers)
        return std::nullopt;
    ProgramVersion newest;
    newest.major = (*numbers)[0];
    newest.minor = (*numbers)[1];
    newest.revision = (*numbers)[2];
    if (!IsNewer(newest, current))
        return std::nullopt;
    return newest;
}

bool FormatUpdatePath(char* buffer, std::size_t size, const ProgramVersion& version) {
    return FormatBounded(buffer, size, Overflow::Error, "/ketterlin.txt?%d_%d_%d", version.major,
                         version.minor, version.revision) >= 0;
}

std::wstring FormatUpdatePrompt(const ProgramVersion& offered) {
    wchar_t buffer[kWideTextCapacity];
    const int length = FormatWide256(buffer, L"New version %d.%dr%d is available. Get it?",
                                     offered.major, offered.minor, offered.revision);
    if (length < 0)
        return std::wstring();
    return std::wstring(buffer, static_cast<std::size_t>(length));
}
