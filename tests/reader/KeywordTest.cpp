// Interpreting keywords: the data-defining keywords, the warnings (exact texts in exact order),
// the Fieldsize diagnostic, and the event layout they produce.
#include <gtest/gtest.h>

#include "FcsBuilder.h"
#include "ReaderTestSupport.h"

namespace {

using Texts = std::vector<std::wstring>;

// A complete version-3 data set with n parameters of the given bits: no warnings at all.
FcsBuilder CompleteV3(int parameters, int bits, int events) {
    FcsBuilder b;
    b.Add("$BEGINANALYSIS", "0")
        .Add("$ENDANALYSIS", "0")
        .Add("$BEGINSTEXT", "0")
        .Add("$ENDSTEXT", "0")
        .Add("$BYTEORD", "1,2,3,4")
        .Add("$DATATYPE", "I")
        .Add("$MODE", "L")
        .Add("$NEXTDATA", "0")
        .Add("$PAR", std::to_string(parameters))
        .Add("$TOT", std::to_string(events));
    for (int n = 1; n <= parameters; ++n) {
        const std::string p = "$P" + std::to_string(n);
        b.Add(p + "B", std::to_string(bits))
            .Add(p + "E", "0,0")
            .Add(p + "N", "FL" + std::to_string(n))
            .Add(p + "R", "1024");
    }
    b.dataKeywords = true;
    b.data.assign(static_cast<size_t>(parameters * bits / 8 * events), 0);
    return b;
}

TEST(Keywords, CompleteDataSetRaisesNoWarning) {
    auto r = ParseBytes(CompleteV3(3, 32, 10).Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->log.warnings, Texts{});
    EXPECT_EQ(r->first.eventSize, 12);
    EXPECT_EQ(r->first.eventCount, 10);
    EXPECT_EQ(r->first.parameters[2].name, L"FL3");
    EXPECT_EQ(r->first.byteOrder, (std::vector<int32_t>{1, 2, 3, 4}));
}

TEST(Keywords, Version2DoesNotRequireTheVersion3Keywords) {
    FcsBuilder b;
    b.version = "FCS2.0";
    b.Add("$BYTEORD", "1,2")
        .Add("$DATATYPE", "I")
        .Add("$MODE", "L")
        .Add("$NEXTDATA", "0")
        .Add("$PAR", "0")
        .Add("$TOT", "0");
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(r->log.warnings, Texts{});
}

TEST(Keywords, Version3WithoutSupplementalTextBounds) {
    FcsBuilder b = CompleteV3(1, 16, 1);
    b.keywords.erase(b.keywords.begin() + 2, b.keywords.begin() + 4);
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings, (Texts{L"Required keyword $BEGINSTEXT not present",
                                      L"Required keyword $ENDSTEXT not present"}));
}

TEST(Keywords, EveryRequiredKeywordMissingInMapOrder) {
    FcsBuilder b;
    b.Add("$P0X", "");
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    EXPECT_EQ(
        r->log.warnings,
        (Texts{L"Required keyword $BEGINANALYSIS not present",
               L"Required keyword $BEGINDATA not present",
               L"Required keyword $BEGINSTEXT not present",
               L"Required keyword $BYTEORD not present", L"Required keyword $DATATYPE not present",
               L"Required keyword $ENDANALYSIS not present",
               L"Required keyword $ENDDATA not present", L"Required keyword $ENDSTEXT not present",
               L"Required keyword $MODE not present", L"Required keyword $NEXTDATA not present",
               L"Required keyword $PAR not present", L"Required keyword $TOT not present"}));
    EXPECT_EQ(r->first.byteOrder, std::vector<int32_t>{1});
    EXPECT_EQ(r->first.dataType, 'I');
}

