#include "controls/textmodel/dialogs/SearchDialogs.h"

#include <commctrl.h>

#include <algorithm>

#include "controls/foundation/DrawingUtils.h"
#include "controls/foundation/HSCommon.h"
#include "controls/foundation/HSResStrings.h"

ZEL_DEFINE_CLASS(TSearchOptionsForm, TForm, {})
ZEL_DEFINE_CLASS(TSrchDialog, TSearchOptionsForm, {})
ZEL_DEFINE_CLASS(TReplDialog, TSearchOptionsForm, {})

namespace {

TFormItem Item(const char* Class, const char* Name, const char* Parent, int L, int T, int W, int H,
               std::vector<std::pair<std::string, std::string>> Props = {}) {
    return {Class, Name, Parent, L, T, W, H, "", std::move(Props), nullptr, nullptr};
}

TFormItem Sheet(const char* Name, bool Visible) {
    TFormItem I = Item("TTabSheet", Name, "", 0, 0, 0, 0);
    if (!Visible)
        I.Properties.push_back({"TabVisible", "False"});
    I.Setup = [](TControl& C) {
        static_cast<TTabSheet&>(C).SetPageControl(FindOwned<TPageControl>(*C.Owner(), "PageControl"));
    };
    return I;
}

} // namespace

TSearchOptionsForm::TSearchOptionsForm(TComponent* AOwner) : TForm(AOwner) {
    FOptions = std::make_unique<TSearchOptions>();
    FOptions->Assign(GetSearchOptions());
}

TSearchOptionsForm::~TSearchOptionsForm() = default;

