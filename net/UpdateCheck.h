// The background check for a newer version of the program: the body of the main window's
// worker thread. Every failure ends it silently.
#pragma once

void RunUpdateCheck();
