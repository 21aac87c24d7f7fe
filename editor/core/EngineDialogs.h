#pragma once
// Small launchers used by the command queue, the first start and the main window's menus: the
// engine's options dialog and configuration editor, the drop window's tool dialog, help pages of
// the documentation folder and the check that the engine's log file exists.

#include <windows.h>

#include <cstdint>
#include <string>

// Owner flags of the launchers.
enum DialogOwnerFlags : int32_t {
    OwnerNone = 1,       // no owner window
    OwnerDropWindow = 2, // the drop window when it exists, else none
    OwnerNoneToo = 4,    // OpenValidatorOptions only: no owner as well
};

// The owner window the flags choose: none, the drop window, or else the main form (null when
// there is none).
HWND ChooseDialogOwner(int32_t ownerFlags);

// 1 when the engine's dialog answered 1, else 0 (also while no engine is bound).
int32_t OpenValidatorOptions(int32_t ignored, int32_t engineFlags, int32_t ownerFlags);
// The engine's result; a negative one (or no engine) shows the configuration editor's failure box.
int32_t OpenConfigurationEditor(int32_t ignored, int32_t engineFlags, int32_t ownerFlags);
// The tool dialog's modal result, or -1 when it could not be created (no window layer).
int32_t ShowDragDropToolDialog(int32_t ignored, int32_t ignored2, int32_t ownerFlags);
// Opens folder + "\" + page (the bare page when the folder is empty) with the shell; 1 when the
// shell accepted it.
int32_t ShowHelpPage(HWND owner, const std::string& page, const std::string& folder, int32_t ignored);
// 1 when the file can be read; else shows "There is currently no log file on disk." and gives 0.
int32_t CheckLogFileExists(HWND owner, const std::string& fileName);
