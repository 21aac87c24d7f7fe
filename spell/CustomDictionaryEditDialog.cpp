#include "spell/CustomDictionaryEditDialog.h"

#include "framework/core/SysUtils.h"
#include "framework/ui/Screen.h"
#include "spell/DialogControls.h"

ZEL_DEFINE_CLASS(TCustomDictionaryEditDialog, TForm, {})

namespace {

// The hourglass while a long list fills; the previous cursor comes back however the fill ends.
struct HourglassScope {
    TCursor saved = Screen ? Screen->Cursor() : crDefault;
    HourglassScope() {
        if (Screen)
            Screen->SetCursor(crHourGlass);
    }
    ~HourglassScope() {
        if (Screen)
            Screen->SetCursor(saved);
    }
};

// Counts a re-entry while the program itself moves the selection or the edits.
struct NestScope {
    int& depth;
    explicit NestScope(int& d) : depth(d) { ++depth; }
    ~NestScope() { --depth; }
};

} // namespace

TCustomDictionaryEditDialog::TCustomDictionaryEditDialog(TComponent* AOwner) : TForm(AOwner) {
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBorderIcons(biSystemMenu);
    SetPosition(TFormPosition::poOwnerFormCenter);
    SetCaption("xxUser Dictionary");
    SetClientWidth(352);
    SetClientHeight(330);

    PageControl = MakeControl<TPageControl>(this, this, 8, 8, 336, 282);
    auto sheet = [this](const std::string& caption) {
        auto* s = new TTabSheet(this);
        s->SetCaption(caption);
        s->SetPageControl(PageControl);
        return s;
    };
    AddedWordsSheet = sheet("xxAdded Words");
    AutoCorrectWordsSheet = sheet("xxAuto-Correct Pairs");
    ExcludedWordsSheet = sheet("xxExcluded Words");

    auto wordPage = [this](TTabSheet* s, TLabel*& explain, TLabel*& label, TListBox*& list, TEdit*& edit,
                           TButton*& add, TButton*& del) {
        // Wrapping before the caption comes, so the label keeps its width and grows downwards.
        explain = MakeControl<TLabel>(this, s, 8, 6, 312, 42);
        explain->SetWordWrap(true);
        explain->SetCaption("xxExplanation");
        label = MakeControl<TLabel>(this, s, 8, 52, 220, 13, "xxWord:");
        edit = MakeControl<TEdit>(this, s, 8, 68, 220, 21);
        label->SetFocusControl(edit);
        list = MakeControl<TListBox>(this, s, 8, 94, 220, 152);
        list->SetSorted(true);
        add = MakeControl<TButton>(this, s, 238, 67, 82, 23, "xxAdd");
        del = MakeControl<TButton>(this, s, 238, 95, 82, 23, "xxDelete");
    };
    wordPage(AddedWordsSheet, AddedWordsExplain, IgnoreEditLabel, IgnoreList, IgnoreEdit, AddIgnoreButton,
             DeleteIgnoreButton);
    wordPage(ExcludedWordsSheet, ExcludeWordsExplanation, ExcludeEditLabel, ExcludeList, ExcludeEdit,
             AddExcludeButton, DeleteExcludeButton);

    TTabSheet* ac = AutoCorrectWordsSheet;
    AutoCorrectWordsExplain = MakeControl<TLabel>(this, ac, 8, 6, 312, 42);
    AutoCorrectWordsExplain->SetWordWrap(true);
    AutoCorrectWordsExplain->SetCaption("xxExplanation");
    ReplaceEditLabel = MakeControl<TLabel>(this, ac, 8, 52, 108, 13, "xxReplace:");
    WithEditLabel = MakeControl<TLabel>(this, ac, 120, 52, 108, 13, "xxWith:");
    ReplaceEdit = MakeControl<TEdit>(this, ac, 8, 68, 108, 21);
    WithEdit = MakeControl<TEdit>(this, ac, 120, 68, 108, 21);
    ReplaceEditLabel->SetFocusControl(ReplaceEdit);
    WithEditLabel->SetFocusControl(WithEdit);
    AutoCorrectList = MakeControl<TSpellCheckList>(this, ac, 8, 94, 220, 152);
    AutoCorrectList->ShowColumnHeaders = false;
    AutoCorrectList->CheckBoxes = false;
    AutoCorrectList->SortByCaption = true;
    AddAutoCorrectButton = MakeControl<TButton>(this, ac, 238, 67, 82, 23, "xxAdd");
    DeleteAutoCorrectButton = MakeControl<TButton>(this, ac, 238, 95, 82, 23, "xxDelete");

    HelpButton = MakeControl<TButton>(this, this, 8, 298, 75, 25, "xxHelp");
    OK = MakeControl<TButton>(this, this, 269, 298, 75, 25, "xxOK");
    OK->SetModalResult(mrOk);
    DialogControl = new TConfigurationDialogCtrl(this);
    DialogControl->OnConfigurationAvailable = [this](TObject*) { ConfigurationAvailable(); };
    DialogControl->OnCustomDictionaryAvailable = [this](TObject*) { CustomDictionaryAvailable(); };
    Timer = new TTimer(this);
    Timer->SetEnabled(false);
    Timer->SetInterval(5);
    Timer->OnTimer = [this](TObject*) {
        Timer->SetEnabled(false);
        ReplaceEditChange();
    };

    PageControl->OnChange = [this](TObject*) { FillActivePage(); };
    for (WordKind k : {WordKind::Ignore, WordKind::Exclude}) {
        WordPage p = Page(k);
        p.Edit->OnChange = [this, k](TObject*) { WordEditChange(k); };
        p.Edit->OnKeyDown = [this, k](TObject*, WORD& key, TShiftState) {
            if (key != VK_RETURN)
                return;
            key = 0;
            if (Page(k).Add->Enabled())
                WordAdd(k);
        };
        p.List->OnClick = [this, k](TObject*) { WordListClick(k); };
        p.Add->OnClick = [this, k](TObject*) { WordAdd(k); };
        p.Delete->OnClick = [this, k](TObject*) { WordDelete(k); };
    }
    ReplaceEdit->OnChange = [this](TObject*) { ReplaceEditChange(); };
    WithEdit->OnChange = [this](TObject*) { WithEditChange(); };
    ReplaceEdit->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
        if (key != VK_RETURN)
            return;
        key = 0;
        if (!ReplaceEdit->Text().empty() && WithEdit->CanFocus())
            WithEdit->SetFocus();
    };
    WithEdit->OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
        if (key != VK_RETURN)
            return;
        key = 0;
        if (AddAutoCorrectButton->Enabled())
            AutoCorrectAdd();
    };
    AutoCorrectList->OnSelectItem = [this](TSpellCheckList*, int i) { AutoCorrectSelect(i); };
    AddAutoCorrectButton->OnClick = [this](TObject*) { AutoCorrectAdd(); };
    DeleteAutoCorrectButton->OnClick = [this](TObject*) { AutoCorrectDelete(); };
}

