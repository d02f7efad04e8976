// The program's warning sink: one message box per warning, developer lines to the debugger.
#pragma once

#include "../ReaderOutput.h"

class MessageBoxWarningSink : public WarningSink {
public:
    void Warn(const std::wstring& text) override;
    void Diagnostic(const std::string& line) override;
};
