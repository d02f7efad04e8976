// Message routing of the window base on real windows: sizes, commands climbing to the parent,
// reflection to controls, extensions, registration, menus, static controls, error texts.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "CommonControls.h"
#include "ErrorBox.h"
#include "Menu.h"
#include "WinCheck.h"
#include "Window.h"

namespace {

struct Recorder final : Window {
    std::vector<int> commands;
    std::vector<RECT> sizes;
    std::vector<std::pair<HWND, NMHDR>> notifies;
    std::vector<std::pair<int, int>> controlCommands;
    int commandResult = 0;

    int OnCommand(int id) override {
        commands.push_back(id);
        return commandResult;
    }
    int OnSize(WPARAM, RECT* client) override {
        sizes.push_back(*client);
        return 0;
    }
    int OnNotify(HWND from, int, NMHDR* header) override {
        notifies.push_back({from, *header});
        return 1;
    }
    int OnControlCommand(HWND, int code, int id) override {
        controlCommands.push_back({code, id});
        return 1;
    }
};

struct ReflectingControl final : CommonControls::CommonControl {
    std::vector<int> reflected;
    int result = 0;
    DWORD Create(Window* parentWindow) {
        return CreateControl(parentWindow, L"Static", L"", 0,
                             WindowFlags::NoRegister | WindowFlags::Reflect);
    }
    int OnReflectedNotify(int code, NMHDR*) override {
        reflected.push_back(code);
        return result;
    }
    int OnReflectedCommand(int code, int) override {
        reflected.push_back(code);
        return result;
    }
};

struct PreviewExtension final : WindowExt {
    std::vector<UINT> seen;
    bool attached = false;
    bool sawCreateBeforeAttach = false;
    UINT handles = 0;
    DWORD Attach(Window*) override {
        attached = true;
        return 0;
    }
    LRESULT PreviewMessage(HWND, UINT message, WPARAM, LPARAM) override {
        seen.push_back(message);
        if (message == WM_CREATE && !attached) {
            sawCreateBeforeAttach = true;
        }
        return message == handles ? 42 : 0;
    }
};

const wchar_t* UniqueClass(const char* tag) {
    static std::vector<std::wstring> names;
    names.push_back(L"KtTest_" + std::wstring(tag, tag + strlen(tag)) + L"_" +
                    std::to_wstring(names.size()));
    return names.back().c_str();
}

}  // namespace

