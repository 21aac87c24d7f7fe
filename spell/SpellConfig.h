#pragma once
// TOrthosConfig: the user's spell-checking configuration (dictionaries in use, the receiving user
// dictionary, the options, the spell dialog's last place, added dictionary folders and free user
// data). Loaded on first use from the store its owner chooses (an INI file, the registry, the
// owner's events or nothing), kept in memory and written back on demand.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/Object.h"
#include "framework/core/Strings.h"

enum TSpellOption {
    soLiveSpelling,
    soLiveCorrect,
    soUpcase,
    soNumbers,
    soHTML,
    soInternet,
    soQuoted,
    soAbbreviations,
    soPrimaryOnly,
    soRepeated,
    soUser1,
    soUser2,
    soUser3,
    soUser4
};
using TSpellOptions = uint16_t;
constexpr TSpellOptions SpellOptionBit(TSpellOption o) {
    return static_cast<TSpellOptions>(1u << o);
}

// Scoped: the text model has a csNone of its own, and the editor includes both.
enum class TConfigStorage : int32_t { csFile, csRegistry, csCallback, csNone };

class TCustomIniFile;
class TOrthosSpell3Base;

class TOrthosConfig : public TObject {
public:
    TOrthosConfig();
    ~TOrthosConfig() override;

    bool Changed = false;
    TStringList MainDictionaries;
    TStringList CustomDictionaries;
    TStringList MSWordCustomDictionaries;
    std::string ActiveCustom; // as stored: variables not expanded
    TStringList UserDataNames;
    TStringList UserDataValues;
    TSpellOptions SpellOptions = 0;
    int32_t DialogX = -1, DialogY = -1;
    TStringList NewDictionaryPaths;       // sorted, duplicates ignored
    TCustomIniFile* IniFile = nullptr;    // open only during a load or save
    TCustomIniFile* RegIniFile = nullptr; // open only during a load or save
    TConfigStorage StorageKind = TConfigStorage::csRegistry;
    std::string IniFileName;
    std::string RegistryKey;
    std::string Section;
    bool Loaded = false;
    TOrthosSpell3Base* Owner = nullptr; // not owned
    bool ForceDefaults = false;

    virtual void WriteActiveCustom(const std::string& Value);
    virtual void WriteLoaded(bool Value);
    virtual void WriteSpellOptions(TSpellOptions Value);
    virtual void WriteDialogX(int32_t Value);
    virtual void WriteDialogY(int32_t Value);
    virtual TStringList& ReadMainDictionaries();
    virtual TStringList& ReadCustomDictionaries();
    virtual TStringList& ReadMSWordCustomDictionaries();
    virtual std::string ReadActiveCustom(); // expanded
    virtual TSpellOptions ReadSpellOptions();
    virtual int32_t ReadDialogX();
    virtual int32_t ReadDialogY();
    virtual TStringList& ReadNewDictionaryPaths();
    virtual void NotifyDictionariesChanged(TObject* Sender);
    virtual void FireOnConfigChanged(bool DictionariesChanged);
    virtual void ReadWriteStringList(const std::string& Key, TStringList& List, bool Reading);
    virtual std::string ReadString(const std::string& Key, const std::string& Default);
    virtual void WriteString(const std::string& Key, const std::string& Value);
    virtual void LoadConfiguration();
    virtual void EnsureLoaded();
    virtual std::string GetConfigurationData(const std::string& Name);
    virtual void SetConfigurationData(const std::string& Name, const std::string& Value);
    virtual void ResetConfigurationDefaults();
    virtual void ReloadConfiguration();
    virtual void SaveConfiguration();

private:
    void OpenStore();
    void CloseStore();
    std::unique_ptr<TCustomIniFile> FStore;
};
