// ktdriver: the end-to-end tests' eyes and hands inside the Wine prefix of ketterlin.exe.
//
// A console program that reads one command per line on standard input and answers each with one
// JSON object on one line of standard output (flushed at once), so that a Python harness can keep
// a single driver running for a whole test and ask many small questions cheaply. A command is a
// name followed by tab-separated key=value fields, for example
//     find<TAB>class=Ketterlin<TAB>timeout=5000
// Texts travel as UTF-8 both ways; window handles and process ids as decimal numbers.
//
// The viewer's list views live in another process, so their requests carry pointers into that
// process: the driver allocates a scratch block there (VirtualAllocEx), writes the request
// structure, sends the message and reads the answer back. Both programs are 32-bit, so the
// structures have the same layout on both sides. Menus and dialog base units cannot be read from
// outside under Wine; no command tries.
//
// Commands: ping; top, find (top-level windows by class, title, process; find waits); info,
// children; dialogs (visible dialog boxes of a process with their statics and buttons, waiting);
// click (a dialog's button); post, send, settext, command (WM_COMMAND), close (WM_CLOSE), move;
// gone (waits for a window to go); lvinfo, lvitems, lvselect, lvensure (list views); procs,
// waitproc (exit code), gui (GetGuiResources, which this Wine answers with 0), mem (a process's
// memory counters); desktop (follow the viewer into a virtual desktop); keys (typed into a
// window); clipboard, clipwait, clipopen, clipclose (the clipboard); drop (files dropped on a
// window); rclick, lvcell, menu, press (a right click on a list's cell or heading, its context
// menu, keys for it); cbselect (a choice in a drop-down list).
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 5000;
constexpr int kTextChars = 32768;  // long enough for the longest keyword values of real files
// Scratch block in the viewer's process: the request structure first, its text buffer after it.
constexpr size_t kStructOffset = 0;
constexpr size_t kTextOffset = 1024;
constexpr SIZE_T kRemoteBlockBytes = kTextOffset + kTextChars * sizeof(wchar_t);
constexpr wchar_t kDialogClass[] = L"#32770";

// ---------------------------------------------------------------------------------------------
// Text and JSON

std::wstring Widen(const std::string& text) {
    if (text.empty())
        return std::wstring();
    int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length);
    return result;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length,
                        nullptr, nullptr);
    return result;
}

std::string Quote(const std::wstring& text) {
    std::string utf8 = Narrow(text);
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char escape[8];
                    snprintf(escape, sizeof escape, "\\u%04x", c);
                    out += escape;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += "\"";
    return out;
}

// Builds one JSON object field by field; values are already JSON.
class Json {
public:
    Json& Add(const char* key, const std::string& json) {
        body += body.empty() ? "" : ",";
        body += "\"";
        body += key;
        body += "\":";
        body += json;
        return *this;
    }
    Json& Add(const char* key, const std::wstring& text) { return Add(key, Quote(text)); }
    Json& Add(const char* key, const wchar_t* text) { return Add(key, Quote(text)); }
    Json& Add(const char* key, long long number) { return Add(key, std::to_string(number)); }
    Json& Add(const char* key, bool flag) { return Add(key, std::string(flag ? "true" : "false")); }
    std::string Text() const { return "{" + body + "}"; }

private:
    std::string body;
};

std::string Array(const std::vector<std::string>& items) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += ",";
        out += items[i];
    }
    return out + "]";
}

std::string Failure(const std::string& message, DWORD code = 0) {
    Json json;
    json.Add("ok", false).Add("error", Widen(message));
    if (code)
        json.Add("code", static_cast<long long>(code));
    return json.Text();
}

// ---------------------------------------------------------------------------------------------
// Commands' arguments

class Args {
public:
    explicit Args(std::map<std::string, std::string> fields) : values(std::move(fields)) {}
    bool Has(const char* key) const { return values.count(key) != 0; }
    std::wstring Text(const char* key) const {
        auto found = values.find(key);
        return found == values.end() ? std::wstring() : Widen(found->second);
    }
    long long Number(const char* key, long long fallback) const {
        auto found = values.find(key);
        if (found == values.end() || found->second.empty())
            return fallback;
        return std::strtoll(found->second.c_str(), nullptr, 0);
    }
    HWND Window(const char* key = "hwnd") const {
        return reinterpret_cast<HWND>(static_cast<uintptr_t>(Number(key, 0)));
    }

private:
    std::map<std::string, std::string> values;
};

// ---------------------------------------------------------------------------------------------
// Windows

long long HandleNumber(HWND hwnd) {
    return static_cast<long long>(reinterpret_cast<uintptr_t>(hwnd));
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = L"";
    GetClassNameW(hwnd, name, 256);
    return name;
}

