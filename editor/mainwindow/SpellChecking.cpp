#include "editor/mainwindow/SpellChecking.h"

#include <exception>
#include <functional>

#include "spell/CustomDictionary.h"
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

std::string CheckMemoSpelling(TOrthosSpell3* Checker, TCustomHSMemo* Memo, bool Selected, bool EndMessage) {
    if (!Checker || !Memo)
        return "there is no spell checker.";
    if (Checker->Checking())
        Checker->StopCheck(true);
    Checker->DialogShowModal = true;
    Checker->DialogSelectionAvoid = saNone;
    Checker->EndMessage = EndMessage ? emAlways : emNever;
    // The checker frees the parser when the check ends, so it lives on the heap.
    auto* Parser = new THSMemoHTMLParser;
    Parser->Initialize(Memo);
    try {
        Checker->CheckNewParser(Parser, Selected ? ctSelected : ctAll);
    } catch (const std::exception& E) {
        return E.what();
    }
    return {};
}

bool SpellCheckCancelled(TOrthosSpell3* Checker) {
    return Checker && Checker->Cancelled();
}

void BindEditorSpellEvents(TOrthosSpell3* Checker, std::function<void(const std::string&)> Report) {
    if (!Checker)
        return;
    Checker->OnGetString = [Checker](TObject*, TSpellLanguageString Id, std::string& Text) {
        if (Id == lsEndMessage)
            Text = Checker->Cancelled() ? "The spell check was cancelled." : "The spell check is complete.";
    };
    Checker->OnCompleteCheck = [Checker, Report](TObject*) {
        // Words added during the check are written at once, not only when the program ends.
        std::string Failed;
        try {
            Checker->Configuration().SaveConfiguration();
        } catch (const std::exception& E) {
            Failed += std::string("\nThe spelling configuration: ") + E.what();
        }
        auto Save = [&](TCustomDictionary* D) {
            if (D && !D->Save())
                Failed += "\n" + D->GetFilename() + (D->LastError().empty() ? "" : ": " + D->LastError());
        };
        Save(Checker->ActiveCustomDictionary());
        for (int I = 0; I < Checker->CustomDictionaryCount(); ++I)
            Save(Checker->CustomDictionary(I));
        if (!Failed.empty() && Report)
            Report("These could not be saved; their changes stay only until the program ends:" + Failed);
    };
}

void SetUpSpellChecker(TOrthosSpell3* Checker) {
    if (Checker)
        Checker->Setup();
}
