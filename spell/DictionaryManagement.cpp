// The checker's management of dictionary files: what is available in its directories, and
// switching user dictionaries on and off, creating, renaming and removing them.
#include <fstream>

#include <shlobj.h>

#include "framework/core/Registry.h"
#include "framework/core/SysUtils.h"
#include "spell/SpellBase.h"
#include "spell/SpellUtils.h"

std::vector<std::string> TOrthosSpell3Base::DictionaryDirectoriesInUse() {
    std::vector<std::string> dirs;
    for (int i = 0; i < ConfigDictionaryDir.Count(); ++i)
        dirs.push_back(ConfigDictionaryDir[i]);
    if (FConfig.Loaded)
        for (int i = 0; i < FConfig.NewDictionaryPaths.Count(); ++i)
            dirs.push_back(FConfig.NewDictionaryPaths[i]);
    return dirs;
}

void TOrthosSpell3Base::GetAvailableDictionaries(const std::string& Extension, TStringList& List) {
    EnsureConfig();
    for (const std::string& dir : DictionaryDirectoriesInUse()) {
        std::string pattern = ExpandVars(AdExcludeTrailingBackslash(dir) + "\\*." + Extension);
        WIN32_FIND_DATAA fd{};
        HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                List.Add(fd.cFileName);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    // Each file name once; the first directory wins.
    for (int i = 0; i < List.Count(); ++i)
        for (int j = List.Count() - 1; j > i; --j)
            if (SameText(ExtractFileName(List[j]), ExtractFileName(List[i])))
                List.Delete(j);
}

TStringList* TOrthosSpell3Base::ReadAvailableMain() {
    if (FAvailableMain.Count() == 0)
        GetAvailableDictionaries("wdm", FAvailableMain);
    return &FAvailableMain;
}

TStringList* TOrthosSpell3Base::ReadAvailableCustom() {
    if (FAvailableCustom.Count() == 0) {
        GetAvailableDictionaries("wdu", FAvailableCustom);
        const std::string& active = FConfig.ActiveCustom;
        if (!active.empty() && FAvailableCustom.IndexOf(active) < 0)
            FAvailableCustom.Insert(0, active);
    }
    return &FAvailableCustom;
}

TStringList* TOrthosSpell3Base::ReadAvailableMSWordCustom() {
    if (FAvailableMSWordCustom.Count() > 0)
        return &FAvailableMSWordCustom;
    TRegistry reg;
    if (!reg.OpenKeyReadOnly("\\Software\\Microsoft\\Shared Tools\\Proofing Tools\\Custom Dictionaries"))
        return &FAvailableMSWordCustom;
    for (int i = 1;; ++i) {
        std::string name = std::to_string(i);
        if (!reg.ValueExists(name))
            break;
        std::string path = reg.ReadString(name);
        if (path.empty())
            break;
        if (path.find('\\') == std::string::npos)
            path =
                AdExcludeTrailingBackslash(GetSpecialFolder(CSIDL_APPDATA)) + "\\Microsoft\\Proof\\" + path;
        if (FileExists(path))
            FAvailableMSWordCustom.Add(path);
    }
    return &FAvailableMSWordCustom;
}

TCustomDictionary* TOrthosSpell3Base::GetCustomDictionary(const std::string& Name) {
    if (Name.empty())
        return nullptr;
    std::string path;
    if (Name.find('\\') != std::string::npos) {
        path = ExpandVars(Name);
    } else {
        for (const std::string& dir : DictionaryDirectoriesInUse()) {
            std::string p = ExpandVars(AdExcludeTrailingBackslash(dir) + "\\" + Name);
            if (FileExists(p)) {
                path = p;
                break;
            }
        }
        if (path.empty()) {
            std::vector<std::string> dirs = DictionaryDirectoriesInUse();
            path = dirs.empty() ? ExpandVars(Name)
                                : ExpandVars(AdExcludeTrailingBackslash(dirs[0]) + "\\" + Name);
        }
    }
    // The open active dictionary writes its words first, so the new object sees all of them.
    if (FActiveCustom && SameText(FActiveCustom->GetFilename(), path) && FActiveCustom->Modified())
        FActiveCustom->Save();
    auto d = std::make_unique<TCustomDictionary>();
    d->WriteFilename(path);
    if (d->GetFilename() != path)
        return nullptr;
    return d.release();
}

TCustomDictionary* TOrthosSpell3Base::GetMSWordCustomDictionary(const std::string& Path) {
    if (!FileExists(Path))
        return nullptr;
    std::ifstream in(Path, std::ios::binary);
    if (!in)
        return nullptr;
    auto d = std::make_unique<TCustomDictionary>();
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
            line.pop_back();
        if (!line.empty())
            d->AddIgnore(line);
    }
    return d.release();
}

