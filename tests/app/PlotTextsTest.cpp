// The plot window's texts: parameter titles, scales as the copy names them, the status line.
#include <gtest/gtest.h>

#include "PlotTexts.h"

namespace {

TEST(PlotTextsTest, ScalesNameTheirParameters) {
    ScaleSpec logicle;
    logicle.kind = ScaleKind::kLogicle;
    logicle.logicle = {262144, 0.5, 4.5, 0};
    EXPECT_EQ(ScaleText(logicle), L"logicle T=262144 W=0.5 M=4.5 A=0");
    ScaleSpec asinh;
    asinh.kind = ScaleKind::kAsinh;
    asinh.cofactor = 5;
    EXPECT_EQ(ScaleText(asinh), L"asinh C=5");
    EXPECT_EQ(ScaleText(ScaleSpec{}), L"linear");
}

TEST(PlotTextsTest, TheStatusSaysWhereTheEventsWent) {
    EXPECT_EQ(CountingStatus(1500, 20000), L"Counting: 1500 of 20000 events");
    CountingResult result;
    result.histograms.emplace_back();
    result.histograms.back().below = 3;
    result.histograms.back().above = 4;
    result.histograms.back().invalid = 5;
    CountingOutcome outcome;
    outcome.state = CountingState::kComplete;
    outcome.eventsAsked = 100;
    outcome.eventsCounted = 100;
    EXPECT_EQ(FinalStatus(outcome, result),
              L"Counted 100 events: 3 below the range, 4 above, 5 invalid");
    outcome.state = CountingState::kFileEnded;
    outcome.eventsCounted = 97;
    EXPECT_EQ(FinalStatus(outcome, result),
              L"The file ends inside its DATA segment: counted its 97 complete events of 100: "
              L"3 below the range, 4 above, 5 invalid");
    CountingResult density;
    density.densities.emplace_back();
    density.densities.back().outside = 7;
    outcome.state = CountingState::kComplete;
    EXPECT_EQ(FinalStatus(outcome, density), L"Counted 97 events: 7 outside the range, 0 invalid");
    outcome.state = CountingState::kReadFailed;
    EXPECT_EQ(FinalStatus(outcome, density, L"Input/output error"),
              L"A read failed after 97 of 100 events (Input/output error): 7 outside the range, "
              L"0 invalid");
    outcome.state = CountingState::kComplete;
    outcome.eventsAsked = 0;
    EXPECT_EQ(FinalStatus(outcome, result), L"No events to count: the data set has none");
}

TEST(PlotTextsTest, Utf8TextsBecomeWideOnesAndBrokenBytesAreReplaced) {
    EXPECT_EQ(FromUtf8("read failed: \xC3\xA9"), L"read failed: \u00e9");
    EXPECT_EQ(FromUtf8("\xF0\x9F\x98\x80"), std::wstring(L"\xD83D\xDE00"));
    EXPECT_EQ(FromUtf8("a\xFF"
                       "b"),
              L"a\xFFFD"
              L"b");
}

}  // namespace
