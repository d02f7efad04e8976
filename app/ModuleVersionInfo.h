// The version-information block of the running program's own file, read anew by each user on
// its own thread (the About box on the main thread, the update check on the worker).
#pragma once

#include <cstdlib>
#include <memory>
#include <optional>

#include "ProgramVersion.h"

class ModuleVersionInfo {
public:
    // Reads the block; never fails: without a block there is simply no version.
    ModuleVersionInfo();

    // The product version's major, minor and revision, or nothing when the block or its fixed
    // file information cannot be read.
    std::optional<ProgramVersion> Version() const;

private:
    struct FreeBlock {
        void operator()(void* memory) const { std::free(memory); }
    };
    std::unique_ptr<void, FreeBlock> block;
};