TCustomDictionaryEditDialog::WordPage TCustomDictionaryEditDialog::Page(WordKind Kind) {
    if (Kind == WordKind::Ignore)
        return {IgnoreList, IgnoreEdit, AddIgnoreButton, DeleteIgnoreButton};
    return {ExcludeList, ExcludeEdit, AddExcludeButton, DeleteExcludeButton};
}

TCustomDictionary* TCustomDictionaryEditDialog::Dictionary() const {
    return DialogControl->CustomDictionary();
}

bool TCustomDictionaryEditDialog::IsInternal() const {
    TCustomDictionary* d = Dictionary();
    return d && d == DialogControl->ReadInternalCustom();
}

void TCustomDictionaryEditDialog::ConfigurationAvailable() {
    TConfigurationDialogCtrl& dc = *DialogControl;
    AddedWordsSheet->SetCaption(dc.GetString(lsDlgAddedWords));
    AddedWordsExplain->SetCaption(dc.GetString(lsDlgAddedWordsExplanation));
    IgnoreEditLabel->SetCaption(dc.GetString(lsDlgIgnoreThisWord));
    AutoCorrectWordsSheet->SetCaption(dc.GetString(lsDlgAutoCorrectPairs));
    AutoCorrectWordsExplain->SetCaption(dc.GetString(lsDlgAutoCorrectPairsExplanation));
    ReplaceEditLabel->SetCaption(dc.GetString(lsDlgReplace));
    WithEditLabel->SetCaption(dc.GetString(lsDlgWith));
    ExcludedWordsSheet->SetCaption(dc.GetString(lsDlgExcludedWords));
    ExcludeWordsExplanation->SetCaption(dc.GetString(lsDlgExcludedWordsExplanation));
    ExcludeEditLabel->SetCaption(dc.GetString(lsDlgExcludeThisWord));
    for (TButton* b : {AddIgnoreButton, AddAutoCorrectButton, AddExcludeButton})
        b->SetCaption(dc.GetString(lsDlgAdd));
    for (TButton* b : {DeleteIgnoreButton, DeleteAutoCorrectButton, DeleteExcludeButton})
        b->SetCaption(dc.GetString(lsDlgDelete));
    HelpButton->SetCaption(dc.GetString(lsDlgHelp));
    OK->SetCaption(dc.GetString(lsDlgOK));
}

