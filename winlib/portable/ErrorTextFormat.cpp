// Composition of the error box's text from the system's message and the code.
#include "ErrorTextFormat.h"

std::wstring ComposeErrorText(const wchar_t* systemText, uint32_t code) {
    // The system's text stays whole, its closing line break included; the code is written as an
    // unsigned number, so codes with the top bit set (HRESULTs) never show a minus sign.
    std::wstring text = systemText != nullptr ? systemText : L"";
    text += L" (";
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + code % 10));
        code /= 10;
    } while (code != 0);
    text += digits;
    text += L")";
    return text;
}
