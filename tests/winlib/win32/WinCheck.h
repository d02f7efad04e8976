// A minimal self-checking harness for tests that must run on Windows (under Wine here): named
// cases, checks that record failures with their line, and a summary as the exit code.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

struct WinCase {
    const char* name;
    std::function<void()> body;
};

inline std::vector<WinCase>& WinCases() {
    static std::vector<WinCase> cases;
    return cases;
}

inline int& WinFailures() {
    static int failures = 0;
    return failures;
}

struct WinCaseRegistrar {
    WinCaseRegistrar(const char* name, std::function<void()> body) {
        WinCases().push_back({name, std::move(body)});
    }
};

#define WIN_CASE(name)                                    \
    static void name();                                   \
    static WinCaseRegistrar name##Registrar(#name, name); \
    static void name()

#define WIN_CHECK(condition)                                                     \
    do {                                                                         \
        if (!(condition)) {                                                      \
            std::printf("  FAILED %s:%d: %s\n", __FILE__, __LINE__, #condition); \
            ++WinFailures();                                                     \
        }                                                                        \
    } while (0)

inline int RunWinCases() {
    int failedCases = 0;
    for (const WinCase& c : WinCases()) {
        int before = WinFailures();
        c.body();
        bool ok = WinFailures() == before;
        failedCases += ok ? 0 : 1;
        std::printf("%s %s\n", ok ? "[  OK  ]" : "[FAILED]", c.name);
        std::fflush(stdout);
    }
    std::printf("%zu cases, %d failed\n", WinCases().size(), failedCases);
    return failedCases == 0 ? 0 : 1;
}
