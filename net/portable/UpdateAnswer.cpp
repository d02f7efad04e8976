// Parsing and judging the update server's answer. The answer is untrusted text from the
// network, so it is checked strictly and anything unexpected means "no update": the check must
// never prompt for a version it could not read exactly.
#include "UpdateAnswer.h"

#include <cstdio>
#include <cwchar>
#include <limits>

namespace {

constexpr char kSeparator = ',';
constexpr std::size_t kVersionNumbers = 3;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::optional<std::vector<std::int32_t>> ParseUpdateAnswer(std::string_view answer) {
    while (!answer.empty() && (answer.back() == '\r' || answer.back() == '\n'))
        answer.remove_suffix(1);

    std::vector<std::int32_t> numbers;
    std::size_t pos = 0;
    for (;;) {
        if (pos >= answer.size() || !IsDigit(answer[pos]))
            return std::nullopt;
        const bool decides = numbers.size() < kVersionNumbers;
        std::int64_t value = 0;
        for (; pos < answer.size() && IsDigit(answer[pos]); ++pos) {
            value = value * 10 + (answer[pos] - '0');
            // A version number too large for the comparison is not one we can trust; the
            // numbers after the version are only read past, whatever their size.
            if (value > std::numeric_limits<std::int32_t>::max()) {
                if (decides)
                    return std::nullopt;
                value = std::numeric_limits<std::int32_t>::max();
            }
        }
        if (decides)
            numbers.push_back(static_cast<std::int32_t>(value));
        if (pos == answer.size())
            return numbers;
        if (answer[pos] != kSeparator)
            return std::nullopt;
        ++pos;
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
    if (buffer == nullptr || size == 0)
        return false;
    const int length = std::snprintf(buffer, size, "/ketterlin.txt?%d_%d_%d", version.major,
                                     version.minor, version.revision);
    return length >= 0 && static_cast<std::size_t>(length) < size;
}

std::wstring FormatUpdatePrompt(const ProgramVersion& offered) {
    wchar_t buffer[kPromptCapacity];
    const int length =
        std::swprintf(buffer, kPromptCapacity, L"New version %d.%dr%d is available. Get it?",
                      offered.major, offered.minor, offered.revision);
    if (length < 0)
        return std::wstring();
    return std::wstring(buffer, static_cast<std::size_t>(length));
}
