#pragma once
// What the core asks of the main window. The core sits below the window layer and cannot call its
// form directly; the main window fills these at creation and clears them when it goes. Each may be
// empty (in tests, or before the main form exists): the core then does without.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class fileinfoclass;
class TSimpleParser;
class TControl;

struct TEditorLink {
    // The main form's window, or null while there is none.
    std::function<HWND()> MainFormHandle;
    // The main window's message box: puts the text into the status bar too. flags: the editor's
    // box flags (1 error icon, 2 information, 256 once, 512 status only...), as the main window
    // defines them. Returns the box's answer.
    std::function<int(const std::string& text, const std::string& caption, int32_t flags)> ShowMessageBox;
    std::function<void(const std::string& text)> SetStatusText;
    std::function<std::string()> GetStatusText;
    std::function<void(fileinfoclass* document)> ShowResultCounts;
    std::function<fileinfoclass*()> GetCurrentFileInfo;
    std::function<void(fileinfoclass* document)> SelectTab;
    // Refreshes the tab caption of a document (after its name or modified state changed).
    std::function<void(fileinfoclass* document)> RefreshTab;
    // Opens one file of a command line as a document in a tab.
    std::function<void(const std::string& fileName)> AddNewFileTab;
    // Command-line switches that need the main window.
    std::function<void()> BringToFront;
    std::function<void()> OpenValidatorOptions;
    std::function<void()> OptionsHTMLConfigurationEditorClick;
    std::function<void()> OptionsEditorOptionsClick;
    std::function<void()> AddFileAssociations;
    std::function<void()> RemoveFileAssociations;
    // The close path: closes every document, filling the open-files list; false when the user
    // kept one open.
    std::function<bool()> CloseALLFiles;
    // After the settings were written at close: the main window frees its options form and lets
    // the spell checker store its settings.
    std::function<void()> AfterSettingsWritten;
    // The views that show a document's results forget it and are emptied (list views, trees, the
    // message text).
    std::function<void(fileinfoclass* document)> ClearResultsViews;
    // The messages list or, without results (false), the hint to validate shows in its place.
    std::function<void(bool validated)> ShowMessagesPanel;
    // Empties the text of the chosen message under the results lists.
    std::function<void()> ClearMessageText;
    // The main window's status controls that show "Validating..." during a run.
    std::function<std::vector<TControl*>()> StatusControls;
    // The main window's style-sheet parser, or null.
    std::function<TSimpleParser*()> CSSParser;
    // The drop window's handle, or null while it does not exist.
    std::function<HWND()> DragDropFormHandle;
    // Creates the drop window's tool dialog, shows it modally and frees it; its modal result, or
    // -1 when it could not be created. The owner is kept in volatileclass::dialogOwner meanwhile.
    std::function<int(HWND owner)> ShowDragDropToolDialog;
    // Styles the main memo uses to mark message lines (-1 until the window set them up).
    int32_t errorLineStyle = -1;
    int32_t warningLineStyle = -1;
    int32_t messageLineStyle = -1;
};

// The one link of the process.
TEditorLink& EditorLink();
