#pragma once
// The shell's context menus and verbs for the shell controls, the family's default key table,
// the Send To list and new folders with unique names.
#include "framework/core/Win.h"

#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/ui/Menus.h"
#include "shellcontrols/ComPtr.h"

// The shell's commands sit at this number and above; a number minus it is the command's offset.
constexpr UINT NVFirstShellCommand = 1000;
constexpr UINT NVLastShellCommand = 32767;

// Key texts: "F2", "Shift+Ctrl+Del", "#200".
std::string NVShortCutToText(TShortCut ShortCut);
// "Ctrl+C", "ctrl+c" and "^C" give one shortcut; 0 for a text that names no key.
TShortCut NVTextToShortCut(const std::string& Text);

// The default keys of the shell controls, in table order.
enum class TNVShellKey { SelectAll, Delete, Copy, Cut, Paste, Refresh, Edit, None };
// Which table entry the pressed key with its modifiers is; None when it is none of them. The
// table is read from the family's texts on the first call.
TNVShellKey NVMatchShellKey(WORD Key, TShiftState Shift);
// The keys that open a context menu: Applications without a shift key, or Shift+F10.
bool NVIsContextMenuKey(WORD Key, TShiftState Shift);
// After a right button press was handled: the button is up again, but its release is not
// waiting for Wnd (the common control's own loop took it).
bool NVRightButtonReleaseTaken(HWND Wnd);

// The folder's context menu for Items in a new popup menu (commands from FirstCommand on).
// Raises ENVOleError when the menu cannot be filled; a folder that offers no menu answers its code.
HRESULT GetShellContextMenu(HWND Window, IShellFolder* Folder, const std::vector<LPCITEMIDLIST>& Items,
                            HMENU& Menu, TComPtr<IContextMenu>& ContextMenu, UINT Flags,
                            UINT FirstCommand = NVFirstShellCommand);
HRESULT InvokeCommandByOffset(HWND Window, IContextMenu* ContextMenu, UINT Offset);
// The offset of the menu item whose canonical verb is Verb (compared without case), or -1.
int NVFindVerbOffset(IContextMenu* ContextMenu, const std::string& Verb);
// Runs the command whose canonical verb is Verb. A verb that no menu item reports is handed to
// the shell by name, never replaced by some other command.
HRESULT InvokeVerb(HWND Window, IContextMenu* ContextMenu, const std::string& Verb);
// Whether the chosen command number of a shown menu is the shell's rename command.
bool NVIsRenameCommand(IContextMenu* ContextMenu, UINT Command);
// The folder's context menu for its items, and InvokeVerb on it. Raises ENVOleError when the
// folder offers none.
HRESULT NVDoVerbOnItems(HWND Window, IShellFolder* Folder, const std::vector<LPCITEMIDLIST>& Items,
                        const std::string& Verb);

struct TNVSendToEntry {
    std::string FileName; // in the user's Send To folder
    int IconIndex = -1;   // in the small system image list
};
// The files of the user's Send To folder that are neither folders nor hidden, sorted by name.
// Read on first use and kept.
const std::vector<TNVSendToEntry>& NVSendToList();
// The text a Send To entry shows: its file name without the extension.
std::string NVSendToCaption(const std::string& FileName);

// The help text of the shell menu item under the mouse; empty for other items.
using TNVShPopupHintEvent = std::function<void(TObject* Sender, const std::string& Hint)>;

// The family's own Send To submenu, used when the shell's menu does not draw its submenus itself:
// the entries are owner-drawn items numbered from 1 whose item data is the entry's index.
// Fills Menu when it holds only the shell's grayed placeholder; true when it did.
bool NVFillSendToMenu(HMENU Menu, const std::vector<TNVSendToEntry>& Entries);
// Whether an owner-drawn menu item is a Send To entry (item data below the shell's commands).
bool NVIsSendToItem(UINT CtlType, ULONG_PTR ItemData, const std::vector<TNVSendToEntry>& Entries);
// The item is the entry's text (in the menu font) plus 32 pixels wide and the menu bar's height
// plus 2 high.
void NVMeasureSendToItem(MEASUREITEMSTRUCT& Item, const std::vector<TNVSendToEntry>& Entries);
// The text 32 pixels and the small system icon 8 pixels from the item's left edge, both 2 below
// its top, on the menu's or the highlight's colours.
void NVDrawSendToItem(const DRAWITEMSTRUCT& Item, const std::vector<TNVSendToEntry>& Entries);
// The answer to a typed character in the Send To submenu: the next entry (after the highlighted
// one, wrapping) whose text starts with it, executed when it is the only one, else selected;
// 0 when no entry starts with it or Menu is not a Send To submenu.
LRESULT NVSendToMenuChar(HMENU Menu, char Char, const std::vector<TNVSendToEntry>& Entries);

// Makes "New Folder", "New Folder (2)", ... (then "fldr", "fldr2", ...) in Path (empty: the current
// folder). Failures other than an existing name are shown in a warning box; false when none was made.
bool NVShCreateNewFolder(const std::string& Path, std::string& Name);

// A shown shell context menu: the owner's window procedure hands it the menu messages, so the
// shell draws its own submenus (Send To, New) through IContextMenu2 while the menu is up.
// A menu that draws nothing itself gets the family's owner-drawn Send To submenu instead.
class TNVShellMenuSession {
public:
    // SendTo: the entries of the family's Send To submenu (null: the user's Send To folder).
    explicit TNVShellMenuSession(IContextMenu* Menu, const std::vector<TNVSendToEntry>* SendTo = nullptr);
    // True when the message was the menu's and has been answered.
    bool HandleMenuMessage(TMessage& Message);
    IContextMenu* Menu() const { return FMenu.Get(); }
    std::function<void(const std::string& Hint)> OnHint;

private:
    const std::vector<TNVSendToEntry>& SendTo();
    TComPtr<IContextMenu> FMenu;
    TComPtr<IContextMenu2> FMenu2;
    const std::vector<TNVSendToEntry>* FSendTo;
};

// Shows the folder's context menu for Items at the screen point and answers the chosen command
// number (0 when none). Session is set while the menu is up.
UINT NVTrackShellMenu(HWND Owner, HWND Window, IShellFolder* Folder, const std::vector<LPCITEMIDLIST>& Items,
                      UINT Flags, POINT ScreenPt, TComPtr<IContextMenu>& ContextMenu,
                      std::unique_ptr<TNVShellMenuSession>& Session,
                      std::function<void(const std::string& Hint)> OnHint = nullptr);
// Sends the dragged items of a data object to Send To entry Index, as a drop on it would.
HRESULT NVSendTo(int Index, IDataObject* Data);
