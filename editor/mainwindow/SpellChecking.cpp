#include "editor/mainwindow/SpellChecking.h"

#include <exception>

#include "spell/MemoParser.h"
#include "spell/OrthosSpell.h"

TOrthosSpell3* CreateEditorSpellChecker(TComponent* Owner, const std::string& ProgramFolder) {
    TOrthosSpell3* Checker = nullptr;
    try {
        Checker = new TOrthosSpell3(Owner);
    } catch (const std::exception&) {
        return nullptr;
    }
    TOrthosSpell3& S = *Checker;
    S.SetName("SpellChecker");
    S.ConfigDictionaryDir.Clear();
    S.ConfigDictionaryDir.Add(ProgramFolder + "\\Dictionary");
    S.ConfigDefaultMain.Clear();
    for (const char* Dict : {"American.wdm", "FHTMLAdd.wdm", "KivraAdd.wdm"})
        S.ConfigDefaultMain.Add(Dict);
    S.ConfigUseMSWordCustom = true;
    S.ConfigDefaultUseMSWordCustom = true;
    S.WriteKeepDictionariesActive(true);
    TSpellOptions Defaults = S.ConfigDefaultOptions;
    Defaults |= SpellOptionBit(soNumbers) | SpellOptionBit(soHTML) | SpellOptionBit(soInternet) |
                SpellOptionBit(soRepeated);
    Defaults &= ~SpellOptionBit(soUpcase);
    S.ConfigDefaultOptions = Defaults;
    S.ConfigAvailableOptions =
        (Defaults & ~(SpellOptionBit(soLiveSpelling) | SpellOptionBit(soLiveCorrect))) |
        SpellOptionBit(soUpcase) | SpellOptionBit(soNumbers) | SpellOptionBit(soHTML) |
        SpellOptionBit(soInternet) | SpellOptionBit(soQuoted) | SpellOptionBit(soPrimaryOnly) |
        SpellOptionBit(soRepeated);
    S.PhoneticSuggestions = true;
    S.CommandsVisible = (S.CommandsVisible & ~SpellCommandBit(sdcHelp)) | SpellCommandBit(sdcAddedEdit) |
                        SpellCommandBit(sdcExcludedEdit) | SpellCommandBit(sdcInternalEdit);
    S.ConfigStorage = TConfigStorage::csRegistry;
    S.ConfigID = "%UserName%";
    S.ConfigRegistryKey = "Software\\Nortavia\\ZEL Orvalent Lite v2\\Dictionary";
    return Checker;
}

std::string CheckMemoSpelling(TOrthosSpell3* Checker, TCustomHSMemo* Memo) {
    if (!Checker || !Memo)
        return "there is no spell checker.";
    if (Checker->Checking())
        return {};
    // The checker frees the parser when the check ends, so it lives on the heap.
    auto* Parser = new THSMemoHTMLParser;
    Parser->Initialize(Memo);
    try {
        Checker->CheckNewParser(Parser, ctAll);
    } catch (const std::exception& E) {
        return E.what();
    }
    return {};
}

void SetUpSpellChecker(TOrthosSpell3* Checker) {
    if (Checker)
        Checker->Setup();
}
