// What the update server's answer means: the newest version as comma-separated numbers, and
// whether it is newer than the running program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ProgramVersion.h"

// The version numbers of an answer (its first three, or fewer when it has fewer), or nothing
// when it is malformed. Line ends at the very end are removed first; then only decimal numbers
// separated by single commas are allowed. A version number whose value does not fit in a
// signed 32-bit int makes the answer malformed; the numbers after the third are ignored,
// whatever their size.
std::optional<std::vector<std::int32_t>> ParseUpdateAnswer(std::string_view answer);

// True if candidate is a later version than current, comparing major, minor and revision.
bool IsNewer(const ProgramVersion& candidate, const ProgramVersion& current);

// The version to offer: the answer's first three numbers when the answer is well formed, has at
// least three numbers and names a version newer than current; otherwise nothing.
std::optional<ProgramVersion> OfferedUpdate(std::string_view answer, const ProgramVersion& current);

// The path the update check asks for, "/ketterlin.txt?1_0_5" for version 1.0.5. False when it
// does not fit in size bytes.
bool FormatUpdatePath(char* buffer, std::size_t size, const ProgramVersion& version);

// "New version 1.0r6 is available. Get it?" for version 1.0.6, formatted into 256 wide
// characters; empty when it does not fit.
std::wstring FormatUpdatePrompt(const ProgramVersion& offered);
