// The system's file-open dialog, asked for one FCS or LMD file.
#pragma once

#include <string>

// True with the chosen file-system path; false when the dialog could not be made, the user
// cancelled, or no file-system path came back. Needs COM on the calling thread.
bool AskForDataFile(std::wstring& path);
