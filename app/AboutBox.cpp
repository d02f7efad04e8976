// Help > About: reads the program's version afresh, composes the name-and-version line and runs
// the About box modally over the main window. Nothing here is reported: without version
// information the line is the name and a space, and a box that cannot be shown is simply not.
#include "AboutBox.h"

#include "AboutLine.h"
#include "DialogAbout.h"
#include "ModuleVersionInfo.h"

void ShowAboutBox(Window& owner) {
    wchar_t versionText[kVersionTextCapacity] = {};
    {
        ModuleVersionInfo versionInfo;
        if (std::optional<ProgramVersion> version = versionInfo.Version()) {
            FormatVersionText(versionText, version->major, version->minor, version->revision);
        }
    }
    const std::wstring line = AboutLine(versionText);
    DialogAbout about(&owner, line.c_str());
    about.RunModal();
}
