// The About box: the program's icon, its name and version, and the maker's web-site address as
// a link, with one OK button. Text and button come from the in-memory template; icon and link
// are created when the dialog initialises.
#pragma once

#include "CommonControls.h"
#include "DialogTemplate.h"
#include "PXSyslink.h"
#include "ServerNames.h"

class DialogAbout final : public DialogTemplate {
public:
    // text: the name-and-version line. parent: the main window, owner of the modal box.
    DialogAbout(Window* parentWindow, const wchar_t* text);
    ~DialogAbout() override = default;

    DWORD OnInitDialog(HWND dialog) override;

    PXSyslink link;
    const wchar_t* linkAddress = kWebSiteAddress;  // the maker's web site
    CommonControls::Static icon;

private:
    // Converts a rectangle in dialog units and places the control there.
    static void Place(HWND dialog, HWND control, RECT rectangle);
};
