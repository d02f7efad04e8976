// guicount: counts the GDI objects and windows of another process of the same Wine prefix, for
// the About box's leak test. GetGuiResources is a stub under Wine (it answers 0), so the GDI
// count is read from the target's own handle table instead: Wine keeps one per process and
// publishes it, as Windows does, through the PEB's GdiSharedHandleTable. An entry whose type is
// not zero is an object in use. The window count stands in for USER objects: every top-level
// window of the process and all their descendants.
//
// Usage: guicount PID   -> one line of JSON on standard output:
//   {"ok":true,"gdi":N,"windows":N,"types":{"TYPE":N,...}}
//   {"ok":false,"error":"..."}
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

namespace {

// Wine's layout of one entry of the table (24 bytes, the same in 32- and 64-bit processes):
// the object's address, its owner, then the flags byte (extended type and stock bit), the
// generation and the type, and a user-side pointer.
#pragma pack(push, 4)
struct GdiHandleEntry {
    unsigned long long object;
    unsigned long owner;
    unsigned char extType;
    unsigned char generation;
    unsigned char type;
    unsigned char unused;
    unsigned long long userPointer;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24, "entry layout");

constexpr size_t kMaxHandles = 0x10000;
// Where the PEB holds the table's address; guicount is built for the viewer's own bitness.
#ifdef _WIN64
constexpr size_t kPebGdiSharedHandleTable = 0xF8;
#else
constexpr size_t kPebGdiSharedHandleTable = 0x94;
#endif

int Fail(const char* what, DWORD code) {
    std::printf("{\"ok\":false,\"error\":\"%s\",\"code\":%lu}\n", what,
                static_cast<unsigned long>(code));
    return 1;
}

struct WindowCount {
    DWORD pid;
    int count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
    reinterpret_cast<WindowCount*>(data)->count++;
    return TRUE;
}

BOOL CALLBACK CountTop(HWND hwnd, LPARAM data) {
    auto* windows = reinterpret_cast<WindowCount*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == windows->pid) {
        windows->count++;
        EnumChildWindows(hwnd, CountChild, data);  // all descendants
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: guicount PID\n");
        return 2;
    }
    const DWORD pid = static_cast<DWORD>(std::strtoul(argv[1], nullptr, 10));
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (process == nullptr) {
        return Fail("OpenProcess", GetLastError());
    }
    PROCESS_BASIC_INFORMATION basic = {};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic),
                                  &length) != 0) {
        CloseHandle(process);
        return Fail("NtQueryInformationProcess", 0);
    }
    UINT_PTR table = 0;
    SIZE_T read = 0;
    const auto* tableField =
        reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiSharedHandleTable;
    if (!ReadProcessMemory(process, tableField, &table, sizeof(table), &read) || table == 0) {
        CloseHandle(process);
        return Fail("no GdiSharedHandleTable", GetLastError());
    }
    std::vector<GdiHandleEntry> entries(kMaxHandles);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table),
                           entries.data(), entries.size() * sizeof(GdiHandleEntry), &read)) {
        CloseHandle(process);
        return Fail("ReadProcessMemory", GetLastError());
    }
    CloseHandle(process);

    std::map<int, int> byType;
    int total = 0;
    for (const GdiHandleEntry& entry : entries) {
        if (entry.type != 0) {
            byType[entry.type]++;
            total++;
        }
    }
    WindowCount windows = {pid, 0};
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&windows));

    std::printf("{\"ok\":true,\"gdi\":%d,\"windows\":%d,\"types\":{", total, windows.count);
    bool first = true;
    for (const auto& kind : byType) {
        std::printf("%s\"%d\":%d", first ? "" : ",", kind.first, kind.second);
        first = false;
    }
    std::printf("}}\n");
    return 0;
}
