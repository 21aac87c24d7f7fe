#pragma once
// The object behind an options handle: every setting of the engine, with its defaults.
// Registry storage, copying and making current live with the configuration code.

#include "engine/OptionDefaults.h"
#include "engine/ValidatorBaseClass.h"
#include "engine/utils/ErrorStore.h"
#include "engine/utils/StrStore.h"

#include <windows.h>

#include <cstdint>

class CfgStore;
class TValOptionsForm;

struct LogConfigClass {
    uint32_t Flags40 = zel::defaults::LoggingFlags;
    StrStore LogFileNameV30;
};

struct ValidatorConfigClass {
    uint32_t EntityFlags40 = zel::defaults::EntityFlags;
    uint32_t OutputFlags40 = zel::defaults::OutputFlags;
    uint32_t Switches500 = zel::defaults::Switches500;
    uint32_t ValidatorFlags40 = zel::defaults::ValidatorFlags;
    int32_t LineLength = zel::defaults::LineLength;
    int32_t MaximumErrors = zel::defaults::MaximumErrors;
    int32_t MaximumWarnings = zel::defaults::MaximumWarnings;
    uint32_t Switches[6] = {zel::defaults::SwitchWord, zel::defaults::SwitchWord,
                            zel::defaults::SwitchWord, zel::defaults::SwitchWord,
                            zel::defaults::SwitchWord, zel::defaults::SwitchWord}; // 1-180
    int32_t FurtherInteger = zel::defaults::FurtherInteger;
    uint32_t ValidatorFlags250 = zel::defaults::ValidatorFlags250;
    uint32_t FurtherFlags = zel::defaults::FurtherFlags;
};

struct ToolsConfigClass {
    StrStore DefaultDateFormat{zel::defaults::DateFormat};
    StrStore DefaultTimeFormat{zel::defaults::TimeFormat};
    int32_t ConvertToolFileType =
        zel::defaults::ConvertToolFileType; // line end: 1 CR LF, 2 CR, 3 LF, other CR LF
    uint32_t Flags40 = zel::defaults::ToolsFlags;
};

struct GeneralConfigClass {
    uint32_t Flags40 = zel::defaults::GeneralFlags;
    StrStore DefaultConfigurationFileNameV30;
    StrStore OutputViewer{zel::defaults::OutputViewer};
    StrStore OutputFileV30;
    StrStore SecondConfigurationFileName;
};

struct NetworkConfigClass {
    uint32_t Flags40 = zel::defaults::NetworkFlags;
    // Strings 1-4 are option strings 7002, 7003, 7006, 7007; string 5 is built at construction;
    // string 6 holds the number as text for 7009.
    StrStore Strings[6];
    int32_t Number = zel::defaults::NetworkNumber;
    int32_t Number2 = zel::defaults::NetworkNumber2;
};

struct WindowConfigClass {
    int32_t ProgressBarLeft = zel::defaults::ProgressBarLeft;
    int32_t ProgressBarTop = zel::defaults::ProgressBarTop;
};

class ConfigClass : public ValidatorBaseClass {
public:
    using SortFunction = int (*)(const void* store, int32_t a, int32_t b);

    ConfigClass();
    ~ConfigClass() override;
    ConfigClass(const ConfigClass&) = delete;
    ConfigClass& operator=(const ConfigClass&) = delete;

    // The nine words that record the configuration store's use: reset after every load.
    void resetStateWords();
    // install folder + "\orvalenlite30.cfg"
    static StrStore defaultConfigurationFileName();

    HKEY rootKey = HKEY_CURRENT_USER;
    StrStore keyPath{"Software\\Nortavia\\ZEL Orvalent Lite v2\\Validator DLL"};
    int32_t stateWords[9];
    TValOptionsForm* optionsDialog = nullptr;
    LogConfigClass log;
    ValidatorConfigClass validator;
    ToolsConfigClass tools;
    GeneralConfigClass general;
    NetworkConfigClass network;
    WindowConfigClass window;
    ErrorStore errors;
    CfgStore* cfgStore = nullptr; // owned; created on first use
    SortFunction sortFunction = nullptr;
};
