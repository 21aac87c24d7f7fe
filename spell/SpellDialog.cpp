#include "spell/SpellDialog.h"

#include "spell/DialogControls.h"

ZEL_DEFINE_CLASS(TSpellDialog, TForm, {})

TSpellDialog::TSpellDialog(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBorderIcons(biSystemMenu);
    SetCaption("xxSpelling");
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);
    SetClientWidth(432);
    SetClientHeight(165);

    NotFoundEdit = MakeControl<TEdit>(this, this, 104, 8, 140, 21);
    NotFoundEdit->SetReadOnly(true);
    NotFoundEdit->SetTabStop(false);
    NotFoundText = MakeControl<TLabel>(this, this, 8, 8, 63, 13, "xxNot Found:");
    NotFoundText->SetFocusControl(NotFoundEdit);
    ReplaceWithText = MakeControl<TLabel>(this, this, 8, 36, 78, 13, "xxReplace With:");
    ReplaceWithEdit = MakeControl<TEdit>(this, this, 104, 35, 140, 21);
    ReplaceWithText->SetFocusControl(ReplaceWithEdit);
    SuggestionsListbox = MakeControl<TListBox>(this, this, 104, 62, 140, 99);
    SuggestionsText = MakeControl<TLabel>(this, this, 8, 64, 71, 13, "xxSuggestions:");
    SuggestionsText->SetFocusControl(SuggestionsListbox);
    UndoButton = MakeControl<TButton>(this, this, 8, 111, 85, 23, "xxUndo");
    OptionsButton = MakeControl<TButton>(this, this, 8, 138, 85, 23, "xxOptions");
    IgnoreAllButton = MakeControl<TButton>(this, this, 340, 8, 85, 23, "xxIgnore All");
    IgnoreButton = MakeControl<TButton>(this, this, 252, 8, 85, 23, "xxIgnore");
    ChangeAllButton = MakeControl<TButton>(this, this, 340, 35, 85, 23, "xxChange All");
    ChangeButton = MakeControl<TButton>(this, this, 252, 35, 85, 23, "xxChange");
    AddButton = MakeControl<TButton>(this, this, 252, 62, 85, 23, "xxAdd");
    AutoCorrectButton = MakeControl<TButton>(this, this, 340, 62, 85, 23, "xxAuto-Correct");
    HelpButton = MakeControl<TButton>(this, this, 252, 138, 85, 23, "xxHelp");
    CancelButton = MakeControl<TButton>(this, this, 340, 138, 85, 23, "xxCancel");
    CancelButton->SetCancel(true);
    DialogControl = new TConfigurationDialogCtrl(this);

    // Tab order as the user meets the answers.
    TWinControl* order[] = {NotFoundEdit,      ReplaceWithEdit, SuggestionsListbox, IgnoreButton,
                            IgnoreAllButton,   ChangeButton,    ChangeAllButton,    AddButton,
                            AutoCorrectButton, HelpButton,      UndoButton,         CancelButton,
                            OptionsButton};
    for (int i = 0; i < static_cast<int>(std::size(order)); ++i)
        order[i]->SetTabOrder(i);

    DialogControl->OnConfigurationAvailable = [this](TObject* s) { DialogControlConfigurationAvailable(s); };
    DialogControl->OnPromptWord = [this](TObject* s, const std::string& w, bool r) {
        DialogControlPromptWord(s, w, r);
    };

    IgnoreButton->OnClick = [this](TObject*) {
        if (FRepeated)
            DialogControl->RepeatIgnore();
        else
            DialogControl->Ignore();
    };
    IgnoreAllButton->OnClick = [this](TObject*) { DialogControl->IgnoreAll(); };
    ChangeButton->OnClick = [this](TObject*) {
        if (FRepeated)
            DialogControl->RepeatDelete();
        else
            DialogControl->Change(ReplaceWithEdit->Text());
    };
    ChangeAllButton->OnClick = [this](TObject*) { DialogControl->ChangeAll(ReplaceWithEdit->Text()); };
    AddButton->OnClick = [this](TObject*) { DialogControl->Add(); };
    AutoCorrectButton->OnClick = [this](TObject*) { DialogControl->AutoCorrect(ReplaceWithEdit->Text()); };
    UndoButton->OnClick = [this](TObject*) { DialogControl->Undo(); };
    HelpButton->OnClick = [this](TObject*) { DialogControl->HelpSpellDialog(); };
    CancelButton->OnClick = [this](TObject*) { DialogControl->Cancel(); };
    OptionsButton->OnClick = [this](TObject*) {
        DialogControl->Setup();
        // The options may have changed the suggestions.
        DialogControlPromptWord(DialogControl, FShownWord, FRepeated);
    };
    SuggestionsListbox->OnClick = [this](TObject*) {
        int i = SuggestionsListbox->ItemIndex();
        if (i >= 0 && SuggestionsListbox->Enabled())
            ReplaceWithEdit->SetText(SuggestionsListbox->Items()[i]);
    };
    SuggestionsListbox->OnDblClick = [this](TObject*) {
        int i = SuggestionsListbox->ItemIndex();
        if (i >= 0 && SuggestionsListbox->Enabled())
            DialogControl->Change(SuggestionsListbox->Items()[i]);
    };
    NotFoundEdit->OnDblClick = [this](TObject*) { ReplaceWithEdit->SetText(FShownWord); };
    ReplaceWithEdit->OnChange = [this](TObject*) { ReplaceWithEditChange(); };
    OnCloseQuery = [this](TObject*, bool& CanClose) {
        DialogControl->Cancel();
        CanClose = true;
    };
}

