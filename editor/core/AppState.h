#pragma once
// The editor's whole state in one process-wide record, prgclass, and the settings records it
// owns. Every other part of the editor reads and changes these fields in place; the registry
// reader and writer (Settings.h) fill and store the persistent ones.

#include "editor/core/EngineNetwork.h"
#include "editor/core/StringArrayStore.h"
#include "engine/utils/PointerArrayManager.h"
#include "engine/utils/StrStore.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

class TFont;
class TCustomMemoSource;
class TSimpleParser;
class fileinfoclass;
class UpdateCheckState;

// Bits of the interface flag word (interfaceclass::flags, "F").
constexpr uint32_t IfHotKey = 0x20;
constexpr uint32_t IfStoreNormalBounds = 0x800;
constexpr uint32_t IfStoreDropWindowPosition = 0x1000;
constexpr uint32_t IfMaximised = 0x4000;
constexpr uint32_t IfCursorOnTabs = 0x20000;
constexpr uint32_t IfAutoIndent = 0x800000;
constexpr uint32_t IfSmartTab = 0x1000000;
constexpr uint32_t IfLimitEOL = 0x2000000;
constexpr uint32_t IfBackUnindents = 0x4000000;
constexpr uint32_t IfUseTabCharacter = 0x20000000;
// Bits of the second interface flag word (interfaceclass::flags2, "F2").
constexpr uint32_t If2ListGroupedMessages = 0x10;
constexpr uint32_t If2SortResults = 0x20;
constexpr uint32_t If2ListFlaggedMessages = 0x40;
constexpr uint32_t If2UpdateCheck = 0x800;
constexpr uint32_t If2OverwriteBlocks = 0x20000;
// Bits of the option flag word (prgconfigclass::flags).
constexpr uint32_t OptSQLColouring = 0x4;
constexpr uint32_t OptHTMLColouring = 0x8;
constexpr uint32_t OptJavaColouring = 0x10;
constexpr uint32_t OptCColouring = 0x20;
constexpr uint32_t OptVBScriptColouring = 0x40;
constexpr uint32_t OptDelphiColouring = 0x80;
constexpr uint32_t OptPerlColouring = 0x200;
constexpr uint32_t OptMarkMessageLines = 0x00100000;
constexpr uint32_t OptSyntaxColouring = 0x200000;
constexpr uint32_t OptKeepOpenFiles = 0x400000;
constexpr uint32_t OptSaveScratchPads = 0x800000;
constexpr uint32_t OptMarkErrorLines = 0x01000000;
constexpr uint32_t OptMarkWarningLines = 0x02000000;
constexpr uint32_t OptAskUpdateCheck = 0x08000000; // offer the update check when one is due
constexpr uint32_t OptCSSColouring = 0x10000000;

// One inserter tool window's stored settings (its window and snippets belong to the window layer).
struct inserterclass {
    StrStore title;
    StrStore valuePrefix; // "TagInserter", "CSSInserter": registry value names begin with it
    uint32_t kind = 0;
    int32_t top = 0, left = 0, width = 300;
    StrStore configFile;        // the inserter's configuration file
    StrStore defaultConfigName; // its file name in the program folder
};

class interfaceclass {
public:
    interfaceclass();
    ~interfaceclass();
    interfaceclass(const interfaceclass&) = delete;
    interfaceclass& operator=(const interfaceclass&) = delete;

    int32_t mainFormLeft = 10, mainFormTop = 10, mainFormHeight = 460, mainFormWidth = 620;
    int32_t saveDialogWidth = 540, saveDialogHeight = 380, saveDialogViewStyle = 3, saveDialogSortColumn = 3;
    int32_t openDialogWidth = 540, openDialogHeight = 380, openDialogViewStyle = 3, openDialogSortColumn = 3;
    int32_t thirdSortColumn = 3;
    int32_t paneSize1 = 140, paneSize2 = 225;
    int32_t horzSplit1Position = 150;
    int32_t resultsMessageSplitPosition = 250;
    float paneProportions[4] = {0.5f, 0.4f, 0.5f, 0.6f};
    uint32_t flags = 0x2FC2039F;  // Flags40
    uint32_t flags2 = 0x3FF78000; // Flags2V45
    int32_t dragDropWindowTop = 20, dragDropWindowLeft = 20;
    int32_t spare = 0;
    int32_t openedFilesSortBy = 3;
    StrStore selectedFolder;
    StringArrayStore reopen; // at most 15
    StringArrayStore furtherLists[5];
    StringArrayStore fileFilters; // at most 20
    StringArrayStore oneMoreList; // at most 20
    int32_t windowRect[4] = {40, 40, 400, 560};
    int32_t fileDialogFilterIndex = 1;
    StrStore combinedFilter; // "Name (*.a;*.b)|*.a;*.b|..." for the file dialogs
    int32_t twoInts[2] = {10, 10};

    // Builds the file filter list: what the registry holds, then the built-in entries on top, the
    // list written back, and the combined filter text. Also called by tests after a change.
    void BuildFileFilters(bool useRegistry);
};

