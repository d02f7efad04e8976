// Words for the reader's file outcomes. Only the platform's own codes need the platform.
#include "FileAccess.h"

std::string FileStatusText(const FileStatus& status) {
    switch (status.outcome) {
        case FileOutcome::kOk:
            return "no error";
        case FileOutcome::kEndOfFile:
            return "the file ends there";
        case FileOutcome::kNoFile:
            return "no file is open";
        case FileOutcome::kBeforeStart:
            return "the position lies before the start of the file";
        case FileOutcome::kSystemError:
            return SystemErrorText(status.systemCode);
    }
    return {};
}