void TCustomDictionaryEditDialog::CustomDictionaryAvailable() {
    TConfigurationDialogCtrl& dc = *DialogControl;
    TSpellDialogCommands visible = dc.ReadCommandsVisible();
    auto shown = [visible](TSpellDialogCommand c) { return (visible & SpellCommandBit(c)) != 0; };
    const bool internal = IsInternal();
    AddedWordsSheet->SetTabVisible(shown(sdcAddedEdit));
    AutoCorrectWordsSheet->SetTabVisible(shown(sdcAutoCorrectEdit));
    ExcludedWordsSheet->SetTabVisible(dc.ReadUseExcludeWords() && !internal && shown(sdcExcludedEdit));
    if (internal) {
        SetCaption(dc.GetString(lsIgnoreAllChangeAllTitle));
        AddedWordsSheet->SetCaption(dc.GetString(lsDlgIgnoreAll));
        AutoCorrectWordsSheet->SetCaption(dc.GetString(lsDlgChangeAll));
    } else if (TCustomDictionary* d = Dictionary()) {
        SetCaption(ExtractFileName(d->GetFilename()));
    }
    HelpButton->SetVisible(shown(sdcHelp) && dc.ReadHelpCtxDictionaryEditDialog() != 0);
    HelpButton->SetEnabled((dc.ReadCommandsEnabled() & SpellCommandBit(sdcHelp)) != 0);
    // The first page the user may see comes first.
    if (PageControl->ActivePage() && !PageControl->ActivePage()->TabVisible())
        if (TTabSheet* next = PageControl->FindNextPage(PageControl->ActivePage(), true, true))
            PageControl->SetActivePage(next);
}

void TCustomDictionaryEditDialog::DoShow() {
    TForm::DoShow();
    FillActivePage();
}

void TCustomDictionaryEditDialog::FillActivePage() {
    TTabSheet* page = PageControl->ActivePage();
    if (page == AddedWordsSheet)
        FillWordPage(WordKind::Ignore);
    else if (page == ExcludedWordsSheet)
        FillWordPage(WordKind::Exclude);
    else if (page == AutoCorrectWordsSheet)
        FillAutoCorrectPage();
}

