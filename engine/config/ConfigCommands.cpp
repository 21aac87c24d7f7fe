// The work of ZELHTMLConfiguration: loading, reporting, resetting and choosing the validation configuration
// of an options object, and the configuration open dialog.
#include "engine/config/ConfigOptions.h"

#include "engine/EngineContext.h"
#include "engine/EngineMessageBox.h"
#include "engine/EngineStores.h"
#include "engine/config/CfgStore.h"
#include "engine/include/ZelValidator.h"

#include <commdlg.h>

#include <string>

namespace {

enum : int32_t {
    LoadDefault = ZEL_CFG_LOADDEFAULT,
    Empty = ZEL_CFG_EMPTY,
    Defaults = ZEL_CFG_DEFAULTS,
    Reset = ZEL_CFG_RESET,
    OpenDialog = ZEL_CFG_OPENDIALOG,
    Report = ZEL_CFG_REPORT,
    ErrorBox = ZEL_CFG_ERRORBOX,
    SuccessBox = ZEL_CFG_SUCCESSBOX,
    LoadSecond = ZEL_CFG_LOADSECOND,
    Silent = ZEL_CFG_SILENT,
    Refused = ZEL_CFG_REFUSED,
};

constexpr size_t kMaxName = 512;

bool platformFileDialog(HWND owner, const std::string& start, std::string& chosen) {
    char file[kMaxName + 1] = {};
    start.copy(file, kMaxName);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = "Orvalent Config Files (*.cfg)\0*.cfg\0All Files (*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = "cfg";
    ofn.lpstrTitle = "Specify Configuration File and Click Open";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_EXPLORER;
    if (!GetOpenFileNameA(&ofn))
        return false;
    chosen = file;
    return true;
}

ConfigFileDialogFn gFileDialog = platformFileDialog;

int32_t htmlConfiguration(HWND window, int32_t handle, int32_t flags) {
    ConfigClass* options = optionsObject(handle);
    if (!options)
        return ZELError(-1, "ZELHTMLConfiguration", kBadHandle);
    if (flags & Refused)
        return -9;

    if (flags & (LoadDefault | LoadSecond)) {
        const StrStore& name = (flags & LoadSecond) ? options->general.SecondConfigurationFileName
                                                    : options->general.DefaultConfigurationFileNameV30;
        if (!options->cfgStore)
            options->cfgStore = newCfgStore(*options);
        // A failed load leaves the configuration that was working in place.
        const int32_t loaded =
            options->cfgStore ? options->cfgStore->load(name.getString()) : CFG_LOAD_REFUSED;
        if (loaded != CFG_LOAD_OK) {
            if (flags & Report)
                htmlConfiguration(window, handle, ErrorBox);
            makeOptionsCurrent(*options, window);
            return loaded == CFG_LOAD_NOT_OPENED ? -3 : -2;
        }
        options->resetStateWords();
        if (flags & Report)
            htmlConfiguration(window, handle, SuccessBox);
    }

    if (flags & (Empty | Defaults)) {
        CfgStore* store = makeOptionsCurrent(*options, window);
        if (flags & Reset) {
            bool ok = store != nullptr;
            if (store && (flags & Empty))
                ok = store->reset() == 1;
            if (store && (flags & Defaults) && store->setDefaults() != 1)
                ok = false;
            options->resetStateWords();
            if (!(flags & Silent)) {
                if (ok)
                    engineMessageBox(window, "The configuration has been reset.",
                                     "Orvalent: Configuration Reset", ZEL_BOX_INFO);
                else
                    engineMessageBox(window, "An error occurred while resetting the configuration.",
                                     "Orvalent: Configuration Not Reset", ZEL_BOX_ERROR);
            }
        }
    }

    int32_t result = handle;
    if (flags & OpenDialog) {
        makeOptionsCurrent(*options, window);
        options->resetStateWords();
        if (configurationOpenDialog(window, true, (flags & Report) != 0) < 0)
            result = -5;
    }

    if (flags & ErrorBox)
        engineMessageBox(window, "An error occurred loading the configuration.",
                         "Orvalent: Error Loading Configuration File", ZEL_BOX_ERROR);
    if (flags & SuccessBox)
        engineMessageBox(window, "The configuration was loaded successfully.", "Orvalent: Success",
                         ZEL_BOX_INFO);
    return result;
}

bool fileExists(const std::string& name) {
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

ConfigFileDialogFn setConfigFileDialog(ConfigFileDialogFn fn) {
    ConfigFileDialogFn old = gFileDialog;
    gFileDialog = fn ? fn : platformFileDialog;
    return old;
}

int32_t configurationOpenDialog(HWND owner, bool alwaysShow, bool report) {
    EngineContext& ctx = engineContext();
    ConfigClass* options = ctx.currentOptions;
    if (!options)
        return -1;
    const int32_t handle = options->handle;
    std::string name;
    if (static_cast<size_t>(options->general.DefaultConfigurationFileNameV30.getStringLength()) < kMaxName)
        name = options->general.DefaultConfigurationFileNameV30.getString();
    if (alwaysShow || name.empty()) {
        std::string chosen;
        if (!gFileDialog(owner, name, chosen))
            return 1;
        name = chosen.substr(0, kMaxName);
    }

    if (!fileExists(name)) {
        std::string text = "There was an error opening the configuration file \"" + name +
                           "\". The configuration could not be loaded.";
        engineMessageBox(owner, text.c_str(), "Orvalent: Error Opening Configuration", ZEL_BOX_ERROR);
        if (!name.empty() && name[0] == '\\')
            engineMessageBox(
                owner,
                "It is possible that this problem was caused by missing or corrupted registry "
                "settings. If this is the case, it is recommended that you reinstall Orvalent into "
                "the same directory as it is currently installed in to restore any missing registry "
                "settings, then rerun Orvalent.",
                "Orvalent: Possible Cause", ZEL_BOX_ERROR);
        return -1;
    }

    if (options->general.SecondConfigurationFileName.assign(name.c_str()) == 1 &&
        htmlConfiguration(owner, handle, LoadSecond) >= 0) {
        if (report)
            htmlConfiguration(owner, handle, SuccessBox);
        return 0;
    }
    std::string text =
        "The configuration file \"" + name +
        "\" contains corrupt data, is not a configuration file, or is for a different version of "
        "ZEL Orvalent. No configuration could be loaded.";
    engineMessageBox(owner, text.c_str(), "Orvalent: Corrupt Configuration File", ZEL_BOX_ERROR);
    htmlConfiguration(owner, handle, Reset | Defaults);
    return -1;
}

int32_t configurationCommand(HWND window, int32_t optionsHandle, int32_t flags) {
    return htmlConfiguration(window, optionsHandle, flags);
}
