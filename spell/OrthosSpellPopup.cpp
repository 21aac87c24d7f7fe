// The suggestion popup menu of TOrthosSpell3 for one word outside a check.
#include <algorithm>
#include <memory>

#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "spell/OrthosSpell.h"

TMenuItem* TOrthosSpell3::AddMenuItem(TPopupMenu* Menu, TMenuItem* SubMenu, const std::string& Caption,
                                      bool Enable, bool HasChildren, int Tag) {
    if (OnPopupAddMenuItem) {
        TMenuItem* made = nullptr;
        OnPopupAddMenuItem(this, Menu, SubMenu, Caption, Enable, HasChildren, Tag, made);
        return made;
    }
    auto* item = new TMenuItem(Menu);
    item->SetCaption(Caption);
    item->SetEnabled(Enable);
    item->SetTag(Tag);
    item->OnClick = [this](TObject* s) { PopupMenuHook(s); };
    (SubMenu ? SubMenu : Menu->Items())->Add(item);
    return item;
}

void TOrthosSpell3::PopupMenuHook(TObject* Sender) {
    if (auto* item = dynamic_cast<TMenuItem*>(Sender)) {
        FPopupTag = static_cast<int>(item->Tag());
        FPopupCaption = item->Caption();
    }
}

void TOrthosSpell3::AddPopupResultListener(TObject* Listener, TPopupResultHandler Handler) {
    for (auto& l : FPopupResultListeners)
        if (l.first == Listener)
            return;
    FPopupResultListeners.emplace_back(Listener, std::move(Handler));
}

void TOrthosSpell3::RemovePopupResultListener(TObject* Listener) {
    std::erase_if(FPopupResultListeners, [Listener](const auto& l) { return l.first == Listener; });
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
    TPopupMenu* supplied = nullptr;
    if (OnPopupCreateMenu)
        OnPopupCreateMenu(this, Owner, supplied);
    std::unique_ptr<TPopupMenu> menu(supplied ? supplied : new TPopupMenu(Owner));
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
            AddMenuItem(menu.get(), nullptr, suggestions[i], true, false, spReplace);
        if (suggestions.Count() == 0)
            AddMenuItem(menu.get(), nullptr, GetString(lsMnNoSuggestions), false, false, spCancel);
        AddMenuItem(menu.get(), nullptr, "-", true, false, spCancel);
    }
    if (has(spIgnore))
        AddMenuItem(menu.get(), nullptr, GetString(lsMnIgnore), true, false, spIgnore);
    if (has(spIgnoreAll))
        AddMenuItem(menu.get(), nullptr, GetString(lsMnIgnoreAll), true, false, spIgnoreAll);
    if (has(spAdd))
        AddMenuItem(menu.get(), nullptr, GetString(lsMnAdd), active != nullptr, false, spAdd);
    AddMenuItem(menu.get(), nullptr, "-", true, false, spCancel);
    if (has(spChangeAll) && suggestions.Count() > 0) {
        TMenuItem* sub = AddMenuItem(menu.get(), nullptr, GetString(lsMnChangeAll), true, true, spCancel);
        for (int i = 0; i < suggestions.Count(); ++i)
            AddMenuItem(menu.get(), sub, suggestions[i], true, false, spChangeAll);
    }
    if (has(spAutoCorrect) && suggestions.Count() > 0 && active) {
        TMenuItem* sub = AddMenuItem(menu.get(), nullptr, GetString(lsMnAutoCorrect), true, true, spCancel);
        for (int i = 0; i < suggestions.Count(); ++i)
            AddMenuItem(menu.get(), sub, suggestions[i], true, false, spAutoCorrect);
    }
    if (has(spDialog))
        AddMenuItem(menu.get(), nullptr, GetString(lsMnSpelling), true, false, spDialog);

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
    for (auto& l : FPopupResultListeners)
        if (l.second)
            l.second(this, result);
    UnloadDictionaries();
    return result;
}