void TCustomDictionaryEditDialog::FillWordPage(WordKind Kind) {
    WordPage p = Page(Kind);
    if (p.List->Items().Count() > 0)
        return;
    TCustomDictionary* d = Dictionary();
    if (!d) {
        // Nothing to edit: the dialog goes away at once.
        SetModalResult(mrCancel);
        return;
    }
    HourglassScope hourglass;
    p.Add->SetEnabled(false);
    p.Delete->SetEnabled(false);
    const bool ignore = Kind == WordKind::Ignore;
    const int n = ignore ? d->IgnoreCount() : d->ExcludeCount();
    TStrings& items = p.List->Items();
    items.BeginUpdate();
    for (int i = 0; i < n; ++i)
        items.Add(ignore ? d->GetIgnoreWord(static_cast<unsigned>(i))
                         : d->GetExcludeWord(static_cast<unsigned>(i)));
    items.EndUpdate();
}

void TCustomDictionaryEditDialog::FillAutoCorrectPage() {
    TCustomDictionary* d = Dictionary();
    if (!d || AutoCorrectList->Count() > 0)
        return;
    HourglassScope hourglass;
    NestScope nest(FInSelect);
    AddAutoCorrectButton->SetEnabled(false);
    DeleteAutoCorrectButton->SetEnabled(false);
    if (!FColumnsMade) {
        FColumnsMade = true;
        AutoCorrectList->AddColumn("", WithEdit->Left() - ReplaceEdit->Left());
        AutoCorrectList->AddColumn("", 10);
    }
    const int n = d->AutoCorrectCount();
    for (int i = 0; i < n; ++i) {
        std::string replacement;
        std::string word = d->GetAutoCorrectWord(static_cast<unsigned>(i), replacement);
        AutoCorrectList->AddItem(word, replacement);
    }
    FitReplacementColumn();
}

void TCustomDictionaryEditDialog::FitReplacementColumn() {
    if (!FColumnsMade)
        return;
    RECT rc{};
    GetClientRect(AutoCorrectList->Handle(), &rc);
    int rest = (rc.right - rc.left) - AutoCorrectList->ColumnWidth(0);
    AutoCorrectList->SetColumnWidth(1, rest > 0 ? rest : 0);
}

// ---- the added-words and excluded-words pages -------------------------------------------------

void TCustomDictionaryEditDialog::WordEditChange(WordKind Kind) {
    WordPage p = Page(Kind);
    TCustomDictionary* d = Dictionary();
    if (!d)
        return;
    const std::string text = p.Edit->Text();
    const bool ignore = Kind == WordKind::Ignore;
    if (ignore ? d->IgnoreExists(text) : d->ExcludeExists(text)) {
        p.Add->SetEnabled(false);
        p.List->SetItemIndex(p.List->Items().IndexOf(text));
        p.Delete->SetEnabled(p.List->ItemIndex() >= 0);
        return;
    }
    p.List->SetItemIndex(-1);
    p.Delete->SetEnabled(false);
    std::string replacement;
    bool enable = !text.empty() && !d->AutoCorrectExists(text, replacement) &&
                  (ignore ? !d->ExcludeExists(text) : !d->IgnoreExists(text));
    p.Add->SetEnabled(enable);
}

void TCustomDictionaryEditDialog::WordListClick(WordKind Kind) {
    WordPage p = Page(Kind);
    int i = p.List->ItemIndex();
    if (i >= 0)
        p.Edit->SetText(p.List->Items()[i]); // runs the edit change
    else
        WordEditChange(Kind);
}

void TCustomDictionaryEditDialog::WordAdd(WordKind Kind) {
    WordPage p = Page(Kind);
    TCustomDictionary* d = Dictionary();
    if (!d)
        return;
    const std::string text = p.Edit->Text();
    if (text.empty())
        return;
    bool added = Kind == WordKind::Ignore ? d->AddIgnore(text) : d->AddExclude(text);
    if (!added)
        return;
    p.List->Items().Add(text);
    WordEditChange(Kind);
}