// WM_GETTEXT is marshalled between processes, unlike GetWindowTextW, which for a control of
// another process answers from a cache that static controls do not fill.
std::wstring TextOf(HWND hwnd) {
    std::vector<wchar_t> buffer(kTextChars, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, kTextChars, reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        return std::wstring();
    return std::wstring(buffer.data());
}

DWORD ProcessOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::string RectJson(const RECT& r) {
    Json json;
    json.Add("left", static_cast<long long>(r.left)).Add("top", static_cast<long long>(r.top));
    json.Add("right", static_cast<long long>(r.right))
        .Add("bottom", static_cast<long long>(r.bottom));
    return json.Text();
}

std::string WindowJson(HWND hwnd, bool withText) {
    RECT window = {}, client = {};
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    Json json;
    json.Add("hwnd", HandleNumber(hwnd)).Add("class", ClassOf(hwnd));
    json.Add("title", withText ? TextOf(hwnd) : std::wstring());
    json.Add("id", static_cast<long long>(GetWindowLongPtrW(hwnd, GWLP_ID)));
    json.Add("pid", static_cast<long long>(ProcessOf(hwnd)));
    json.Add("visible", IsWindowVisible(hwnd) != FALSE)
        .Add("enabled", IsWindowEnabled(hwnd) != FALSE);
    json.Add("style", static_cast<long long>(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE))));
    json.Add("exstyle",
             static_cast<long long>(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE))));
    json.Add("owner", HandleNumber(GetWindow(hwnd, GW_OWNER)));
    json.Add("parent", HandleNumber(GetAncestor(hwnd, GA_PARENT)));
    json.Add("rect", RectJson(window)).Add("client", RectJson(client));
    json.Add("origin", Json()
                           .Add("x", static_cast<long long>(origin.x))
                           .Add("y", static_cast<long long>(origin.y))
                           .Text());
    return json.Text();
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopWindows() {
    std::vector<HWND> found;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// What a search for a top-level window asks for; empty texts and a zero process match anything.
struct WindowQuery {
    std::wstring className;
    std::wstring title;
    DWORD pid = 0;
    bool visibleOnly = false;

    bool Matches(HWND hwnd) const {
        if (visibleOnly && !IsWindowVisible(hwnd))
            return false;
        if (pid && ProcessOf(hwnd) != pid)
            return false;
        if (!className.empty() && ClassOf(hwnd) != className)
            return false;
        if (!title.empty() && TextOf(hwnd) != title)
            return false;
        return true;
    }
};

WindowQuery QueryFrom(const Args& args) {
    WindowQuery query;
    query.className = args.Text("class");
    query.title = args.Text("title");
    query.pid = static_cast<DWORD>(args.Number("pid", 0));
    query.visibleOnly = args.Number("visible", 0) != 0;
    return query;
}

// Polls until `done` holds or the time is up; never a bare sleep. Returns whether it held.
template <typename Condition>
bool PollUntil(DWORD timeoutMs, Condition done) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(kPollMs);
    }
}

// ---------------------------------------------------------------------------------------------
// Another process's memory, for the list view's requests

class HandleOwner {
public:
    explicit HandleOwner(HANDLE owned = nullptr) : handle(owned) {}
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;
    HandleOwner(HandleOwner&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}
    ~HandleOwner() {
        if (handle)
            CloseHandle(handle);
    }
    HANDLE Get() const { return handle; }

private:
    HANDLE handle;
};

class RemoteBlock {
public:
    explicit RemoteBlock(HWND inProcessOf)
        : process(OpenProcess(
              PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
              FALSE,
              ProcessOf(inProcessOf))) {
        if (process.Get())
            base = static_cast<char*>(VirtualAllocEx(process.Get(), nullptr, kRemoteBlockBytes,
                                                     MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    ~RemoteBlock() {
        if (base)
            VirtualFreeEx(process.Get(), base, 0, MEM_RELEASE);
    }
    bool Valid() const { return base != nullptr; }
    char* At(size_t offset) const { return base + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        SIZE_T done = 0;
        return WriteProcessMemory(process.Get(), base + offset, data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        SIZE_T done = 0;
        return ReadProcessMemory(process.Get(), base + offset, data, size, &done) && done == size;
    }

private:
    HandleOwner process;
    char* base = nullptr;
};

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result))
        return -1;
    return static_cast<LRESULT>(result);
}

class RemoteListView {
public:
    explicit RemoteListView(HWND list) : hwnd(list), block(list) {}
    bool Valid() const { return block.Valid(); }

    int ItemCount() const { return static_cast<int>(Send(hwnd, LVM_GETITEMCOUNT, 0, 0)); }
    int ColumnCount() const {
        HWND header = reinterpret_cast<HWND>(Send(hwnd, LVM_GETHEADER, 0, 0));
        return header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    }

    bool Column(int index, std::wstring& heading, int& width) const {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = reinterpret_cast<wchar_t*>(block.At(kTextOffset));
        column.cchTextMax = kTextChars;
        if (!ClearText() || !block.Write(kStructOffset, &column, sizeof column))
            return false;
        if (!Send(hwnd, LVM_GETCOLUMNW, index, reinterpret_cast<LPARAM>(block.At(kStructOffset))))
            return false;
        if (!block.Read(kStructOffset, &column, sizeof column))
            return false;
        width = column.cx;
        heading = ReadText();
        return true;
    }

    std::wstring ItemText(int row, int subItem) const {
        LVITEMW item = {};
        item.iSubItem = subItem;
        item.pszText = reinterpret_cast<wchar_t*>(block.At(kTextOffset));
        item.cchTextMax = kTextChars;
        if (!ClearText() || !block.Write(kStructOffset, &item, sizeof item))
            return L"";
        Send(hwnd, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(block.At(kStructOffset)));
        return ReadText();
    }

    // A cell's rectangle in the list's client coordinates (column 0: its label, not the row).
    bool CellRect(int row, int column, RECT& rect) const {
        rect = {};
        rect.top = column;
        rect.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
        if (!block.Write(kStructOffset, &rect, sizeof rect))
            return false;
        if (!Send(hwnd, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                  reinterpret_cast<LPARAM>(block.At(kStructOffset))))
            return false;
        return block.Read(kStructOffset, &rect, sizeof rect);
    }

