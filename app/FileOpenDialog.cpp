// The file-open dialog through IFileDialog. It has no owner window, like the program's other
// boxes; configuration failures are tolerated, and the dialog is shown with what succeeded.
#include "FileOpenDialog.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shobjidl.h>

#include "ComPtr.h"

namespace {

const COMDLG_FILTERSPEC kFileTypes[] = {
    {L"FCS/LMD Files", L"*.fcs;*.lmd"},
    {L"All Files", L"*.*"},
};
constexpr UINT kFirstFileType = 1;  // the index counts from 1

void Configure(IFileDialog* dialog) {
    FILEOPENDIALOGOPTIONS options = 0;
    if (FAILED(dialog->GetOptions(&options))) {
        return;
    }
    if (FAILED(dialog->SetOptions(options | FOS_FORCEFILESYSTEM))) {
        return;
    }
    if (FAILED(dialog->SetFileTypes(ARRAYSIZE(kFileTypes), kFileTypes))) {
        return;
    }
    dialog->SetFileTypeIndex(kFirstFileType);
}

}  // namespace

bool AskForDataFile(std::wstring& path) {
    ComPtr<IFileDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFileDialog, dialog.ReceiveVoid()))) {
        return false;
    }
    Configure(dialog.Get());
    if (FAILED(dialog->Show(nullptr))) {
        return false;
    }
    ComPtr<IShellItem> item;
    if (FAILED(dialog->GetResult(item.Receive()))) {
        return false;
    }
    wchar_t* name = nullptr;
    HRESULT result = item->GetDisplayName(SIGDN_FILESYSPATH, &name);
    if (FAILED(result)) {
        return false;
    }
    path = name != nullptr ? name : L"";
    CoTaskMemFree(name);
    return result == S_OK;
}
