#pragma once
// What the family's setup tools use: uninstall information, help contents files, file-template
// macros, set-up checks, shell links and the CD drive's volume.

#include <cstdint>
#include <string>

#include "framework/core/Win.h"

class TStrings;

// Where uninstall information lives: HKEY_LOCAL_MACHINE and
// "Software\Microsoft\Windows\CurrentVersion\Uninstall" unless a test points it elsewhere.
void SetUninstallLocation(HKEY Root, const std::string& Key);
void ResetUninstallLocation();

// The subkey Name with "DisplayName" = Name and "UninstallString" = Command.
bool AddUnInstaller(const std::string& Name, const std::string& Command);
// Deletes the subkey with everything below it.
bool RemoveUnInstaller(const std::string& Name);
bool IsAppInstalled(const std::string& Name);
// Empty when the subkey or the value is missing.
std::string GetUnInstallInfo(const std::string& Name, const std::string& ValueName);
bool AddUnInstallInfo(const std::string& Name, const std::string& ValueName, const std::string& Value);
// Each file name as an integer value 0 under the subkey's "Files" key.
bool AddUnInstallFilesInfo(const std::string& Name, const TStrings* Files);
// Appends the value names of "Files".
void GetUninstallFilesInfo(const std::string& Name, TStrings* Files);
bool RemoveUninstallFilesInfo(const std::string& Name);

// The versions of the framework's design environments, of its two product lines, oldest first;
// the kit's own is the last.
enum TIDEVersion { ideA2, ideB1, ideA3, ideB3, ideA4, ideB4, ideA5, ideB5 };
// The key under which a version keeps its settings, below the base that the environments share
// ("Software\Component Framework" unless a test points it elsewhere): "<base>\IDE A\5.0".
std::string IDERegistryKey(TIDEVersion Version);
void SetIDERegistryBase(const std::string& Key);
void ResetIDERegistryBase();
// Registers a package with the version for the current user: the string value FileName =
// Description under the version's "Known Packages" key, made when missing. False when it cannot
// be written.
bool AddInstalledPackage(TIDEVersion Version, const std::string& FileName, const std::string& Description);
// Reduces a command-line compiler's output to its error lines: those that carry "Error:" or
// "Fatal:", leaving out the compiler's banner.
void ConvertErrors(TStrings* Output);

// Opens or creates the key with full access; nil on failure. The caller closes it.
HKEY CreateRegKey(HKEY Root, const std::string& Path);
bool ChangeRegStrValue(HKEY Key, const std::string& Name, const std::string& Value);

// Removes the entry whose value part is HelpFile, then adds "Title =HelpFile" after the index
// section's ":Index " lines (at the top when there are none). False when the file cannot be read
// or written; the file is then unchanged.
bool AddHelpToCntFile(const std::string& CntFile, const std::string& HelpFile, const std::string& Title);
bool RemoveHelpFromCntFile(const std::string& CntFile, const std::string& HelpFile);

// Replaces "%SYSTEM%", "%WINDOWS%" and "%PROGRAMFILES%" (case as written) by those folders, each
// with a trailing backslash.
std::string ProcessFileTemplate(const std::string& Text);

// When a design environment's main or inspector window is open, warns (box "Installation
// Warning", OK and Cancel) and answers whether to go on; true when none is open.
bool InstallCheckRunningIDE(const std::string& ProductName);
// When ProductName is installed, advises removing it first (box "Installation Error", OK to go
// on, Cancel to stop); true to go on.
bool InstallCheckPrevVersion(const std::string& ProductName);

// A shell link to Target saved as LinkFile; Description and WorkDir only when not empty.
bool CreateLink(const std::string& Target, const std::string& LinkFile, const std::string& Description,
                const std::string& WorkDir);

// The first auxiliary audio device with volume control; -1 when none.
int32_t GetCDDeviceID();
// Both channels to Volume * 256; nothing without a device.
void SetCDAudioVolume(int32_t Volume);
// The mean of the two channels in the units SetCDAudioVolume takes; -1 without a device.
int32_t GetCDAudioVolume();
