#include "spell/SpellConfig.h"

#include <cstdlib>

#include "framework/core/IniFiles.h"
#include "framework/core/RegistryIniFile.h"
#include "framework/core/SysUtils.h"
#include "spell/SpellBase.h"
#include "spell/SpellUtils.h"

namespace {

struct OptionKey {
    TSpellOption option;
    const char* key;
};
// The order in which the options are read and written.
constexpr OptionKey kOptionKeys[] = {
    {soUpcase, "_soUpcase"},
    {soNumbers, "_soNumbers"},
    {soHTML, "_soHTML"},
    {soInternet, "_soInternet"},
    {soQuoted, "_soQuoted"},
    {soAbbreviations, "_soAbbreviations"},
    {soPrimaryOnly, "_soPrimaryOnly"},
    {soRepeated, "_soRepeated"},
    {soLiveSpelling, "_soLiveSpelling"},
    {soLiveCorrect, "_soLiveCorrect"},
    {soUser1, "_soUser1"},
    {soUser2, "_soUser2"},
    {soUser3, "_soUser3"},
    {soUser4, "_soUser4"},
};

// A decimal count; anything that is not a whole number counts as none.
int ParseCount(const std::string& s) {
    if (s.empty())
        return 0;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0' || v < 0 || v > 1000000)
        return 0;
    return static_cast<int>(v);
}

int32_t ParseInt(const std::string& s, int32_t Default) {
    if (s.empty())
        return Default;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (*end != '\0')
        return Default;
    return static_cast<int32_t>(v);
}

} // namespace

TOrthosConfig::TOrthosConfig() {
    NewDictionaryPaths.SetSorted(true);
    NewDictionaryPaths.SetDuplicates(dupIgnore);
    auto notify = [this](TObject* Sender) { NotifyDictionariesChanged(Sender); };
    MainDictionaries.OnChange = notify;
    CustomDictionaries.OnChange = notify;
    MSWordCustomDictionaries.OnChange = notify;
    NewDictionaryPaths.OnChange = notify;
}

TOrthosConfig::~TOrthosConfig() {
    // The owner may already be gone; without one there is no store to write to.
    if (Owner)
        SaveConfiguration();
    MainDictionaries.OnChange = nullptr;
    CustomDictionaries.OnChange = nullptr;
    MSWordCustomDictionaries.OnChange = nullptr;
    NewDictionaryPaths.OnChange = nullptr;
}

void TOrthosConfig::WriteActiveCustom(const std::string& Value) {
    if (Value == ActiveCustom)
        return;
    ActiveCustom = Value;
    if (CustomDictionaries.IndexOf(Value) < 0)
        CustomDictionaries.Add(Value);
    FireOnConfigChanged(true);
}

void TOrthosConfig::WriteLoaded(bool Value) {
    if (Value == Loaded)
        return;
    if (!Value) {
        SaveConfiguration();
        Loaded = false;
    } else {
        LoadConfiguration();
    }
}

void TOrthosConfig::WriteSpellOptions(TSpellOptions Value) {
    if (Value == SpellOptions)
        return;
    SpellOptions = Value;
    FireOnConfigChanged(false);
}

void TOrthosConfig::WriteDialogX(int32_t Value) {
    if (Value == DialogX)
        return;
    DialogX = Value;
    FireOnConfigChanged(false);
}

void TOrthosConfig::WriteDialogY(int32_t Value) {
    if (Value == DialogY)
        return;
    DialogY = Value;
    FireOnConfigChanged(false);
}

TStringList& TOrthosConfig::ReadMainDictionaries() {
    EnsureLoaded();
    return MainDictionaries;
}

TStringList& TOrthosConfig::ReadCustomDictionaries() {
    EnsureLoaded();
    return CustomDictionaries;
}

TStringList& TOrthosConfig::ReadMSWordCustomDictionaries() {
    EnsureLoaded();
    return MSWordCustomDictionaries;
}

std::string TOrthosConfig::ReadActiveCustom() {
    EnsureLoaded();
    return Owner ? Owner->ExpandVars(ActiveCustom) : ActiveCustom;
}

TSpellOptions TOrthosConfig::ReadSpellOptions() {
    EnsureLoaded();
    return SpellOptions;
}

int32_t TOrthosConfig::ReadDialogX() {
    EnsureLoaded();
    return DialogX;
}

int32_t TOrthosConfig::ReadDialogY() {
    EnsureLoaded();
    return DialogY;
}