void TOrthosSpell3Base::EnableCustomDictionary(const std::string& Name, bool Enable) {
    EnsureConfig();
    int at = FConfig.CustomDictionaries.IndexOf(Name);
    if (!Enable) {
        if (at < 0)
            return;
        FConfig.CustomDictionaries.Delete(at);
        if (SameText(FConfig.ActiveCustom, Name))
            FConfig.WriteActiveCustom(FConfig.CustomDictionaries.Count() > 0 ? FConfig.CustomDictionaries[0]
                                                                             : std::string());
        return;
    }
    if (at >= 0)
        return;
    std::unique_ptr<TCustomDictionary> d(GetCustomDictionary(Name));
    if (d)
        FConfig.CustomDictionaries.Add(Name);
}

void TOrthosSpell3Base::EnableWordDictionary(const std::string& Path, bool Enable) {
    EnsureConfig();
    int at = FConfig.MSWordCustomDictionaries.IndexOf(Path);
    if (!Enable) {
        if (at >= 0)
            FConfig.MSWordCustomDictionaries.Delete(at);
    } else if (at < 0 && FileExists(Path)) {
        FConfig.MSWordCustomDictionaries.Add(Path);
    }
}

void TOrthosSpell3Base::RemoveCustomDictionary(const std::string& Name) {
    std::string path;
    if (std::unique_ptr<TCustomDictionary> d{GetCustomDictionary(Name)})
        path = d->GetFilename();
    EnableCustomDictionary(Name, false);
    FConfig.FireOnConfigChanged(true);
    if (FActiveCustom && SameText(FActiveCustom->GetFilename(), path))
        FActiveCustom.reset();
    if (!path.empty() && FileExists(path))
        DeleteFile(path);
}

void TOrthosSpell3Base::CreateNewCustomDictionary(const std::string& Name) {
    EnsureConfig();
    std::string name = ChangeFileExt(ExtractFileName(Name), ".wdu");
    std::unique_ptr<TCustomDictionary> d(GetCustomDictionary(name));
    if (!d)
        return;
    // A new, empty dictionary has nothing modified, so it is written out as a whole.
    if (!FileExists(d->GetFilename()))
        d->SaveAs(d->GetFilename());
    else
        d->Save();
    d.reset();
    if (FConfig.CustomDictionaries.IndexOf(name) < 0)
        FConfig.CustomDictionaries.Add(name);
    FConfig.FireOnConfigChanged(true);
}

bool TOrthosSpell3Base::RenameCustomDictionary(const std::string& OldName, const std::string& NewName) {
    if (OldName == NewName)
        return false;
    ReadAvailableCustom();
    std::unique_ptr<TCustomDictionary> old(GetCustomDictionary(OldName));
    if (!old)
        return false;
    std::string oldPath = old->GetFilename();
    old.reset();
    std::string newName = ChangeFileExt(ExtractFileName(NewName), ".wdu");
    std::string newPath = ExtractFilePath(oldPath) + newName;
    if (FileExists(newPath) || !CanFileBeWritten(newPath, true))
        return false;
    // An open dictionary with unsaved words would write them to the old name after the rename,
    // leaving the words split between two files.
    bool wasActive = FActiveCustom && SameText(FActiveCustom->GetFilename(), oldPath);
    if (wasActive) {
        if (FActiveCustom->Modified() && !FActiveCustom->Save())
            return false;
        FActiveCustom.reset();
    }
    for (auto it = FCustom.begin(); it != FCustom.end();)
        if (SameText((*it)->GetFilename(), oldPath)) {
            if ((*it)->Modified())
                (*it)->Save();
            it = FCustom.erase(it);
        } else {
            ++it;
        }
    if (FileExists(oldPath) && !RenameFile(oldPath, newPath))
        return false;
    EnsureConfig();
    bool hadFolder = OldName.find('\\') != std::string::npos;
    std::string stored = hadFolder ? newPath : newName;
    int at = FConfig.CustomDictionaries.IndexOf(OldName);
    if (at >= 0)
        FConfig.CustomDictionaries.Put(at, stored);
    if (SameText(FConfig.ActiveCustom, OldName))
        FConfig.WriteActiveCustom(stored);
    FAvailableCustom.Clear();
    if (wasActive && FDictionariesActive)
        ReloadDictionaries();
    return true;
}

