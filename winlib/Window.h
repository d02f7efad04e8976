// Window objects: one Win32 window tied to one object, its messages turned into virtual
// operations chosen by behaviour flags, and extensions that see every message first.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <vector>

// The program's module instance: set by the entry before the first window is made; the hInstance
// of every class registration, window, menu, icon and dialog of the library.
extern HINSTANCE moduleInstance;

// Behaviour flags of a window, given to Window::Create. Only the low eight bits mean anything.
enum class WindowFlags : uint16_t {
    None = 0x00,
    NoRegister = 0x01,       // Create does not register the class (system or pre-registered)
    OwnerPaint = 0x02,       // WM_PAINT: BeginPaint, OnPaint, EndPaint
    Reflect = 0x04,          // the control's own notifications are offered to it first
    CommandAsNotify = 0x08,  // a child's WM_COMMAND goes to OnNotify as a notification record
    ExtSize = 0x10,          // WM_SIZE: each extension's OnSize before the window's own
    CallOnCreate = 0x20,     // WM_CREATE calls OnCreate; a non-zero code aborts the creation
    Timer = 0x40,            // WM_TIMER calls OnTimer
    QuitOnDestroy = 0x80,    // WM_DESTROY posts the quit message with exit code 0
};

constexpr uint16_t Flags(WindowFlags flag) {
    return static_cast<uint16_t>(flag);
}
constexpr uint16_t operator|(WindowFlags a, WindowFlags b) {
    return Flags(a) | Flags(b);
}
constexpr uint16_t operator|(uint16_t a, WindowFlags b) {
    return a | Flags(b);
}

// Changes the class description before it is registered (icon, background brush...).
using ClassCustomiser = std::function<void(WNDCLASSEXW&)>;

class Window;

// An object added to a window before its creation that is attached once the window exists and
// sees every message before the window does. Owned by whoever added it.
class WindowExt {
public:
    // The window has its handle now. A Win32 error code, 0 for success.
    virtual DWORD Attach(Window* window);
    // A non-zero result ends the message's handling and becomes its result.
    virtual LRESULT PreviewMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // May adjust the client rectangle before the window lays itself out (ExtSize windows only).
    virtual void OnSize(RECT* client);

protected:
    WindowExt() = default;
    ~WindowExt() = default;
};

class WindowExtHost {
public:
    // In the order added; not owned.
    std::vector<WindowExt*> extensions;
};

class Window : public WindowExtHost {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd = nullptr;       // set at WM_CREATE and again from CreateWindowExW; never reset
    Window* parent = nullptr;  // not owned; its handle is the parent/owner at creation
    uint16_t flags = 0;        // WindowFlags

    // Handlers: 0 means "not handled" and lets the system's default processing run.
    virtual int OnCommand(int id);
    virtual int Reserved(int value);
    virtual int OnControlCommand(HWND control, int code, int id);
    virtual int OnReflectedCommand(int code, int id);
    virtual int OnNotify(HWND from, int code, NMHDR* header);
    virtual int OnReflectedNotify(int code, NMHDR* header);
    virtual int OnSize(WPARAM kind, RECT* client);
    virtual void OnPaint(HDC dc);
    virtual DWORD OnCreate();
    virtual void OnTimer(WPARAM timerId);
    // The object's window procedure; a result of 0 lets DefWindowProcW (or the control's own
    // procedure) run.
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // Registers the class (unless NoRegister), creates the window at the system's default place
    // and size, and attaches the extensions in order. A Win32 error code, 0 for success.
    DWORD Create(Window* parentWindow,
                 const wchar_t* className,
                 const wchar_t* title,
                 DWORD style,
                 uint16_t windowFlags,
                 UINT_PTR id,
                 DWORD exStyle,
                 ClassCustomiser customiser = {});

    // WM_COMMAND, WM_NOTIFY, WM_DESTROY and WM_TIMER, shared by windows and dialogs.
    LRESULT HandleCommonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool HasFlag(WindowFlags flag) const { return (flags & Flags(flag)) != 0; }

protected:
    // Destroying the object neither destroys its window nor touches its extensions.
    ~Window() = default;
};

// Registers a class whose procedure is WindowProcedure, with the library's defaults changed by
// the customiser (if any). A Win32 error code, 0 for success.
DWORD RegisterWindowClass(const wchar_t* className, ClassCustomiser customiser = {});

// The procedure of every class the library registers: routes messages to the bound object.
LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Binds an object to a window (its user-data slot), and finds the object bound to a window.
// Lookup answers only for windows that the library bound itself, so a control whose user data
// holds something of its own is never taken for a library object.
void BindWindowObject(HWND hwnd, Window* object);
// Drops the marker at WM_NCDESTROY; the user-data slot itself is never cleared.
void UnbindWindowObject(HWND hwnd);
Window* WindowObjectFromHandle(HWND hwnd);
