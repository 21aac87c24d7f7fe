// Construction and destruction of the options and job objects (the results object, which owns
// what a run built, is the run's). A freed object takes itself out of the engine's record of
// current objects, so no later call can reach freed memory.
#include "engine/ConfigClass.h"
#include "engine/EngineContext.h"
#include "engine/JobClass.h"
#include "engine/config/CfgStore.h"

ConfigClass::ConfigClass() : ValidatorBaseClass(0) {
    resetStateWords();
    const StrStore& install = engineContext().installFolder;
    log.LogFileNameV30.assign(install);
    log.LogFileNameV30.append("\\log.txt");
    general.DefaultConfigurationFileNameV30 = defaultConfigurationFileName();
    general.OutputFileV30.assign(install);
    general.OutputFileV30.append("\\output.txt");
    network.Strings[1].assign("80");
    network.Strings[4].assign("ZEL Orvalent Lite v3.00");
    network.Strings[5].assignInt(network.Number);
}

ConfigClass::~ConfigClass() {
    if (engineStarted()) {
        EngineContext& ctx = engineContext();
        if (ctx.currentOptions == this)
            ctx.currentOptions = nullptr;
        engineForgetCfgStore(cfgStore);
    }
    delete cfgStore;
    cfgStore = nullptr;
}

void ConfigClass::resetStateWords() {
    static const int32_t initial[9] = {-1, -1, -1, -1, -1, -1, 0, 1, -1};
    for (int i = 0; i < 9; ++i)
        stateWords[i] = initial[i];
}

StrStore ConfigClass::defaultConfigurationFileName() {
    StrStore name(engineContext().installFolder);
    name.append("\\orvalenlite30.cfg");
    return name;
}

JobClass::~JobClass() {
    if (engineStarted() && engineContext().currentJob == this)
        engineContext().currentJob = nullptr;
}
