// Titles of the main window for open files, including names too long to split.
#include <gtest/gtest.h>

#include "WindowTitle.h"

namespace {

TEST(WindowTitle, NameExtensionAndProgram) {
    EXPECT_EQ(TitleFromParts(L"run1", L".fcs"), L"run1.fcs - Ketterlin");
    EXPECT_EQ(TitleFromParts(L"noextension", L""), L"noextension - Ketterlin");
}

TEST(WindowTitle, LastPathComponent) {
    struct Case {
        const wchar_t* path;
        const wchar_t* last;
    };
    const Case cases[] = {
        {L"C:\\data\\run1.fcs", L"run1.fcs"},
        {L"C:/data/run1.fcs", L"run1.fcs"},
        {L"\\\\server\\share\\x.lmd", L"x.lmd"},
        {L"C:run1.fcs", L"run1.fcs"},
        {L"run1.fcs", L"run1.fcs"},
        {L"C:\\data\\", L""},
        {L"", L""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LastPathComponent(c.path), c.last);
    }
    std::wstring longName(300, L'n');
    EXPECT_EQ(TitleFromParts(LastPathComponent(L"C:\\d\\" + longName + L".fcs"), L""),
              longName + L".fcs - Ketterlin");
}

}  // namespace