    // A heading's rectangle in the header control's client coordinates.
    bool HeadingRect(int column, RECT& rect) const {
        HWND header = reinterpret_cast<HWND>(Send(hwnd, LVM_GETHEADER, 0, 0));
        rect = {};
        if (!header || !block.Write(kStructOffset, &rect, sizeof rect))
            return false;
        if (!Send(header, HDM_GETITEMRECT, static_cast<WPARAM>(column),
                  reinterpret_cast<LPARAM>(block.At(kStructOffset))))
            return false;
        return block.Read(kStructOffset, &rect, sizeof rect);
    }

    UINT State(int row, UINT mask) const {
        return static_cast<UINT>(Send(hwnd, LVM_GETITEMSTATE, row, mask));
    }

    bool SetState(int row, UINT state, UINT mask) const {
        LVITEMW item = {};
        item.stateMask = mask;
        item.state = state;
        if (!block.Write(kStructOffset, &item, sizeof item))
            return false;
        return Send(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                    reinterpret_cast<LPARAM>(block.At(kStructOffset))) != 0;
    }

private:
    bool ClearText() const {
        wchar_t zero = 0;
        return block.Write(kTextOffset, &zero, sizeof zero);
    }
    // Reads the answer's text piece by piece up to its terminator: most cells are short, and
    // copying the whole buffer for each would dominate the reading of a long list.
    std::wstring ReadText() const {
        constexpr size_t kPiece = 256;
        std::wstring text;
        wchar_t piece[kPiece];
        for (size_t at = 0; at + kPiece <= static_cast<size_t>(kTextChars); at += kPiece) {
            if (!block.Read(kTextOffset + at * sizeof(wchar_t), piece, sizeof piece))
                return text;
            size_t length = 0;
            while (length < kPiece && piece[length] != L'\0')
                ++length;
            text.append(piece, length);
            if (length < kPiece)
                break;
        }
        return text;
    }

    HWND hwnd;
    RemoteBlock block;
};

// ---------------------------------------------------------------------------------------------
// Commands

std::string CmdPing(const Args&) {
    return Json().Add("ok", true).Text();
}

std::string CmdTop(const Args& args) {
    WindowQuery query = QueryFrom(args);
    std::vector<std::string> items;
    for (HWND hwnd : TopWindows())
        if (query.Matches(hwnd))
            items.push_back(WindowJson(hwnd, true));
    return Json().Add("ok", true).Add("windows", Array(items)).Text();
}

std::string CmdFind(const Args& args) {
    WindowQuery query = QueryFrom(args);
    HWND found = nullptr;
    PollUntil(static_cast<DWORD>(args.Number("timeout", 0)), [&] {
        for (HWND hwnd : TopWindows())
            if (query.Matches(hwnd))
                return (found = hwnd) != nullptr;
        return false;
    });
    if (!found)
        return Failure("no such window");
    return Json().Add("ok", true).Add("window", WindowJson(found, true)).Text();
}

std::string CmdInfo(const Args& args) {
    HWND hwnd = args.Window();
    if (!IsWindow(hwnd))
        return Failure("not a window");
    return Json().Add("ok", true).Add("window", WindowJson(hwnd, true)).Text();
}

std::string CmdChildren(const Args& args) {
    HWND hwnd = args.Window();
    if (!IsWindow(hwnd))
        return Failure("not a window");
    std::vector<std::string> items;
    for (HWND child : ChildWindows(hwnd))
        items.push_back(WindowJson(child, true));
    return Json().Add("ok", true).Add("children", Array(items)).Text();
}

// A dialog box of the given process with its static texts and buttons: message boxes, the
// viewer's About box and the system's file dialog are all of the dialog class.
std::string DialogJson(HWND dialog) {
    std::vector<std::string> statics, buttons;
    for (HWND child : ChildWindows(dialog)) {
        if (GetAncestor(child, GA_PARENT) != dialog)
            continue;
        std::wstring cls = ClassOf(child);
        Json item;
        item.Add("hwnd", HandleNumber(child))
            .Add("id", static_cast<long long>(GetDlgCtrlID(child)))
            .Add("text", TextOf(child))
            .Add("visible", IsWindowVisible(child) != FALSE);
        if (_wcsicmp(cls.c_str(), L"Static") == 0)
            statics.push_back(item.Text());
        if (_wcsicmp(cls.c_str(), L"Button") == 0)
            buttons.push_back(item.Text());
    }
    Json json;
    json.Add("hwnd", HandleNumber(dialog)).Add("caption", TextOf(dialog));
    json.Add("pid", static_cast<long long>(ProcessOf(dialog)));
    json.Add("owner", HandleNumber(GetWindow(dialog, GW_OWNER)));
    json.Add("enabled", IsWindowEnabled(dialog) != FALSE);
    json.Add("statics", Array(statics)).Add("buttons", Array(buttons));
    return json.Text();
}

std::vector<HWND> VisibleDialogs(DWORD pid) {
    WindowQuery query;
    query.className = kDialogClass;
    query.pid = pid;
    query.visibleOnly = true;
    std::vector<HWND> found;
    for (HWND hwnd : TopWindows())
        if (query.Matches(hwnd))
            found.push_back(hwnd);
    return found;
}

// Every visible dialog of a process, waiting up to the time-out for at least one.
std::string CmdDialogs(const Args& args) {
    DWORD pid = static_cast<DWORD>(args.Number("pid", 0));
    std::vector<HWND> dialogs;
    PollUntil(static_cast<DWORD>(args.Number("timeout", 0)), [&] {
        dialogs = VisibleDialogs(pid);
        return !dialogs.empty();
    });
    std::vector<std::string> items;
    for (HWND dialog : dialogs)
        items.push_back(DialogJson(dialog));
    return Json().Add("ok", true).Add("dialogs", Array(items)).Text();
}

// Presses a dialog's button the way the button itself reports a click, so that a modal loop of
// the target ends on its own thread; the driver never waits inside the target's handler.
std::string CmdClick(const Args& args) {
    HWND dialog = args.Window();
    int id = static_cast<int>(args.Number("id", IDOK));
    if (!IsWindow(dialog))
        return Failure("not a window");
    HWND button = GetDlgItem(dialog, id);
    BOOL posted;
    if (args.Text("mode") == L"bm" && button)
        posted = PostMessageW(button, BM_CLICK, 0, 0);
    else
        posted = PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                              reinterpret_cast<LPARAM>(button));
    if (!posted)
        return Failure("PostMessageW failed", GetLastError());
    return Json().Add("ok", true).Text();
}

