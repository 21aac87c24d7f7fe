// Registry storage of the engine options.
#include "engine/config/ConfigOptions.h"

#include "engine/EngineContext.h"
#include "engine/EngineMessageBox.h"
#include "engine/OptionBits.h"
#include "engine/include/ZelValidator.h"
#include "engine/utils/QXRegistryEx.h"
#include "framework/core/ScopeGuard.h"

#include <exception>
#include <string>

namespace {

// Registry values are 32-bit integers; the option words are kept unsigned.
void readWord(QXRegistryEx& reg, const char* name, uint32_t& word) {
    int32_t v = static_cast<int32_t>(word);
    reg.ReadInteger(name, &v);
    word = static_cast<uint32_t>(v);
}

void readText(QXRegistryEx& reg, const char* name, StrStore& text) {
    reg.ReadString(name, &text, QXRegistryEx::WriteBack);
}

// Opens key path + subkey under the object's root, creating it.
bool openSection(QXRegistryEx& reg, const ConfigClass& options, const char* subkey) {
    std::string path = options.keyPath.getString();
    path += subkey;
    return reg.OpenKey(path, true);
}

// Runs body with the section open under the object's root, creating it; false when it cannot be
// opened. The section is closed however body ends.
template <typename Body>
bool withSection(QXRegistryEx& reg, const ConfigClass& options, const char* subkey, Body&& body) {
    TScopeGuard close([&reg] { reg.CloseKey(); });
    if (!openSection(reg, options, subkey))
        return false;
    body();
    return true;
}

} // namespace

int32_t readOptionsFromRegistry(ConfigClass& options) {
    EngineContext& ctx = engineContext();
    bool ok = true;
    QXRegistryEx reg(QXRegistryEx::UseFallback);
    if (reg.OpenKey(ZEL_PRODUCT_KEY, true)) {
        try {
            reg.WriteString("Version", "3.00");
        } catch (const std::exception&) {
            ok = false;
        }
    } else {
        ok = false;
    }
    reg.CloseKey();
    reg.SetRootKey(options.rootKey);

    ok &= withSection(reg, options, "\\Logging", [&] {
        readWord(reg, "Flags40", options.log.Flags40);
        readText(reg, "LogFileNameV30", options.log.LogFileNameV30);
    });

    ok &= withSection(reg, options, "\\Tools", [&] {
        readText(reg, "DefaultTimeFormat", options.tools.DefaultTimeFormat);
        readText(reg, "DefaultDateFormat", options.tools.DefaultDateFormat);
        readWord(reg, "Flags40", options.tools.Flags40);
        reg.ReadInteger("ConvertToolFileType", &options.tools.ConvertToolFileType);
    });

    ok &= withSection(reg, options, "\\General", [&] {
        GeneralConfigClass& g = options.general;
        readWord(reg, "Flags40", g.Flags40);
        readText(reg, "DefaultConfigurationFileNameV30", g.DefaultConfigurationFileNameV30);
        if (g.DefaultConfigurationFileNameV30.isEmpty()) {
            g.DefaultConfigurationFileNameV30 = ConfigClass::defaultConfigurationFileName();
        } else if (g.DefaultConfigurationFileNameV30.charAt(0) == '\\') {
            StrStore full(ctx.installFolder);
            full.append(g.DefaultConfigurationFileNameV30);
            g.DefaultConfigurationFileNameV30 = full;
        }
        readText(reg, "OutputViewer", g.OutputViewer);
        readText(reg, "OutputFileV30", g.OutputFileV30);
        readText(reg, "HelpFileQuillmar", ctx.helpFile);
        if (ctx.helpFile.isEmpty()) {
            ctx.helpFile.assign(ctx.installFolder);
            ctx.helpFile.append("\\validator.hlp");
        }
    });

    ok &= withSection(reg, options, "\\Validator", [&] {
        ValidatorConfigClass& v = options.validator;
        readWord(reg, "EntityFlags40", v.EntityFlags40);
        readWord(reg, "OutputFlags40", v.OutputFlags40);
        readWord(reg, "ValidatorFlags40", v.ValidatorFlags40);
        readWord(reg, "ValidatorFlags250", v.ValidatorFlags250);
        reg.ReadInteger("LineLength", &v.LineLength);
        reg.ReadInteger("MaximumErrors", &v.MaximumErrors);
        reg.ReadInteger("MaximumWarnings", &v.MaximumWarnings);
    });

    ok &= withSection(reg, options, "\\Interface", [&] {
        reg.ReadInteger("ProgressBarLeft", &options.window.ProgressBarLeft);
        reg.ReadInteger("ProgressBarTop", &options.window.ProgressBarTop);
    });

    options.validator.ValidatorFlags40 &= ~zel::bits::validator::ClearedOnCreate;
    return ok ? 0 : -1;
}

int32_t writeOptionsToRegistry(ConfigClass& options) {
    bool ok = true;
    QXRegistryEx reg(QXRegistryEx::UseFallback);
    reg.SetRootKey(options.rootKey);
    // Each section on its own: a refused write fails the whole write but not the other sections.
    auto section = [&](const char* subkey, auto&& body) {
        try {
            ok &= withSection(reg, options, subkey, body);
        } catch (const std::exception&) {
            ok = false;
        }
    };
    section("\\Logging", [&] {
        reg.WriteInteger("Flags40", static_cast<int32_t>(options.log.Flags40));
        reg.WriteStrStore("LogFileNameV30", options.log.LogFileNameV30);
    });
    section("\\Tools", [&] {
        reg.WriteStrStore("DefaultTimeFormat", options.tools.DefaultTimeFormat);
        reg.WriteStrStore("DefaultDateFormat", options.tools.DefaultDateFormat);
        reg.WriteInteger("Flags40", static_cast<int32_t>(options.tools.Flags40));
        reg.WriteInteger("ConvertToolFileType", options.tools.ConvertToolFileType);
    });
    section("\\General", [&] {
        reg.WriteInteger("Flags40", static_cast<int32_t>(options.general.Flags40));
        reg.WriteStrStore("DefaultConfigurationFileNameV30", options.general.DefaultConfigurationFileNameV30);
        reg.WriteStrStore("OutputViewer", options.general.OutputViewer);
        reg.WriteStrStore("OutputFileV30", options.general.OutputFileV30);
    });
    section("\\Validator", [&] {
        const ValidatorConfigClass& v = options.validator;
        reg.WriteInteger("EntityFlags40", static_cast<int32_t>(v.EntityFlags40));
        reg.WriteInteger("OutputFlags40", static_cast<int32_t>(v.OutputFlags40));
        reg.WriteInteger("ValidatorFlags40", static_cast<int32_t>(v.ValidatorFlags40));
        reg.WriteInteger("ValidatorFlags250", static_cast<int32_t>(v.ValidatorFlags250));
        reg.WriteInteger("LineLength", v.LineLength);
        reg.WriteInteger("MaximumErrors", v.MaximumErrors);
        reg.WriteInteger("MaximumWarnings", v.MaximumWarnings);
    });
    section("\\Interface", [&] {
        reg.WriteInteger("ProgressBarLeft", options.window.ProgressBarLeft);
        reg.WriteInteger("ProgressBarTop", options.window.ProgressBarTop);
    });
    return ok ? 0 : -1;
}
