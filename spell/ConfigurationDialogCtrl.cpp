#include "spell/ConfigurationDialogCtrl.h"

#include "spell/OrthosSpell.h"
#include "spell/SpellUtils.h"

ZEL_DEFINE_CLASS(TConfigurationDialogCtrl, TComponent, {})

TConfigurationDialogCtrl::TConfigurationDialogCtrl(TComponent* AOwner) : TComponent(AOwner) {}

void TConfigurationDialogCtrl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    // A checker freed before its form must not be called through the form afterwards.
    if (Operation == opRemove && AComponent == FOrthosSpell) {
        FOrthosSpell = nullptr;
        FConfiguration = nullptr;
        FCustomDictionary = nullptr;
    }
}

void TConfigurationDialogCtrl::WriteOrthosSpell(TOrthosSpell3Base* Spell) {
    if (FOrthosSpell)
        return;
    FOrthosSpell = Spell;
    if (!Spell)
        return;
    Spell->FreeNotification(this);
    FConfiguration = &Spell->Configuration();
    FAvailableOptions = Spell->ConfigAvailableOptions;
    if (OnConfigurationAvailable)
        OnConfigurationAvailable(this);
}

void TConfigurationDialogCtrl::WriteCustomDictionary(TCustomDictionary* Dict) {
    FCustomDictionary = Dict;
    if (Dict && OnCustomDictionaryAvailable)
        OnCustomDictionaryAvailable(this);
}

std::string TConfigurationDialogCtrl::Version() const {
    return GetOrthosVersion();
}

TStringList* TConfigurationDialogCtrl::ReadAvailableMSWordCustom() {
    return FOrthosSpell ? FOrthosSpell->ReadAvailableMSWordCustom() : nullptr;
}

bool TConfigurationDialogCtrl::ReadUseExcludeWords() const {
    return FOrthosSpell ? FOrthosSpell->UseExcludeWords : true;
}

bool TConfigurationDialogCtrl::ReadCanUndo() const {
    return FOrthosSpell && FOrthosSpell->ReadCanUndo();
}

TCustomDictionary* TConfigurationDialogCtrl::ReadInternalCustom() const {
    return FOrthosSpell ? &FOrthosSpell->InternalDictionary() : nullptr;
}

TCustomDictionary* TConfigurationDialogCtrl::ReadActiveCustom() const {
    return FOrthosSpell ? FOrthosSpell->ActiveCustomDictionary() : nullptr;
}

TSpellDialogCommands TConfigurationDialogCtrl::ReadCommandsVisible() const {
    return FOrthosSpell ? FOrthosSpell->CommandsVisible : 0;
}

TSpellDialogCommands TConfigurationDialogCtrl::ReadCommandsEnabled() const {
    return FOrthosSpell ? FOrthosSpell->CommandsEnabled : 0;
}

int TConfigurationDialogCtrl::ReadHelpCtxSpellDialog() const {
    return FOrthosSpell ? FOrthosSpell->HelpCtxSpellDialog : 0;
}

int TConfigurationDialogCtrl::ReadHelpCtxConfigDialog() const {
    return FOrthosSpell ? FOrthosSpell->HelpCtxConfigDialog : 0;
}

int TConfigurationDialogCtrl::ReadHelpCtxDictionariesDialog() const {
    return FOrthosSpell ? FOrthosSpell->HelpCtxDictionariesDialog : 0;
}

int TConfigurationDialogCtrl::ReadHelpCtxDictionaryEditDialog() const {
    return FOrthosSpell ? FOrthosSpell->HelpCtxDictionaryEditDialog : 0;
}

TMainDictionary* TConfigurationDialogCtrl::GetMainDictionary(const std::string& Name) {
    return FOrthosSpell ? FOrthosSpell->GetMainDictionary(Name) : nullptr;
}

std::string TConfigurationDialogCtrl::GetOptionString(TSpellOption Option) {
    if (!FOrthosSpell)
        return std::string();
    // The first ten language strings name the options in option order.
    if (Option < soUser1)
        return FOrthosSpell->GetString(static_cast<TSpellLanguageString>(Option));
    auto* spell = dynamic_cast<TOrthosSpell3*>(FOrthosSpell);
    if (!spell)
        return std::string();
    return spell->ConfigUserOption[Option - soUser1];
}

std::string TConfigurationDialogCtrl::GetString(TSpellLanguageString Id) {
    return FOrthosSpell ? FOrthosSpell->GetString(Id) : std::string();
}

void TConfigurationDialogCtrl::Setup() {
    if (auto* spell = dynamic_cast<TOrthosSpell3*>(FOrthosSpell))
        spell->InternalSetup(this);
}

void TConfigurationDialogCtrl::Ignore() {
    if (FOrthosSpell)
        FOrthosSpell->Check_Ignore();
}

void TConfigurationDialogCtrl::IgnoreAll() {
    if (FOrthosSpell)
        FOrthosSpell->Check_IgnoreAll();
}

void TConfigurationDialogCtrl::Change(const std::string& Word) {
    if (FOrthosSpell)
        FOrthosSpell->Check_Change(Word);
}

void TConfigurationDialogCtrl::ChangeAll(const std::string& Word) {
    if (FOrthosSpell)
        FOrthosSpell->Check_ChangeAll(Word);
}

void TConfigurationDialogCtrl::Add() {
    if (FOrthosSpell)
        FOrthosSpell->Check_Add();
}

void TConfigurationDialogCtrl::AutoCorrect(const std::string& Word) {
    if (FOrthosSpell)
        FOrthosSpell->Check_AutoCorrect(Word);
}

void TConfigurationDialogCtrl::Undo() {
    if (FOrthosSpell)
        FOrthosSpell->Check_Undo();
}

void TConfigurationDialogCtrl::RepeatIgnore() {
    if (FOrthosSpell)
        FOrthosSpell->Check_RepeatIgnore();
}

void TConfigurationDialogCtrl::RepeatDelete() {
    if (FOrthosSpell)
        FOrthosSpell->Check_RepeatDelete();
}

void TConfigurationDialogCtrl::ControlEdited() {
    if (FOrthosSpell)
        FOrthosSpell->Check_ControlEdited();
}

void TConfigurationDialogCtrl::Cancel() {
    if (FOrthosSpell)
        FOrthosSpell->Check_Cancel();
}

void TConfigurationDialogCtrl::Suggest(const std::string& Word, TStrings* List) {
    if (FOrthosSpell)
        FOrthosSpell->Suggest(Word, List);
}

void TConfigurationDialogCtrl::HelpSpellDialog() {
    ShowHelp(ReadHelpCtxSpellDialog());
}

void TConfigurationDialogCtrl::ShowHelp(int Context) {
    // The program has no help viewer; the help buttons stay hidden while no context is set.
    (void)Context;
}

void TConfigurationDialogCtrl::FirePromptWord(const std::string& Word, bool Repeated) {
    if (OnPromptWord)
        OnPromptWord(this, Word, Repeated);
}
