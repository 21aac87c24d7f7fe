#include "spell/SpellCheckConfigDialog.h"

#include <memory>

#include "framework/core/SysUtils.h"
#include "spell/DialogControls.h"
#include "spell/OrthosSpell.h"

ZEL_DEFINE_CLASS(TSpellCheckConfigDialog, TForm, {})

namespace {

constexpr int kOptionStep = 16;
constexpr UINT kRebuildMessage = WM_APP + 1;

} // namespace

TSpellCheckConfigDialog::TSpellCheckConfigDialog(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(TFormPosition::poOwnerFormCenter);
    SetCaption("xxSpelling Options");
    SetClientWidth(320);
    SetClientHeight(397);
    OptionsGroup = MakeControl<TGroupBox>(this, this, 8, 4, 304, 186, "xxOptions");
    for (int i = 0; i < 10; ++i) {
        Option[static_cast<size_t>(i)] = MakeControl<TCheckBox>(this, OptionsGroup, 10, 18 + i * kOptionStep,
                                                                284, 15, "Option" + std::to_string(i + 1));
        TCheckBox* box = Option[static_cast<size_t>(i)];
        box->OnClick = [this, box](TObject*) { OptionsClick(box); };
    }
    DictionariesGroup = MakeControl<TGroupBox>(this, this, 8, 194, 304, 168, "xxDictionaries");
    MainDictionaries = MakeControl<TSpellCheckList>(this, DictionariesGroup, 10, 18, 284, 90);
    CustomLabel = MakeControl<TLabel>(this, DictionariesGroup, 10, 116, 284, 13, "xxActive user dictionary:");
    CustomCombo = MakeControl<TComboBox>(this, DictionariesGroup, 10, 132, 180, 21);
    CustomCombo->SetStyle(TComboBoxStyle::csDropDownList);
    DictionariesButton = MakeControl<TButton>(this, DictionariesGroup, 198, 131, 96, 23, "xxDictionaries...");
    HelpButton = MakeControl<TButton>(this, this, 8, 368, 75, 23, "xxHelp");
    ResetButton = MakeControl<TButton>(this, this, 90, 368, 130, 23, "xxReset to Defaults");
    OK = MakeControl<TButton>(this, this, 237, 368, 75, 23, "xxOK");
    OK->SetDefault(true);
    OK->SetModalResult(mrOk);
    DialogControl = new TConfigurationDialogCtrl(this);
    DialogControl->OnConfigurationAvailable = [this](TObject* s) { DialogControlConfigurationAvailable(s); };

    MainDictionaries->OnCheckChange = [this](TSpellCheckList*, int i) { MainDictionariesChange(i); };
    CustomCombo->OnChange = [this](TObject*) {
        int i = CustomCombo->ItemIndex();
        if (i >= 0 && DialogControl->Configuration())
            DialogControl->Configuration()->WriteActiveCustom(CustomCombo->Items()[i]);
    };
    DictionariesButton->OnClick = [this](TObject*) {
        if (auto* spell = dynamic_cast<TOrthosSpell3*>(DialogControl->OrthosSpell()))
            spell->InternalSetupCustomDictionaries(DialogControl);
        PopulateDropDown();
    };
    ResetButton->OnClick = [this](TObject*) {
        if (!DialogControl->Configuration())
            return;
        DialogControl->Configuration()->ResetConfigurationDefaults();
        PopulateMainList();
        PopulateDropDown();
        PopulateOptions();
    };
}

