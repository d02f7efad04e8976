// ketterlin-dump's exit statuses, ordered from best to worst: several files end with the highest.
#pragma once

constexpr int kExitRead = 0;
constexpr int kExitUnknownFormat = 1;
constexpr int kExitUsage = 2;
constexpr int kExitIncomplete = 3;
constexpr int kExitFileError = 2;    // the viewer's error box: cannot be opened or positioned
constexpr int kExitWriteFailed = 4;  // the output refused what was written to it

constexpr const char* kProgram = "ketterlin-dump";
// Why an export or a count stopped before its last event.
constexpr const char* kEndsInsideData = "the file ends inside its DATA segment";
