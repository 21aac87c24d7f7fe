#pragma once
// What the engine does with an options object beyond its fields: registry storage, copying,
// making it current, and the configuration open dialog.

#include "engine/ConfigClass.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The product key: "Version" is written here at every read.
constexpr const char* ZEL_PRODUCT_KEY = "Software\\Nortavia\\ZEL Orvalent Lite v2";

// Reads every group (missing values are written back with their defaults); 0, or -1 when a key
// could not be opened.
int32_t readOptionsFromRegistry(ConfigClass& options);
// Writes every group; 0, or -1 when a key could not be opened or a value not written.
int32_t writeOptionsToRegistry(ConfigClass& options);

// The work of ZELHTMLConfiguration on the options object of a handle (the flags are the export's).
int32_t configurationCommand(HWND window, int32_t optionsHandle, int32_t flags);

// Copies the general, logging and network groups and the sixteen validator words; the copy has
// no configuration store and no dialog of its own.
void copyOptions(const ConfigClass& from, ConfigClass& to);
// The same between handles (flag 1); -1 after the bad-handle box, 0 without flag 1.
int32_t copyOptionsHandle(int32_t from, int32_t to, int32_t flags);

// Creates the configuration store when missing and makes the object and its store the engine's
// current ones. The store, or NULL when it cannot be made.
CfgStore* makeOptionsCurrent(ConfigClass& options, HWND window);

// The open-file dialog of the configuration open dialog; tests replace it. Returns false on
// cancel; the chosen name otherwise.
using ConfigFileDialogFn = bool (*)(HWND owner, const std::string& start, std::string& chosen);
ConfigFileDialogFn setConfigFileDialog(ConfigFileDialogFn fn);

// Lets the user pick a configuration file and loads it into the current options: 0 loaded,
// 1 cancelled, -1 failed (after its boxes).
int32_t configurationOpenDialog(HWND owner, bool alwaysShow, bool report);
