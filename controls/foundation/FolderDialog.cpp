#include "controls/foundation/FolderDialog.h"

#include <shlobj.h>

#include "controls/foundation/PathUtils.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"

ZEL_DEFINE_CLASS(THSPathDialog, TCommonDialog, {})

int CALLBACK THSPathDialog::BrowseCallback(HWND Wnd, UINT Msg, LPARAM, LPARAM Data) {
    if (Msg == BFFM_INITIALIZED && Data) {
        auto* Dialog = reinterpret_cast<THSPathDialog*>(Data);
        Dialog->FBrowseWnd = Wnd;
        Dialog->SetSelectedItem(Dialog->SelectedItem);
    }
    return 0;
}

void THSPathDialog::SetSelectedItem(const std::string& Path) {
    SelectedItem = Path.empty() ? GetCurrentDir() : RemoveSlash(Path);
    if (FBrowseWnd)
        SendMessageA(FBrowseWnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(SelectedItem.c_str()));
}

uint32_t PathDialogBrowseFlags(THSPathDialogFlags Flags) {
    static const uint32_t Bits[] = {BIF_BROWSEFORCOMPUTER, BIF_BROWSEFORPRINTER, BIF_DONTGOBELOWDOMAIN,
                                    BIF_RETURNFSANCESTORS, BIF_RETURNONLYFSDIRS};
    uint32_t Out = 0;
    for (int I = 0; I < 5; ++I)
        if (Flags & (1u << I))
            Out |= Bits[I];
    return Out;
}

int32_t PathDialogRootFolder(THSPathDialogRoot Root) {
    static const int32_t Folders[] = {
        CSIDL_DESKTOP,  CSIDL_BITBUCKET, CSIDL_CONTROLS, CSIDL_DESKTOP, CSIDL_DESKTOPDIRECTORY,
        CSIDL_DRIVES,   CSIDL_FONTS,     CSIDL_NETHOOD,  CSIDL_NETWORK, CSIDL_PERSONAL,
        CSIDL_PRINTERS, CSIDL_PROGRAMS,  CSIDL_RECENT,   CSIDL_SENDTO,  CSIDL_STARTMENU,
        CSIDL_STARTUP,  CSIDL_TEMPLATES};
    return Root < sizeof Folders / sizeof Folders[0] ? Folders[Root] : CSIDL_DESKTOP;
}

bool THSPathDialog::DoExecute(HWND Owner) {
    BROWSEINFOA Info{};
    char Name[MAX_PATH] = {};
    Info.hwndOwner = OwnerHandle ? OwnerHandle : Owner;
    LPITEMIDLIST RootList = nullptr;
    if (Root != pdrNone && Root != pdrDesktop &&
        SHGetSpecialFolderLocation(Info.hwndOwner, PathDialogRootFolder(Root), &RootList) == S_OK)
        Info.pidlRoot = RootList;
    Info.pszDisplayName = Name;
    Info.lpszTitle = Title.c_str();
    Info.ulFlags = PathDialogBrowseFlags(Flags);
    Info.lpfn = &BrowseCallback;
    Info.lParam = reinterpret_cast<LPARAM>(this);
    LPITEMIDLIST List = SHBrowseForFolderA(&Info);
    FBrowseWnd = nullptr;
    if (RootList)
        CoTaskMemFree(RootList);
    if (!List)
        return false;
    // A computer or printer has only a display name; a folder has a path.
    char Path[MAX_PATH] = {};
    const bool HasPath = SHGetPathFromIDListA(List, Path) != FALSE;
    CoTaskMemFree(List);
    if (HasPath)
        SelectedItem = Path;
    else if (Name[0] && !(Flags & PathDialogFlag(pdfReturnOnlyFSDirs)))
        SelectedItem = Name;
    else
        return false;
    return true;
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

bool QueryComp(const std::string& Title, std::string& Computer, HWND OwnerHandle) {
    THSPathDialog Dialog(nullptr);
    Dialog.Title = Title;
    Dialog.OwnerHandle = OwnerHandle;
    Dialog.Root = pdrNetwork;
    Dialog.Flags = PathDialogFlag(pdfBrowseForComputer);
    if (!Dialog.Execute() || Dialog.SelectedItem.empty())
        return false;
    Computer = Dialog.SelectedItem;
    return true;
}

namespace {

HWND MainWindowOrNone() {
    if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        return Application->MainForm()->Handle();
    return nullptr;
}

} // namespace

bool QueryDirectory(const std::string& Caption, std::string& Dir) {
    return QueryDir(Caption, Dir, MainWindowOrNone());
}

bool QueryComputer(const std::string& Caption, std::string& Computer) {
    return QueryComp(Caption, Computer, MainWindowOrNone());
}
