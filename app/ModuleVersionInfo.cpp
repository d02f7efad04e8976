// Reads the program's version from its own version resource. Only the fixed part matters: the
// strings of the resource are for people looking at the file, not for the program.
#include "ModuleVersionInfo.h"

#include <windows.h>

namespace {

// MAX_PATH plus one, as the resource reader has always used.
constexpr DWORD kPathCapacity = 261;

}  // namespace

ModuleVersionInfo::ModuleVersionInfo() {
    wchar_t path[kPathCapacity] = {};
    GetModuleFileNameW(nullptr, path, kPathCapacity);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return;
    block.reset(std::malloc(size));
    if (block && !GetFileVersionInfoW(path, 0, size, block.get()))
        block.reset();
}

std::optional<ProgramVersion> ModuleVersionInfo::Version() const {
    if (!block)
        return std::nullopt;
    void* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.get(), L"\\", &fixed, &length) || fixed == nullptr)
        return std::nullopt;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    return ProgramVersion::FromProductVersion(info->dwProductVersionMS, info->dwProductVersionLS);
}
