#include "GalleryOpeners.h"

#include "controls/memo/MemoPrint.h"
#include "controls/tree/MemoPrintProgress.h"
#include "spell/NewCustomDictionaryDialog.h"
#include "spell/OrthosSpell.h"

void OpenUserDictionaries(TOrthosSpell3& Spell) {
    Spell.SetupCustomDictionaries();
}

void OpenUserDictionaryEdit(TOrthosSpell3& Spell) {
    Spell.EditCustomDictionary(Spell.ActiveCustomDictionary());
}

TWindowGallery::THold OpenNewUserDictionary(TOrthosSpell3& Spell) {
    auto* F = new TNewCustomDictionary(nullptr);
    Spell.SetupDialogControl(F, nullptr);
    F->Show();
    return TWindowGallery::THold(F);
}

TWindowGallery::THold OpenPrintProgress(TCustomHSMemo& Memo) {
    std::unique_ptr<TMemoPrintProgress> F = TMemoPrinter(Memo).CreatePrintProgressDialog();
    F->Show();
    return TWindowGallery::THold(F.release());
}