void TSpellCheckConfigDialog::DialogControlConfigurationAvailable(TObject*) {
    TConfigurationDialogCtrl& dc = *DialogControl;
    SetCaption(dc.GetString(lsSpellingOptions));
    OptionsGroup->SetCaption(dc.GetString(lsDlgOptionsLabel));
    DictionariesGroup->SetCaption(dc.GetString(lsDlgDictionariesLabel));
    MainDictionaries->AddColumn(dc.GetString(lsDlgName), 140);
    MainDictionaries->AddColumn(dc.GetString(lsDlgFilename), 120);
    CustomLabel->SetCaption(dc.GetString(lsDlgCustomDictionary));
    DictionariesButton->SetCaption(dc.GetString(lsDlgDictionaries));
    HelpButton->SetCaption(dc.GetString(lsDlgHelp));
    ResetButton->SetCaption(dc.GetString(lsDlgResetDefaults));
    OK->SetCaption(dc.GetString(lsDlgOK));

    TSpellDialogCommands visible = dc.ReadCommandsVisible(), enabled = dc.ReadCommandsEnabled();
    auto on = [](TSpellDialogCommands set, TSpellDialogCommand c) { return (set & SpellCommandBit(c)) != 0; };
    DictionariesButton->SetVisible(on(visible, sdcCustomDictionaries));
    CustomCombo->SetVisible(on(visible, sdcCustomDictionary));
    CustomLabel->SetVisible(on(visible, sdcCustomDictionary));
    ResetButton->SetVisible(on(visible, sdcResetDefaults));
    OK->SetVisible(on(visible, sdcConfigOK));
    HelpButton->SetVisible(on(visible, sdcHelp) && dc.ReadHelpCtxConfigDialog() != 0);
    DictionariesButton->SetEnabled(on(enabled, sdcCustomDictionaries));
    CustomCombo->SetEnabled(on(enabled, sdcCustomDictionary));
    OK->SetEnabled(on(enabled, sdcConfigOK));
    HelpButton->SetEnabled(on(enabled, sdcHelp));
    // Reset follows what the program allows, like every other command.
    ResetButton->SetEnabled(on(enabled, sdcResetDefaults));

    if (!DictionariesButton->Visible() && !CustomCombo->Visible())
        MainDictionaries->SetHeight(DictionariesButton->Top() + DictionariesButton->Height() -
                                    MainDictionaries->Top());
    if (!OK->Visible() && !HelpButton->Visible())
        DictionariesGroup->SetHeight(OK->Top() + OK->Height() - DictionariesGroup->Top());

    PopulateMainList();
    PopulateDropDown();
    int hidden = PopulateOptions();
    // The hidden option boxes give their room back.
    int shrink = hidden * kOptionStep;
    if (shrink > 0) {
        OptionsGroup->SetHeight(OptionsGroup->Height() - shrink);
        for (TControl* c : {static_cast<TControl*>(DictionariesGroup), static_cast<TControl*>(HelpButton),
                            static_cast<TControl*>(ResetButton), static_cast<TControl*>(OK)})
            c->SetTop(c->Top() - shrink);
        SetClientHeight(ClientHeight() - shrink);
    }
}

int TSpellCheckConfigDialog::PopulateOptions() {
    TOrthosConfig* config = DialogControl->Configuration();
    TSpellOptions available = DialogControl->AvailableOptions();
    size_t next = 0;
    FPopulating = true;
    for (int o = soLiveSpelling; o <= soUser4 && next < Option.size(); ++o) {
        if (!(available & SpellOptionBit(static_cast<TSpellOption>(o))))
            continue;
        TCheckBox* box = Option[next++];
        box->SetTag(o);
        box->SetCaption(DialogControl->GetOptionString(static_cast<TSpellOption>(o)));
        box->SetChecked(config &&
                        (config->ReadSpellOptions() & SpellOptionBit(static_cast<TSpellOption>(o))));
        box->SetVisible(true);
    }
    FPopulating = false;
    for (size_t i = next; i < Option.size(); ++i)
        Option[i]->SetVisible(false);
    return static_cast<int>(Option.size() - next);
}

