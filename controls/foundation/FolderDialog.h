#pragma once
// The family's folder browser: a common dialog (so tests answer it through the dialog seam) and
// the two query functions built on it.
#include <cstdint>
#include <string>

#include "framework/ui/Dialogs.h"

enum THSPathDialogFlag : uint8_t {
    pdfBrowseForComputer,
    pdfBrowseForPrinter,
    pdfDontGoBelowDomain,
    pdfReturnfsAncestors,
    pdfReturnOnlyFSDirs,
};
// One bit per THSPathDialogFlag.
using THSPathDialogFlags = uint8_t;
constexpr THSPathDialogFlags PathDialogFlag(THSPathDialogFlag F) {
    return THSPathDialogFlags(1u << F);
}

enum THSPathDialogRoot : uint8_t {
    pdrNone,
    pdrBitBucket,
    pdrControls,
    pdrDesktop,
    pdrDesktopDirectory,
    pdrDrives,
    pdrFonts,
    pdrNetHood,
    pdrNetwork,
    pdrPersonal,
    pdrPrinters,
    pdrPrograms,
    pdrRecent,
    pdrSendto,
    pdrStartmenu,
    pdrStartup,
    pdrTemplates,
};

// The platform's browse flags of a flag set, and the special folder of a root.
uint32_t PathDialogBrowseFlags(THSPathDialogFlags Flags);
int32_t PathDialogRootFolder(THSPathDialogRoot Root);

class THSPathDialog : public TCommonDialog {
    ZEL_DECLARE_CLASS(THSPathDialog)
public:
    explicit THSPathDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    std::string Title;
    // The folder shown first, and the one chosen.
    std::string SelectedItem;
    // The window that owns the browser (nullptr: the dialog's usual owner).
    HWND OwnerHandle = nullptr;
    THSPathDialogFlags Flags = PathDialogFlag(pdfReturnOnlyFSDirs);
    THSPathDialogRoot Root = pdrNone;
    // SelectedItem becomes Path without a trailing backslash, or the current folder for an empty
    // Path; an open browser is told to select it too. Execute starts with SelectedItem this way.
    void SetSelectedItem(const std::string& Path);

protected:
    bool DoExecute(HWND Owner) override;

private:
    static int CALLBACK BrowseCallback(HWND Wnd, UINT Msg, LPARAM, LPARAM Data);
    // The browser's window while Execute runs.
    HWND FBrowseWnd = nullptr;
};

// Asks for a folder starting at Dir; true with the chosen folder in Dir, false (Dir unchanged)
// when cancelled.
bool QueryDir(const std::string& Title, std::string& Dir, HWND OwnerHandle);
// Asks for a computer of the network; true with its name in Computer, false (unchanged) when
// cancelled.
bool QueryComp(const std::string& Title, std::string& Computer, HWND OwnerHandle);
// The same two, owned by the application's main window.
bool QueryDirectory(const std::string& Caption, std::string& Dir);
bool QueryComputer(const std::string& Caption, std::string& Computer);
