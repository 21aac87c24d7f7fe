#pragma once
// The object behind an options handle: every setting of the engine, with its defaults.
// Registry storage, copying and making current live with the configuration code.

#include "engine/ValidatorBaseClass.h"
#include "engine/utils/ErrorStore.h"
#include "engine/utils/StrStore.h"

#include <windows.h>

#include <cstdint>

class CfgStore;
class TValOptionsForm;

struct LogConfigClass {
    uint32_t Flags40 = 0x1FFF4;
    StrStore LogFileNameV30;
};

struct ValidatorConfigClass {
    uint32_t EntityFlags40 = 0x3FFE0003;
    uint32_t OutputFlags40 = 0x3FE0076B;
    uint32_t Switches500 = 0x7FFFFFFF; // switches 500-529
    uint32_t ValidatorFlags40 = 0x3F01E317;
    int32_t LineLength = 60;
    int32_t MaximumErrors = 20;
    int32_t MaximumWarnings = 20;
    uint32_t Switches[6] = {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}; // 1-180
    int32_t FurtherInteger = 50;
    uint32_t ValidatorFlags250 = 0x3FFF8000;
    uint32_t FurtherFlags = 0x3FFF8001;
};

struct ToolsConfigClass {
    StrStore DefaultDateFormat{"ddd',' MMM dd yyyy"};
    StrStore DefaultTimeFormat{"hh':'mm':'ss tt"};
    int32_t ConvertToolFileType = 1; // line end: 1 CR LF, 2 CR, 3 LF, other CR LF
    uint32_t Flags40 = 32767;
};

struct GeneralConfigClass {
    uint32_t Flags40 = 0x3FFC0005;
    StrStore DefaultConfigurationFileNameV30;
    StrStore OutputViewer{"notepad.exe"};
    StrStore OutputFileV30;
    StrStore SecondConfigurationFileName;
};

struct NetworkConfigClass {
    uint32_t Flags40 = 32766;
    // Strings 1-4 are option strings 7002, 7003, 7006, 7007; string 5 is built at construction;
    // string 6 holds the number as text for 7009.
    StrStore Strings[6];
    int32_t Number = 30;
    int32_t Number2 = 15;
};

struct WindowConfigClass {
    int32_t ProgressBarLeft = 10;
    int32_t ProgressBarTop = 10;
};

class ConfigClass : public ValidatorBaseClass {
public:
    using SortFunction = int (*)(const void* store, int32_t a, int32_t b);

    ConfigClass();
    ~ConfigClass();
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
