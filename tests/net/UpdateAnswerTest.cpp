// The update server's answer as the running program (version 1.0.5) judges it, the request
// path and text it sends, and the prompt it shows.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "HttpRequest.h"
#include "ProgramVersion.h"
#include "UpdateAnswer.h"

namespace {

using std::string_literals::operator""s;

const ProgramVersion kRunning{1, 0, 5};

struct AnswerCase {
    const char* name;
    std::string answer;
    std::optional<std::wstring> prompt;  // nullopt: nothing shown
};

void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << c.name;
}

class AnswerTest : public testing::TestWithParam<AnswerCase> {};

TEST_P(AnswerTest, PromptsOnlyForANewerWellFormedVersion) {
    const AnswerCase& c = GetParam();
    const auto offered = OfferedUpdate(c.answer, kRunning);
    if (!c.prompt) {
        EXPECT_FALSE(offered.has_value());
        return;
    }
    ASSERT_TRUE(offered.has_value());
    EXPECT_EQ(FormatUpdatePrompt(*offered), *c.prompt);
}

INSTANTIATE_TEST_SUITE_P(
    Answers,
    AnswerTest,
    testing::Values(
        AnswerCase{"NewerRevision", "1,0,6\r\n", L"New version 1.0r6 is available. Get it?"},
        AnswerCase{"NewerMinor", "1,1,0", L"New version 1.1r0 is available. Get it?"},
        AnswerCase{"NewerMajor", "2,0,0", L"New version 2.0r0 is available. Get it?"},
        AnswerCase{"NewerMajorLowerRevision", "2,0,4", L"New version 2.0r4 is available. Get it?"},
        AnswerCase{"Equal", "1,0,5", {}},
        AnswerCase{"Older", "0,9,9", {}},
        AnswerCase{"OlderMinorHigherRevision", "0,99,99", {}},
        AnswerCase{"NoLineEnd", "1,0,6", L"New version 1.0r6 is available. Get it?"},
        AnswerCase{"RunOfLineEnds", "1,0,6\n\r\r\n\n", L"New version 1.0r6 is available. Get it?"},
        AnswerCase{"ExtraNumbersIgnored", "1,0,6,7", L"New version 1.0r6 is available. Get it?"},
        AnswerCase{"TwoNumbers", "1,0", {}},
        AnswerCase{"OneNumber", "7", {}},
        AnswerCase{"Spaces", "1, 0, 6", {}},
        AnswerCase{"TrailingComma", "1,0,6,", {}},
        AnswerCase{"EmptyItem", "1,,6", {}},
        AnswerCase{"LeadingComma", ",1,0,6", {}},
        AnswerCase{"StartsWithLetter", "v1,0,6", {}},
        AnswerCase{"Sign", "1,0,+6", {}},
        AnswerCase{"Negative", "1,0,-6", {}},
        AnswerCase{"SpaceBeforeLineEnd", "1,0,6 \n", {}},
        AnswerCase{"LineEndInside", "1,0\r\n,6", {}},
        AnswerCase{"Empty", "", {}},
        AnswerCase{"OnlyLineEnds", "\r\n\r\n", {}},
        AnswerCase{"LeadingZeros", "01,00,06", L"New version 1.0r6 is available. Get it?"},
        AnswerCase{"HtmlErrorPage", "<html>404</html>", {}},
        // Numbers beyond 32 bits: the answer is malformed, never a prompt for a wrapped value.
        AnswerCase{"MaxInt", "1,0,2147483647", L"New version 1.0r2147483647 is available. Get it?"},
        AnswerCase{"JustAboveInt", "1,0,2147483648", {}},
        AnswerCase{"WrapsToNewer", "4294967297,0,0", {}},
        AnswerCase{"WrapsToOlderButIsHuge", "1,0,4294967296", {}},
        // Only the version numbers decide: what follows them is ignored whatever it holds,
        // as long as the answer keeps its grammar.
        AnswerCase{"HugeIgnoredExtraNumber", "1,0,6,99999999999",
                   L"New version 1.0r6 is available. Get it?"},
        AnswerCase{"ManyHugeIgnoredNumbers", "1,0,6,99999999999999999999,18446744073709551617\r\n",
                   L"New version 1.0r6 is available. Get it?"},
        AnswerCase{"HugeExtraNumberOfAnOlderVersion", "1,0,4,99999999999", {}},
        AnswerCase{"HugeExtraNumberThenBadGrammar", "1,0,6,99999999999,", {}},
        AnswerCase{"HugeExtraNumberThenLetter", "1,0,6,99999999999x", {}},
        AnswerCase{"ManyLeadingZeros", "0000000000001,0,6",
                   L"New version 1.0r6 is available. Get it?"}),
    [](const testing::TestParamInfo<AnswerCase>& param) { return param.param.name; });

