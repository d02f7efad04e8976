// Wrappers of system controls. A system class never runs the library's window procedure, so
// the object is tied to the control after creation, by subclassing and by its user-data slot.
#include "CommonControls.h"

#include "BoundedFormat.h"

namespace CommonControls {

namespace {
constexpr const wchar_t* kListViewClass = L"SysListView32";
constexpr const wchar_t* kStaticClass = L"Static";
constexpr UINT_PTR kSubclassId = 0;
}  // namespace

LRESULT CommonControl::OnCtlColor(HDC) {
    return 0;
}

DWORD CommonControl::CreateControl(Window* parentWindow,
                                   const wchar_t* className,
                                   const wchar_t* text,
                                   DWORD style,
                                   uint16_t windowFlags) {
    DWORD error =
        Window::Create(parentWindow, className, text, style | WS_CHILD, windowFlags, 0, 0);
    if (error != 0) {
        return error;
    }
    if (!SetWindowSubclass(hwnd, SubclassProcedure, kSubclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
        error = GetLastError();
        if (error != 0) {
            return error;
        }
    } else {
        BindWindowObject(hwnd, this);
    }
    ShowWindow(hwnd, SW_SHOW);
    return 0;
}

DWORD ListView::Create(Window* parentWindow, DWORD style) {
    // Version 6 of the common controls registers its classes on demand only.
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    return CreateControl(parentWindow, kListViewClass, nullptr, style,
                         WindowFlags::NoRegister | WindowFlags::Reflect);
}

DWORD Static::Create(Window* parentWindow, DWORD style) {
    wchar_t iconReference[kIconRefCapacity] = {};
    FormatWide8(iconReference, L"#%d", iconId);
    return CreateControl(parentWindow, kStaticClass, iconReference, style,
                         Flags(WindowFlags::NoRegister));
}

LRESULT CALLBACK SubclassProcedure(HWND hwnd,
                                   UINT message,
                                   WPARAM wParam,
                                   LPARAM lParam,
                                   UINT_PTR,
                                   DWORD_PTR object) {
    if (message == WM_NCDESTROY) {
        UnbindWindowObject(hwnd);
    }
    auto* control = reinterpret_cast<CommonControl*>(object);
    LRESULT result = control->HandleMessage(hwnd, message, wParam, lParam);
    if (result != 0) {
        return result;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace CommonControls
