// The entry of the Windows-side test programs: GoogleTest's, after setting the module instance
// that the window library registers its classes and loads its resources with.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "Window.h"

int main(int argc, char** argv) {
    // Unix line ends: ctest reads the list of cases from this output, and a carriage return
    // would end up in every case's name.
    _setmode(_fileno(stdout), _O_BINARY);
    moduleInstance = GetModuleHandleW(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
