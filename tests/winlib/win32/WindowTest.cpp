// Message routing of the window base on real windows: sizes, commands climbing to the parent,
// reflection to controls, extensions, registration, menus, static controls, error texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "CommonControls.h"
#include "ErrorBox.h"
#include "Menu.h"
#include "MessageBoxCatcher.h"
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

// Class names for one process; each stays where it is while later ones are added.
const wchar_t* UniqueClass(const char* tag) {
    static std::deque<std::wstring> names;
    names.push_back(L"KtTest_" + std::wstring(tag, tag + strlen(tag)) + L"_" +
                    std::to_wstring(names.size()));
    return names.back().c_str();
}

}  // namespace

TEST(Window, SizeGivesInclusiveClientRectangle) {
    Recorder window;
    ASSERT_EQ(window.Create(nullptr, UniqueClass("size"), L"t", WS_OVERLAPPEDWINDOW, 0, 0, 0), 0u);
    window.sizes.clear();
    SendMessageW(window.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    SendMessageW(window.hwnd, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
    ASSERT_EQ(window.sizes.size(), 2u);
    EXPECT_EQ(window.sizes[0].left, 0);
    EXPECT_EQ(window.sizes[0].top, 0);
    EXPECT_EQ(window.sizes[0].right, 299);
    EXPECT_EQ(window.sizes[0].bottom, 199);
    EXPECT_EQ(window.sizes[1].right, -1);
    EXPECT_EQ(window.sizes[1].bottom, -1);
    DestroyWindow(window.hwnd);
}

TEST(Window, UnhandledCommandsClimbToTheParent) {
    Recorder parent;
    Recorder child;
    ASSERT_EQ(parent.Create(nullptr, UniqueClass("parent"), L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0),
              0u);
    ASSERT_EQ(child.Create(&parent, UniqueClass("child"), L"c", WS_CHILD, 0, 1, 0), 0u);
    SendMessageW(child.hwnd, WM_COMMAND, MAKEWPARAM(40002, 0), 0);  // menu
    SendMessageW(child.hwnd, WM_COMMAND, MAKEWPARAM(40003, 1), 0);  // accelerator
    SendMessageW(child.hwnd, WM_COMMAND, MAKEWPARAM(40004, 2), 0);  // neither: ignored
    EXPECT_EQ(child.commands, (std::vector<int>{40002, 40003}));
    EXPECT_EQ(parent.commands, (std::vector<int>{40002, 40003}));
    child.commands.clear();
    parent.commands.clear();
    child.commandResult = 1;  // handled: the parent does not see it
    SendMessageW(child.hwnd, WM_COMMAND, MAKEWPARAM(40001, 0), 0);
    EXPECT_EQ(child.commands, std::vector<int>{40001});
    EXPECT_TRUE(parent.commands.empty());
    DestroyWindow(parent.hwnd);
}

TEST(Window, ReflectedNotificationsComeFirstAndCanEndTheMessage) {
    Recorder parent;
    ReflectingControl control;
    ASSERT_EQ(parent.Create(nullptr, UniqueClass("reflect"), L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0),
              0u);
    ASSERT_EQ(control.Create(&parent), 0u);
    EXPECT_EQ(WindowObjectFromHandle(control.hwnd), &control);
    NMHDR record = {control.hwnd, 0, static_cast<UINT>(-101)};
    SendMessageW(parent.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(control.reflected.size(), 1u);
    EXPECT_EQ(parent.notifies.size(), 1u);  // reflected handler returned 0

    control.result = 7;
    LRESULT result = SendMessageW(parent.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(result, 7);
    EXPECT_EQ(parent.notifies.size(), 1u);  // ended by the control

    control.result = 0;
    SendMessageW(parent.hwnd, WM_COMMAND, MAKEWPARAM(5, 9), reinterpret_cast<LPARAM>(control.hwnd));
    EXPECT_EQ(control.reflected.size(), 3u);
    ASSERT_EQ(parent.controlCommands.size(), 1u);
    EXPECT_EQ(parent.controlCommands[0].first, 9);
    DestroyWindow(parent.hwnd);
}

TEST(Window, CommandAsNotifyCarriesTheWindowsOwnHandle) {
    Recorder parent;
    ReflectingControl control;
    ASSERT_EQ(parent.Create(nullptr, UniqueClass("asnotify"), L"p", WS_OVERLAPPEDWINDOW,
                            Flags(WindowFlags::CommandAsNotify), 0, 0),
              0u);
    ASSERT_EQ(control.Create(&parent), 0u);
    SendMessageW(parent.hwnd, WM_COMMAND, MAKEWPARAM(5, 9), reinterpret_cast<LPARAM>(control.hwnd));
    ASSERT_EQ(parent.notifies.size(), 1u);
    EXPECT_EQ(parent.notifies[0].first, control.hwnd);
    EXPECT_EQ(parent.notifies[0].second.hwndFrom, parent.hwnd);
    EXPECT_EQ(parent.notifies[0].second.idFrom, 5u);
    EXPECT_EQ(parent.notifies[0].second.code, 9u);
    EXPECT_TRUE(parent.controlCommands.empty());
    DestroyWindow(parent.hwnd);
}

TEST(Window, ForeignUserDataIsNotTakenForAnObject) {
    Recorder parent;
    ASSERT_EQ(parent.Create(nullptr, UniqueClass("foreign"), L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0),
              0u);
    HWND foreign = CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 10, 10, parent.hwnd, nullptr,
                                   moduleInstance, nullptr);
    ASSERT_NE(foreign, nullptr);
    int junk = 0;
    SetWindowLongPtrW(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&junk));
    EXPECT_EQ(WindowObjectFromHandle(foreign), nullptr);
    NMHDR record = {foreign, 0, 1};
    SendMessageW(parent.hwnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(parent.notifies.size(), 1u);
    DestroyWindow(parent.hwnd);
}

TEST(Window, ExtensionsPreviewInOrderAndSeeCreationBeforeAttach) {
    Recorder window;
    PreviewExtension first;
    PreviewExtension second;
    first.handles = WM_USER + 1;
    second.handles = WM_USER + 1;
    window.extensions.push_back(&first);
    window.extensions.push_back(&second);
    ASSERT_EQ(window.Create(nullptr, UniqueClass("ext"), L"e", WS_OVERLAPPEDWINDOW, 0, 0, 0), 0u);
    EXPECT_TRUE(first.attached);
    EXPECT_TRUE(second.attached);
    EXPECT_TRUE(first.sawCreateBeforeAttach);
    ASSERT_FALSE(first.seen.empty());
    EXPECT_EQ(first.seen.front(), static_cast<UINT>(WM_NCCREATE));
    first.seen.clear();
    second.seen.clear();
    EXPECT_EQ(SendMessageW(window.hwnd, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(first.seen, std::vector<UINT>{WM_USER + 1});
    EXPECT_TRUE(second.seen.empty());
    DestroyWindow(window.hwnd);
}

TEST(Window, SecondRegistrationOfAClassFails) {
    const wchar_t* name = UniqueClass("twice");
    Recorder a;
    Recorder b;
    ASSERT_EQ(a.Create(nullptr, name, L"a", WS_OVERLAPPEDWINDOW, 0, 0, 0), 0u);
    EXPECT_EQ(b.Create(nullptr, name, L"b", WS_OVERLAPPEDWINDOW, 0, 0, 0),
              static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    EXPECT_EQ(b.hwnd, nullptr);
    Recorder c;
    EXPECT_EQ(
        c.Create(nullptr, name, L"c", WS_OVERLAPPEDWINDOW, Flags(WindowFlags::NoRegister), 0, 0),
        0u);
    DestroyWindow(a.hwnd);
    DestroyWindow(c.hwnd);
}

TEST(Window, CustomiserChangesTheClass) {
    Recorder window;
    const wchar_t* name = UniqueClass("custom");
    ASSERT_EQ(window.Create(nullptr, name, L"c", WS_OVERLAPPEDWINDOW, 0, 0, 0,
                            [](WNDCLASSEXW& windowClass) {
                                windowClass.hbrBackground =
                                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
                            }),
              0u);
    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetClassInfoExW(moduleInstance, name, &info));
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    DestroyWindow(window.hwnd);
}

TEST(Controls, MenuFromAMissingResourceFailsWithoutSettingAMenu) {
    Recorder window;
    MenuExt menu(999);  // no such menu in this executable
    window.extensions.push_back(&menu);
    DWORD error = window.Create(nullptr, UniqueClass("menu"), L"m", WS_OVERLAPPEDWINDOW, 0, 0, 0);
    EXPECT_NE(error, 0u);
    ASSERT_NE(window.hwnd, nullptr);  // the window exists without a menu
    EXPECT_EQ(GetMenu(window.hwnd), nullptr);
    EXPECT_EQ(menu.hmenu, nullptr);
    EXPECT_FALSE(menu.owned);
    DestroyWindow(window.hwnd);
}

TEST(Controls, StaticIconControlNamesItsIcon) {
    Recorder parent;
    CommonControls::Static icon;
    icon.iconId = 102;
    ASSERT_EQ(parent.Create(nullptr, UniqueClass("static"), L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0),
              0u);
    ASSERT_EQ(icon.Create(&parent, 0), 0u);  // text only: this executable has no icon 102
    wchar_t text[16] = {};
    EXPECT_EQ(GetWindowTextW(icon.hwnd, text, 16), 4);
    EXPECT_EQ(std::wstring(text), L"#102");
    EXPECT_TRUE(IsWindowVisible(icon.hwnd) || !IsWindowVisible(parent.hwnd));
    EXPECT_EQ(WindowObjectFromHandle(icon.hwnd), &icon);
    DestroyWindow(parent.hwnd);
}

TEST(Controls, ListViewWrapperCreatesASystemListView) {
    Recorder parent;
    CommonControls::ListView list;
    ASSERT_EQ(parent.Create(nullptr, UniqueClass("list"), L"p", WS_OVERLAPPEDWINDOW, 0, 0, 0), 0u);
    ASSERT_EQ(list.Create(&parent, LVS_REPORT), 0u);
    wchar_t className[64] = {};
    GetClassNameW(list.hwnd, className, 64);
    EXPECT_EQ(std::wstring(className), L"SysListView32");
    EXPECT_TRUE(list.HasFlag(WindowFlags::NoRegister));
    EXPECT_TRUE(list.HasFlag(WindowFlags::Reflect));
    EXPECT_NE(GetWindowLongW(list.hwnd, GWL_STYLE) & WS_CHILD, 0);
    DestroyWindow(parent.hwnd);
}

namespace {

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

TEST(ErrorText, KeepsSystemTextAndCode) {
    std::wstring notFound = ErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_GT(notFound.size(), 4u);
    EXPECT_TRUE(EndsWith(notFound, L" (2)")) << notFound;
    std::wstring unknown = ErrorText(0x2FFFFFFFu);  // no system text for this code
    EXPECT_TRUE(EndsWith(unknown, L" (805306367)")) << unknown;
    std::wstring hresult = ErrorText(0x80070005u);
    EXPECT_NE(hresult.find(L"(2147942405)"), std::wstring::npos) << hresult;
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

TEST(Window, RefusedCreationShowsTheCodeAndMakesNoWindow) {
    MessageBoxCatcher boxes;
    RefusingWindow window;
    DWORD error = window.Create(nullptr, UniqueClass("refuse"), L"r", WS_OVERLAPPEDWINDOW,
                                Flags(WindowFlags::CallOnCreate), 0, 0);
    // Never a success: the refusal's own code where the system keeps it, another code where not.
    EXPECT_NE(error, 0u);
    RecordProperty("refusedCreationCode", static_cast<int>(error));
    EXPECT_EQ(window.hwnd, nullptr);
    ASSERT_EQ(MessageBoxCatcher::Boxes().size(), 1u);
    const CaughtBox box = MessageBoxCatcher::Boxes()[0];
    EXPECT_EQ(box.caption, L"Error");
    EXPECT_TRUE(EndsWith(box.text, L" (5)")) << box.text;
    EXPECT_EQ(box.owner, nullptr);
    // Without CallOnCreate the same object is never asked.
    EXPECT_EQ(window.Create(nullptr, UniqueClass("refuse"), L"r", WS_OVERLAPPEDWINDOW, 0, 0, 0),
              0u);
    EXPECT_EQ(MessageBoxCatcher::Boxes().size(), 1u);
    DestroyWindow(window.hwnd);
}

TEST(Window, FlagsChooseWhichHandlersRun) {
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
        SCOPED_TRACE(testing::Message() << "flags " << c.flags);
        QuitPosted();
        LayoutWindow window;
        InsetExtension inset;
        window.extensions.push_back(&inset);
        ASSERT_EQ(
            window.Create(nullptr, UniqueClass("flags"), L"f", WS_OVERLAPPEDWINDOW, c.flags, 0, 0),
            0u);
        window.sizes.clear();
        inset.calls = 0;
        SendMessageW(window.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
        EXPECT_EQ(window.sizes.size(), 1u);
        if (window.sizes.size() == 1) {
            // The extension's change is what the window lays itself out with.
            EXPECT_EQ(window.sizes[0].top, c.extensionSizes ? 10 : 0);
            EXPECT_EQ(window.sizes[0].bottom, 199);
        }
        EXPECT_EQ(inset.calls, c.extensionSizes ? 1 : 0);
        SendMessageW(window.hwnd, WM_TIMER, 77, 0);
        EXPECT_EQ(window.timers, c.timers ? std::vector<WPARAM>{77} : std::vector<WPARAM>{});
        DestroyWindow(window.hwnd);
        EXPECT_EQ(QuitPosted(), c.quits);
    }
}