std::string CmdPost(const Args& args) {
    if (!PostMessageW(args.Window(), static_cast<UINT>(args.Number("msg", 0)),
                      static_cast<WPARAM>(args.Number("wparam", 0)),
                      static_cast<LPARAM>(args.Number("lparam", 0))))
        return Failure("PostMessageW failed", GetLastError());
    return Json().Add("ok", true).Text();
}

std::string CmdSend(const Args& args) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(args.Window(), static_cast<UINT>(args.Number("msg", 0)),
                             static_cast<WPARAM>(args.Number("wparam", 0)),
                             static_cast<LPARAM>(args.Number("lparam", 0)), SMTO_ABORTIFHUNG,
                             static_cast<UINT>(args.Number("timeout", kSendTimeoutMs)), &result))
        return Failure("SendMessageTimeoutW failed", GetLastError());
    return Json().Add("ok", true).Add("result", static_cast<long long>(result)).Text();
}

// WM_SETTEXT, like WM_GETTEXT, is marshalled between processes; used to type into an edit box.
std::string CmdSetText(const Args& args) {
    std::wstring text = args.Text("text");
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(args.Window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return Failure("SendMessageTimeoutW failed", GetLastError());
    return Json().Add("ok", result != 0).Text();
}

std::string CmdCommand(const Args& args) {
    if (!PostMessageW(args.Window(), WM_COMMAND,
                      MAKEWPARAM(static_cast<WORD>(args.Number("id", 0)), 0), 0))
        return Failure("PostMessageW failed", GetLastError());
    return Json().Add("ok", true).Text();
}

std::string CmdClose(const Args& args) {
    if (!PostMessageW(args.Window(), WM_CLOSE, 0, 0))
        return Failure("PostMessageW failed", GetLastError());
    return Json().Add("ok", true).Text();
}

// Moves and sizes a window of another process (its outer rectangle), as a user's drag would.
std::string CmdMove(const Args& args) {
    HWND hwnd = args.Window();
    if (!SetWindowPos(hwnd, nullptr, static_cast<int>(args.Number("x", 0)),
                      static_cast<int>(args.Number("y", 0)),
                      static_cast<int>(args.Number("width", 0)),
                      static_cast<int>(args.Number("height", 0)), SWP_NOZORDER | SWP_NOACTIVATE))
        return Failure("SetWindowPos failed", GetLastError());
    return Json().Add("ok", true).Text();
}

std::string CmdGone(const Args& args) {
    HWND hwnd = args.Window();
    bool gone =
        PollUntil(static_cast<DWORD>(args.Number("timeout", 0)), [&] { return !IsWindow(hwnd); });
    return Json().Add("ok", true).Add("gone", gone).Text();
}

std::string ColumnsJson(const RemoteListView& list, int columnCount) {
    std::vector<std::string> columns;
    for (int i = 0; i < columnCount; ++i) {
        std::wstring heading;
        int width = 0;
        if (!list.Column(i, heading, width))
            break;
        columns.push_back(
            Json().Add("text", heading).Add("width", static_cast<long long>(width)).Text());
    }
    return Array(columns);
}

std::string CmdListInfo(const Args& args) {
    HWND hwnd = args.Window();
    if (!IsWindow(hwnd))
        return Failure("not a window");
    RemoteListView list(hwnd);
    if (!list.Valid())
        return Failure("cannot reach the list's process", GetLastError());
    int count = list.ItemCount();
    std::vector<std::string> selected;
    for (int row =
             static_cast<int>(Send(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
         row >= 0 && selected.size() < 1000;
         row = static_cast<int>(Send(hwnd, LVM_GETNEXTITEM, row, LVNI_SELECTED)))
        selected.push_back(std::to_string(row));
    Json json;
    json.Add("ok", true).Add("count", static_cast<long long>(count));
    json.Add("columns", ColumnsJson(list, list.ColumnCount()));
    json.Add("selected", Array(selected));
    json.Add("selectedCount", static_cast<long long>(Send(hwnd, LVM_GETSELECTEDCOUNT, 0, 0)));
    json.Add("focused", static_cast<long long>(
                            Send(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
    json.Add("top", static_cast<long long>(Send(hwnd, LVM_GETTOPINDEX, 0, 0)));
    json.Add("perPage", static_cast<long long>(Send(hwnd, LVM_GETCOUNTPERPAGE, 0, 0)));
    json.Add("style", static_cast<long long>(static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE))));
    return json.Text();
}

// Texts of rows first..last (inclusive, clamped to the list), every column.
std::string CmdListItems(const Args& args) {
    HWND hwnd = args.Window();
    if (!IsWindow(hwnd))
        return Failure("not a window");
    RemoteListView list(hwnd);
    if (!list.Valid())
        return Failure("cannot reach the list's process", GetLastError());
    int count = list.ItemCount();
    int first = static_cast<int>(args.Number("first", 0));
    int last = static_cast<int>(args.Number("last", count - 1));
    if (first < 0)
        first = 0;
    if (last > count - 1)
        last = count - 1;
    int columns = list.ColumnCount();
    if (columns < 1)
        columns = 1;
    std::vector<std::string> rows;
    for (int row = first; row <= last; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column)
            cells.push_back(Quote(list.ItemText(row, column)));
        UINT state = list.State(row, LVIS_SELECTED | LVIS_FOCUSED);
        rows.push_back(Json()
                           .Add("row", static_cast<long long>(row))
                           .Add("selected", (state & LVIS_SELECTED) != 0)
                           .Add("focused", (state & LVIS_FOCUSED) != 0)
                           .Add("cells", Array(cells))
                           .Text());
    }
    return Json()
        .Add("ok", true)
        .Add("count", static_cast<long long>(count))
        .Add("rows", Array(rows))
        .Text();
}

// Selects and focuses one row alone, as a click would, and scrolls it into view. With only=0 the
// other rows keep their selection (a Ctrl+click); with selected=0 the row loses its selection
// instead (a Ctrl+click on a selected row).
std::string CmdListSelect(const Args& args) {
    HWND hwnd = args.Window();
    if (!IsWindow(hwnd))
        return Failure("not a window");
    RemoteListView list(hwnd);
    if (!list.Valid())
        return Failure("cannot reach the list's process", GetLastError());
    int row = static_cast<int>(args.Number("row", 0));
    bool select = args.Number("selected", 1) != 0;
    if (select && args.Number("only", 1))
        list.SetState(-1, 0, LVIS_SELECTED);
    UINT state = select ? LVIS_SELECTED | LVIS_FOCUSED : LVIS_FOCUSED;
    bool done = list.SetState(row, state, LVIS_SELECTED | LVIS_FOCUSED);
    Send(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    return Json().Add("ok", done).Text();
}

std::string CmdListEnsure(const Args& args) {
    HWND hwnd = args.Window();
    if (!IsWindow(hwnd))
        return Failure("not a window");
    LRESULT result =
        Send(hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(args.Number("row", 0)), FALSE);
    return Json()
        .Add("ok", result > 0)
        .Add("top", static_cast<long long>(Send(hwnd, LVM_GETTOPINDEX, 0, 0)))
        .Text();
}

std::string CmdProcesses(const Args&) {
    HandleOwner snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (snapshot.Get() == INVALID_HANDLE_VALUE)
        return Failure("no snapshot", GetLastError());
    std::vector<std::string> items;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry))
        items.push_back(Json()
                            .Add("pid", static_cast<long long>(entry.th32ProcessID))
                            .Add("exe", entry.szExeFile)
                            .Text());
    return Json().Add("ok", true).Add("processes", Array(items)).Text();
}

std::string CmdWaitProcess(const Args& args) {
    DWORD pid = static_cast<DWORD>(args.Number("pid", 0));
    HandleOwner process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid));
    if (!process.Get())
        return Failure("OpenProcess failed", GetLastError());
    DWORD wait = WaitForSingleObject(process.Get(), static_cast<DWORD>(args.Number("timeout", 0)));
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return Json()
        .Add("ok", true)
        .Add("exited", wait == WAIT_OBJECT_0)
        .Add("exitCode", static_cast<long long>(code))
        .Text();
}

