// Command-line splitting, as the entry does it: leading spaces skipped, then Parse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CmdLine.h"

namespace {

std::vector<std::wstring> Split(const wchar_t* commandLine) {
    CmdLine cmdLine;
    const wchar_t* cursor = CmdLine::SkipSeparators(commandLine);
    if (*cursor != L'\0') {
        cmdLine.Parse(cursor);
        EXPECT_EQ(*cursor, L'\0') << "Parse stops at the end of the text";
    }
    return cmdLine.args;
}

TEST(CmdLine, SplitsByTheProgramsOwnRules) {
    struct Case {
        const wchar_t* commandLine;
        std::vector<std::wstring> args;
    };
    const Case cases[] = {
        {L"", {}},
        {L"   ", {}},
        {L"x.fcs", {L"x.fcs"}},
        {L"\"C:\\Data Files\\run 1.fcs\"", {L"C:\\Data Files\\run 1.fcs"}},
        {L"\"a b\" c", {L"a b", L"c"}},
        {L"   x.fcs", {L"x.fcs"}},
        {L"a  b", {L"a", L"", L"b"}},
        {L"a ", {L"a", L""}},
        {L"\"a b\"c d", {L"a b", L"", L"d"}},  // the character after a closing quote is dropped
        {L"ab\"c d\"", {L"ab\"c", L"d\""}},    // a quote inside an argument is ordinary
        {L"\"abc", {}},                        // never closed: dropped
        {L"x \"abc", {L"x"}},                  // ... the arguments before it stay
        {L"\"\"", {L""}},
        {L"a\tb", {L"a\tb"}},                              // only the space separates
        {L"C:\\dir\\x.fcs y", {L"C:\\dir\\x.fcs", L"y"}},  // backslashes are ordinary
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Split(c.commandLine), c.args)
            << "command line: [" << std::wstring(c.commandLine).size() << " chars]";
    }
}

TEST(CmdLine, SeparatorAndQuoteSets) {
    EXPECT_EQ(std::wstring(CmdLine::separators), L" ");
    EXPECT_EQ(std::wstring(CmdLine::quotes), L"\"");
}

TEST(CmdLine, ParseAppendsToArgumentsAlreadyThere) {
    CmdLine cmdLine;
    const wchar_t* first = L"a b";
    cmdLine.Parse(first);
    const wchar_t* second = L"c";
    cmdLine.Parse(second);
    EXPECT_EQ(cmdLine.args, (std::vector<std::wstring>{L"a", L"b", L"c"}));
}

}  // namespace
