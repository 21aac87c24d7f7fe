#pragma once
// The one place where a message box is shown, and the seam through which tests answer it. Kept
// apart from the dialogs so that controls and menus can report errors without the forms.
#include "framework/core/Win.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// In the order the buttons stand in a message dialog.
enum TMsgDlgBtn : uint16_t {
    mbYes = 1,
    mbNo = 2,
    mbOK = 4,
    mbCancel = 8,
    mbAbort = 16,
    mbRetry = 32,
    mbIgnore = 64,
    mbAll = 128,
    mbNoToAll = 256,
    mbYesToAll = 512,
    mbHelp = 1024
};
using TMsgDlgButtons = uint16_t;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// The one place where a message box is shown. Text, caption and the platform's MB_* flags in,
// the answer out: the platform's ID* value, which is also the modal result (mrYes, ...), or
// mrAll, mrNoToAll, mrYesToAll for the buttons only our own message dialog has.
// Tests replace it to answer and to check what was asked.
using TMessageBoxFunc = std::function<int(const std::string& Text, const std::string& Caption, UINT Flags)>;

// The same question with the buttons actually offered. Flags carry the icon and the nearest
// platform button set; Buttons may hold buttons the platform box lacks (mbAll, ...).
struct TMessageBoxRequest {
    std::string Text;
    std::string Caption;
    UINT Flags = 0;
    TMsgDlgButtons Buttons = 0;
};
using TMessageRequestFunc = std::function<int(const TMessageBoxRequest& Request)>;

// Both install the one seam (either form replaces the other); each returns the function it
// replaces, and handing that back restores it unchanged. An empty function restores the real box.
TMessageBoxFunc SetMessageBoxFunc(TMessageBoxFunc Func);
TMessageRequestFunc SetMessageRequestFunc(TMessageRequestFunc Func);
int ShowMessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

// What the replaced box answers to Request; nothing when no test has replaced it.
std::optional<int> AnswerFromSeam(const TMessageBoxRequest& Request);
// The platform's MB_* flags of a button set, or the set of given flags.
TMsgDlgButtons ButtonsOfFlags(UINT Flags);
std::optional<UINT> PlatformFlagsOf(TMsgDlgButtons Buttons);
// The window a box or common dialog belongs to: the active window, else the main form.
HWND DialogOwner();