std::string CmdGuiResources(const Args& args) {
    DWORD pid = static_cast<DWORD>(args.Number("pid", 0));
    HandleOwner process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid));
    if (!process.Get())
        return Failure("OpenProcess failed", GetLastError());
    return Json()
        .Add("ok", true)
        .Add("gdi", static_cast<long long>(GetGuiResources(process.Get(), GR_GDIOBJECTS)))
        .Add("user", static_cast<long long>(GetGuiResources(process.Get(), GR_USEROBJECTS)))
        .Text();
}

// Moves the driver onto another desktop, such as the virtual desktop that `wine explorer
// /desktop=NAME,WxH` creates: window enumeration only sees the calling thread's desktop. Waits
// for the desktop to exist. The driver owns no windows, so its thread may change desktops.
std::string CmdDesktop(const Args& args) {
    std::wstring name = args.Text("name");
    HDESK desktop = nullptr;
    PollUntil(static_cast<DWORD>(args.Number("timeout", 0)), [&] {
        desktop = OpenDesktopW(name.c_str(), 0, FALSE, GENERIC_ALL);
        return desktop != nullptr;
    });
    if (!desktop)
        return Failure("OpenDesktopW failed", GetLastError());
    if (!SetThreadDesktop(desktop)) {
        DWORD error = GetLastError();
        CloseDesktop(desktop);
        return Failure("SetThreadDesktop failed", error);
    }
    return Json().Add("ok", true).Text();
}

