// The program's warning sink: one message box per warning, developer lines to the debugger.
#pragma once

#include "../ReaderOutput.h"

class MessageBoxWarningSink : public WarningSink {
public:
    void Warn(const std::wstring& text) override;
    void Diagnostic(const std::string& line) override;

    // Once the user has asked to close the program, the rest of a file's warnings would only
    // keep it open box after box (a hostile $PAR can raise tens of thousands): they are dropped.
    bool silenced = false;
};
