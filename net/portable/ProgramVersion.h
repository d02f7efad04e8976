// The program's own version as its users see it: three numbers taken from the product version
// of the version resource. The fourth number of the product version is never used.
#pragma once

#include <cstdint>

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;

    // From the two halves of the fixed file information's product version.
    static ProgramVersion FromProductVersion(std::uint32_t productVersionMs,
                                             std::uint32_t productVersionLs) {
        ProgramVersion v;
        v.major = static_cast<int>(productVersionMs >> 16);
        v.minor = static_cast<int>(productVersionMs & 0xFFFF);
        v.revision = static_cast<int>(productVersionLs >> 16);
        return v;
    }
};
