#pragma once
// The family's folder browser: a common dialog (so tests answer it through the dialog seam) and
// the two query functions built on it.
#include <string>

#include "framework/ui/Dialogs.h"

class THSPathDialog : public TCommonDialog {
    ZEL_DECLARE_CLASS(THSPathDialog)
public:
    explicit THSPathDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    std::string Title;
    // The folder shown first, and the one chosen.
    std::string SelectedItem;
    // The window that owns the browser (nullptr: the dialog's usual owner).
    HWND OwnerHandle = nullptr;

protected:
    bool DoExecute(HWND Owner) override;
};

// Asks for a folder starting at Dir; true with the chosen folder in Dir, false (Dir unchanged)
// when cancelled.
bool QueryDir(const std::string& Title, std::string& Dir, HWND OwnerHandle);
// The same, owned by the application's main window.
bool QueryDirectory(const std::string& Caption, std::string& Dir);