void TCustomDictionaryEditDialog::WordDelete(WordKind Kind) {
    WordPage p = Page(Kind);
    TCustomDictionary* d = Dictionary();
    if (!d)
        return;
    const std::string text = p.Edit->Text();
    bool removed = Kind == WordKind::Ignore ? d->RemoveIgnore(text) : d->RemoveExclude(text);
    if (!removed)
        return;
    int at = p.List->ItemIndex();
    if (at < 0)
        at = p.List->Items().IndexOf(text);
    if (at >= 0)
        p.List->Items().Delete(at);
    int count = p.List->Items().Count();
    p.List->SetItemIndex(at < count ? at : count - 1);
    WordListClick(Kind);
}

// ---- the auto-correct page --------------------------------------------------------------------

void TCustomDictionaryEditDialog::ReplaceEditChange() {
    TCustomDictionary* d = Dictionary();
    if (!d)
        return;
    NestScope nest(FInSelect);
    const std::string word = ReplaceEdit->Text();
    std::string stored;
    if (d->AutoCorrectExists(word, stored)) {
        AddAutoCorrectButton->SetEnabled(false);
        int row = AutoCorrectList->FindCaption(word);
        if (row >= 0)
            AutoCorrectList->Select(row);
        DeleteAutoCorrectButton->SetEnabled(AutoCorrectList->Focused() >= 0);
        return;
    }
    AutoCorrectList->SelectNone();
    DeleteAutoCorrectButton->SetEnabled(false);
    AddAutoCorrectButton->SetEnabled(!d->IgnoreExists(word) && !d->ExcludeExists(word) && !word.empty() &&
                                     !WithEdit->Text().empty());
}

void TCustomDictionaryEditDialog::WithEditChange() {
    TCustomDictionary* d = Dictionary();
    if (!d)
        return;
    int row = AutoCorrectList->Focused();
    if (row < 0) {
        ReplaceEditChange();
        return;
    }
    const std::string word = ReplaceEdit->Text();
    const std::string with = WithEdit->Text();
    std::string stored;
    // An emptied replacement is a keystroke on the way to a new one, not a pair to store.
    if (with.empty() || !d->AutoCorrectExists(word, stored) || stored == with)
        return;
    if (d->RemoveAutoCorrect(word) && d->AddAutoCorrect(word, with))
        AutoCorrectList->SetSubItem(row, with);
}

void TCustomDictionaryEditDialog::AutoCorrectSelect(int Index) {
    if (FInSelect > 0)
        return;
    if (Index < 0) {
        // The focused row lost its selection; the new one (if any) arrives right after.
        Timer->SetEnabled(true);
        return;
    }
    Timer->SetEnabled(false);
    NestScope nest(FInSelect);
    std::string word = AutoCorrectList->Caption(Index);
    std::string with = AutoCorrectList->SubItem(Index);
    ReplaceEdit->SetText(word);
    WithEdit->SetText(with);
    AddAutoCorrectButton->SetEnabled(false);
    DeleteAutoCorrectButton->SetEnabled(true);
}

void TCustomDictionaryEditDialog::AutoCorrectAdd() {
    TCustomDictionary* d = Dictionary();
    if (!d)
        return;
    const std::string word = ReplaceEdit->Text(), with = WithEdit->Text();
    if (word.empty() || with.empty() || !d->AddAutoCorrect(word, with))
        return;
    NestScope nest(FInSelect);
    int row = AutoCorrectList->AddItem(word, with);
    if (row >= 0)
        AutoCorrectList->Select(row);
    ReplaceEditChange();
    FitReplacementColumn();
}

void TCustomDictionaryEditDialog::AutoCorrectDelete() {
    TCustomDictionary* d = Dictionary();
    int row = AutoCorrectList->Focused();
    if (!d || row < 0 || !d->RemoveAutoCorrect(ReplaceEdit->Text()))
        return;
    {
        NestScope nest(FInSelect);
        AutoCorrectList->DeleteItem(row);
    }
    int count = AutoCorrectList->Count();
    int next = row < count ? row : count - 1;
    if (next >= 0) {
        AutoCorrectList->Select(next); // puts the row's pair into the edits
        AutoCorrectSelect(next);
    } else {
        ReplaceEditChange();
    }
    FitReplacementColumn();
}
