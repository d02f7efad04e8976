// Dialogs: windows made by the system's dialog manager, centred on their parent, ended by OK and
// Cancel, with the library's controls choosing their own colours.
#pragma once

#include "Window.h"

class Dialog : public Window {
public:
    Dialog() = default;
    virtual ~Dialog() = default;

    // After the dialog has been centred. The default attaches the extensions in order. A Win32
    // error code, 0 for success; a failure is shown and the dialog stays open.
    virtual DWORD OnInitDialog(HWND dialog);
    // The object's dialog procedure: TRUE when the message was handled.
    virtual INT_PTR HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnOK();
    virtual void OnCancel();
    virtual INT_PTR ReservedDialog(WPARAM wParam, LPARAM lParam);
    // Cancels and ends the dialog the way it was started.
    virtual void Close();

    // Passed to the system for every dialog of the library; binds the object at WM_INITDIALOG.
    static INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    // True while running under DialogBoxIndirectParamW: the dialog ends with EndDialog rather
    // than DestroyWindow.
    BOOL modal = FALSE;

private:
    void CentreOnParent(HWND dialog);
    void End(HWND dialog, int result);
    INT_PTR OnControlColour(WPARAM dc, LPARAM control);
};