// ---- property writers -------------------------------------------------------------------------

namespace {

void CopyLines(const TStrings& From, TStringList& To) {
    To.BeginUpdate();
    To.Clear();
    for (int i = 0; i < From.Count(); ++i)
        To.Add(From[i]);
    To.EndUpdate();
}

} // namespace

void TOrthosSpell3Base::WriteSuggestions(TSuggestionsGenerator* Value) {
    if (Value && Value != FSuggestions.get())
        FSuggestions.reset(Value);
}

void TOrthosSpell3Base::WritePhoneticsMap(TPhoneticsMap* Value) {
    if (Value && Value != FPhonetics.get())
        FPhonetics.reset(Value);
}

void TOrthosSpell3Base::ReloadConfigurationFromStore() {
    // Nothing was read yet: the first use reads from the new place anyway.
    if (!FConfig.Loaded)
        return;
    FConfig.ReloadConfiguration();
    ResynchOptions(false);
}

void TOrthosSpell3Base::WriteConfigStorage(TConfigStorage Value) {
    ConfigStorage = Value;
    ReloadConfigurationFromStore();
}

void TOrthosSpell3Base::WriteConfigID(const std::string& Value) {
    ConfigID = Value;
    ReloadConfigurationFromStore();
}

void TOrthosSpell3Base::WriteConfigFilename(const std::string& Value) {
    ConfigFilename = Value;
    if (ConfigStorage == TConfigStorage::csFile)
        ReloadConfigurationFromStore();
}

void TOrthosSpell3Base::WriteConfigRegistryKey(const std::string& Value) {
    ConfigRegistryKey = Value;
    if (ConfigStorage == TConfigStorage::csRegistry)
        ReloadConfigurationFromStore();
}

void TOrthosSpell3Base::WriteConfigDictionaryDir(const TStrings& Value) {
    if (&Value != &ConfigDictionaryDir)
        CopyLines(Value, ConfigDictionaryDir);
    // The folders in use are this list and the configuration's added folders, read where needed.
    FAvailableMain.Clear();
    FAvailableCustom.Clear();
    FAvailableMSWordCustom.Clear();
}

void TOrthosSpell3Base::WriteDefaultMain(const TStrings& Value) {
    if (&Value != &ConfigDefaultMain)
        CopyLines(Value, ConfigDefaultMain);
}

void TOrthosSpell3Base::WriteDefaultCustom(const TStrings& Value) {
    if (&Value != &ConfigDefaultCustom)
        CopyLines(Value, ConfigDefaultCustom);
}

void TOrthosSpell3Base::WriteLearnSuggestions(bool Value) {
    if (Value == SuggestionsLearning)
        return;
    SuggestionsLearning = Value;
    // Freeing writes what was learned so far.
    FLearned.reset();
    if (Value && FConfig.Loaded && !FChecking)
        ReloadDictionaries();
}

void TOrthosSpell3Base::WriteSuggestionsDictFN(const std::string& Value) {
    if (Value == SuggestionsLearningDict)
        return;
    SuggestionsLearningDict = Value;
    if (!SuggestionsLearning)
        return;
    FLearned.reset();
    if (FConfig.Loaded && !FChecking)
        ReloadDictionaries();
}

void TOrthosSpell3Base::WriteMappingDictionary(const std::string& Value) {
    if (Value == MappingDictionaryName)
        return;
    MappingDictionaryName = Value;
    FMapping.reset();
    if (FDictionariesActive && !FChecking)
        ReloadDictionaries();
}
