#pragma once
// The editor's settings in the current user's registry, read once at start-up and written once
// when the main window closes.

#include <cstdint>
#include <string>
#include <vector>

class TFont;

// 1 when every key opened, else 0 after reading what could be read; what failed is listed by
// SettingsReadFailures.
int32_t ReadSettings();
// Keys or values the last ReadSettings could not read, in the order met ("...\Editor\Tools").
const std::vector<std::string>& SettingsReadFailures();
int32_t WriteSettings();
// The main window's close path: closes every document (EditorLink().CloseALLFiles), stores the
// session's view state and writes the settings. 0 when a document was not closed (the program
// keeps running), else 1.
struct TSessionState {
    // Filled by the main window before SaveSessionState writes: each may stay as it is.
    bool maximised = false;
    int32_t left = 0, top = 0, width = 0, height = 0; // current bounds of the main window
    bool haveBounds = false;
    bool haveDropWindow = false;
    int32_t dropTop = 0, dropLeft = 0;
    // The splitters' proportions: each one that is not 1.0 (a collapsed pane) is kept.
    bool haveProportions = false;
    float proportions[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    // The main memo's font, which becomes the editor font; null keeps the stored one.
    const TFont* editorFont = nullptr;
    // The open and save dialogs' current sizes.
    bool haveDialogSizes = false;
    int32_t openDialogWidth = 0, openDialogHeight = 0, saveDialogWidth = 0, saveDialogHeight = 0;
    // The folder tree's selected path ("" when nothing is selected).
    bool haveSelectedFolder = false;
    std::string selectedFolder;
};
int32_t SaveSessionState(const TSessionState& state);
int32_t FirstRun();
// The folder of the running program, without a trailing backslash.
std::string ProgramOwnFolder();
