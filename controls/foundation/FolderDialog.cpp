#include "controls/foundation/FolderDialog.h"

#include <shlobj.h>

#include "framework/ui/Forms.h"

ZEL_DEFINE_CLASS(THSPathDialog, TCommonDialog, {})

namespace {
int CALLBACK PreselectFolder(HWND Wnd, UINT Msg, LPARAM, LPARAM Data) {
    if (Msg == BFFM_INITIALIZED && Data)
        SendMessageA(Wnd, BFFM_SETSELECTIONA, TRUE, Data);
    return 0;
}
} // namespace

bool THSPathDialog::DoExecute(HWND Owner) {
    BROWSEINFOA Info{};
    char Name[MAX_PATH] = {};
    Info.hwndOwner = OwnerHandle ? OwnerHandle : Owner;
    Info.pszDisplayName = Name;
    Info.lpszTitle = Title.c_str();
    Info.ulFlags = BIF_RETURNONLYFSDIRS;
    Info.lpfn = &PreselectFolder;
    Info.lParam = SelectedItem.empty() ? 0 : reinterpret_cast<LPARAM>(SelectedItem.c_str());
    LPITEMIDLIST List = SHBrowseForFolderA(&Info);
    if (!List)
        return false;
    char Path[MAX_PATH] = {};
    const bool Ok = SHGetPathFromIDListA(List, Path) != FALSE;
    CoTaskMemFree(List);
    if (Ok)
        SelectedItem = Path;
    return Ok;
}

bool QueryDir(const std::string& Title, std::string& Dir, HWND OwnerHandle) {
    THSPathDialog Dialog(nullptr);
    Dialog.Title = Title;
    Dialog.SelectedItem = Dir;
    Dialog.OwnerHandle = OwnerHandle;
    if (!Dialog.Execute() || Dialog.SelectedItem.empty())
        return false;
    Dir = Dialog.SelectedItem;
    return true;
}

bool QueryDirectory(const std::string& Caption, std::string& Dir) {
    HWND Owner = nullptr;
    if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        Owner = Application->MainForm()->Handle();
    return QueryDir(Caption, Dir, Owner);
}