TEST(AnswerNumbers, TheVersionNumbersAreKeptInOrder) {
    const auto numbers = ParseUpdateAnswer("3,14,159,2653\r\n");
    ASSERT_TRUE(numbers.has_value());
    EXPECT_EQ(*numbers, (std::vector<std::int32_t>{3, 14, 159}));
    const auto two = ParseUpdateAnswer("3,14");
    ASSERT_TRUE(two.has_value());
    EXPECT_EQ(*two, (std::vector<std::int32_t>{3, 14}));
}

TEST(AnswerNumbers, StopAtAZeroByteOnlyWhenReadAsText) {
    // The body may hold zero bytes; the update check reads it as text, up to the first one.
    const std::string body = "1,0,6\0garbage"s;
    EXPECT_TRUE(OfferedUpdate(body.c_str(), kRunning).has_value());
    EXPECT_FALSE(OfferedUpdate(body, kRunning).has_value());
}

struct OrderCase {
    ProgramVersion candidate;
    bool newer;
};

TEST(VersionOrder, ComparesMajorThenMinorThenRevision) {
    const OrderCase cases[] = {
        {{1, 0, 6}, true},  {{1, 1, 0}, true},   {{2, 0, 0}, true},    {{1, 0, 5}, false},
        {{1, 0, 4}, false}, {{0, 9, 9}, false},  {{0, 99, 99}, false}, {{1, 1, 4}, true},
        {{2, 0, 4}, true},  {{1, -1, 9}, false},
    };
    for (const OrderCase& c : cases) {
        EXPECT_EQ(IsNewer(c.candidate, kRunning), c.newer)
            << c.candidate.major << "." << c.candidate.minor << "." << c.candidate.revision;
    }
}

TEST(ProgramVersionFromResource, TakesProductMajorMinorRevision) {
    struct {
        std::uint32_t ms, ls;
        int major, minor, revision;
    } const cases[] = {
        {0x00010000, 0x00050000, 1, 0, 5},
        {0x00020003, 0x00040007, 2, 3, 4},  // the fourth number never shows
        {0xFFFFFFFF, 0xFFFF0000, 65535, 65535, 65535},
    };
    for (const auto& c : cases) {
        const ProgramVersion v = ProgramVersion::FromProductVersion(c.ms, c.ls);
        EXPECT_EQ(v.major, c.major);
        EXPECT_EQ(v.minor, c.minor);
        EXPECT_EQ(v.revision, c.revision);
    }
}

TEST(UpdatePath, CarriesMajorMinorRevision) {
    char path[256];
    ASSERT_TRUE(FormatUpdatePath(path, sizeof path, kRunning));
    EXPECT_STREQ(path, "/ketterlin.txt?1_0_5");
    ASSERT_TRUE(FormatUpdatePath(path, sizeof path, ProgramVersion{65535, 65535, 65535}));
    EXPECT_STREQ(path, "/ketterlin.txt?65535_65535_65535");
}

TEST(UpdatePath, RefusesABufferTooSmall) {
    char path[21];
    std::memset(path, 'x', sizeof path);
    EXPECT_FALSE(FormatUpdatePath(path, 20, kRunning));  // needs 21 bytes with terminator
    EXPECT_EQ(path[20], 'x');
    EXPECT_TRUE(FormatUpdatePath(path, 21, kRunning));
}

TEST(Request, IsTheExactGet) {
    char request[kRequestCapacity];
    const int length =
        FormatHttpRequest(request, sizeof request, "/ketterlin.txt?1_0_5", "update.example");
    const std::string expected =
        "GET /ketterlin.txt?1_0_5 HTTP/1.1\r\nHost: update.example\r\n"
        "Accept-Language: en\r\n\r\n";
    EXPECT_EQ(std::string(request), expected);
    EXPECT_EQ(length, static_cast<int>(expected.size()));
}

TEST(Request, ThatDoesNotFitIsNotFormatted) {
    char request[kRequestCapacity];
    const std::string fixedPart = "GET  HTTP/1.1\r\nHost: h\r\nAccept-Language: en\r\n\r\n";
    const std::string fits(kRequestCapacity - 1 - fixedPart.size(), 'p');
    EXPECT_EQ(FormatHttpRequest(request, sizeof request, fits.c_str(), "h"),
              static_cast<int>(kRequestCapacity - 1));
    const std::string tooLong = fits + "p";
    EXPECT_EQ(FormatHttpRequest(request, sizeof request, tooLong.c_str(), "h"), -1);
    EXPECT_STREQ(request, "");
}

}  // namespace
