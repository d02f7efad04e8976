// Reading HTTP responses the way the update client does: header rules, body length rules, the
// time-out behaviour of the receive calls, and lengths that must never reach an allocation.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "FakeReceiver.h"
#include "HttpHeaderParser.h"
#include "HttpResponse.h"

namespace {

using After = FakeReceiver::After;
using std::string_literals::operator""s;

struct ResponseCase {
    const char* name;
    std::vector<std::string> bursts;
    After after;
    std::optional<std::string> body;  // nullopt: no usable answer
};

void PrintTo(const ResponseCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Header(const std::string& lines) {
    return "HTTP/1.1 200 OK\r\n" + lines + "\r\n";
}

class ResponseTest : public testing::TestWithParam<ResponseCase> {};

TEST_P(ResponseTest, GivesTheExpectedBody) {
    const ResponseCase& c = GetParam();
    FakeReceiver receiver(c.bursts, c.after);
    const HttpBody body = ReadHttpResponse(receiver.AsFunction());
    if (!c.body) {
        EXPECT_EQ(body, nullptr);
        return;
    }
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(std::string(body.get(), c.body->size()), *c.body);
    EXPECT_EQ(body[c.body->size()], '\0');
}

const std::string k300ByteLine = "X-Padding: " + std::string(289, 'p');
// 255 bytes exactly, then digits the line has no room for.
const std::string kLengthAtTheCut = "Content-Length: " + std::string(238, '0') + "5" + "77";

INSTANTIATE_TEST_SUITE_P(
    HeaderRules,
    ResponseTest,
    testing::Values(
        ResponseCase{"Plain", {Header("Content-Length: 5\r\n") + "1,0,6"}, After::kClose, "1,0,6"},
        ResponseCase{"NoContentLength", {Header("Server: x\r\n") + "1,0,6"}, After::kClose, {}},
        ResponseCase{"ZeroContentLength",
                     {Header("Content-Length: 0\r\n") + "1,0,6"},
                     After::kClose,
                     {}},
        ResponseCase{"LowerCaseName",
                     {Header("content-length: 5\r\n") + "1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"MixedCaseName",
                     {Header("CONTENT-length: 5\r\n") + "1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"SpaceBeforeColonIsAnotherName",
                     {Header("Content-Length : 5\r\n") + "1,0,6"},
                     After::kClose,
                     {}},
        ResponseCase{"LeadingSpacesBeforeName",
                     {Header("   Content-Length: 5\r\n") + "1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"DigitsThenLetters",
                     {Header("Content-Length: 12abc\r\n") + "abcdefghijkl"},
                     After::kClose,
                     "abcdefghijkl"},
        ResponseCase{"LetterFirst",
                     {Header("Content-Length: x12\r\n") + "abcdefghijkl"},
                     After::kClose,
                     {}},
        ResponseCase{"SignIsNotADigit",
                     {Header("Content-Length: +5\r\n") + "1,0,6"},
                     After::kClose,
                     {}},
        ResponseCase{"NoSpaceAfterColon",
                     {Header("Content-Length:5\r\n") + "1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"ValueAfterLastColon",
                     {Header("Content-Length: 99:  5\r\n") + "1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"ColonAtLineEnd",
                     {Header("Content-Length:\r\n") + "1,0,6"},
                     After::kClose,
                     {}},
        ResponseCase{"NameElsewhereInLine",
                     {Header("X-Note: Content-Length: 5\r\n") + "1,0,6"},
                     After::kClose,
                     {}},
        ResponseCase{"LaterLineWinsLonger",
                     {Header("Content-Length: 3\r\nContent-Length: 5\r\n") + "1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"LaterLineWinsShorter",
                     {Header("Content-Length: 5\r\nContent-Length: 3\r\n") + "1,0,6"},
                     After::kClose,
                     "1,0"},
        ResponseCase{"LaterZeroWins",
                     {Header("Content-Length: 5\r\nContent-Length: 0\r\n") + "1,0,6"},
                     After::kClose,
                     {}},
        ResponseCase{"StatusNotExamined",
                     {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found"},
                     After::kClose,
                     "not found"},
        ResponseCase{"GarbageStatusLine",
                     {"\x01\x02garbage\r\nContent-Length: 2\r\n\r\nok"},
                     After::kClose,
                     "ok"},
        ResponseCase{"BareLineFeeds",
                     {"HTTP/1.1 200 OK\nContent-Length: 5\n\n1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"CarriageReturnInsideLine",
                     {Header("Content-\rLength: 1\r2\r\n") + "abcdefghijkl"},
                     After::kClose,
                     "abcdefghijkl"},
        ResponseCase{"BlankLineOfSpacesEndsHeader",
                     {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n   \r\nok"},
                     After::kClose,
                     "ok"},
        ResponseCase{"LongLineDoesNotDisturbNext",
                     {Header(k300ByteLine + "\r\nContent-Length: 5\r\n") + "1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"LongLineKeepsFirst255Bytes",
                     {Header(kLengthAtTheCut + "\r\n") + "1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"ZeroByteEndsALine",
                     {Header("Content-Length: 5\0 7\r\n"s) + "1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"BodyHoldsZeroBytes",
                     {Header("Content-Length: 3\r\n") + "a\0b"s},
                     After::kClose,
                     "a\0b"s}),
    [](const testing::TestParamInfo<ResponseCase>& param) { return param.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Timing,
    ResponseTest,
    testing::Values(
        ResponseCase{"SilentServer", {}, After::kSilence, {}},
        ResponseCase{"ClosedAtOnce", {}, After::kClose, {}},
        ResponseCase{"SilenceThenAnswer",
                     {"", Header("Content-Length: 2\r\n") + "ok"},
                     After::kClose,
                     {}},
        ResponseCase{"HeaderInManyBursts",
                     {"HT", "TP/1.1 200 OK\r", "\nContent-Len", "gth: 2\r\n\r\nok"},
                     After::kClose,
                     "ok"},
        // A header cut short by a time-out stands; the body may still follow in one wait.
        ResponseCase{"HeaderEndedBySilence",
                     {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n", "", "ok"},
                     After::kClose,
                     "ok"},
        ResponseCase{"HeaderEndedByClose",
                     {"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n"},
                     After::kClose,
                     {}},
        ResponseCase{"BodyInSecondBurst",
                     {Header("Content-Length: 5\r\n"), "1,0,6"},
                     After::kClose,
                     "1,0,6"},
        ResponseCase{"BodyShorterThanAnnounced",
                     {Header("Content-Length: 10\r\n") + "1,0,6"},
                     After::kClose,
                     {}},
        ResponseCase{"BodyShorterThenSilence",
                     {Header("Content-Length: 10\r\n") + "1,0,6"},
                     After::kSilence,
                     {}},
        ResponseCase{"BodyTrickles",
                     {Header("Content-Length: 5\r\n"), "1", ",", "0", ",", "6"},
                     After::kClose,
                     {}},
        ResponseCase{"BodyLongerThanAnnounced",
                     {Header("Content-Length: 5\r\n") + "1,0,6,7,8"},
                     After::kClose,
                     "1,0,6"}),
    [](const testing::TestParamInfo<ResponseCase>& param) { return param.param.name; });

// Lengths that a 32-bit accumulation would wrap or that no update answer needs: none of them
// may reach the allocation or the receive call.
struct LengthCase {
    const char* name;
    const char* value;
    int bodyLength;
};

void PrintTo(const LengthCase& c, std::ostream* os) {
    *os << c.name;
}

class ContentLengthTest : public testing::TestWithParam<LengthCase> {};

TEST_P(ContentLengthTest, IsCappedBeforeUse) {
    const LengthCase& c = GetParam();
    HttpHeaderParser parser;
    const std::string header = Header(std::string("Content-Length: ") + c.value + "\r\n");
    for (char byte : header)
        parser.Feed(byte);
    ASSERT_TRUE(parser.Ended());
    EXPECT_EQ(parser.BodyLength(), c.bodyLength);

    FakeReceiver receiver({header + "1,0,6"});
    const HttpBody body = ReadHttpResponse(receiver.AsFunction());
    if (c.bodyLength == 0) {
        EXPECT_EQ(body, nullptr);
        EXPECT_LE(receiver.largestRequest, 1) << "asked for a body it must not read";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mended,
    ContentLengthTest,
    testing::Values(LengthCase{"WrapsToOne", "4294967297", 0},
                    LengthCase{"WrapsNegative", "2147483648", 0},
                    LengthCase{"WrapsToMinusOne", "4294967295", 0},
                    LengthCase{"TwentyDigits", "99999999999999999999", 0},
                    LengthCase{"JustAboveCap", "1048577", 0},
                    LengthCase{"AtCap", "1048576", kMaxBodyLength},
                    LengthCase{"LeadingZerosBelowCap", "00000000000000000000005", 5}),
    [](const testing::TestParamInfo<LengthCase>& param) { return param.param.name; });

TEST(ContentLength, OversizedEarlierLineIsReplacedByLaterOne) {
    FakeReceiver receiver(
        {Header("Content-Length: 99999999999\r\nContent-Length: 5\r\n") + "1,0,6"});
    const HttpBody body = ReadHttpResponse(receiver.AsFunction());
    ASSERT_NE(body, nullptr);
    EXPECT_STREQ(body.get(), "1,0,6");
}

TEST(ContentLength, BodyAtTheCapIsRead) {
    const std::string payload(kMaxBodyLength, 'v');
    FakeReceiver receiver({Header("Content-Length: 1048576\r\n") + payload});
    const HttpBody body = ReadHttpResponse(receiver.AsFunction());
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body[kMaxBodyLength - 1], 'v');
    EXPECT_EQ(body[kMaxBodyLength], '\0');
}

TEST(ContentLength, BodyReadAsksForExactlyTheAnnouncedLength) {
    FakeReceiver receiver({Header("Content-Length: 5\r\n") + "1,0,6 and more"});
    ASSERT_NE(ReadHttpResponse(receiver.AsFunction()), nullptr);
    EXPECT_EQ(receiver.largestRequest, 5);
}

TEST(HeaderSize, EndlessHeaderIsRefused) {
    std::string header = Header("Content-Length: 5\r\n");
    header.erase(header.size() - 2);  // no blank line yet
    while (header.size() <= kMaxHeaderBytes)
        header += "X-Filler: " + std::string(100, 'f') + "\r\n";
    FakeReceiver receiver({header + "\r\n1,0,6"});
    EXPECT_EQ(ReadHttpResponse(receiver.AsFunction()), nullptr);
    EXPECT_LE(receiver.calls, static_cast<int>(kMaxHeaderBytes) + 1);
}

TEST(HeaderSize, OneLongLineWithoutLineFeedIsRefused) {
    HttpHeaderParser parser;
    std::size_t fed = 0;
    while (parser.Feed('a') == HttpHeaderParser::Step::kMore)
        ++fed;
    EXPECT_EQ(fed, kMaxHeaderBytes);
    EXPECT_EQ(parser.BodyLength(), 0);
}

TEST(HeaderParser, IgnoresBytesAfterTheEnd) {
    HttpHeaderParser parser;
    for (char byte : std::string("Content-Length: 5\r\n\r\n"))
        parser.Feed(byte);
    ASSERT_TRUE(parser.Ended());
    for (char byte : std::string("Content-Length: 7\r\n"))
        EXPECT_EQ(parser.Feed(byte), HttpHeaderParser::Step::kEnd);
    EXPECT_EQ(parser.BodyLength(), 5);
}

}  // namespace
