// The error box's text: the system's text kept whole, the code as an unsigned decimal number.
#include <gtest/gtest.h>

#include "ErrorTextFormat.h"

namespace {

TEST(ErrorText, ComposesSystemTextAndCode) {
    struct Case {
        const wchar_t* systemText;
        uint32_t code;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"The operation completed successfully.\r\n", 0,
         L"The operation completed successfully.\r\n (0)"},
        {L"The system cannot find the file specified.\r\n", 2,
         L"The system cannot find the file specified.\r\n (2)"},
        {L"Access is denied.\r\n", 0x80070005u, L"Access is denied.\r\n (2147942405)"},
        {L"x", 0xFFFFFFFFu, L"x (4294967295)"},
        {L"", 1410, L" (1410)"},
        // The system has no text for the code: only the code remains, nothing is read.
        {nullptr, 12345, L" (12345)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ComposeErrorText(c.systemText, c.code), c.expected) << c.code;
    }
}

}  // namespace