// The memory counters of a process: the peak of its working set is the most it ever held.
std::string CmdMemory(const Args& args) {
    DWORD pid = static_cast<DWORD>(args.Number("pid", 0));
    HandleOwner process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process.Get())
        return Failure("OpenProcess failed", GetLastError());
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process.Get(), &counters, sizeof counters))
        return Failure("GetProcessMemoryInfo failed", GetLastError());
    return Json()
        .Add("ok", true)
        .Add("peakWorkingSet", static_cast<long long>(counters.PeakWorkingSetSize))
        .Add("workingSet", static_cast<long long>(counters.WorkingSetSize))
        .Add("peakPagefile", static_cast<long long>(counters.PeakPagefileUsage))
        .Add("pagefile", static_cast<long long>(counters.PagefileUsage))
        .Text();
}

// ---------------------------------------------------------------------------------------------
// Keys, the clipboard and dropped files

// The window's thread is given the foreground (shared input state for a moment), so that the
// input that follows goes to it.
bool BringForward(HWND hwnd, bool focus) {
    DWORD target = GetWindowThreadProcessId(hwnd, nullptr);
    DWORD self = GetCurrentThreadId();
    if (!AttachThreadInput(self, target, TRUE))
        return false;
    SetForegroundWindow(GetAncestor(hwnd, GA_ROOT));
    bool ok = true;
    if (focus) {
        SetFocus(hwnd);
        ok = GetFocus() == hwnd;
    }
    AttachThreadInput(self, target, FALSE);
    return ok;
}

// The keys that have names in a key list, beside letters.
WORD NamedKey(const std::string& name) {
    static const std::map<std::string, WORD> names = {
        {"esc", VK_ESCAPE}, {"enter", VK_RETURN}, {"down", VK_DOWN}, {"up", VK_UP},
        {"f10", VK_F10},    {"apps", VK_APPS},    {"tab", VK_TAB},
    };
    auto found = names.find(name);
    if (found != names.end())
        return found->second;
    if (name.size() == 1 && isalpha(static_cast<unsigned char>(name[0])))
        return static_cast<WORD>(toupper(static_cast<unsigned char>(name[0])));
    return 0;
}

void PressKey(WORD key, bool up);

// Types a comma-separated key list: each key a letter or a name (esc, enter, down, up, f10,
// apps, tab), after any of "ctrl+" and "shift+". False (and the bad key) when one is unknown.
bool TypeKeys(const std::string& keys, std::string& bad) {
    size_t start = 0;
    while (start < keys.size()) {
        size_t comma = keys.find(',', start);
        std::string key =
            keys.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? keys.size() : comma + 1;
        std::vector<WORD> modifiers;
        for (;;) {
            if (key.rfind("ctrl+", 0) == 0) {
                modifiers.push_back(VK_CONTROL);
                key = key.substr(5);
            } else if (key.rfind("shift+", 0) == 0) {
                modifiers.push_back(VK_SHIFT);
                key = key.substr(6);
            } else {
                break;
            }
        }
        WORD code = NamedKey(key);
        if (!code) {
            bad = key;
            return false;
        }
        for (WORD modifier : modifiers)
            PressKey(modifier, false);
        PressKey(code, false);
        PressKey(code, true);
        for (size_t i = modifiers.size(); i-- > 0;)
            PressKey(modifiers[i], true);
    }
    return true;
}

