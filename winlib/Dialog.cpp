// The dialog side of the window library: the procedure the dialog manager calls, centring on the
// owner, OK/Cancel handling and colour requests of wrapped controls. Whatever a dialog does not
// handle here takes the same road as a window's messages (HandleCommonMessage).
#include "Dialog.h"

#include "CentredOrigin.h"
#include "CommonControls.h"
#include "ErrorBox.h"

DWORD Dialog::OnInitDialog(HWND) {
    for (WindowExt* extension : extensions) {
        DWORD error = extension->Attach(this);
        if (error != 0) {
            return error;
        }
    }
    return 0;
}

void Dialog::OnOK() {}
void Dialog::OnCancel() {}
INT_PTR Dialog::ReservedDialog(WPARAM, LPARAM) { return 0; }

void Dialog::Close() {
    OnCancel();
    End(hwnd, IDCANCEL);
}

void Dialog::End(HWND dialog, int result) {
    if (modal) {
        EndDialog(dialog, result);
    } else {
        DestroyWindow(dialog);
    }
}

INT_PTR CALLBACK Dialog::DialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    Window* object = nullptr;
    if (message == WM_INITDIALOG) {
        object = reinterpret_cast<Dialog*>(lParam);
        if (object != nullptr) {
            BindWindowObject(dialog, object);
        }
    } else {
        // Before WM_INITDIALOG (WM_SETFONT, for one) nothing is bound yet: FALSE.
        object = WindowObjectFromHandle(dialog);
    }
    if (message == WM_NCDESTROY) {
        UnbindWindowObject(dialog);
    }
    // Only Dialog objects are ever bound by this procedure.
    auto* owner = static_cast<Dialog*>(object);
    if (owner == nullptr) {
        return FALSE;
    }
    return owner->HandleDialogMessage(dialog, message, wParam, lParam);
}

void Dialog::CentreOnParent(HWND dialog) {
    HWND reference = parent != nullptr ? parent->hwnd : GetDesktopWindow();
    RECT around;
    RECT own;
    SetRectEmpty(&around);
    SetRectEmpty(&own);
    GetWindowRect(reference, &around);
    GetWindowRect(dialog, &own);
    const ScreenPoint origin = CentredOrigin(around.left, around.top, around.right,
                                             around.bottom, own.left, own.top, own.right,
                                             own.bottom);
    SetWindowPos(dialog, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

INT_PTR Dialog::OnControlColour(WPARAM dc, LPARAM control) {
    // Any library object may be bound to a control (a link, a list view...); only the wrapped
    // common controls answer colour requests.
    auto* wrapped =
        dynamic_cast<CommonControls::CommonControl*>(WindowObjectFromHandle(
            reinterpret_cast<HWND>(control)));
    if (wrapped == nullptr) {
        return 0;
    }
    return static_cast<INT_PTR>(wrapped->OnCtlColor(reinterpret_cast<HDC>(dc)));
}

INT_PTR Dialog::HandleDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    for (WindowExt* extension : extensions) {
        LRESULT result = extension->PreviewMessage(dialog, message, wParam, lParam);
        if (result != 0) {
            return result;
        }
    }
    switch (message) {
    case WM_INITDIALOG: {
        hwnd = dialog;
        CentreOnParent(dialog);
        DWORD error = OnInitDialog(dialog);
        if (error != 0) {
            ShowError(error);
        }
        return TRUE;  // the dialog manager sets the default focus
    }
    case WM_COMMAND: {
        // Whatever the notification code: Esc and the close box also arrive as IDCANCEL.
        const int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL) {
            if (id == IDOK) {
                OnOK();
            } else {
                OnCancel();
            }
            End(dialog, id);
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam != 0) {
            INT_PTR brush = OnControlColour(wParam, lParam);
            if (brush != 0) {
                return brush;
            }
        }
        break;
    default:
        break;
    }
    return HandleCommonMessage(dialog, message, wParam, lParam);
}