TStringList& TOrthosConfig::ReadNewDictionaryPaths() {
    EnsureLoaded();
    return NewDictionaryPaths;
}

void TOrthosConfig::NotifyDictionariesChanged(TObject*) {
    FireOnConfigChanged(true);
}

void TOrthosConfig::FireOnConfigChanged(bool DictionariesChanged) {
    if (!Owner || !Loaded)
        return;
    Changed = true;
    Owner->FireConfigurationChanged(DictionariesChanged);
}

void TOrthosConfig::ReadWriteStringList(const std::string& Key, TStringList& List, bool Reading) {
    if (Reading) {
        int n = ParseCount(ReadString(Key + "_count", "0"));
        List.BeginUpdate();
        for (int i = 0; i < n; ++i) {
            std::string item = ReadString(Key + "_" + std::to_string(i), "");
            if (!item.empty())
                List.Add(item);
        }
        List.EndUpdate();
    } else {
        WriteString(Key + "_count", std::to_string(List.Count()));
        for (int i = 0; i < List.Count(); ++i)
            WriteString(Key + "_" + std::to_string(i), List[i]);
    }
}

std::string TOrthosConfig::ReadString(const std::string& Key, const std::string& Default) {
    if (!Owner)
        return Default;
    switch (Owner->ConfigStorage) {
    case TConfigStorage::csFile:
        return IniFile ? IniFile->ReadString(Section, Key, Default) : Default;
    case TConfigStorage::csRegistry:
        return RegIniFile ? RegIniFile->ReadString(Section, Key, Default) : Default;
    case TConfigStorage::csCallback:
        return Owner->FireReadString(Section, Key, Default);
    case TConfigStorage::csNone:
        break;
    }
    return Default;
}

void TOrthosConfig::WriteString(const std::string& Key, const std::string& Value) {
    if (!Owner)
        return;
    switch (Owner->ConfigStorage) {
    case TConfigStorage::csFile:
        if (IniFile)
            IniFile->WriteString(Section, Key, Value);
        break;
    case TConfigStorage::csRegistry:
        if (RegIniFile)
            RegIniFile->WriteString(Section, Key, Value);
        break;
    case TConfigStorage::csCallback:
        Owner->FireWriteString(Section, Key, Value);
        break;
    case TConfigStorage::csNone:
        break;
    }
}

void TOrthosConfig::OpenStore() {
    CloseStore();
    if (StorageKind == TConfigStorage::csFile) {
        FStore = std::make_unique<TIniFile>(IniFileName);
        IniFile = FStore.get();
    } else if (StorageKind == TConfigStorage::csRegistry) {
        FStore = std::make_unique<TRegistryIniFile>(RegistryKey);
        RegIniFile = FStore.get();
    }
}

void TOrthosConfig::CloseStore() {
    if (IniFile)
        IniFile->UpdateFile();
    IniFile = nullptr;
    RegIniFile = nullptr;
    FStore.reset();
}