void PressKey(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Types keys into a window as the keyboard would: the window's top-level window is brought to
// the foreground and the window given the focus (both allowed to a thread that shares the
// target's input state for a moment), then the keys go through the system's input queue, so the
// target sees WM_KEYDOWN with the key state of a real keyboard. keys: as TypeKeys reads them,
// e.g. keys=ctrl+a,ctrl+c or keys=shift+f10. Returns once the keys are queued; a test waits for
// what they cause.
std::string CmdKeys(const Args& args) {
    HWND hwnd = args.Window();
    if (!IsWindow(hwnd))
        return Failure("not a window");
    if (!BringForward(hwnd, true))
        return Failure("the window did not take the focus");
    std::string bad;
    if (!TypeKeys(Narrow(args.Text("keys")), bad))
        return Failure("not a key: " + bad);
    return Json().Add("ok", true).Text();
}

// Types keys into whatever has the keyboard now (a menu being shown, say), focusing nothing.
std::string CmdPress(const Args& args) {
    std::string bad;
    if (!TypeKeys(Narrow(args.Text("keys")), bad))
        return Failure("not a key: " + bad);
    return Json().Add("ok", true).Text();
}

// A right click at a point of a window's client area (x, y), through the system's input queue,
// after the window's top-level window has been brought to the foreground.
std::string CmdRightClick(const Args& args) {
    HWND hwnd = args.Window();
    if (!IsWindow(hwnd))
        return Failure("not a window");
    BringForward(hwnd, false);
    POINT point = {static_cast<LONG>(args.Number("x", 0)), static_cast<LONG>(args.Number("y", 0))};
    ClientToScreen(hwnd, &point);
    // Every event carries the point itself: a button event without one is taken where the
    // pointer is, which a move just before it need not have changed yet.
    const LONG width = std::max(GetSystemMetrics(SM_CXSCREEN) - 1, 1);
    const LONG height = std::max(GetSystemMetrics(SM_CYSCREEN) - 1, 1);
    INPUT inputs[3] = {};
    const DWORD buttons[3] = {0, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = point.x * 65535 / width;
        inputs[i].mi.dy = point.y * 65535 / height;
        inputs[i].mi.dwFlags = buttons[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    if (SendInput(3, inputs, sizeof(INPUT)) != 3)
        return Failure("SendInput failed", GetLastError());
    return Json()
        .Add("ok", true)
        .Add("x", static_cast<long long>(point.x))
        .Add("y", static_cast<long long>(point.y))
        .Text();
}

// Where a list view's cell (row, column) or, with heading=1, a column's heading lies, in the
// client coordinates of the list (or of its header control, whose handle the answer names).
std::string CmdListCell(const Args& args) {
    HWND hwnd = args.Window();
    RemoteListView list(hwnd);
    if (!IsWindow(hwnd) || !list.Valid())
        return Failure("not a list view in reach");
    RECT rect = {};
    int column = static_cast<int>(args.Number("column", 0));
    bool heading = args.Number("heading", 0) != 0;
    bool ok = heading ? list.HeadingRect(column, rect)
                      : list.CellRect(static_cast<int>(args.Number("row", 0)), column, rect);
    if (!ok)
        return Failure("no such cell");
    return Json()
        .Add("ok", true)
        .Add("rect", RectJson(rect))
        .Add("header", HandleNumber(reinterpret_cast<HWND>(Send(hwnd, LVM_GETHEADER, 0, 0))))
        .Text();
}

// Waits for a shown context menu (class #32768) of a process.
std::string CmdMenu(const Args& args) {
    DWORD pid = static_cast<DWORD>(args.Number("pid", 0));
    HWND found = nullptr;
    PollUntil(static_cast<DWORD>(args.Number("timeout", 0)), [&] {
        for (HWND hwnd : TopWindows())
            if (IsWindowVisible(hwnd) && ClassOf(hwnd) == L"#32768" &&
                (!pid || ProcessOf(hwnd) == pid))
                return (found = hwnd) != nullptr;
        return false;
    });
    return Json()
        .Add("ok", true)
        .Add("shown", found != nullptr)
        .Add("hwnd", HandleNumber(found))
        .Text();
}

// Chooses an item of a drop-down list as the user would: the selection changes, then the
// parent hears CBN_SELCHANGE (sent, so the choice has been acted on when the answer comes).
std::string CmdComboSelect(const Args& args) {
    HWND hwnd = args.Window();
    if (!IsWindow(hwnd))
        return Failure("not a window");
    WPARAM index = static_cast<WPARAM>(args.Number("index", 0));
    if (Send(hwnd, CB_SETCURSEL, index, 0) != static_cast<LRESULT>(index))
        return Failure("no such item");
    WPARAM command = MAKEWPARAM(static_cast<WORD>(GetWindowLongPtrW(hwnd, GWLP_ID)), CBN_SELCHANGE);
    Send(GetParent(hwnd), WM_COMMAND, command, reinterpret_cast<LPARAM>(hwnd));
    return Json().Add("ok", true).Text();
}

// The clipboard's Unicode text, and its sequence number (which every change moves on). With
// out=PATH the text goes into that file as UTF-16LE without its terminator, for texts too long
// for one answer line; the answer then gives its length in characters. While another program
// holds the clipboard open (changing it) the driver waits up to timeout for it.
std::string CmdClipboard(const Args& args) {
    if (!PollUntil(static_cast<DWORD>(args.Number("timeout", 0)),
                   [] { return OpenClipboard(nullptr) != FALSE; }))
        return Failure("OpenClipboard failed", GetLastError());
    DWORD sequence = GetClipboardSequenceNumber();
    Json json;
    json.Add("ok", true).Add("sequence", static_cast<long long>(sequence));
    if (HANDLE dib = GetClipboardData(CF_DIB)) {
        if (auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(dib))) {
            json.Add("dib", Json()
                                .Add("width", static_cast<long long>(header->biWidth))
                                .Add("height", static_cast<long long>(header->biHeight))
                                .Add("bits", static_cast<long long>(header->biBitCount))
                                .Text());
            GlobalUnlock(dib);
        }
    }
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!text) {
        CloseClipboard();
        return json.Add("text", std::string("null")).Text();
    }
    size_t limit = GlobalSize(data) / sizeof(wchar_t);
    size_t length = 0;
    while (length < limit && text[length] != L'\0')
        ++length;
    json.Add("chars", static_cast<long long>(length));
    json.Add("size", static_cast<long long>(GlobalSize(data)));
    std::wstring out = args.Text("out");
    bool written = true;
    if (!out.empty()) {
        FILE* file = _wfopen(out.c_str(), L"wb");
        written = file && fwrite(text, sizeof(wchar_t), length, file) == length;
        if (file)
            fclose(file);
    } else {
        json.Add("text", std::wstring(text, length));
    }
    GlobalUnlock(data);
    CloseClipboard();
    if (!written)
        return Failure("could not write the clipboard's text to the file");
    return json.Text();
}

// Waits until the clipboard's sequence number differs from after.
std::string CmdClipWait(const Args& args) {
    DWORD after = static_cast<DWORD>(args.Number("after", 0));
    bool changed = PollUntil(static_cast<DWORD>(args.Number("timeout", 0)),
                             [&] { return GetClipboardSequenceNumber() != after; });
    return Json()
        .Add("ok", true)
        .Add("changed", changed)
        .Add("sequence", static_cast<long long>(GetClipboardSequenceNumber()))
        .Text();
}

// Holds the clipboard open, so that every other program's OpenClipboard fails meanwhile.
std::string CmdClipOpen(const Args&) {
    if (!OpenClipboard(nullptr))
        return Failure("OpenClipboard failed", GetLastError());
    return Json().Add("ok", true).Text();
}

std::string CmdClipClose(const Args&) {
    if (!CloseClipboard())
        return Failure("CloseClipboard failed", GetLastError());
    return Json().Add("ok", true).Text();
}

// Drops files on a window, as the shell does after a drag: WM_DROPFILES with a drop block that
// lists the files (files: Windows paths separated by '|', which no path holds).
//
// The block must be readable in the target's process. Wine copies no HDROP between processes:
// a handle of the driver's own GlobalAlloc names some other block there, or none. So the block
// is written into the target's memory (VirtualAllocEx), and its address is the HDROP: Wine's
// GlobalLock, which DragQueryFileW calls, takes any value that is not a handle of its own
// handle table for the address of fixed memory and returns it unchanged. DragFinish's
// GlobalFree then refuses the address without harm, so the block stays in the target until it
// ends; it is a few hundred bytes.
std::string CmdDrop(const Args& args) {
    HWND hwnd = args.Window();
    if (!IsWindow(hwnd))
        return Failure("not a window");
    std::wstring files = args.Text("files");
    std::wstring list;
    size_t start = 0;
    for (;;) {
        size_t bar = files.find(L'|', start);
        list += files.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start);
        list += L'\0';
        if (bar == std::wstring::npos)
            break;
        start = bar + 1;
    }
    list += L'\0';
    DROPFILES header = {};
    header.pFiles = sizeof header;
    header.pt.x = static_cast<LONG>(args.Number("x", 10));
    header.pt.y = static_cast<LONG>(args.Number("y", 10));
    header.fNC = FALSE;
    header.fWide = TRUE;
    std::vector<char> bytes(sizeof header + list.size() * sizeof(wchar_t));
    memcpy(bytes.data(), &header, sizeof header);
    memcpy(bytes.data() + sizeof header, list.data(), list.size() * sizeof(wchar_t));

    HandleOwner process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, ProcessOf(hwnd)));
    if (!process.Get())
        return Failure("OpenProcess failed", GetLastError());
    void* remote = VirtualAllocEx(process.Get(), nullptr, bytes.size(), MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    if (!remote)
        return Failure("VirtualAllocEx failed", GetLastError());
    SIZE_T done = 0;
    if (!WriteProcessMemory(process.Get(), remote, bytes.data(), bytes.size(), &done) ||
        done != bytes.size()) {
        DWORD error = GetLastError();
        VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
        return Failure("WriteProcessMemory failed", error);
    }
    if (!PostMessageW(hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0)) {
        DWORD error = GetLastError();
        VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
        return Failure("PostMessageW failed", error);
    }
    return Json().Add("ok", true).Text();
}

