#pragma once
// The user-visible texts of the shell control family. Each text has a 16-bit string identifier
// (its name below) and is fetched with NVResStr, which passes it through NVLoadStr so that a
// translation can be plugged in at one place.
#include <cstdint>
#include <string>

namespace nvshell {

constexpr uint16_t SShKey_SelectAll = 64576;
constexpr uint16_t SShKey_Delete = 64577;
constexpr uint16_t SShKey_Copy = 64578;
constexpr uint16_t SShKey_Cut = 64579;
constexpr uint16_t SShKey_Paste = 64580;
constexpr uint16_t SShKey_Refresh = 64581;
constexpr uint16_t SShKey_Edit = 64582;
constexpr uint16_t SDialogFontName = 64583;
constexpr uint16_t SCutContext = 64592;
constexpr uint16_t SCopyContext = 64593;
constexpr uint16_t SPasteContext = 64594;
constexpr uint16_t SSendToContext = 64595;
constexpr uint16_t SNewContext = 64596;
constexpr uint16_t SViewContext = 64597;
constexpr uint16_t SViewLargeIconsContext = 64598;
constexpr uint16_t SViewSmallIconsContext = 64599;
constexpr uint16_t SViewListContext = 64600;
constexpr uint16_t SViewDetailsContext = 64601;
constexpr uint16_t SViewLargeIconsHint = 64602;
constexpr uint16_t SViewSmallIconsHint = 64603;
constexpr uint16_t SViewListHint = 64604;
constexpr uint16_t SViewDetailsHint = 64605;
constexpr uint16_t SBrowseForFolder = 64606;
constexpr uint16_t SShowTreeHint = 64607;
constexpr uint16_t SColumnSynchCopyIn = 64608;
constexpr uint16_t SColumnComment = 64609;
constexpr uint16_t SColumnLocation = 64610;
constexpr uint16_t SColumnOriginalLocation = 64611;
constexpr uint16_t SColumnDateDeleted = 64612;
constexpr uint16_t SColumnAttributes = 64613;
constexpr uint16_t SAttributesChars = 64614;
constexpr uint16_t SSystemFolder = 64615;
constexpr uint16_t SDeleteHint = 64616;
constexpr uint16_t SPropertiesHint = 64617;
constexpr uint16_t SCutHint = 64618;
constexpr uint16_t SCopyHint = 64619;
constexpr uint16_t SPasteHint = 64620;
constexpr uint16_t SUndoHint = 64621;
constexpr uint16_t SDeleteContext = 64622;
constexpr uint16_t SPropertiesContext = 64623;
constexpr uint16_t SFolderDoesNotExist = 64624;
constexpr uint16_t SNewFolder = 64625;
constexpr uint16_t SNewShortcut = 64626;
constexpr uint16_t SNewDocFilePrefix = 64627;
constexpr uint16_t SNewPopupContext = 64628;
constexpr uint16_t SNewFolderContext = 64629;
constexpr uint16_t SNewShortcutContext = 64630;
constexpr uint16_t SCannotCreateFolder = 64631;
constexpr uint16_t SUnableToCreateFolder = 64632;
constexpr uint16_t SUnableToCreateFile = 64633;
constexpr uint16_t SColumnName = 64634;
constexpr uint16_t SColumnInFolder = 64635;
constexpr uint16_t SColumnSize = 64636;
constexpr uint16_t SColumnType = 64637;
constexpr uint16_t SColumnModified = 64638;
constexpr uint16_t SColumnStatus = 64639;
constexpr uint16_t SLineUpIconsMenu = 64640;
constexpr uint16_t SPasteShortcutMenu = 64641;
constexpr uint16_t SSelectAllMenu = 64642;
constexpr uint16_t SInvertSelectionMenu = 64643;
constexpr uint16_t SNewMenu = 64644;
constexpr uint16_t SNewFolderMenu = 64645;
constexpr uint16_t SNewShortcutMenu = 64646;
constexpr uint16_t SCreateFolder = 64647;
constexpr uint16_t SCreateFolderContext = 64648;
constexpr uint16_t SBytes = 64649;
constexpr uint16_t SFilesizeKB = 64650;
constexpr uint16_t SFilesizeMB = 64651;
constexpr uint16_t SFilesizeGB = 64652;
constexpr uint16_t SFilesizeTB = 64653;
constexpr uint16_t SFilesizeX_YBytes = 64654;
constexpr uint16_t SYouMustTypeFilename = 64655;
constexpr uint16_t SCancelButton = 64656;
constexpr uint16_t SHelpButton = 64657;
constexpr uint16_t SOpenAsReadOnly = 64658;
constexpr uint16_t SOKButton = 64659;
constexpr uint16_t SViewLargeIconsMenu = 64660;
constexpr uint16_t SViewSmallIconsMenu = 64661;
constexpr uint16_t SViewListMenu = 64662;
constexpr uint16_t SViewDetailsMenu = 64663;
constexpr uint16_t SEditCutMenu = 64664;
constexpr uint16_t SEditCopyMenu = 64665;
constexpr uint16_t SEditPasteMenu = 64666;
constexpr uint16_t SDeleteMenu = 64667;
constexpr uint16_t SRenameMenu = 64668;
constexpr uint16_t SPropertiesMenu = 64669;
constexpr uint16_t SViewMenu = 64670;
constexpr uint16_t SArrangeIconsMenu = 64671;
constexpr uint16_t SFilenameIsInvalid = 64672;
constexpr uint16_t SFileAlreadyInUse = 64673;
constexpr uint16_t SFileCannotBeAccessed = 64674;
constexpr uint16_t SExistsAndIsReadOnly = 64675;
constexpr uint16_t SFilenameIsReservedDeviceName = 64676;
constexpr uint16_t SDiskIsWriteProtected = 64677;
constexpr uint16_t SInsufficientDiskSpace = 64678;
constexpr uint16_t SDoesNotExistCreate = 64679;
constexpr uint16_t SThereCanBeOnlyOne = 64680;
constexpr uint16_t SUpOneLevelHint = 64681;
constexpr uint16_t SCreateNewFolderHint = 64682;
constexpr uint16_t SClose = 64683;
constexpr uint16_t SLookIn = 64684;
constexpr uint16_t SFileName = 64685;
constexpr uint16_t SFilesOfType = 64686;
constexpr uint16_t SOpenButton = 64687;
constexpr uint16_t SFileExistsReplace = 64693;
constexpr uint16_t SSaveIn = 64694;
constexpr uint16_t SSaveButton = 64695;
constexpr uint16_t SSaveAsCaption = 64696;
constexpr uint16_t SOpenCaption = 64697;
constexpr uint16_t SSaveAsType = 64698;
constexpr uint16_t SDriveDoesNotExist = 64699;
constexpr uint16_t SCannotReadDrive = 64700;
constexpr uint16_t SRemovableDiskHasChanged = 64701;
constexpr uint16_t SFileNotFound = 64702;
constexpr uint16_t SPathDoesNotExist = 64703;

} // namespace nvshell

// The translation hook: every loaded text goes through it. Returns the text unchanged.
std::string NVLoadStr(const std::string& Text);
// The text of a string identifier, through NVLoadStr; empty for an identifier that has none.
std::string NVResStr(uint16_t Id);
// Number of texts in the table (for checks that walk it).
int NVResStrCount();
// The identifier of the table's Index-th entry, in increasing order.
uint16_t NVResStrIdAt(int Index);
