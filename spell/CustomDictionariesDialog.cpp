#include "spell/CustomDictionariesDialog.h"

#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/ShellExec.h"
#include "spell/DialogControls.h"
#include "spell/NewCustomDictionaryDialog.h"
#include "spell/OrthosSpell.h"

ZEL_DEFINE_CLASS(TCustomDictionariesDialog, TForm, {})

TCustomDictionariesDialog::TCustomDictionariesDialog(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(TFormPosition::poOwnerFormCenter);
    SetCaption("xxDictionaries");
    SetClientWidth(306);
    SetClientHeight(250);
    CustomGroup = MakeControl<TGroupBox>(this, this, 8, 4, 290, 206, "xxUser Dictionaries");
    CustomDictionaries = MakeControl<TSpellCheckList>(this, CustomGroup, 10, 18, 180, 178);
    CustomDictionaries->ShowColumnHeaders = false;
    CustomDictionaries->EditLabels = true;
    NewButton = MakeControl<TButton>(this, CustomGroup, 198, 18, 82, 23, "xxNew...");
    DeleteButton = MakeControl<TButton>(this, CustomGroup, 198, 46, 82, 23, "xxDelete");
    EditButton = MakeControl<TButton>(this, CustomGroup, 198, 74, 82, 23, "xxEdit...");
    HelpButton = MakeControl<TButton>(this, this, 8, 218, 75, 23, "xxHelp");
    OK = MakeControl<TButton>(this, this, 223, 218, 75, 23, "xxOK");
    OK->SetDefault(true);
    OK->SetModalResult(mrOk);
    DialogControl = new TConfigurationDialogCtrl(this);
    DialogControl->OnConfigurationAvailable = [this](TObject* s) { DialogControlConfigurationAvailable(s); };

    CustomDictionaries->OnCheckChange = [this](TSpellCheckList*, int i) { CheckChange(i); };
    CustomDictionaries->OnSelectItem = [this](TSpellCheckList*, int i) { SelectItem(i); };
    CustomDictionaries->OnEditing = [this](TSpellCheckList*, int i, bool& allow) {
        TListEntry* e = Entry(i);
        allow = e && e->Renamable;
        if (allow)
            OK->SetDefault(false); // Enter ends the edit, not the dialog
    };
    CustomDictionaries->OnEdited = [this](TSpellCheckList*, int i, const std::string& text, bool& accept) {
        OK->SetDefault(true);
        TListEntry* e = Entry(i);
        accept = e && e->Renamable && DialogControl->OrthosSpell() &&
                 DialogControl->OrthosSpell()->RenameCustomDictionary(CustomDictionaries->Caption(i), text);
        if (accept)
            e->Filename = ChangeFileExt(ExtractFileName(text), ".wdu");
    };
    NewButton->OnClick = [this](TObject*) { NewClick(); };
    DeleteButton->OnClick = [this](TObject*) { DeleteClick(); };
    EditButton->OnClick = [this](TObject*) { EditClick(); };
}

TListEntry* TCustomDictionariesDialog::Entry(int Index) {
    if (Index < 0 || Index >= CustomDictionaries->Count())
        return nullptr;
    return reinterpret_cast<TListEntry*>(CustomDictionaries->Data(Index));
}

void TCustomDictionariesDialog::DialogControlConfigurationAvailable(TObject*) {
    TConfigurationDialogCtrl& dc = *DialogControl;
    SetCaption(dc.GetString(lsDictionaries));
    CustomGroup->SetCaption(dc.GetString(lsDlgCustomDictionaries));
    EditButton->SetCaption(dc.GetString(lsDlgEdit));
    DeleteButton->SetCaption(dc.GetString(lsDlgDelete));
    NewButton->SetCaption(dc.GetString(lsDlgNew));
    OK->SetCaption(dc.GetString(lsDlgOK));
    HelpButton->SetCaption(dc.GetString(lsDlgHelp));
    HelpButton->SetVisible((dc.ReadCommandsVisible() & SpellCommandBit(sdcHelp)) &&
                           dc.ReadHelpCtxDictionariesDialog() != 0);
    HelpButton->SetEnabled((dc.ReadCommandsEnabled() & SpellCommandBit(sdcHelp)) != 0);
    EditButton->SetEnabled(false);
    DeleteButton->SetEnabled(false);
    CustomDictionaries->AddColumn("", CustomDictionaries->ClientWidth() - 4);
    PopulateList();
}

