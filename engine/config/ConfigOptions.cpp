// Copying options objects and making one current.
#include "engine/config/ConfigOptions.h"

#include "engine/EngineContext.h"
#include "engine/EngineStores.h"

void copyOptions(const ConfigClass& from, ConfigClass& to) {
    to.general.Flags40 = from.general.Flags40;
    to.general.DefaultConfigurationFileNameV30 = from.general.DefaultConfigurationFileNameV30;
    to.general.OutputViewer = from.general.OutputViewer;
    to.general.OutputFileV30 = from.general.OutputFileV30;
    to.general.SecondConfigurationFileName = from.general.SecondConfigurationFileName;
    to.log.Flags40 = from.log.Flags40;
    to.log.LogFileNameV30 = from.log.LogFileNameV30;
    to.network.Flags40 = from.network.Flags40;
    for (int i = 0; i < 6; ++i)
        to.network.Strings[i] = from.network.Strings[i];
    to.network.Number = from.network.Number;
    to.network.Number2 = from.network.Number2;
    to.validator = from.validator;
    // The copy shares nothing: its store and dialog are its own business.
    if (to.cfgStore) {
        engineForgetCfgStore(to.cfgStore);
        deleteCfgStore(to.cfgStore);
    }
    to.cfgStore = nullptr;
    to.optionsDialog = nullptr;
}

int32_t copyOptionsHandle(int32_t from, int32_t to, int32_t flags) {
    if (!(flags & 1))
        return 0;
    ConfigClass* source = optionsObject(from);
    ConfigClass* target = optionsObject(to);
    if (!source || !target)
        return ZELError(-1, "ZELHandleOperation", kBadHandle);
    if (source != target)
        copyOptions(*source, *target);
    return 0;
}

CfgStore* makeOptionsCurrent(ConfigClass& options, HWND) {
    if (!options.cfgStore)
        options.cfgStore = newCfgStore(options);
    EngineContext& ctx = engineContext();
    ctx.currentOptions = &options;
    ctx.currentCfgStore = options.cfgStore;
    return options.cfgStore;
}