void TSearchOptionsForm::BuildSearchForm(const std::string& Caption, int TopOfGroups,
                                         std::vector<TFormItem> Extra) {
    RegisterClass(THSHistoryEditor::StaticClass());
    const int G = TopOfGroups;
    // The option group has room for a fourth switch when a form adds one.
    bool FourSwitches = false;
    for (const TFormItem& I : Extra)
        FourSwitches = FourSwitches || I.Parent == "gbOptions";
    const int OptH = FourSwitches ? 102 : 82;
    TFormLayout L;
    L.ClientWidth = 385;
    L.BorderStyle = TFormBorderStyle::bsDialog;
    L.Position = TFormPosition::poScreenCenter;
    L.ActiveControl = "SearText";
    L.Items = {
        Item("TPageControl", "PageControl", "", 8, 8, 369, 100),
        Sheet("FindPage", true),
        Item("TLabel", "LTextToFind", "FindPage", 8, 12, 90, 16),
        Item("THSHistoryEditor", "SearText", "FindPage", 100, 8, 253, 21),
        Item("TGroupBox", "gbOptions", "FindPage", 8, G, 170, OptH),
        Item("TCheckBox", "CaseSens", "gbOptions", 8, 18, 154, 17),
        Item("TCheckBox", "WholeWord", "gbOptions", 8, 38, 154, 17),
        Item("TCheckBox", "RegExpr", "gbOptions", 8, 58, 154, 17),
        Item("TGroupBox", "gbDirection", "FindPage", 186, G, 168, OptH),
        Item("TRadioButton", "dirForward", "gbDirection", 8, 18, 150, 17),
        Item("TRadioButton", "dirBackward", "gbDirection", 8, 38, 150, 17),
        Item("TGroupBox", "gbScope", "FindPage", 8, G + OptH + 4, 170, 62),
        Item("TRadioButton", "ScopeGlobal", "gbScope", 8, 18, 154, 17),
        Item("TRadioButton", "ScopeSelected", "gbScope", 8, 38, 154, 17),
        Item("TGroupBox", "gbOrigin", "FindPage", 186, G + OptH + 4, 168, 62),
        Item("TRadioButton", "OriginFromCursor", "gbOrigin", 8, 18, 150, 17),
        Item("TRadioButton", "OriginEntireScope", "gbOrigin", 8, 38, 150, 17),
    };
    for (TFormItem& I : Extra)
        L.Items.push_back(std::move(I));
    BuildForm(*this, L);
    SetBorderIcons(biSystemMenu);
    SetCaption(Caption);

    PageControl = FindOwned<TPageControl>(*this, "PageControl");
    FindPage = FindOwned<TTabSheet>(*this, "FindPage");
    LTextToFind = FindOwned<TLabel>(*this, "LTextToFind");
    SearText = FindOwned<THSHistoryEditor>(*this, "SearText");
    gbOptions = FindOwned<TGroupBox>(*this, "gbOptions");
    CaseSens = FindOwned<TCheckBox>(*this, "CaseSens");
    WholeWord = FindOwned<TCheckBox>(*this, "WholeWord");
    RegExpr = FindOwned<TCheckBox>(*this, "RegExpr");
    gbDirection = FindOwned<TGroupBox>(*this, "gbDirection");
    dirForward = FindOwned<TRadioButton>(*this, "dirForward");
    dirBackward = FindOwned<TRadioButton>(*this, "dirBackward");
    gbScope = FindOwned<TGroupBox>(*this, "gbScope");
    ScopeGlobal = FindOwned<TRadioButton>(*this, "ScopeGlobal");
    ScopeSelected = FindOwned<TRadioButton>(*this, "ScopeSelected");
    gbOrigin = FindOwned<TGroupBox>(*this, "gbOrigin");
    OriginFromCursor = FindOwned<TRadioButton>(*this, "OriginFromCursor");
    OriginEntireScope = FindOwned<TRadioButton>(*this, "OriginEntireScope");
    OKBut = FindOwned<TButton>(*this, "OKBut");
    CancelBut = FindOwned<TButton>(*this, "CancelBut");
    HelpBut = FindOwned<TButton>(*this, "HelpBut");

    SetParentFont(true);
    SetFormFont(this);
    // The page holds the groups whatever height its tabs take; the buttons stand below it.
    RECT Page{0, 0, PageControl->Width(), PageControl->Height()};
    SendMessageA(PageControl->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&Page));
    const int Room = PageControl->Height() - (Page.bottom - Page.top);
    PageControl->SetHeight(Room + gbScope->Top() + gbScope->Height() + 8);
    const int Row = PageControl->Top() + PageControl->Height() + 8;
    int Bottom = Row;
    for (int I = 0; I < ControlCount(); ++I)
        if (auto* B = dynamic_cast<TButton*>(Controls(I))) {
            B->SetTop(Row);
            Bottom = std::max(Bottom, Row + B->Height());
        }
    SetClientHeight(Bottom + 8);
    PageControl->SetActivePage(FindPage);
    FindPage->SetCaption(LoadResString(SFind));
    LTextToFind->SetCaption(LoadResString(STextToFind));
    LTextToFind->SetFocusControl(SearText);
    gbOptions->SetCaption(LoadResString(SOptions));
    CaseSens->SetCaption(LoadResString(SCaseSensitive));
    WholeWord->SetCaption(LoadResString(SWholeWord));
    RegExpr->SetCaption(LoadResString(SRegExpr));
    gbDirection->SetCaption(LoadResString(SDirection));
    dirForward->SetCaption(LoadResString(SForward));
    dirBackward->SetCaption(LoadResString(SBackward));
    gbScope->SetCaption(LoadResString(SScope));
    ScopeGlobal->SetCaption(LoadResString(SGlobal));
    ScopeSelected->SetCaption(LoadResString(SSelText));
    gbOrigin->SetCaption(LoadResString(SOrigin));
    OriginFromCursor->SetCaption(LoadResString(SFromCursor));
    OriginEntireScope->SetCaption(LoadResString(SEntireScope));

    const TSearchOptions& O = *FOptions;
    SearText->SetText(O.TextToFind);
    CaseSens->SetChecked(O.CaseSensitive);
    WholeWord->SetChecked(O.WholeWordsOnly);
    RegExpr->SetChecked(O.RegularExpr);
    (O.Direction == sdBackward ? dirBackward : dirForward)->SetChecked(true);
    (O.Scope == ssSelectedText ? ScopeSelected : ScopeGlobal)->SetChecked(true);
    (O.Origin == soEntireScope ? OriginEntireScope : OriginFromCursor)->SetChecked(true);
}

void TSearchOptionsForm::ReadControls() {
    TSearchOptions& O = *FOptions;
    O.TextToFind = SearText->Text();
    O.CaseSensitive = CaseSens->Checked();
    O.WholeWordsOnly = WholeWord->Checked();
    O.RegularExpr = RegExpr->Checked();
    O.Direction = dirBackward->Checked() ? sdBackward : sdForward;
    O.Scope = ScopeSelected->Checked() ? ssSelectedText : ssGlobal;
    O.Origin = OriginEntireScope->Checked() ? soEntireScope : soFromCursor;
}