TEST(Keywords, FloatWithoutByteOrder) {
    for (const char* type : std::initializer_list<const char*>{"F", "I", nullptr}) {
        FcsBuilder b = CompleteV3(1, 32, 1);
        b.keywords.erase(b.keywords.begin() + 4, b.keywords.begin() + 6);  // $BYTEORD, $DATATYPE
        if (type != nullptr) {
            b.Add("$DATATYPE", type);
        }
        auto r = ParseBytes(b.Build());
        Texts expected;
        if (type != nullptr && type[0] == 'F') {
            expected.push_back(L"Required keyword $BYTEORD not present for data type F");
        }
        expected.push_back(L"Required keyword $BYTEORD not present");
        if (type == nullptr) {
            expected.push_back(L"Required keyword $DATATYPE not present");
        }
        EXPECT_EQ(r->log.warnings, expected) << (type ? type : "none");
        EXPECT_EQ(r->first.byteOrder, std::vector<int32_t>{1});
    }
}

TEST(Keywords, LowerCaseParIsNotPar) {
    FcsBuilder b = CompleteV3(2, 16, 0);
    for (auto& k : b.keywords) {
        if (k.first == "$PAR")
            k.first = "$par";
    }
    auto r = ParseBytes(b.Build());
    Texts expected{L"Required keyword $PAR not present"};
    // Without $PAR the list is empty: the widths and names have nowhere to go.
    for (const wchar_t* name : {L"$P1B", L"$P1N", L"$P2B", L"$P2N"}) {
        expected.push_back(std::wstring(name) + L" conflicts with $PAR (0). Ignoring.");
    }
    EXPECT_EQ(r->log.warnings, expected);
    EXPECT_TRUE(r->first.parameters.empty());
    EXPECT_EQ(r->first.eventSize, 0);
}

TEST(Keywords, ParTwoWithoutPerParameterKeywords) {
    FcsBuilder b = CompleteV3(0, 16, 0);
    b.Add("$PAR", "2");
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings,
              (Texts{L"Required keyword $P1B not present", L"Required keyword $P1E not present",
                     L"Required keyword $P1N not present", L"Required keyword $P1R not present",
                     L"Required keyword $P2B not present", L"Required keyword $P2E not present",
                     L"Required keyword $P2N not present", L"Required keyword $P2R not present"}));
    EXPECT_EQ(r->first.parameters.size(), 2u);
}

// A parameter's keyword counts as present only under its exact name: other spellings of the same
// number (leading zeros, a sign, something after the letter) or another letter case do not.
TEST(Keywords, PerParameterKeywordsCountOnlyUnderTheirExactNames) {
    FcsBuilder b = CompleteV3(0, 16, 0);
    b.Add("$PAR", "12");
    for (int n = 1; n <= 12; ++n) {
        const std::string p = "$P" + std::to_string(n);
        if (n != 10) {
            b.Add(p + "B", "16");
        }
        if (n != 11) {
            b.Add(p + "E", "0,0");
        }
        b.Add(p + "N", "n" + std::to_string(n));
        if (n != 12) {
            b.Add(p + "R", "1024");
        }
    }
    b.Add("$P010B", "16").Add("$P+11E", "0,0").Add("$P12RX", "1").Add("$p12R", "1");
    b.Add("$P13B", "16");  // a parameter the data set does not have
    auto r = ParseBytes(b.Build());
    ASSERT_GE(r->log.warnings.size(), 3u);
    EXPECT_EQ(Texts(r->log.warnings.begin(), r->log.warnings.begin() + 3),
              (Texts{L"Required keyword $P10B not present", L"Required keyword $P11E not present",
                     L"Required keyword $P12R not present"}));
}

TEST(Keywords, NameBeyondParConflictsExceptInVersion1) {
    FcsBuilder b = CompleteV3(3, 16, 0);
    b.Add("$P4N", "Extra");
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings, Texts{L"$P4N conflicts with $PAR (3). Ignoring."});
    EXPECT_EQ(r->first.parameters.size(), 3u);

    b.version = "FCS1.0";
    auto v1 = ParseBytes(b.Build());
    EXPECT_EQ(v1->log.warnings, Texts{});
    ASSERT_EQ(v1->first.parameters.size(), 4u);
    EXPECT_EQ(v1->first.parameters[3].name, L"Extra");
    EXPECT_EQ(v1->first.parameters[3].width, 0);
}