using Command = std::string (*)(const Args&);

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> table = {
        {"ping", CmdPing},           {"top", CmdTop},
        {"find", CmdFind},           {"info", CmdInfo},
        {"children", CmdChildren},   {"dialogs", CmdDialogs},
        {"click", CmdClick},         {"post", CmdPost},
        {"send", CmdSend},           {"settext", CmdSetText},
        {"command", CmdCommand},     {"close", CmdClose},
        {"gone", CmdGone},           {"move", CmdMove},
        {"lvinfo", CmdListInfo},     {"lvitems", CmdListItems},
        {"lvselect", CmdListSelect}, {"lvensure", CmdListEnsure},
        {"procs", CmdProcesses},     {"waitproc", CmdWaitProcess},
        {"gui", CmdGuiResources},    {"desktop", CmdDesktop},
        {"mem", CmdMemory},          {"keys", CmdKeys},
        {"clipboard", CmdClipboard}, {"clipwait", CmdClipWait},
        {"clipopen", CmdClipOpen},   {"clipclose", CmdClipClose},
        {"drop", CmdDrop},           {"press", CmdPress},
        {"rclick", CmdRightClick},   {"lvcell", CmdListCell},
        {"menu", CmdMenu},           {"cbselect", CmdComboSelect},
    };
    return table;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(
            line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

std::string Run(const std::string& line) {
    std::vector<std::string> fields = SplitTabs(line);
    auto command = Commands().find(fields[0]);
    if (command == Commands().end())
        return Failure("unknown command " + fields[0]);
    std::map<std::string, std::string> values;
    for (size_t i = 1; i < fields.size(); ++i) {
        size_t equals = fields[i].find('=');
        if (equals == std::string::npos)
            return Failure("field without '=': " + fields[i]);
        values[fields[i].substr(0, equals)] = fields[i].substr(equals + 1);
    }
    return command->second(Args(std::move(values)));
}

}  // namespace

int main() {
    std::string line;
    int c;
    for (;;) {
        line.clear();
        while ((c = std::getchar()) != EOF && c != '\n')
            line += static_cast<char>(c);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "quit" || (c == EOF && line.empty()))
            break;
        if (!line.empty()) {
            std::string answer = Run(line);
            std::fputs(answer.c_str(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        }
        if (c == EOF)
            break;
    }
    return 0;
}