void TSearchOptionsForm::Commit() {
    GetSearchOptions()->Assign(FOptions.get());
}

// --- TSrchDialog -------------------------------------------------------------------------------

TSrchDialog::TSrchDialog(TComponent* AOwner) : TSearchOptionsForm(AOwner) {
    auto OK = Item("TButton", "OKBut", "", 144, 0, 73, 25, {{"Default", "True"}, {"ModalResult", "1"}});
    OK.OnClick = [this](TObject*) { OKButClick(); };
    BuildSearchForm(
        LoadResString(SFindText), 40,
        {Sheet("FindInFilesPage", false), std::move(OK),
         Item("TButton", "CancelBut", "", 224, 0, 73, 25, {{"Cancel", "True"}, {"ModalResult", "2"}}),
         Item("TButton", "HelpBut", "", 304, 0, 73, 25)});
    FindInFilesPage = FindOwned<TTabSheet>(*this, "FindInFilesPage");
    SearText->SetRegName("SrchDialogSearText");
    UpdateStandardButtons(OKBut, CancelBut, HelpBut);
}

void TSrchDialog::OKButClick() {
    ReadControls();
    Commit();
}

// --- TReplDialog -------------------------------------------------------------------------------

TReplDialog::TReplDialog(TComponent* AOwner) : TSearchOptionsForm(AOwner) {
    auto OK = Item("TButton", "OKBut", "", 64, 0, 73, 25, {{"Default", "True"}, {"ModalResult", "1"}});
    OK.OnClick = [this](TObject*) { OKButClick(); };
    auto All = Item("TButton", "ReplBut", "", 144, 0, 81, 25, {{"ModalResult", std::to_string(mrAll)}});
    All.OnClick = [this](TObject*) { ReplButClick(); };
    BuildSearchForm(
        LoadResString(SReplText), 68,
        {Item("TLabel", "LReplaceWith", "FindPage", 8, 40, 90, 16),
         Item("THSHistoryEditor", "ReplText", "FindPage", 100, 36, 253, 21),
         Item("TCheckBox", "PromptRepl", "gbOptions", 8, 78, 154, 17), std::move(OK), std::move(All),
         Item("TButton", "CancelBut", "", 232, 0, 73, 25, {{"Cancel", "True"}, {"ModalResult", "2"}}),
         Item("TButton", "HelpBut", "", 312, 0, 73, 25)});
    LReplaceWith = FindOwned<TLabel>(*this, "LReplaceWith");
    ReplText = FindOwned<THSHistoryEditor>(*this, "ReplText");
    PromptRepl = FindOwned<TCheckBox>(*this, "PromptRepl");
    ReplBut = FindOwned<TButton>(*this, "ReplBut");
    SearText->SetRegName("ReplDialogSearText");
    ReplText->SetRegName("ReplDialogReplText");
    LReplaceWith->SetCaption(LoadResString(SReplaceWith));
    LReplaceWith->SetFocusControl(ReplText);
    PromptRepl->SetCaption(LoadResString(SPropmtRepl));
    ReplBut->SetCaption(LoadResString(SReplAll));
    OKBut->SetCaption(LoadResString(SOkButton));
    CancelBut->SetCaption(LoadResString(SCancelButton));
    HelpBut->SetCaption(LoadResString(SHelpButton));
    HelpBut->SetVisible(boolShowHelpButton);
    if (!boolShowHelpButton)
        for (TButton* B : {OKBut, ReplBut, CancelBut})
            B->SetLeft(B->Left() + 80);
    ReplText->SetText(Options().ReplaceWith);
    PromptRepl->SetChecked(Options().PromptOnReplace);
}

void TReplDialog::SaveOptions(bool ReplaceAll) {
    ReadControls();
    Options().ReplaceWith = ReplText->Text();
    Options().PromptOnReplace = PromptRepl->Checked();
    Options().ReplaceAll = ReplaceAll;
    Commit();
}

void TReplDialog::ReplButClick() {
    SearText->HistoryChanged();
    ReplText->HistoryChanged();
    SaveOptions(true);
}
