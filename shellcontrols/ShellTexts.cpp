#include "shellcontrols/ShellTexts.h"

#include <algorithm>
#include <iterator>

using namespace nvshell;

namespace {

struct TTextEntry {
    uint16_t Id;
    const char* Text;
};

// Sorted by identifier, so a lookup can halve.
constexpr TTextEntry Texts[] = {
    {SShKey_SelectAll, "Ctrl+A"},
    {SShKey_Delete, "Del"},
    {SShKey_Copy, "Ctrl+C"},
    {SShKey_Cut, "Ctrl+X"},
    {SShKey_Paste, "Ctrl+V"},
    {SShKey_Refresh, "F5"},
    {SShKey_Edit, "F2"},
    {SDialogFontName, "MS Sans Serif"},
    {SCutContext, "Removes the selected items and copies them onto the Clipboard."},
    {SCopyContext, "Copies the selected items to the Clipboard. Use Paste to put them in the new location."},
    {SPasteContext, "Inserts the items you have copied or cut into the selected location."},
    {SSendToContext, "Contains items that you can copy or send the selected file or folder to."},
    {SNewContext, "Contains commands for creating new items."},
    {SViewContext, "Contains commands for customizing this window."},
    {SViewLargeIconsContext, "Displays items by using large icons."},
    {SViewSmallIconsContext, "Displays items by using small icons."},
    {SViewListContext, "Displays items in a list."},
    {SViewDetailsContext, "Displays information about each item in the window."},
    {SViewLargeIconsHint, "Large Icons"},
    {SViewSmallIconsHint, "Small Icons"},
    {SViewListHint, "List"},
    {SViewDetailsHint, "Details"},
    {SBrowseForFolder, "Browse for Folder"},
    {SShowTreeHint, "Show Tree (F12)"},
    {SColumnSynchCopyIn, "Sync Copy In"},
    {SColumnComment, "Comment"},
    {SColumnLocation, "Location"},
    {SColumnOriginalLocation, "Original Location"},
    {SColumnDateDeleted, "Date Deleted"},
    {SColumnAttributes, "Attributes"},
    {SAttributesChars, "RHSAC"},
    {SSystemFolder, "System Folder"},
    {SDeleteHint, "Delete"},
    {SPropertiesHint, "Properties"},
    {SCutHint, "Cut"},
    {SCopyHint, "Copy"},
    {SPasteHint, "Paste"},
    {SUndoHint, "Undo"},
    {SDeleteContext, "Deletes the selected items."},
    {SPropertiesContext, "Displays the properties of the selected items."},
    {SFolderDoesNotExist, "The folder '%1' does not exist.\n\nCheck the folder name and try again."},
    {SNewFolder, "New Folder"},
    {SNewShortcut, "New Shortcut"},
    {SNewDocFilePrefix, "New "},
    {SNewPopupContext, "Contains commands for creating new items."},
    {SNewFolderContext, "Creates a new, empty folder."},
    {SNewShortcutContext, "Creates a new, empty shortcut."},
    {SCannotCreateFolder, "Cannot create folder %2: %1"},
    {SUnableToCreateFolder, "Unable to create the folder '%2'\n\n%1"},
    {SUnableToCreateFile, "Unable to create the file '%2'\n\n%1"},
    {SColumnName, "Name"},
    {SColumnInFolder, "In Folder"},
    {SColumnSize, "Size"},
    {SColumnType, "Type"},
    {SColumnModified, "Modified"},
    {SColumnStatus, "Status"},
    {SLineUpIconsMenu, "Lin&e up Icons"},
    {SPasteShortcutMenu, "&Paste"},
    {SSelectAllMenu, "Select &All"},
    {SInvertSelectionMenu, "&Invert Selection"},
    {SNewMenu, "Ne&w"},
    {SNewFolderMenu, "&Folder"},
    {SNewShortcutMenu, "&Shortcut"},
    {SCreateFolder, "Create Folder"},
    {SCreateFolderContext, "Creates a new, empty folder."},
    {SBytes, "%s bytes"},
    {SFilesizeKB, "%sKB"},
    {SFilesizeMB, "%sMB"},
    {SFilesizeGB, "%sGB"},
    {SFilesizeTB, "%sTB"},
    {SFilesizeX_YBytes, "%1 (%2 bytes)"},
    {SYouMustTypeFilename, "You must type a filename."},
    {SCancelButton, "Cancel"},
    {SHelpButton, "&Help"},
    {SOpenAsReadOnly, "Open as &read-only"},
    {SOKButton, "OK"},
    {SViewLargeIconsMenu, "Lar&ge Icons"},
    {SViewSmallIconsMenu, "S&mall Icons"},
    {SViewListMenu, "&List"},
    {SViewDetailsMenu, "&Details"},
    {SEditCutMenu, "Cu&t"},
    {SEditCopyMenu, "&Copy"},
    {SEditPasteMenu, "&Paste"},
    {SDeleteMenu, "&Delete"},
    {SRenameMenu, "Rena&me"},
    {SPropertiesMenu, "P&roperties"},
    {SViewMenu, "&View"},
    {SArrangeIconsMenu, "Arrange &Icons"},
    {SFilenameIsInvalid, "%s\nThe above file name is invalid."},
    {SFileAlreadyInUse,
     "%s\nThis file is already in use.\nSelect a new name or close the file in use by another application."},
    {SFileCannotBeAccessed,
     "%s\nCannot access this file.\nCheck security privileges over the network drive."},
    {SExistsAndIsReadOnly,
     "%s\nThis file exists with Read Only attributes.\nPlease use a different file name."},
    {SFilenameIsReservedDeviceName,
     "%s\nThis file name is a reserved device name.\nPlease choose another name."},
    {SDiskIsWriteProtected,
     "Disk %c: is write-protected.\nA file cannot be saved on a write-protected disk."},
    {SInsufficientDiskSpace, "This directory of disk %c: is full.\nChoose another directory or disk."},
    {SDoesNotExistCreate, "%s\nThis file does not exist.\n\nCreate the file?"},
    {SThereCanBeOnlyOne, "More than one file has the name '%s'.\n\nChoose one from the list of files."},
    {SUpOneLevelHint, "Up One Level"},
    {SCreateNewFolderHint, "Create New Folder"},
    {SClose, "Close"},
    {SLookIn, "Look &in:"},
    {SFileName, "File &name:"},
    {SFilesOfType, "Files of &type:"},
    {SOpenButton, "&Open"},
    {SFileExistsReplace, "%s already exists.\nDo you want to replace it?"},
    {SSaveIn, "Save &in:"},
    {SSaveButton, "&Save"},
    {SSaveAsCaption, "Save As"},
    {SOpenCaption, "Open"},
    {SSaveAsType, "Save as &type:"},
    {SDriveDoesNotExist, "Drive %c: does not exist.\nPlease verify the appropriate drive was given."},
    {SCannotReadDrive, "Windows NT is unable to read drive %c:. Make sure the drive door is closed and that "
                       "the disk is formatted and free of errors."},
    {SRemovableDiskHasChanged,
     "A different disk is expected in drive %c:.  Please insert the appropriate disk."},
    {SFileNotFound, "%s\nFile not found.\nPlease verify the correct file name was given."},
    {SPathDoesNotExist, "%s\nPath does not exist.\nPlease verify the correct path was given."},
};

static_assert(std::size(Texts) == 115);

} // namespace

std::string NVLoadStr(const std::string& Text) {
    return Text;
}

std::string NVResStr(uint16_t Id) {
    auto It = std::lower_bound(std::begin(Texts), std::end(Texts), Id,
                               [](const TTextEntry& E, uint16_t V) { return E.Id < V; });
    if (It == std::end(Texts) || It->Id != Id)
        return std::string();
    return NVLoadStr(It->Text);
}

int NVResStrCount() {
    return static_cast<int>(std::size(Texts));
}

uint16_t NVResStrIdAt(int Index) {
    if (Index < 0 || Index >= NVResStrCount())
        return 0;
    return Texts[Index].Id;
}
