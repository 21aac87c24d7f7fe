// The suggestion popup menu of TOrthosSpell3 for one word outside a check.
#include <memory>

#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "spell/OrthosSpell.h"

TMenuItem* TOrthosSpell3::AddMenuItem(TPopupMenu* Menu, TMenuItem* SubMenu, const std::string& Caption,
                                      bool Enable, int Tag) {
    auto* item = new TMenuItem(Menu);
    item->SetCaption(Caption);
    item->SetEnabled(Enable);
    item->SetTag(Tag);
    item->OnClick = [this, item](TObject*) {
        FPopupTag = static_cast<int>(item->Tag());
        FPopupCaption = item->Caption();
    };
    (SubMenu ? SubMenu : Menu->Items())->Add(item);
    return item;
}

TSpellPopupOption TOrthosSpell3::ShowPopupMenu(TComponent* Owner, TSpellPopupOptions Options, int X, int Y,
                                               std::string& Word) {
    if (Word.empty() || FPopupBusy)
        return spCancel;
    FPopupBusy = true;
    struct Busy {
        bool& flag;
        ~Busy() { flag = false; }
    } busy{FPopupBusy};
    Configuration();
    std::unique_ptr<TPopupMenu> menu = std::make_unique<TPopupMenu>(Owner);
    TStringList suggestions;
    auto has = [Options](TSpellPopupOption o) { return (Options & SpellPopupBit(o)) != 0; };
    TCustomDictionary* active = ActiveCustomDictionary();
    if (!active) {
        // The active dictionary is open only while the dictionaries are.
        ReloadDictionaries();
        active = ActiveCustomDictionary();
    }
    if (has(spReplace)) {
        InternalSuggest(Word, 5, &suggestions);
        for (int i = 0; i < suggestions.Count(); ++i)
            AddMenuItem(menu.get(), nullptr, suggestions[i], true, spReplace);
        if (suggestions.Count() == 0)
            AddMenuItem(menu.get(), nullptr, GetString(lsMnNoSuggestions), false, spCancel);
        AddMenuItem(menu.get(), nullptr, "-", true, spCancel);
    }
    if (has(spIgnore))
        AddMenuItem(menu.get(), nullptr, GetString(lsMnIgnore), true, spIgnore);
    if (has(spIgnoreAll))
        AddMenuItem(menu.get(), nullptr, GetString(lsMnIgnoreAll), true, spIgnoreAll);
    if (has(spAdd))
        AddMenuItem(menu.get(), nullptr, GetString(lsMnAdd), active != nullptr, spAdd);
    AddMenuItem(menu.get(), nullptr, "-", true, spCancel);
    if (has(spChangeAll) && suggestions.Count() > 0) {
        TMenuItem* sub = AddMenuItem(menu.get(), nullptr, GetString(lsMnChangeAll), true, spCancel);
        for (int i = 0; i < suggestions.Count(); ++i)
            AddMenuItem(menu.get(), sub, suggestions[i], true, spChangeAll);
    }
    if (has(spAutoCorrect) && suggestions.Count() > 0 && active) {
        TMenuItem* sub = AddMenuItem(menu.get(), nullptr, GetString(lsMnAutoCorrect), true, spCancel);
        for (int i = 0; i < suggestions.Count(); ++i)
            AddMenuItem(menu.get(), sub, suggestions[i], true, spAutoCorrect);
    }
    if (has(spDialog))
        AddMenuItem(menu.get(), nullptr, GetString(lsMnSpelling), true, spDialog);

    FPopupTag = spCancel;
    FPopupCaption.clear();
    if (OnPopupDoMenu) {
        OnPopupDoMenu(this, menu.get(), X, Y, FPopupTag, FPopupCaption);
    } else {
        menu->Popup(X, Y);
        if (Application)
            Application->ProcessMessages();
    }
    auto result = static_cast<TSpellPopupOption>(FPopupTag);
    std::string before = Word;
    const std::string& choice = FPopupCaption;
    switch (result) {
    case spReplace:
        LearnSuggestion(Word, choice);
        Word = choice;
        break;
    case spChangeAll:
        InternalDictionary().AddAutoCorrect(Word, choice);
        LearnSuggestion(Word, choice);
        Word = choice;
        break;
    case spAutoCorrect:
        if (active) {
            active->AddAutoCorrect(Word, choice);
            LearnSuggestion(Word, choice);
            Word = choice;
        }
        break;
    case spAdd:
        if (active)
            active->AddIgnore(Word);
        break;
    case spIgnoreAll:
        InternalDictionary().AddIgnore(Word);
        break;
    default:
        break;
    }
    if (OnPopupResult)
        OnPopupResult(this, before, Word, result);
    UnloadDictionaries();
    return result;
}