WIN_CASE(SizeGivesInclusiveClientRectangle) {
    Recorder window;
    WIN_CHECK(window.Create(nullptr, UniqueClass("size"), L"t", WS_OVERLAPPEDWINDOW, 0, 0, 0) == 0);
    window.sizes.clear();
    SendMessageW(window.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    SendMessageW(window.hwnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    WIN_CHECK(window.sizes.size() == 2);
    if (window.sizes.size() == 2) {
        WIN_CHECK(window.sizes[0].left == 0 && window.sizes[0].top == 0);
        WIN_CHECK(window.sizes[0].right == 299 && window.sizes[0].bottom == 199);
        WIN_CHECK(window.sizes[1].right == -1 && window.sizes[1].bottom == -1);
    }
    DestroyWindow(window.hwnd);
}

WIN_CASE(UnhandledCommandsClimbToTheParent) {
    Recorder parent;
    Recorder child;
    WIN_CHECK(parent.Create(nullptr, UniqueClass("parent"), L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0) ==
              0);
    WIN_CHECK(child.Create(&parent, UniqueClass("child"), L"c", WS_CHILD, 0, 1, 0) == 0);
    SendMessageW(child.hwnd, WM_COMMAND, MAKEWPARAM(40002, 0), 0);  // menu
    SendMessageW(child.hwnd, WM_COMMAND, MAKEWPARAM(40003, 1), 0);  // accelerator
    SendMessageW(child.hwnd, WM_COMMAND, MAKEWPARAM(40004, 2), 0);  // neither: ignored
    WIN_CHECK((child.commands == std::vector<int>{40002, 40003}));
    WIN_CHECK((parent.commands == std::vector<int>{40002, 40003}));
    child.commands.clear();
    parent.commands.clear();
    child.commandResult = 1;  // handled: the parent does not see it
    SendMessageW(child.hwnd, WM_COMMAND, MAKEWPARAM(40001, 0), 0);
    WIN_CHECK(child.commands.size() == 1 && parent.commands.empty());
    DestroyWindow(parent.hwnd);
}

WIN_CASE(ReflectedNotificationsComeFirstAndCanEndTheMessage) {
    Recorder parent;
    ReflectingControl control;
    WIN_CHECK(parent.Create(nullptr, UniqueClass("reflect"), L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0) ==
              0);
    WIN_CHECK(control.Create(&parent) == 0);
    WIN_CHECK(WindowObjectFromHandle(control.hwnd) == &control);
    NMHDR record = {control.hwnd, 0, static_cast<UINT>(-101)};
    SendMessageW(parent.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
    WIN_CHECK(control.reflected.size() == 1);
    WIN_CHECK(parent.notifies.size() == 1);  // reflected handler returned 0

    control.result = 7;
    LRESULT result = SendMessageW(parent.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
    WIN_CHECK(result == 7);
    WIN_CHECK(parent.notifies.size() == 1);  // ended by the control

    control.result = 0;
    SendMessageW(parent.hwnd, WM_COMMAND, MAKEWPARAM(5, 9), reinterpret_cast<LPARAM>(control.hwnd));
    WIN_CHECK(control.reflected.size() == 3);
    WIN_CHECK(parent.controlCommands.size() == 1 && parent.controlCommands[0].first == 9);
    DestroyWindow(parent.hwnd);
}

WIN_CASE(CommandAsNotifyCarriesTheWindowsOwnHandle) {
    Recorder parent;
    ReflectingControl control;
    WIN_CHECK(parent.Create(nullptr, UniqueClass("asnotify"), L"p", WS_OVERLAPPEDWINDOW,
                            Flags(WindowFlags::CommandAsNotify), 0, 0) == 0);
    WIN_CHECK(control.Create(&parent) == 0);
    SendMessageW(parent.hwnd, WM_COMMAND, MAKEWPARAM(5, 9), reinterpret_cast<LPARAM>(control.hwnd));
    WIN_CHECK(parent.notifies.size() == 1);
    if (!parent.notifies.empty()) {
        WIN_CHECK(parent.notifies[0].first == control.hwnd);
        WIN_CHECK(parent.notifies[0].second.hwndFrom == parent.hwnd);
        WIN_CHECK(parent.notifies[0].second.idFrom == 5 && parent.notifies[0].second.code == 9);
    }
    WIN_CHECK(parent.controlCommands.empty());
    DestroyWindow(parent.hwnd);
}

WIN_CASE(ForeignUserDataIsNotTakenForAnObject) {
    Recorder parent;
    WIN_CHECK(parent.Create(nullptr, UniqueClass("foreign"), L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0) ==
              0);
    HWND foreign = CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 10, 10, parent.hwnd, nullptr,
                                   moduleInstance, nullptr);
    int junk = 0;
    SetWindowLongPtrW(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&junk));
    WIN_CHECK(WindowObjectFromHandle(foreign) == nullptr);
    NMHDR record = {foreign, 0, 1};
    SendMessageW(parent.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
    WIN_CHECK(parent.notifies.size() == 1);
    DestroyWindow(parent.hwnd);
}

WIN_CASE(ExtensionsPreviewInOrderAndSeeCreationBeforeAttach) {
    Recorder window;
    PreviewExtension first;
    PreviewExtension second;
    first.handles = WM_USER + 1;
    second.handles = WM_USER + 1;
    window.extensions.push_back(&first);
    window.extensions.push_back(&second);
    WIN_CHECK(window.Create(nullptr, UniqueClass("ext"), L"e", WS_OVERLAPPEDWINDOW, 0, 0, 0) == 0);
    WIN_CHECK(first.attached && second.attached);
    WIN_CHECK(first.sawCreateBeforeAttach);
    WIN_CHECK(!first.seen.empty() && first.seen.front() == WM_NCCREATE);
    first.seen.clear();
    second.seen.clear();
    WIN_CHECK(SendMessageW(window.hwnd, WM_USER + 1, 0, 0) == 42);
    WIN_CHECK(first.seen.size() == 1 && second.seen.empty());
    DestroyWindow(window.hwnd);
}

WIN_CASE(SecondRegistrationOfAClassFails) {
    const wchar_t* name = UniqueClass("twice");
    Recorder a;
    Recorder b;
    WIN_CHECK(a.Create(nullptr, name, L"a", WS_OVERLAPPEDWINDOW, 0, 0, 0) == 0);
    WIN_CHECK(b.Create(nullptr, name, L"b", WS_OVERLAPPEDWINDOW, 0, 0, 0) ==
              ERROR_CLASS_ALREADY_EXISTS);
    WIN_CHECK(b.hwnd == nullptr);
    Recorder c;
    WIN_CHECK(c.Create(nullptr, name, L"c", WS_OVERLAPPEDWINDOW, Flags(WindowFlags::NoRegister), 0,
                       0) == 0);
    DestroyWindow(a.hwnd);
    DestroyWindow(c.hwnd);
}

WIN_CASE(CustomiserChangesTheClass) {
    Recorder window;
    const wchar_t* name = UniqueClass("custom");
    WIN_CHECK(window.Create(
                  nullptr, name, L"c", WS_OVERLAPPEDWINDOW, 0, 0, 0, [](WNDCLASSEXW& windowClass) {
                      windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
                  }) == 0);
    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    WIN_CHECK(GetClassInfoExW(moduleInstance, name, &info));
    WIN_CHECK(info.hbrBackground == reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    WIN_CHECK(info.style == (CS_HREDRAW | CS_VREDRAW));
    DestroyWindow(window.hwnd);
}

WIN_CASE(MenuFromAMissingResourceFailsWithoutSettingAMenu) {
    Recorder window;
    MenuExt menu(999);  // no such menu in this executable
    window.extensions.push_back(&menu);
    DWORD error = window.Create(nullptr, UniqueClass("menu"), L"m", WS_OVERLAPPEDWINDOW, 0, 0, 0);
    WIN_CHECK(error != 0);
    WIN_CHECK(window.hwnd != nullptr);  // the window exists without a menu
    WIN_CHECK(GetMenu(window.hwnd) == nullptr);
    WIN_CHECK(menu.hmenu == nullptr && !menu.owned);
    DestroyWindow(window.hwnd);
}

WIN_CASE(StaticIconControlNamesItsIcon) {
    Recorder parent;
    CommonControls::Static icon;
    icon.iconId = 102;
    WIN_CHECK(parent.Create(nullptr, UniqueClass("static"), L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0) ==
              0);
    WIN_CHECK(icon.Create(&parent, 0) == 0);  // text only: this executable has no icon 102
    wchar_t text[16] = {};
    WIN_CHECK(GetWindowTextW(icon.hwnd, text, 16) == 4);
    WIN_CHECK(std::wstring(text) == L"#102");
    WIN_CHECK(IsWindowVisible(icon.hwnd) || !IsWindowVisible(parent.hwnd));
    WIN_CHECK(WindowObjectFromHandle(icon.hwnd) == &icon);
    DestroyWindow(parent.hwnd);
}

WIN_CASE(ListViewWrapperCreatesASystemListView) {
    Recorder parent;
    CommonControls::ListView list;
    WIN_CHECK(parent.Create(nullptr, UniqueClass("list"), L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0) == 0);
    WIN_CHECK(list.Create(&parent, LVS_REPORT) == 0);
    wchar_t className[64] = {};
    GetClassNameW(list.hwnd, className, 64);
    WIN_CHECK(std::wstring(className) == L"SysListView32");
    WIN_CHECK(list.HasFlag(WindowFlags::NoRegister) && list.HasFlag(WindowFlags::Reflect));
    WIN_CHECK((GetWindowLongW(list.hwnd, GWL_STYLE) & WS_CHILD) != 0);
    DestroyWindow(parent.hwnd);
}

WIN_CASE(ErrorTextKeepsSystemTextAndCode) {
    std::wstring notFound = ErrorText(ERROR_FILE_NOT_FOUND);
    WIN_CHECK(notFound.size() > 4);
    WIN_CHECK(notFound.compare(notFound.size() - 4, 4, L" (2)") == 0);
    std::wstring unknown = ErrorText(0x2FFFFFFFu);  // no system text for this code
    WIN_CHECK(unknown.size() >= 12);
    WIN_CHECK(unknown.compare(unknown.size() - 12, 12, L" (805306367)") == 0);
    std::wstring hresult = ErrorText(0x80070005u);
    WIN_CHECK(hresult.find(L"(2147942405)") != std::wstring::npos);
}

namespace {

struct RefusingWindow final : Window {
    DWORD refusal = 5;
    DWORD OnCreate() override { return refusal; }
};

// Sees the client rectangle after the extensions have, and records the timers it is given.
struct LayoutWindow final : Window {
    std::vector<RECT> sizes;
    std::vector<WPARAM> timers;
    int OnSize(WPARAM, RECT* client) override {
        sizes.push_back(*client);
        return 0;
    }
    void OnTimer(WPARAM timerId) override { timers.push_back(timerId); }
};

// Takes 10 pixels off the top of the client area, as a toolbar would.
struct InsetExtension final : WindowExt {
    int calls = 0;
    void OnSize(RECT* client) override {
        ++calls;
        client->top += 10;
    }
};

bool QuitPosted() {
    MSG quit;
    bool posted = false;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        posted = quit.wParam == 0;
    }
    return posted;
}

}  // namespace

WIN_CASE(RefusedCreationShowsTheCodeAndMakesNoWindow) {
    MessageBoxCatcher boxes;
    RefusingWindow window;
    DWORD error = window.Create(nullptr, UniqueClass("refuse"), L"r", WS_OVERLAPPEDWINDOW,
                                Flags(WindowFlags::CallOnCreate), 0, 0);
    // Never a success: the refusal's own code where the system keeps it, another code where not.
    WIN_CHECK(error != 0);
    std::printf("  refused creation reported as %lu\n", error);
    WIN_CHECK(window.hwnd == nullptr);
    WIN_CHECK(MessageBoxCatcher::Boxes().size() == 1);
    if (MessageBoxCatcher::Boxes().size() == 1) {
        const CaughtBox& box = MessageBoxCatcher::Boxes()[0];
        WIN_CHECK(box.caption == L"Error");
        WIN_CHECK(box.text.size() > 4 && box.text.compare(box.text.size() - 4, 4, L" (5)") == 0);
        WIN_CHECK(box.owner == nullptr);
    }
    // Without CallOnCreate the same object is never asked.
    WIN_CHECK(window.Create(nullptr, UniqueClass("refuse"), L"r", WS_OVERLAPPEDWINDOW, 0, 0, 0) ==
              0);
    WIN_CHECK(MessageBoxCatcher::Boxes().size() == 1);
    DestroyWindow(window.hwnd);
}

WIN_CASE(FlagsChooseWhichHandlersRun) {
    const struct {
        uint16_t flags;
        bool extensionSizes, timers, quits;
    } cases[] = {
        {0, false, false, false},
        {Flags(WindowFlags::ExtSize), true, false, false},
        {Flags(WindowFlags::Timer), false, true, false},
        {Flags(WindowFlags::QuitOnDestroy), false, false, true},
        {WindowFlags::ExtSize | WindowFlags::Timer | WindowFlags::QuitOnDestroy, true, true, true},
    };
    for (const auto& c : cases) {
        QuitPosted();
        LayoutWindow window;
        InsetExtension inset;
        window.extensions.push_back(&inset);
        WIN_CHECK(window.Create(nullptr, UniqueClass("flags"), L"f", WS_OVERLAPPEDWINDOW, c.flags,
                                0, 0) == 0);
        window.sizes.clear();
        inset.calls = 0;
        SendMessageW(window.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
        WIN_CHECK(window.sizes.size() == 1);
        if (window.sizes.size() == 1) {
            // The extension's change is what the window lays itself out with.
            WIN_CHECK(window.sizes[0].top == (c.extensionSizes ? 10 : 0));
            WIN_CHECK(window.sizes[0].bottom == 199);
        }
        WIN_CHECK(inset.calls == (c.extensionSizes ? 1 : 0));
        SendMessageW(window.hwnd, WM_TIMER, 77, 0);
        WIN_CHECK(window.timers == (c.timers ? std::vector<WPARAM>{77} : std::vector<WPARAM>{}));
        DestroyWindow(window.hwnd);
        WIN_CHECK(QuitPosted() == c.quits);
    }
}
