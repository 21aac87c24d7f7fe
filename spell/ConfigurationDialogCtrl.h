#pragma once
// TConfigurationDialogCtrl: the non-visual piece every spell-checker form carries; the only way
// such a form reaches the checker. Each request goes to the attached checker and answers nothing
// when none is attached, so a form shown on its own stays empty.

#include <string>

#include "framework/core/Component.h"
#include "framework/core/Strings.h"
#include "spell/SpellBase.h"

class TConfigurationDialogCtrl : public TComponent {
    ZEL_DECLARE_CLASS(TConfigurationDialogCtrl)
public:
    explicit TConfigurationDialogCtrl(TComponent* AOwner);

    TOrthosSpell3Base* OrthosSpell() const { return FOrthosSpell; }
    TCustomDictionary* CustomDictionary() const { return FCustomDictionary; }
    TOrthosConfig* Configuration() const { return FConfiguration; }
    TSpellOptions AvailableOptions() const { return FAvailableOptions; }
    // Set once; a second checker is refused.
    void WriteOrthosSpell(TOrthosSpell3Base* Spell);
    void WriteCustomDictionary(TCustomDictionary* Dict);

    TNotifyEvent OnConfigurationAvailable;
    TNotifyEvent OnCustomDictionaryAvailable;
    TWordPromptEvent OnPromptWord;

    std::string Version() const;

    TStringList* ReadAvailableMSWordCustom();
    bool ReadUseExcludeWords() const;
    bool ReadCanUndo() const;
    TCustomDictionary* ReadInternalCustom() const;
    TCustomDictionary* ReadActiveCustom() const;
    TSpellDialogCommands ReadCommandsVisible() const;
    TSpellDialogCommands ReadCommandsEnabled() const;
    int ReadHelpCtxSpellDialog() const;
    int ReadHelpCtxConfigDialog() const;
    int ReadHelpCtxDictionariesDialog() const;
    int ReadHelpCtxDictionaryEditDialog() const;
    // The caller frees the dictionary.
    TMainDictionary* GetMainDictionary(const std::string& Name);
    std::string GetOptionString(TSpellOption Option);
    std::string GetString(TSpellLanguageString Id);

    void Setup();
    void Ignore();
    void IgnoreAll();
    void Change(const std::string& Word);
    void ChangeAll(const std::string& Word);
    void Add();
    void AutoCorrect(const std::string& Word);
    void Undo();
    void RepeatIgnore();
    void RepeatDelete();
    void ControlEdited();
    void Cancel();
    void Suggest(const std::string& Word, TStrings* List);
    void HelpSpellDialog();

    // Called by the checker whenever it prompts a word.
    void FirePromptWord(const std::string& Word, bool Repeated);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ShowHelp(int Context);
    TOrthosSpell3Base* FOrthosSpell = nullptr;
    TCustomDictionary* FCustomDictionary = nullptr;
    TOrthosConfig* FConfiguration = nullptr;
    TSpellOptions FAvailableOptions = 0;
};
