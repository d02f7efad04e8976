// The background check for a newer version of the program: the body of the main window's
// worker thread. Every failure ends it silently.
#pragma once

#include "ProgramVersion.h"

// Asks the update server for the newest version and offers it when it is newer than running,
// the version the caller read from the program's own file.
void RunUpdateCheck(const ProgramVersion& running);