TEST(Keywords, WidthsFromBits) {
    struct Case {
        const char* bits;
        int32_t width;
    } cases[] = {{"8", 1},  {"10", 1}, {"12", 1}, {"16", 2},  {"24", 3},
                 {"32", 4}, {"64", 8}, {"7", 0},  {"+16", 2}, {"16 bits", 2}};
    for (const Case& c : cases) {
        FcsBuilder b = CompleteV3(1, 8, 0);
        for (auto& k : b.keywords) {
            if (k.first == "$P1B")
                k.second = c.bits;
        }
        auto r = ParseBytes(b.Build());
        EXPECT_EQ(r->first.parameters[0].width, c.width) << c.bits;
        EXPECT_EQ(r->first.eventSize, c.width) << c.bits;
    }
}

TEST(Keywords, WidthWithoutNumberIsIgnored) {
    // (An empty value cannot be written after a name: the doubled delimiter is an escape.)
    for (const char* bits : {"x", " 16", "*", "-16"}) {
        FcsBuilder b = CompleteV3(1, 8, 0);
        for (auto& k : b.keywords) {
            if (k.first == "$P1B")
                k.second = bits;
        }
        auto r = ParseBytes(b.Build());
        EXPECT_EQ(r->first.parameters[0].width, 0) << bits;
        EXPECT_EQ(r->first.eventSize, 0) << bits;
        EXPECT_TRUE(r->log.diagnostics.empty()) << bits;
    }
}

TEST(Keywords, WidthGivenTwiceCountsTwice) {
    FcsBuilder b = CompleteV3(1, 16, 0);
    b.Add("$P1B", "16");
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->first.parameters[0].width, 2);
    EXPECT_EQ(r->first.eventSize, 4);
}

TEST(Keywords, FieldsizeDiagnosticForEveryWidthThatDiffersFromTheByteOrder) {
    FcsBuilder b = CompleteV3(3, 16, 0);
    b.keywords[4].second = "4,3,2,1";
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings, Texts{});
    EXPECT_EQ(r->log.diagnostics, std::vector<std::string>(3, "Fieldsize 2 byteordsize 4\n"));
    auto same = ParseBytes(CompleteV3(3, 32, 0).Build());
    EXPECT_TRUE(same->log.diagnostics.empty());
}

TEST(Keywords, ParameterKeywordNamesReadByTheStrictReading) {
    FcsBuilder b = CompleteV3(2, 16, 0);
    b.Add("$P01N", "leading zero")
        .Add("$P+2N", "plus")
        .Add("$P1NAME", "rest ignored")
        .Add("$P1S", "stain")
        .Add("$PXN", "no number")
        .Add("$P 1N", "blank");
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings, Texts{});
    EXPECT_EQ(r->first.parameters[0].name, L"rest ignored");
    EXPECT_EQ(r->first.parameters[1].name, L"plus");
}

TEST(Keywords, ByteOrderLists) {
    struct Case {
        std::vector<const char*> values;
        std::vector<int32_t> order;
    } cases[] = {
        {{"1,2,3,4"}, {1, 2, 3, 4}},
        {{"4,3,2,1"}, {4, 3, 2, 1}},
        {{"1, 2, 3, 4"}, {1}},
        {{"1,2,"}, {1, 2}},
        {{"x"}, {1}},
        {{"1,2", "3,4"}, {1, 2, 3, 4}},
        {{"-1,+2"}, {-1, 2}},
    };
    for (const Case& c : cases) {
        FcsBuilder b;
        for (const char* v : c.values) {
            b.Add("$BYTEORD", v);
        }
        auto r = ParseBytes(b.Build());
        EXPECT_EQ(r->first.byteOrder, c.order) << c.values[0];
    }
}

TEST(Keywords, DataTypeIsTheFirstCharacter) {
    struct Case {
        const char* value;
        char type;
    } cases[] = {{"F", 'F'}, {"Double", 'D'}, {"a", 'a'}, {"\xC6", '\xC6'}};
    for (const Case& c : cases) {
        FcsBuilder b;
        b.Add("$BYTEORD", "1").Add("$DATATYPE", "I").Add("$DATATYPE", c.value);
        auto r = ParseBytes(b.Build());
        EXPECT_EQ(r->first.dataType, c.type) << c.value;
    }
    FcsBuilder b;
    b.Add("$DATATYPE", "A");
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings.at(0), L"Required keyword $BYTEORD not present for data type A");
}