void TSpellDialog::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    // Kept above the form that holds the checker.
    if (TComponent* checker = Owner())
        if (auto* form = dynamic_cast<TCustomForm*>(checker->Owner()))
            Params.WndParent = form->Handle();
}

void TSpellDialog::Activate() {
    TForm::Activate();
    if (FDeactivated) {
        FDeactivated = false;
        FullEnable(true);
    }
}

void TSpellDialog::Deactivate() {
    TForm::Deactivate();
    FDeactivated = true;
    FullEnable(false);
}

bool TSpellDialog::Enabled(TSpellDialogCommand c) const {
    return (DialogControl->ReadCommandsEnabled() & SpellCommandBit(c)) != 0;
}

bool TSpellDialog::Visible(TSpellDialogCommand c) const {
    return (DialogControl->ReadCommandsVisible() & SpellCommandBit(c)) != 0;
}

bool TSpellDialog::HasActiveCustom() const {
    return DialogControl->ReadActiveCustom() != nullptr;
}

void TSpellDialog::DialogControlConfigurationAvailable(TObject*) {
    FRepeated = false;
    FDeactivated = false;
    TConfigurationDialogCtrl& dc = *DialogControl;
    SetCaption(dc.GetString(lsSpelling));
    NotFoundText->SetCaption(dc.GetString(lsDlgNotFound));
    ReplaceWithText->SetCaption(dc.GetString(lsDlgReplaceWith));
    SuggestionsText->SetCaption(dc.GetString(lsDlgSuggestions));
    UndoButton->SetCaption(dc.GetString(lsDlgUndo));
    OptionsButton->SetCaption(dc.GetString(lsDlgOptions));
    IgnoreAllButton->SetCaption(dc.GetString(lsDlgIgnoreAll));
    IgnoreButton->SetCaption(dc.GetString(lsDlgIgnore));
    ChangeAllButton->SetCaption(dc.GetString(lsDlgChangeAll));
    ChangeButton->SetCaption(dc.GetString(lsDlgChange));
    AddButton->SetCaption(dc.GetString(lsDlgAdd));
    AutoCorrectButton->SetCaption(dc.GetString(lsDlgAutoCorrect));
    HelpButton->SetCaption(dc.GetString(lsDlgHelp));
    CancelButton->SetCaption(dc.GetString(lsDlgCancel));

    UndoButton->SetVisible(Visible(sdcUndo));
    OptionsButton->SetVisible(Visible(sdcOptions));
    IgnoreAllButton->SetVisible(Visible(sdcIgnoreAll));
    IgnoreButton->SetVisible(Visible(sdcIgnore));
    ChangeButton->SetVisible(Visible(sdcChange));
    ChangeAllButton->SetVisible(Visible(sdcChangeAll));
    AddButton->SetVisible(Visible(sdcAdd));
    AutoCorrectButton->SetVisible(Visible(sdcAutoCorrect));
    CancelButton->SetVisible(Visible(sdcCancel));
    HelpButton->SetVisible(Visible(sdcHelp) && dc.ReadHelpCtxSpellDialog() != 0);
    HelpButton->SetEnabled(Enabled(sdcHelp));
    CancelButton->SetEnabled(Enabled(sdcCancel));
    if (!OptionsButton->Visible())
        UndoButton->SetTop(OptionsButton->Top());
}

