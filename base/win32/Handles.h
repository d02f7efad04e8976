// Owners of the Win32 resources the program holds, all built on one move-only template.
// Borrowed handles stay raw; an owner is used wherever the holder must close what it holds.
#pragma once

#include <windows.h>

#include "UniqueResource.h"

struct KernelHandleTraits {  // events, threads, processes: "none" is null
    using Value = HANDLE;
    static Value Invalid() { return nullptr; }
    static void Close(Value handle) { CloseHandle(handle); }
};

struct FileHandleTraits {  // CreateFileW's "none" is INVALID_HANDLE_VALUE
    using Value = HANDLE;
    static Value Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Value handle) { CloseHandle(handle); }
};

struct FontTraits {
    using Value = HFONT;
    static Value Invalid() { return nullptr; }
    static void Close(Value font) { DeleteObject(font); }
};

struct AcceleratorTableTraits {
    using Value = HACCEL;
    static Value Invalid() { return nullptr; }
    static void Close(Value table) { DestroyAcceleratorTable(table); }
};

struct LocalMemoryTraits {  // blocks that the system allocates for us, e.g. FormatMessageW's
    using Value = HLOCAL;
    static Value Invalid() { return nullptr; }
    static void Close(Value block) { LocalFree(block); }
};

struct GlobalMemoryTraits {  // GlobalAlloc's blocks, such as the clipboard's data
    using Value = HGLOBAL;
    static Value Invalid() { return nullptr; }
    static void Close(Value block) { GlobalFree(block); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueFileHandle = UniqueResource<FileHandleTraits>;
using UniqueFont = UniqueResource<FontTraits>;
using UniqueAcceleratorTable = UniqueResource<AcceleratorTableTraits>;
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;
using UniqueGlobalMemory = UniqueResource<GlobalMemoryTraits>;
