// The window base: class registration, creation, and the routing of raw messages to the
// virtual operations of the window's object and its extensions. Everything runs on the thread
// that owns the windows; nothing is locked.
#include "Window.h"

#include <utility>

#include "ErrorBox.h"

HINSTANCE moduleInstance = nullptr;

namespace {

// Marks a window whose user-data slot the library wrote, holding the same object pointer. An
// integer atom: a string name would take a reference on the global atom for every window whose
// property is not removed before it goes.
constexpr const wchar_t* kBoundObjectPropertyName = L"KetterlinWindowObject";

const wchar_t* BoundObjectProperty() {
    static const ATOM atom = GlobalAddAtomW(kBoundObjectPropertyName);
    return atom != 0 ? MAKEINTATOM(atom) : kBoundObjectPropertyName;
}
constexpr LRESULT kAbortCreation = -1;
// What Create reports when the system made no window but left no error code either (a creation
// refused from WM_CREATE or WM_NCCREATE on some systems): never 0, which would read as success.
constexpr DWORD kNoWindowMade = ERROR_INVALID_WINDOW_HANDLE;

RECT ClientRectFromSize(LPARAM lParam) {
    // Inclusive coordinates: width = right - left + 1.
    RECT client = {0, 0, static_cast<LONG>(LOWORD(lParam)) - 1,
                   static_cast<LONG>(HIWORD(lParam)) - 1};
    return client;
}

}  // namespace

DWORD WindowExt::Attach(Window*) {
    return 0;
}
LRESULT WindowExt::PreviewMessage(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
void WindowExt::OnSize(RECT*) {}

int Window::OnCommand(int) {
    return 0;
}
int Window::Reserved(int) {
    return 0;
}
int Window::OnControlCommand(HWND, int, int) {
    return 0;
}
int Window::OnReflectedCommand(int, int) {
    return 0;
}
int Window::OnNotify(HWND, int, NMHDR*) {
    return 0;
}
int Window::OnReflectedNotify(int, NMHDR*) {
    return 0;
}
int Window::OnSize(WPARAM, RECT*) {
    return 0;
}
void Window::OnPaint(HDC) {}
DWORD Window::OnCreate() {
    return 0;
}
void Window::OnTimer(WPARAM) {}

void BindWindowObject(HWND hwnd, Window* object) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    SetPropW(hwnd, BoundObjectProperty(), object);
}

void UnbindWindowObject(HWND hwnd) {
    RemovePropW(hwnd, BoundObjectProperty());
}

Window* WindowObjectFromHandle(HWND hwnd) {
    if (hwnd == nullptr) {
        return nullptr;
    }
    auto* object = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (object == nullptr || GetPropW(hwnd, BoundObjectProperty()) != object) {
        return nullptr;
    }
    return object;
}

DWORD RegisterWindowClass(const wchar_t* className, ClassCustomiser customiser) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = moduleInstance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    if (customiser) {
        customiser(windowClass);
    }
    // Taken by value and released here: nothing the customiser captured outlives registration.
    customiser = nullptr;
    if (RegisterClassExW(&windowClass) == 0) {
        return GetLastError();
    }
    return 0;
}