void TOrthosConfig::LoadConfiguration() {
    Loaded = false;
    if (!Owner)
        return;
    StorageKind = Owner->ConfigStorage;
    Section = Owner->ExpandVars(Owner->ConfigID);
    if (StorageKind == TConfigStorage::csFile) {
        IniFileName = Owner->ExpandVars(Owner->ConfigFilename);
        std::string dir = ExtractFilePath(IniFileName);
        if (!dir.empty())
            ADForceDirectories(dir);
    } else if (StorageKind == TConfigStorage::csRegistry) {
        RegistryKey = Owner->ExpandVars(Owner->ConfigRegistryKey);
    }
    // The store is closed again however the load ends.
    struct Closer {
        TOrthosConfig* c;
        ~Closer() { c->CloseStore(); }
    } closer{this};
    OpenStore();

    bool first = ReadString("_FirstRun", "-") == "-" || ForceDefaults;
    ForceDefaults = false;
    if (first) {
        MainDictionaries.Assign(&Owner->ConfigDefaultMain);
        CustomDictionaries.Assign(&Owner->ConfigDefaultCustom);
        MSWordCustomDictionaries.Clear();
        if (Owner->ConfigUseMSWordCustom && Owner->ConfigDefaultUseMSWordCustom)
            MSWordCustomDictionaries.Assign(Owner->ReadAvailableMSWordCustom());
        SpellOptions = Owner->ConfigDefaultOptions;
        DialogX = DialogY = -1;
        NewDictionaryPaths.Clear();
        WriteActiveCustom(Owner->ExpandVars(Owner->ConfigDefaultActiveCustom));
    } else {
        MainDictionaries.Clear();
        ReadWriteStringList("_Main", MainDictionaries, true);
        CustomDictionaries.Clear();
        ReadWriteStringList("_Custom", CustomDictionaries, true);
        MSWordCustomDictionaries.Clear();
        ReadWriteStringList("_MSWordCustom", MSWordCustomDictionaries, true);
        WriteActiveCustom(ReadString("_ActiveCustom", ""));
        SpellOptions = 0;
        for (const OptionKey& k : kOptionKeys)
            if (ReadString(k.key, "-") == "+")
                SpellOptions |= SpellOptionBit(k.option);
        DialogX = ParseInt(ReadString("_DialogX", "-1"), -1);
        DialogY = ParseInt(ReadString("_DialogY", "-1"), -1);
        ReadWriteStringList("_NewPaths", NewDictionaryPaths, true);
        UserDataNames.Clear();
        UserDataValues.Clear();
        ReadWriteStringList("_UserData", UserDataNames, true);
        for (int i = 0; i < UserDataNames.Count(); ++i)
            UserDataValues.Add(ReadString("User_" + UserDataNames[i], ""));
    }
    Loaded = true;
    Changed = false;
    Owner->FireConfigLoaded();
    FireOnConfigChanged(true);
}

void TOrthosConfig::EnsureLoaded() {
    if (!Loaded)
        LoadConfiguration();
}

std::string TOrthosConfig::GetConfigurationData(const std::string& Name) {
    EnsureLoaded();
    for (int i = 0; i < UserDataNames.Count(); ++i)
        if (SameText(UserDataNames[i], Name))
            return i < UserDataValues.Count() ? UserDataValues[i] : std::string();
    return std::string();
}

void TOrthosConfig::SetConfigurationData(const std::string& Name, const std::string& Value) {
    EnsureLoaded();
    if (!Loaded)
        return;
    Changed = true;
    int found = -1;
    for (int i = 0; i < UserDataNames.Count() && found < 0; ++i)
        if (SameText(UserDataNames[i], Name))
            found = i;
    if (found >= 0 && found < UserDataValues.Count()) {
        UserDataValues.Put(found, Value);
    } else {
        // A name without its value would pair every later value with the wrong name.
        while (UserDataValues.Count() < UserDataNames.Count())
            UserDataValues.Add("");
        if (found < 0)
            UserDataNames.Add(Name);
        if (found >= 0)
            UserDataValues.Put(found, Value);
        else
            UserDataValues.Add(Value);
    }
    FireOnConfigChanged(false);
}

void TOrthosConfig::ResetConfigurationDefaults() {
    ForceDefaults = true;
    ReloadConfiguration();
}

void TOrthosConfig::ReloadConfiguration() {
    if (!Loaded)
        return;
    SaveConfiguration();
    LoadConfiguration();
}

void TOrthosConfig::SaveConfiguration() {
    if (!Changed || !Loaded || !Owner || Owner->HasState(csDesigning))
        return;
    struct Closer {
        TOrthosConfig* c;
        ~Closer() { c->CloseStore(); }
    } closer{this};
    OpenStore();
    if (StorageKind != TConfigStorage::csNone) {
        WriteString("_FirstRun", "+");
        ReadWriteStringList("_Main", MainDictionaries, false);
        ReadWriteStringList("_Custom", CustomDictionaries, false);
        ReadWriteStringList("_MSWordCustom", MSWordCustomDictionaries, false);
        WriteString("_ActiveCustom", ActiveCustom);
        for (const OptionKey& k : kOptionKeys)
            WriteString(k.key, (SpellOptions & SpellOptionBit(k.option)) ? "+" : "-");
        WriteString("_DialogX", std::to_string(DialogX));
        WriteString("_DialogY", std::to_string(DialogY));
        ReadWriteStringList("_NewPaths", NewDictionaryPaths, false);
        ReadWriteStringList("_UserData", UserDataNames, false);
        for (int i = 0; i < UserDataValues.Count() && i < UserDataNames.Count(); ++i)
            WriteString("User_" + UserDataNames[i], UserDataValues[i]);
    }
    Changed = false;
    CloseStore();
    Owner->FireConfigSaved();
}
