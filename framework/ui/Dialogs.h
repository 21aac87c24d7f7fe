#pragma once
// Message dialogs and the platform's common dialogs; every box goes through the seam of MessageBox.h.
#include "framework/core/Win.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/MessageBox.h"

class TForm;

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// Captioned "Warning", "Error", "Information", "Confirm" or with the application title. Buttons
// the platform box offers as a set are shown by it; any other set by our own message dialog.
// Returns the modal result (mrOk, mrYes, mrAll, ...); mrCancel when the dialog is closed.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
// Our own message dialog, not shown yet: the icon, the text and Buttons in their usual order, each
// named for its button ("Yes", "NoToAll", ...). The caller frees it.
TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
void ShowMessage(const std::string& Msg);

class TCommonDialog : public TComponent {
    ZEL_DECLARE_CLASS(TCommonDialog)
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    // Shows the dialog modally; true when the user confirmed.
    bool Execute();
    int HelpContext = 0;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

protected:
    virtual bool DoExecute(HWND Owner) = 0;
};

// Seam for common dialogs: when set, it answers in place of the platform dialog (it may set the
// dialog's fields, as a user would) and its answer is Execute's result.
using TCommonDialogHook = std::function<bool(TCommonDialog& Dialog)>;
TCommonDialogHook SetCommonDialogHook(TCommonDialogHook Hook);

enum TOpenOption : uint32_t {
    ofReadOnly = 1,
    ofOverwritePrompt = 2,
    ofHideReadOnly = 4,
    ofNoChangeDir = 8,
    ofAllowMultiSelect = 16,
    ofExtensionDifferent = 32,
    ofPathMustExist = 64,
    ofFileMustExist = 128,
    ofCreatePrompt = 256,
    ofShareAware = 512,
    ofNoReadOnlyReturn = 1024,
    ofNoTestFileCreate = 2048,
    ofNoValidate = 4096,
    ofEnableSizing = 8192
};
using TOpenOptions = uint32_t;

class TOpenDialog : public TCommonDialog {
    ZEL_DECLARE_CLASS(TOpenDialog)
public:
    explicit TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    std::string FileName;
    // "Description|*.ext|Other|*.a;*.b"
    std::string Filter;
    int FilterIndex = 1;
    std::string InitialDir;
    std::string DefaultExt;
    std::string Title;
    TOpenOptions Options = ofHideReadOnly | ofEnableSizing;
    // All chosen names (with ofAllowMultiSelect), full paths.
    std::vector<std::string> Files;

protected:
    bool DoExecute(HWND Owner) override;
    bool RunFileDialog(HWND Owner, bool Save);
};

class TSaveDialog : public TOpenDialog {
    ZEL_DECLARE_CLASS(TSaveDialog)
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    bool DoExecute(HWND Owner) override;
};

class TFontDialog : public TCommonDialog {
    ZEL_DECLARE_CLASS(TFontDialog)
public:
    explicit TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    TFont& Font() { return FFont; }
    bool FixedPitchOnly = false;

protected:
    bool DoExecute(HWND Owner) override;

private:
    TFont FFont;
};

class TColorDialog : public TCommonDialog {
    ZEL_DECLARE_CLASS(TColorDialog)
public:
    explicit TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    TColor Color = clBlack;
    COLORREF CustomColors[16] = {};

protected:
    bool DoExecute(HWND Owner) override;
};

class TPrinterSetupDialog : public TCommonDialog {
    ZEL_DECLARE_CLASS(TPrinterSetupDialog)
public:
    explicit TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

protected:
    bool DoExecute(HWND Owner) override;
};

// Turns "Text|*.txt|All|*.*" into the platform's double-zero-terminated filter.
std::string MakeFileDialogFilter(const std::string& Filter);
