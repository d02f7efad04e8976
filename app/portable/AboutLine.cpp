// Composition of the About box's text line. Kept apart from the dialog so the cutting rule of the
// version text is tested natively.
#include "AboutLine.h"

#include "WindowTitle.h"

int FormatVersionText(wchar_t (&text)[kVersionTextCapacity], int major, int minor, int revision) {
    return FormatWideCut16(text, L"v%d.%dr%d", major, minor, revision);
}

std::wstring AboutLine(const wchar_t* versionText) {
    std::wstring line = kProgramName;
    line += L' ';
    if (versionText != nullptr) {
        line += versionText;
    }
    return line;
}