void TCustomDictionariesDialog::PopulateList() {
    TOrthosSpell3Base* spell = DialogControl->OrthosSpell();
    TOrthosConfig* config = DialogControl->Configuration();
    if (!spell || !config)
        return;
    TStringList* custom = spell->ReadAvailableCustom();
    TStringList* word = spell->ReadAvailableMSWordCustom();
    FPopulating = true;
    CustomDictionaries->Clear();
    // The rows of the previous list go with it.
    FEntries.clear();
    auto add = [this](const std::string& caption, std::unique_ptr<TListEntry> e) {
        int at = CustomDictionaries->AddItem(caption, "", reinterpret_cast<intptr_t>(e.get()));
        CustomDictionaries->SetChecked(at, e->Checked);
        FEntries.push_back(std::move(e));
    };
    TCustomDictionary& internal = spell->InternalDictionary();
    if ((DialogControl->ReadCommandsVisible() & SpellCommandBit(sdcInternalEdit)) &&
        (internal.IgnoreCount() > 0 || internal.AutoCorrectCount() > 0)) {
        auto e = std::make_unique<TListEntry>();
        e->Internal = true;
        add(DialogControl->GetString(lsIgnoreAllChangeAll), std::move(e));
    }
    TStringList& inUse = config->ReadCustomDictionaries();
    for (int i = 0; i < custom->Count(); ++i) {
        auto e = std::make_unique<TListEntry>();
        std::string name = (*custom)[i];
        e->Checked = inUse.IndexOf(name) >= 0;
        e->Filename = name;
        e->Renamable = name == ExtractFileName(name);
        add(ExtractFileName(name), std::move(e));
    }
    TStringList& wordInUse = config->ReadMSWordCustomDictionaries();
    for (int i = 0; i < word->Count(); ++i) {
        auto e = std::make_unique<TListEntry>();
        std::string name = (*word)[i];
        e->MSWord = true;
        e->Checked = wordInUse.IndexOf(name) >= 0;
        e->Filename = name;
        add(ExtractFileName(name), std::move(e));
    }
    FPopulating = false;
}

void TCustomDictionariesDialog::CheckChange(int Index) {
    TListEntry* e = Entry(Index);
    if (FPopulating || !e)
        return;
    bool checked = CustomDictionaries->Checked(Index);
    if (e->Internal) {
        if (!checked)
            CustomDictionaries->SetChecked(Index, true);
        return;
    }
    if (checked == e->Checked)
        return;
    e->Checked = checked;
    CustomDictionaries->Select(Index);
    TOrthosSpell3Base* spell = DialogControl->OrthosSpell();
    if (!spell)
        return;
    if (e->MSWord)
        spell->EnableWordDictionary(e->Filename, checked);
    else
        spell->EnableCustomDictionary(e->Filename, checked);
}

void TCustomDictionariesDialog::SelectItem(int Index) {
    TListEntry* e = Entry(Index);
    DeleteButton->SetEnabled(e && !e->Internal && !e->MSWord);
    EditButton->SetEnabled(e != nullptr);
}

void TCustomDictionariesDialog::NewClick() {
    TOrthosSpell3Base* spell = DialogControl->OrthosSpell();
    if (!spell)
        return;
    TNewCustomDictionary ask(this);
    if (auto* s3 = dynamic_cast<TOrthosSpell3*>(spell))
        s3->SetupDialogControl(&ask, nullptr);
    if (ask.ShowModal() != mrOk)
        return;
    std::string name = ChangeFileExt(ExtractFileName(ask.NameEdit->Text()), ".wdu");
    if (name == ".wdu")
        return;
    int found = -1;
    for (int i = 0; i < CustomDictionaries->Count() && found < 0; ++i)
        if (SameText(CustomDictionaries->Caption(i), name))
            found = i;
    if (found < 0) {
        spell->CreateNewCustomDictionary(name);
        PopulateList();
        for (int i = 0; i < CustomDictionaries->Count() && found < 0; ++i)
            if (SameText(CustomDictionaries->Caption(i), name))
                found = i;
    }
    if (found >= 0) {
        CustomDictionaries->Select(found);
        if (CustomDictionaries->CanFocus())
            CustomDictionaries->SetFocus();
    }
}

void TCustomDictionariesDialog::DeleteClick() {
    int i = CustomDictionaries->Selected();
    TListEntry* e = Entry(i);
    TOrthosSpell3Base* spell = DialogControl->OrthosSpell();
    if (!e || e->Internal || e->MSWord || !spell)
        return;
    if (ShowMessageBox(DialogControl->GetString(lsRemoveCustomDict), DialogControl->GetString(lsConfirmation),
                       MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    spell->RemoveCustomDictionary(e->Filename);
    PopulateList();
    SelectItem(-1);
}

void TCustomDictionariesDialog::EditClick() {
    int i = CustomDictionaries->Selected();
    TListEntry* e = Entry(i);
    auto* spell = dynamic_cast<TOrthosSpell3*>(DialogControl->OrthosSpell());
    if (!e || !spell)
        return;
    if (e->Internal) {
        spell->InternalEditCustomDictionary(this, &spell->InternalDictionary());
    } else if (e->MSWord) {
        ShellExecuteSeam("open", e->Filename, "", ExtractFilePath(e->Filename), SW_SHOWNORMAL);
    } else if (std::unique_ptr<TCustomDictionary> d{spell->GetCustomDictionary(e->Filename)}) {
        spell->InternalEditCustomDictionary(this, d.get());
    }
}