DWORD Window::Create(Window* parentWindow,
                     const wchar_t* className,
                     const wchar_t* title,
                     DWORD style,
                     uint16_t windowFlags,
                     UINT_PTR id,
                     DWORD exStyle,
                     ClassCustomiser customiser) {
    flags = windowFlags;
    parent = parentWindow;
    if (!HasFlag(WindowFlags::NoRegister)) {
        DWORD error = RegisterWindowClass(className, std::move(customiser));
        if (error != 0) {
            return error;
        }
    }
    HWND created =
        CreateWindowExW(exStyle, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, parent != nullptr ? parent->hwnd : nullptr,
                        reinterpret_cast<HMENU>(id), moduleInstance, this);
    hwnd = created;
    if (created == nullptr) {
        DWORD error = GetLastError();
        return error != 0 ? error : kNoWindowMade;
    }
    for (WindowExt* extension : extensions) {
        DWORD error = extension->Attach(this);
        if (error != 0) {
            return error;
        }
    }
    return 0;
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* object = nullptr;
    if (message == WM_NCCREATE) {
        object = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (object != nullptr) {
            BindWindowObject(hwnd, object);
        }
    } else {
        object = WindowObjectFromHandle(hwnd);
    }
    if (message == WM_NCDESTROY) {
        // The user-data slot keeps the pointer; the marker goes with the window.
        UnbindWindowObject(hwnd);
    }
    if (object != nullptr) {
        LRESULT result = object->HandleMessage(hwnd, message, wParam, lParam);
        if (result != 0) {
            return result;
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    for (WindowExt* extension : extensions) {
        LRESULT result = extension->PreviewMessage(window, message, wParam, lParam);
        if (result != 0) {
            return result;
        }
    }
    switch (message) {
        case WM_CREATE:
            // Known before CreateWindowExW returns, for handlers that run during creation.
            hwnd = window;
            if (HasFlag(WindowFlags::CallOnCreate)) {
                DWORD error = OnCreate();
                if (error != 0) {
                    ShowError(error);
                    // The box has reset the thread's last error, and CreateWindowExW does not
                    // always set one when it fails this way: Create then reports the refusal.
                    SetLastError(error);
                    return kAbortCreation;
                }
            }
            return 0;
        case WM_SIZE: {
            RECT client = ClientRectFromSize(lParam);
            if (HasFlag(WindowFlags::ExtSize)) {
                for (WindowExt* extension : extensions) {
                    extension->OnSize(&client);
                }
            }
            return OnSize(wParam, &client) != 0 ? 1 : 0;
        }
        case WM_PAINT:
            if (HasFlag(WindowFlags::OwnerPaint)) {
                PAINTSTRUCT paint;
                HDC dc = BeginPaint(window, &paint);
                OnPaint(dc);
                EndPaint(window, &paint);
            }
            return 0;
        default:
            return HandleCommonMessage(window, message, wParam, lParam);
    }
}

LRESULT Window::HandleCommonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            if (HasFlag(WindowFlags::QuitOnDestroy)) {
                PostQuitMessage(0);
            }
            return 0;
        case WM_TIMER:
            if (HasFlag(WindowFlags::Timer)) {
                OnTimer(wParam);
            }
            return 0;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            int code = static_cast<int>(header->code);
            Window* control = WindowObjectFromHandle(header->hwndFrom);
            if (control != nullptr && control->HasFlag(WindowFlags::Reflect)) {
                LRESULT result = control->OnReflectedNotify(code, header);
                if (result != 0) {
                    return result;
                }
            }
            return OnNotify(header->hwndFrom, code, header) != 0 ? 1 : 0;
        }
        case WM_COMMAND: {
            int code = HIWORD(wParam);
            int id = LOWORD(wParam);
            if (lParam != 0) {
                HWND controlWindow = reinterpret_cast<HWND>(lParam);
                Window* control = WindowObjectFromHandle(controlWindow);
                if (control != nullptr && control->HasFlag(WindowFlags::Reflect)) {
                    LRESULT result = control->OnReflectedCommand(code, id);
                    if (result != 0) {
                        return result;
                    }
                }
                int handled;
                if (HasFlag(WindowFlags::CommandAsNotify)) {
                    NMHDR record = {window, static_cast<UINT_PTR>(id), static_cast<UINT>(code)};
                    handled = OnNotify(controlWindow, code, &record);
                } else {
                    handled = OnControlCommand(controlWindow, code, id);
                }
                return handled != 0 ? 1 : 0;
            }
            // A menu command (0) or an accelerator (1); anything else is not ours.
            if (code != 0 && code != 1) {
                return 0;
            }
            if (OnCommand(id) != 0) {
                return 1;
            }
            if (parent != nullptr) {
                return parent->HandleMessage(window, WM_COMMAND, wParam, 0);
            }
            return 0;
        }
        default:
            return 0;
    }
}
