// Reads the kernel's per-process memory counters. VmHWM is the peak resident set size since
// the process started, VmRSS the current one.
#include "ProcessStatus.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

long ReadStatusKb(const char* name) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    const size_t nameLength = std::strlen(name);
    char line[256];
    long value = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, name, nameLength) == 0 && line[nameLength] == ':') {
            value = std::strtol(line + nameLength + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return value;
}
