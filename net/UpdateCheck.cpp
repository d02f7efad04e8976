// The background check for a newer version: asks the update server once per run and offers the
// download when the answer names a later version. Runs on the worker thread; every failure ends
// it silently, and its only word to the user is its own prompt, which has no owner window so
// that the main window stays usable while it is open.
#include "UpdateCheck.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>

#include "ProgramTexts.h"
#include "ServerNames.h"
#include "SocketHTTP.h"
#include "UpdateAnswer.h"

namespace {

constexpr std::size_t kPathCapacity = 256;

}  // namespace

void RunUpdateCheck(const ProgramVersion& running) {
    char path[kPathCapacity];
    if (!FormatUpdatePath(path, sizeof path, running))
        return;

    SocketHTTP http;
    std::optional<ProgramVersion> offered;
    {
        const HttpBody answer = http.Get(path);
        if (!answer)
            return;
        // Read as text: a zero byte inside the body ends the answer there.
        offered = OfferedUpdate(std::string_view(answer.get()), running);
    }
    if (!offered)
        return;

    const std::wstring prompt = FormatUpdatePrompt(*offered);
    if (prompt.empty())
        return;
    if (MessageBoxW(nullptr, prompt.c_str(), kProgramName, MB_YESNO) == IDYES)
        ShellExecuteW(nullptr, L"open", kDownloadAddress, nullptr, nullptr, SW_SHOW);
}