// The count is the signed quotient, truncated toward zero, checked against a $TOT of 0. Reversed
// bounds give a negative quotient: the list shows no events, and $TOT conflicts with it.
TEST(Keywords, EventCountFromDataBounds) {
    struct Case {
        const char* begin;
        const char* end;
        int32_t count;
        bool totConflict;
    } cases[] = {{"1000", "1999", 125, true}, {"1000", "2006", 125, true},
                 {"1000", "1006", 0, false},  {"1000", "999", 0, false},
                 {"1000", "992", 0, false},   {"1000", "991", 0, true},
                 {"1000", "10", 0, true}};
    for (const Case& c : cases) {
        FcsBuilder b;
        b.Add("$PAR", "1")
            .Add("$P1B", "64")
            .Add("$BEGINDATA", c.begin)
            .Add("$ENDDATA", c.end)
            .Add("$TOT", "0");
        auto r = ParseBytes(b.Build());
        EXPECT_EQ(r->first.eventSize, 8);
        EXPECT_EQ(r->first.eventCount, c.count) << c.end;
        EXPECT_EQ(r->first.dataOffset, 1000);
        const bool conflict =
            !r->log.warnings.empty() && r->log.warnings.back() == L"$TOT conflict with data size";
        EXPECT_EQ(conflict, c.totConflict) << c.end;
    }
}

TEST(Keywords, LastDataKeywordsWinAndBaseIsAdded) {
    FcsBuilder b;
    b.Add("$PAR", "1")
        .Add("$P1B", "8")
        .Add("$BEGINDATA", "1")
        .Add("$ENDDATA", "1")
        .Add("$BEGINDATA", "10")
        .Add("$ENDDATA", "19");
    std::vector<uint8_t> file(500, ' ');
    AppendDataSet(file, b.Build());
    auto r = ParseBytes(file, 500);
    EXPECT_EQ(r->first.dataOffset, 510);
    EXPECT_EQ(r->first.eventCount, 10);
}

TEST(Keywords, TotMissingOrConflicting) {
    FcsBuilder b = CompleteV3(1, 8, 4);
    b.keywords.erase(b.keywords.begin() + 9);  // $TOT
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings,
              (Texts{L"Required keyword $TOT not present", L"$TOT conflict with data size"}));
    EXPECT_EQ(r->first.eventCount, 4);

    FcsBuilder wrong = CompleteV3(1, 8, 4);
    wrong.keywords[9].second = "5";
    auto w = ParseBytes(wrong.Build());
    EXPECT_EQ(w->log.warnings, Texts{L"$TOT conflict with data size"});
    EXPECT_EQ(w->first.eventCount, 4);
}

TEST(Keywords, NextDataIsReportedWithoutBaseAndOnlyWhenPresent) {
    FcsBuilder b;
    b.Add("$NEXTDATA", "5000");
    std::vector<uint8_t> file(100, ' ');
    AppendDataSet(file, b.Build());
    auto r = ParseBytes(file, 100);
    EXPECT_EQ(r->nextData, 5000);

    Reading untouched(FcsBuilder().Add("$A", "1").Build());
    untouched.nextData = 77;
    untouched.ParseAt(0);
    EXPECT_EQ(untouched.nextData, 77);
}

TEST(Keywords, WarningsComeInStepOrder) {
    FcsBuilder b;
    b.version = "FCS2.0";
    b.Add("$DATATYPE", "F")
        .Add("$MODE", "L")
        .Add("$NEXTDATA", "0")
        .Add("$PAR", "1")
        .Add("$P1B", "32")
        .Add("$P1E", "0,0")
        .Add("$P1R", "1")
        .Add("$P3N", "x")
        .Add("$TOT", "9");
    auto r = ParseBytes(b.Build());
    EXPECT_EQ(r->log.warnings,
              (Texts{L"Required keyword $BYTEORD not present for data type F",
                     L"Required keyword $BYTEORD not present", L"Required keyword $P1N not present",
                     L"$P3N conflicts with $PAR (1). Ignoring.", L"$TOT conflict with data size"}));
    EXPECT_EQ(r->log.diagnostics, std::vector<std::string>{"Fieldsize 4 byteordsize 1\n"});
}

}  // namespace
