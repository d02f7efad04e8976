// Splitting TEXT segments into keywords: delimiters, escapes, empty items, unclosed items and
// the odd-item rule that makes a file "Unknown format".
#include <gtest/gtest.h>

#include "FcsBuilder.h"
#include "ReaderTestSupport.h"
#include "TextSplitter.h"

namespace {

using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;

struct SplitCase {
    const char* what;
    std::string text;
    bool parses;
    Pairs keywords;
};

// Runs a TEXT segment through a whole Parse, as the viewer would.
TEST(TextSplit, SegmentsGiveTheseKeywords) {
    const SplitCase cases[] = {
        {"two keywords", "/$PAR/2/$TOT/100/", true, {{L"$PAR", L"2"}, {L"$TOT", L"100"}}},
        {"other delimiter, escaped", "|$A|x||y|", true, {{L"$A", L"x|y"}}},
        {"four delimiters", "/$A/x////y/", true, {{L"$A", L"x//y"}}},
        {"doubled after a name", "/$A//$B/1/", true, {{L"$A/$B", L"1"}}},
        {"leading empty items", "///$A/x/", true, {{L"", L""}, {L"$A", L"x"}}},
        {"three items", "//$A/x/", false, {}},
        {"unclosed value", "/$A/x", false, {}},
        {"unclosed item dropped", "/$A/x/$B", true, {{L"$A", L"x"}}},
        {"zero byte ends the scan", std::string("/$A/x/\0/$B/y/", 13), true, {{L"$A", L"x"}}},
        {"delimiter and one byte", "/a", true, {}},
        {"two delimiters", "//", false, {}},
        {"zero first byte", std::string("\0/$A/x/", 7), true, {}},
        {"blanks kept", "/ $A / x /", true, {{L" $A ", L" x "}}},
        {"escaped delimiter at the end of a value", "/$A/x///", true, {{L"$A", L"x/"}}},
        {"escape in a name", "/a//b/1/", true, {{L"a/b", L"1"}}},
        {"six delimiters in a value", "/$A/x//////y/", true, {{L"$A", L"x///y"}}},
        {"space delimiter", " $A x ", true, {{L"$A", L"x"}}},
        {"letter delimiter", "Q$AQxQ", true, {{L"$A", L"x"}}},
        {"Windows-1252 bytes", "/$N/\x80\xE9/", true, {{L"$N", L"\u20AC\u00E9"}}},
    };
    for (const SplitCase& c : cases) {
        FcsBuilder b;
        b.rawText = c.text;
        auto r = ParseBytes(b.Build());
        ASSERT_EQ(r->parsed, c.parses) << c.what;
        if (!c.parses) {
            EXPECT_TRUE(r->first.keywords.empty()) << c.what;
            EXPECT_TRUE(r->log.warnings.empty()) << c.what;
            continue;
        }
        Pairs got;
        for (const Keyword& k : r->first.keywords) {
            got.emplace_back(k.name, k.value);
        }
        EXPECT_EQ(got, c.keywords) << c.what;
    }
}

TEST(TextSplit, UndoEscapesHalvesRunsOfDelimiters) {
    EXPECT_EQ(UndoEscapes("x//y", '/'), "x/y");
    EXPECT_EQ(UndoEscapes("x////y", '/'), "x//y");
    EXPECT_EQ(UndoEscapes("x///y", '/'), "x//y");
    EXPECT_EQ(UndoEscapes("//", '/'), "/");
    EXPECT_EQ(UndoEscapes("/", '/'), "/");
    EXPECT_EQ(UndoEscapes("", '/'), "");
}

TEST(TextSplit, DuplicateKeywordsAreAllKeptInFileOrder) {
    FcsBuilder b;
    b.Add("$X", "1").Add("$Y", "2").Add("$X", "3");
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    ASSERT_EQ(r->first.keywords.size(), 3u);
    EXPECT_EQ(r->first.keywords[2].name, L"$X");
    EXPECT_EQ(r->first.keywords[2].value, L"3");
}

TEST(TextSplit, BuilderEscapesDelimitersInValues) {
    FcsBuilder b;
    b.Add("$SRC", "a/b//c");
    auto r = ParseBytes(b.Build());
    ASSERT_TRUE(r->parsed);
    ASSERT_EQ(r->first.keywords.size(), 1u);
    EXPECT_EQ(r->first.keywords[0].value, L"a/b//c");
}

TEST(TextSplit, ParseAppendsToTheKeywordsItHolds) {
    FcsBuilder b;
    b.Add("$A", "1");
    Reading r(b.Build());
    r.first.keywords.push_back(Keyword{L"before", L"0"});
    ASSERT_TRUE(r.ParseAt(0));
    ASSERT_EQ(r.first.keywords.size(), 2u);
    EXPECT_EQ(r.first.keywords[1].name, L"$A");
}

}  // namespace