class prgconfigclass {
public:
    prgconfigclass();
    ~prgconfigclass();
    prgconfigclass(const prgconfigclass&) = delete;
    prgconfigclass& operator=(const prgconfigclass&) = delete;
    // Copies every field by value (the editor options dialog edits a copy and assigns it back).
    void Assign(const prgconfigclass& other);

    uint32_t flags = 0x3FF003FD; // Flags40 of the Options key
    int32_t rightMargin = 80;
    int32_t noExtensionFileType = -1;
    int32_t unstored[2] = {1, 1};
    StrStore htmlExtensions, javaExtensions, cExtensions, vbScriptExtensions, delphiExtensions,
        textExtensions, perlExtensions, sqlExtensions, cssExtensions;
    StrStore defaultFileExtension;
    StrStore tabStops;
    StrStore delimiters;
    std::unique_ptr<TFont> editorFont; // "Courier New", 9
    StrStore scratchPad1File, scratchPad2File;
    int32_t editorBackgroundColor = 0xFFFFFF;
    int32_t editorFontColor = 0x800000;
    int32_t editorLineNumberColor = 0;
    StrStore browserPreviewExtensions;
    // Line ends of saved documents: 1 Windows, 2 Unix, 3 Mac; anything else Windows.
    int32_t fileFormat = 1;
};

class toolsclass {
public:
    int32_t defaultDragAndDropTool = 2;
    uint32_t flags = 0x3FFF0001;
    StrStore lastToolFilename;
    StrStore lastValidateToolFilename;
};

class volatileclass {
public:
    volatileclass();
    ~volatileclass();
    volatileclass(const volatileclass&) = delete;
    volatileclass& operator=(const volatileclass&) = delete;

    StrStore programFolder;       // without a trailing backslash
    StrStore documentationFolder; // programFolder + "\Documentation"
    StrStore tempFolder;          // without a trailing backslash
    StrStore browserSourceTempFile;
    StrStore fileToValidate;
    int32_t hasCommandLine = 0;
    int32_t normalBoundsValid = 0;
    int32_t normalLeft = 0, normalTop = 0, normalWidth = 0, normalHeight = 0;
    int32_t optionsHandle = -1;
    NetworkConfigClass network;
    StringArrayStore commandQueue;
    HMODULE engineModule = nullptr;
    int32_t engineVersion = 0;
    int32_t updateCheckDue = 0;
    int32_t closing = 0;
    bool firstTimeAfterInstall = true;
    HWND dialogOwner = nullptr; // owner of the tool dialog while it is open
    StringArrayStore openFiles;

    // One syntax parser of each kind, shared by every document.
    std::unique_ptr<TSimpleParser> htmlParser, cParser, perlParser, delphiParser, vbScriptParser, javaParser,
        sqlParser;
    TSimpleParser* cssParser = nullptr; // the main window's, when it has one
    // Memo sources of the main window (made by the memo-source factory).
    TCustomMemoSource* readOnlySource = nullptr;
    TCustomMemoSource* structureSource = nullptr;
    TCustomMemoSource* scratchPad1 = nullptr;
    TCustomMemoSource* scratchPad2 = nullptr;
    TCustomMemoSource* browserSource = nullptr;

    PointerArrayManager documents; // fileinfoclass*, owned
    PointerArrayManager tabs;      // tabinfoclass*, owned
    PointerArrayManager undoFiles; // fileinfoclass* replaced by tool runs, owned
    PointerArrayManager inserters; // inserterclass*, owned
};

class prgclass {
public:
    prgclass();
    ~prgclass();
    prgclass(const prgclass&) = delete;
    prgclass& operator=(const prgclass&) = delete;

    interfaceclass* iface = nullptr;
    volatileclass* vol = nullptr;
    prgconfigclass* config = nullptr;
    toolsclass* tools = nullptr;
    char* buffer = nullptr;
    UpdateCheckState* updateCheck = nullptr; // owned; UpdateCheck() reaches it
    HANDLE downloadSemaphore = nullptr;      // "ZELDownloadURLsSemaphore"
    int32_t alive = 1;
};

// The process's application-state record; null before start-up made it and after shutdown.
extern prgclass* p;

// Makes the memo sources of the records; the window layer installs its own subclass's maker
// before start-up, a plain text model is made otherwise.
using MemoSourceFactory = TCustomMemoSource* (*)();
void SetMemoSourceFactory(MemoSourceFactory factory);
TCustomMemoSource* NewMemoSource();

// File dialog view styles: 0 to 3 map to themselves, anything else to -1 (to the registry) or
// 3 (from the registry, 0 to 2 kept).
int32_t ViewStyleToSetting(int32_t viewStyle);
int32_t SettingToViewStyle(int32_t stored);

constexpr const char* ZelRegistryRoot = "Software\\Nortavia\\ZEL Orvalent Lite v2";
constexpr const char* ZelRegistryInterface = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Interface";
constexpr const char* ZelRegistryOptions = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Options";
constexpr const char* ZelRegistryTools = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Tools";
constexpr const char* ZelRegistryLastOpenFiles =
    "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\LastOpenFiles";
constexpr const char* ZelRegistryReopen = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Reopen";
constexpr const char* ZelRegistryFileFilters =
    "Software\\Nortavia\\ZEL Orvalent Lite v2\\Editor\\Shell\\FileFilters";