void TSpellCheckConfigDialog::OptionsClick(TCheckBox* Box) {
    TOrthosConfig* config = DialogControl->Configuration();
    if (FPopulating || !config)
        return;
    TSpellOptions bit = SpellOptionBit(static_cast<TSpellOption>(Box->Tag()));
    TSpellOptions o = config->ReadSpellOptions();
    config->WriteSpellOptions(Box->Checked() ? (o | bit) : (o & ~bit));
}

void TSpellCheckConfigDialog::PopulateMainList() {
    TOrthosSpell3Base* spell = DialogControl->OrthosSpell();
    TOrthosConfig* config = DialogControl->Configuration();
    if (!spell || !config)
        return;
    TStringList* available = spell->ReadAvailableMain();
    MainDictionaries->Clear();
    for (int i = 0; i < available->Count(); ++i) {
        std::string name = "???";
        if (std::unique_ptr<TMainDictionary> d{DialogControl->GetMainDictionary((*available)[i])})
            name = d->Title();
        MainDictionaries->AddItem(name, (*available)[i]);
    }
    bool browse = (DialogControl->ReadCommandsVisible() & SpellCommandBit(sdcMainDictFolderBrowse)) != 0;
    if (browse)
        MainDictionaries->AddItem(DialogControl->GetString(lsDlgBrowseForMain), "");
    TStringList& inUse = config->ReadMainDictionaries();
    for (int i = 0; i < available->Count(); ++i)
        if (inUse.IndexOf(MainDictionaries->SubItem(i)) >= 0) {
            MainDictionaries->SetData(i, 1);
            MainDictionaries->SetChecked(i, true);
        }
    FixHeader();
}

void TSpellCheckConfigDialog::WndProc(TMessage& Message) {
    // The list is rebuilt after the browse row's notification has returned, not inside it.
    if (Message.Msg == kRebuildMessage) {
        PopulateMainList();
        return;
    }
    TForm::WndProc(Message);
}

void TSpellCheckConfigDialog::FixHeader() {
    int w = MainDictionaries->ClientWidth() - MainDictionaries->ColumnWidth(0);
    if (w > 20)
        MainDictionaries->SetColumnWidth(1, w);
}

void TSpellCheckConfigDialog::MainDictionariesChange(int Index) {
    TOrthosConfig* config = DialogControl->Configuration();
    if (!config || Index < 0)
        return;
    bool checked = MainDictionaries->Checked(Index);
    if (checked == (MainDictionaries->Data(Index) != 0))
        return;
    bool browse = (DialogControl->ReadCommandsVisible() & SpellCommandBit(sdcMainDictFolderBrowse)) != 0;
    if (browse && Index == MainDictionaries->Count() - 1) {
        // The browse row is a command, never a dictionary: it does not stay checked.
        if (checked) {
            MainDictionaries->SetChecked(Index, false);
            if (auto* spell = dynamic_cast<TOrthosSpell3*>(DialogControl->OrthosSpell()))
                spell->InternalSetupAddDictionaryDir(DialogControl);
            PostMessageA(Handle(), kRebuildMessage, 0, 0);
        }
        return;
    }
    MainDictionaries->SetData(Index, checked ? 1 : 0);
    std::string file = MainDictionaries->SubItem(Index);
    TStringList& list = config->ReadMainDictionaries();
    int at = list.IndexOf(file);
    if (checked && at < 0)
        list.Add(file);
    else if (!checked && at >= 0)
        list.Delete(at);
}

void TSpellCheckConfigDialog::PopulateDropDown() {
    TOrthosSpell3Base* spell = DialogControl->OrthosSpell();
    TOrthosConfig* config = DialogControl->Configuration();
    if (!spell || !config)
        return;
    TStringList* available = spell->ReadAvailableCustom();
    CustomCombo->Items().Clear();
    for (int i = 0; i < available->Count(); ++i)
        CustomCombo->Items().Add((*available)[i]);
    std::string active = config->ActiveCustom;
    if (!active.empty())
        CustomCombo->SetItemIndex(CustomCombo->Items().IndexOf(active));
}