void TSpellDialog::FullEnable(bool Enable) {
    TWinControl* all[] = {UndoButton,      OptionsButton,    ReplaceWithEdit, SuggestionsListbox,
                          IgnoreAllButton, IgnoreButton,     ChangeAllButton, ChangeButton,
                          AddButton,       AutoCorrectButton};
    if (!Enable) {
        for (TWinControl* c : all)
            c->SetEnabled(false);
        return;
    }
    UndoButton->SetEnabled(DialogControl->ReadCanUndo() && Enabled(sdcUndo));
    OptionsButton->SetEnabled(Enabled(sdcOptions));
    ReplaceWithEdit->SetEnabled(true);
    SuggestionsListbox->SetEnabled(true);
    IgnoreAllButton->SetEnabled(Enabled(sdcIgnoreAll));
    IgnoreButton->SetEnabled(Enabled(sdcIgnore));
    ChangeAllButton->SetEnabled(Enabled(sdcChangeAll));
    ChangeButton->SetEnabled(Enabled(sdcChange));
    AddButton->SetEnabled(HasActiveCustom() && Enabled(sdcAdd));
    AutoCorrectButton->SetEnabled(HasActiveCustom() && Enabled(sdcAutoCorrect));
}

void TSpellDialog::ReplaceWithEditChange() {
    if (FRepeated)
        return;
    bool text = !ReplaceWithEdit->Text().empty();
    ChangeAllButton->SetEnabled(text && Enabled(sdcChangeAll));
    ChangeButton->SetEnabled(text && Enabled(sdcChange));
    AutoCorrectButton->SetEnabled(text && HasActiveCustom() && Enabled(sdcAutoCorrect));
}

void TSpellDialog::DialogControlPromptWord(TObject*, const std::string& Word, bool Repeated) {
    FShownWord = Word;
    NotFoundEdit->SetText(Word);
    SuggestionsListbox->Items().Clear();
    if (Repeated != FRepeated) {
        FRepeated = Repeated;
        FullEnable(!Repeated);
        if (Repeated) {
            OptionsButton->SetEnabled(Enabled(sdcOptions));
            IgnoreButton->SetEnabled(true);
            ChangeButton->SetEnabled(true);
        }
    }
    NotFoundText->SetCaption(DialogControl->GetString(FRepeated ? lsDlgRepeatedWord : lsDlgNotFound));
    UndoButton->SetEnabled(DialogControl->ReadCanUndo() && Enabled(sdcUndo));
    if (FRepeated) {
        ReplaceWithEdit->SetText(Word.substr(0, Word.size() / 2));
        return;
    }
    AddButton->SetEnabled(HasActiveCustom() && Enabled(sdcAdd));
    AutoCorrectButton->SetEnabled(HasActiveCustom() && Enabled(sdcAutoCorrect));
    DialogControl->Suggest(Word, &SuggestionsListbox->Items());
    bool any = SuggestionsListbox->Items().Count() > 0;
    SuggestionsListbox->SetEnabled(any);
    if (any) {
        ReplaceWithEdit->SetText(SuggestionsListbox->Items()[0]);
        SuggestionsListbox->SetItemIndex(0);
        ReplaceWithEditChange();
    } else {
        ReplaceWithEdit->SetText("");
        ReplaceWithEditChange();
        SuggestionsListbox->Items().Add(DialogControl->GetString(lsMnNoSuggestions));
    }
}
