#include "controls/memo/SearchReplaceForm.h"

#include "controls/foundation/HSCommon.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/textmodel/FindReplace.h"
#include "controls/textmodel/MemoOptions.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TFrmSearRepl, TNotModalSearchForm, {})

namespace {

enum { kFindPage = 0, kReplacePage = 1, kGoToPage = 2 };

TFormItem Item(const char* Class, const char* Name, const char* Parent, int L, int T, int W, int H,
               std::vector<std::pair<std::string, std::string>> Props = {}) {
    return {Class, Name, Parent, L, T, W, H, "", std::move(Props), nullptr, nullptr};
}

TFormItem Sheet(const char* Name) {
    TFormItem I = Item("TTabSheet", Name, "", 0, 0, 0, 0);
    I.Setup = [](TControl& C) {
        static_cast<TTabSheet&>(C).SetPageControl(FindOwned<TPageControl>(*C.Owner(), "PageControl"));
    };
    return I;
}

// Two arrows side by side, down (options hidden: press to show them) then up.
void DrawArrows(TBitmap& B) {
    B.SetSize(32, 16);
    TCanvas& C = B.Canvas();
    C.Brush().SetColor(clBtnFace);
    C.FillRect(RECT{0, 0, 32, 16});
    C.Brush().SetColor(clBlack);
    C.Pen().SetColor(clBlack);
    const POINT Down[] = {{4, 6}, {12, 6}, {8, 10}};
    const POINT Up[] = {{20, 10}, {28, 10}, {24, 6}};
    C.Polygon(Down, 3);
    C.Polygon(Up, 3);
}

} // namespace

TFrmSearRepl::TFrmSearRepl(TComponent* AOwner) : TNotModalSearchForm(AOwner) {
    RegisterClass(THSHistoryEditor::StaticClass());
    SetName("FrmSearRepl");
    SetScaled(false);
    TFormLayout L;
    L.ClientWidth = 491;
    L.ClientHeight = 267;
    L.PixelsPerInch = 120;
    L.BorderStyle = TFormBorderStyle::bsDialog;
    auto Click = [this](void (TFrmSearRepl::*Handler)()) {
        return [this, Handler](TObject*) { (this->*Handler)(); };
    };
    L.Items = {
        Item("TPageControl", "PageControl", "", 0, 0, 491, 121, {{"Align", "alTop"}}),
        Sheet("EditorFindPage"),
        Sheet("EditorReplacePage"),
        Sheet("GotoTab"),
        Item("TLabel", "LTexttFind", "EditorFindPage", 8, 16, 85, 16),
        Item("THSHistoryEditor", "SearText", "EditorFindPage", 96, 12, 321, 24),
        Item("TLabel", "InfoLbl", "EditorFindPage", 8, 80, 409, 16),
        Item("TLabel", "Label1", "EditorReplacePage", 8, 16, 85, 16),
        Item("THSHistoryEditor", "SearText1", "EditorReplacePage", 96, 12, 321, 24),
        Item("TLabel", "LReplWith", "EditorReplacePage", 8, 44, 85, 16),
        Item("THSHistoryEditor", "ReplText", "EditorReplacePage", 96, 40, 321, 24),
        Item("TLabel", "InfoLbl1", "EditorReplacePage", 8, 80, 409, 16),
        Item("TLabel", "Label4", "GotoTab", 8, 12, 145, 16),
        Item("TListBox", "GotoBox", "GotoTab", 8, 32, 145, 41),
        Item("TLabel", "InputLabel", "GotoTab", 168, 12, 281, 16),
        Item("TEdit", "LineEd", "GotoTab", 168, 32, 281, 24),
        Item("TLabel", "InfoLbl2", "GotoTab", 8, 80, 409, 16),
        Item("TPanel", "Panel2", "", 0, 121, 491, 40, {{"Align", "alTop"}, {"BevelOuter", "bvNone"}}),
        Item("TSpeedButton", "ExBtn", "Panel2", 56, 8, 73, 25),
        Item("TButton", "FindBtn", "Panel2", 144, 8, 73, 25),
        Item("TButton", "ReplBtn", "Panel2", 232, 8, 73, 25),
        Item("TButton", "ReplAllBtn", "Panel2", 320, 8, 75, 25),
        Item("TButton", "CloseBtn", "Panel2", 408, 8, 73, 25, {{"Cancel", "True"}}),
        Item("TButton", "GoToBtn", "Panel2", 320, 8, 73, 25),
        Item("TPanel", "ExPanel", "", 0, 161, 491, 106, {{"Align", "alClient"}, {"BevelOuter", "bvNone"}}),
        Item("TGroupBox", "gbxOptions", "ExPanel", 8, 8, 185, 89),
        Item("TCheckBox", "CaseSens", "gbxOptions", 8, 16, 169, 21),
        Item("TCheckBox", "WholeWord", "gbxOptions", 8, 40, 169, 21),
        Item("TCheckBox", "RegExpr", "gbxOptions", 8, 64, 169, 21),
        Item("TGroupBox", "gbxDirection", "ExPanel", 200, 8, 137, 89),
        Item("TRadioButton", "dirForward", "gbxDirection", 8, 16, 121, 21),
        Item("TRadioButton", "dirBackward", "gbxDirection", 8, 40, 121, 21),
        Item("TGroupBox", "gbxScope", "ExPanel", 344, 8, 137, 89),
        Item("TRadioButton", "ScopeGlobal", "gbxScope", 8, 16, 121, 21),
        Item("TRadioButton", "ScopeSelected", "gbxScope", 8, 40, 121, 21),
    };
    BuildForm(*this, L);
    SetBorderIcons(biSystemMenu);
    SetFormStyle(TFormStyle::fsStayOnTop);

    PageControl = FindOwned<TPageControl>(*this, "PageControl");
    EditorFindPage = FindOwned<TTabSheet>(*this, "EditorFindPage");
    EditorReplacePage = FindOwned<TTabSheet>(*this, "EditorReplacePage");
    GotoTab = FindOwned<TTabSheet>(*this, "GotoTab");
    LTexttFind = FindOwned<TLabel>(*this, "LTexttFind");
    SearText = FindOwned<THSHistoryEditor>(*this, "SearText");
    InfoLbl = FindOwned<TLabel>(*this, "InfoLbl");
    Label1 = FindOwned<TLabel>(*this, "Label1");
    SearText1 = FindOwned<THSHistoryEditor>(*this, "SearText1");
    LReplWith = FindOwned<TLabel>(*this, "LReplWith");
    ReplText = FindOwned<THSHistoryEditor>(*this, "ReplText");
    InfoLbl1 = FindOwned<TLabel>(*this, "InfoLbl1");
    Label4 = FindOwned<TLabel>(*this, "Label4");
    GotoBox = FindOwned<TListBox>(*this, "GotoBox");
    InputLabel = FindOwned<TLabel>(*this, "InputLabel");
    LineEd = FindOwned<TEdit>(*this, "LineEd");
    InfoLbl2 = FindOwned<TLabel>(*this, "InfoLbl2");
    Panel2 = FindOwned<TPanel>(*this, "Panel2");
    ExBtn = FindOwned<TSpeedButton>(*this, "ExBtn");
    FindBtn = FindOwned<TButton>(*this, "FindBtn");
    ReplBtn = FindOwned<TButton>(*this, "ReplBtn");
    ReplAllBtn = FindOwned<TButton>(*this, "ReplAllBtn");
    CloseBtn = FindOwned<TButton>(*this, "CloseBtn");
    GoToBtn = FindOwned<TButton>(*this, "GoToBtn");
    ExPanel = FindOwned<TPanel>(*this, "ExPanel");
    gbxOptions = FindOwned<TGroupBox>(*this, "gbxOptions");
    CaseSens = FindOwned<TCheckBox>(*this, "CaseSens");
    WholeWord = FindOwned<TCheckBox>(*this, "WholeWord");
    RegExpr = FindOwned<TCheckBox>(*this, "RegExpr");
    gbxDirection = FindOwned<TGroupBox>(*this, "gbxDirection");
    dirForward = FindOwned<TRadioButton>(*this, "dirForward");
    dirBackward = FindOwned<TRadioButton>(*this, "dirBackward");
    gbxScope = FindOwned<TGroupBox>(*this, "gbxScope");
    ScopeGlobal = FindOwned<TRadioButton>(*this, "ScopeGlobal");
    ScopeSelected = FindOwned<TRadioButton>(*this, "ScopeSelected");

    FindBtn->OnClick = Click(&TFrmSearRepl::FindBtnClick);
    ReplBtn->OnClick = [this](TObject*) { ReplBtnClick(false); };
    ReplAllBtn->OnClick = [this](TObject*) { ReplBtnClick(true); };
    GoToBtn->OnClick = Click(&TFrmSearRepl::GoToBtnClick);
    ExBtn->OnClick = Click(&TFrmSearRepl::ExBtnClick);
    CloseBtn->OnClick = Click(&TFrmSearRepl::CloseBtnClick);
    PageControl->OnChange = [this](TObject*) { PageChanged(); };
    OnClose = [](TObject*, TCloseAction& Action) { Action = TCloseAction::caFree; };
    // The history editors keep Return for their lists; in this window it also presses the page's
    // default button, as Return does everywhere else in it.
    for (THSHistoryEditor* E : {SearText, SearText1, ReplText})
        E->OnKeyDown = [this, E](TObject*, WORD& Key, TShiftState Shift) {
            if (Key == VK_RETURN && Shift == 0 && !E->DroppedDown())
                PressDefault();
        };
    LTexttFind->SetFocusControl(SearText);
    Label1->SetFocusControl(SearText1);
    LReplWith->SetFocusControl(ReplText);
    InputLabel->SetFocusControl(LineEd);

    DrawArrows(ExBtn->Glyph());
    FGlyph = std::make_unique<TBitmap>();
    FGlyph->Assign(ExBtn->Glyph());
    SetParentFont(true);
    SetFormFont(this);
    FPanelHeight = ExPanel->Height();
    FOptions = std::make_unique<TSearchOptions>();
    FOptions->Assign(GetSearchOptions());

    SetCaption(LoadResString(sFindAndRepl));
    EditorFindPage->SetCaption(LoadResString(SFind));
    EditorReplacePage->SetCaption(LoadResString(sReplace));
    LTexttFind->SetCaption(LoadResString(STextToFind));
    Label1->SetCaption(LoadResString(STextToFind));
    LReplWith->SetCaption(LoadResString(SReplaceWith));
    gbxOptions->SetCaption(LoadResString(SOptions));
    gbxDirection->SetCaption(LoadResString(SDirection));
    gbxScope->SetCaption(LoadResString(SScope));
    CaseSens->SetCaption(LoadResString(SCaseSensitive));
    WholeWord->SetCaption(LoadResString(SWholeWord));
    RegExpr->SetCaption(LoadResString(SRegExpr));
    dirForward->SetCaption(LoadResString(SForward));
    dirBackward->SetCaption(LoadResString(SBackward));
    ScopeGlobal->SetCaption(LoadResString(SGlobal));
    ScopeSelected->SetCaption(LoadResString(SSelText));
    FindBtn->SetCaption(LoadResString(SFind));
    ReplBtn->SetCaption(LoadResString(sReplace));
    ReplAllBtn->SetCaption(LoadResString(SReplAll));
    CloseBtn->SetCaption(LoadResString(sClose));
    GotoTab->SetCaption(LoadResString(SCapGotoLineNumber));
    GoToBtn->SetCaption(LoadResString(sGoTo));
    Label4->SetCaption("Go to");
    InputLabel->SetCaption(LoadResString(SCapEnterNewLine));
    GotoBox->Items().Add(LoadResString(sLine));
    GotoBox->Items().Add(LoadResString(sBookMark));
    GotoBox->SetItemIndex(0);
    ShowInfo("");

    const TSearchOptions& O = *FOptions;
    SearText->SetText(O.TextToFind);
    SearText1->SetText(O.TextToFind);
    ReplText->SetText(O.ReplaceWith);
    CaseSens->SetChecked(O.CaseSensitive);
    WholeWord->SetChecked(O.WholeWordsOnly);
    RegExpr->SetChecked(O.RegularExpr);
    (O.Direction == sdBackward ? dirBackward : dirForward)->SetChecked(true);
    (O.Scope == ssSelectedText ? ScopeSelected : ScopeGlobal)->SetChecked(true);
    ExBtnClick();
    PageChanged();
}

TFrmSearRepl::~TFrmSearRepl() = default;

void TFrmSearRepl::ShowInfo(const std::string& Text) {
    for (TLabel* L : {InfoLbl, InfoLbl1, InfoLbl2})
        L->SetCaption(Text);
}

void TFrmSearRepl::SetActiveIndex(int Index) {
    if (Index < 0 || Index >= PageControl->PageCount())
        return;
    PageControl->SetActivePageIndex(Index);
    TWinControl* Input = Index == kFindPage      ? static_cast<TWinControl*>(SearText)
                         : Index == kReplacePage ? static_cast<TWinControl*>(SearText1)
                                                 : LineEd;
    if (Showing() && Input->CanFocus())
        Input->SetFocus();
    SetActiveControl(Input);
    PageChanged();
}

void TFrmSearRepl::PageChanged() {
    const int P = PageControl->ActivePageIndex();
    ExBtn->SetEnabled(P != kGoToPage);
    FindBtn->SetEnabled(P != kGoToPage);
    ReplAllBtn->SetVisible(P != kGoToPage);
    ReplBtn->SetEnabled(P == kReplacePage);
    ReplAllBtn->SetEnabled(P == kReplacePage);
    GoToBtn->SetVisible(P == kGoToPage);
    FindBtn->SetDefault(P == kFindPage);
    ReplBtn->SetDefault(P == kReplacePage);
    GoToBtn->SetDefault(P == kGoToPage);
    if (P == kGoToPage && ExPanel->Visible())
        ExBtnClick();
    ShowInfo("");
}

void TFrmSearRepl::ExBtnClick() {
    const bool Show = !ExPanel->Visible();
    // The stored glyph drawn half its width along swaps its two arrows.
    TBitmap& G = ExBtn->Glyph();
    const int W = FGlyph->Width(), H = FGlyph->Height();
    const int Shift = Show ? W / 2 : 0;
    G.Canvas().CopyRect(RECT{0, 0, W - Shift, H}, FGlyph->Canvas(), RECT{Shift, 0, W, H});
    if (Shift)
        G.Canvas().CopyRect(RECT{W - Shift, 0, W, H}, FGlyph->Canvas(), RECT{0, 0, Shift, H});
    ExBtn->Invalidate();
    ExPanel->SetVisible(Show);
    ExBtn->SetCaption(LoadResString(Show ? sLessButton : sMoreButton));
    SetClientHeight(ClientHeight() + (Show ? FPanelHeight : -FPanelHeight));
}

void TFrmSearRepl::AssignOptions() {
    TSearchOptions& O = *FOptions;
    O.TextToFind = (PageControl->ActivePageIndex() == kReplacePage ? SearText1 : SearText)->Text();
    O.ReplaceWith = ReplText->Text();
    O.CaseSensitive = CaseSens->Checked();
    O.WholeWordsOnly = WholeWord->Checked();
    O.RegularExpr = RegExpr->Checked();
    O.Direction = dirBackward->Checked() ? sdBackward : sdForward;
    O.Scope = ScopeSelected->Checked() ? ssSelectedText : ssGlobal;
    O.Origin = soFromCursor;
    O.PromptOnReplace = false;
    // The run state of the searches made since the window opened stays as the searches left it;
    // only ReplaceAll is the window's to set.
    const TSearchOptions& Global = *GetSearchOptions();
    O.ShowNotFound = Global.ShowNotFound;
    O.InReplace = Global.InReplace;
    O.FirstSearch = Global.FirstSearch;
    GetSearchOptions()->Assign(&O);
}

void TFrmSearRepl::PressDefault() {
    switch (PageControl->ActivePageIndex()) {
    case kFindPage:
        FindBtnClick();
        break;
    case kReplacePage:
        ReplBtnClick(false);
        break;
    default:
        break;
    }
}

void TFrmSearRepl::RememberTexts() {
    // A search started by a key or an accelerator leaves the focus in the editor, which then
    // never files its text itself.
    if (PageControl->ActivePageIndex() == kReplacePage) {
        SearText1->HistoryChanged();
        ReplText->HistoryChanged();
    } else {
        SearText->HistoryChanged();
    }
}

void TFrmSearRepl::ShowNotFound() {
    ShowInfo(Format(LoadResString(SErrNotFound).c_str(), GetSearchOptions()->GetDisplayTextToFind().c_str()));
}

void TFrmSearRepl::FindBtnClick() {
    TCustomMemoSource* Target = CurrentFindSource;
    if (!Target)
        return;
    AssignOptions();
    RememberTexts();
    if (Target->Find())
        ShowInfo("");
    else
        ShowNotFound();
}

void TFrmSearRepl::ReplBtnClick(bool All) {
    TCustomMemoSource* Target = CurrentFindSource;
    if (!Target)
        return;
    FOptions->ReplaceAll = All;
    AssignOptions();
    RememberTexts();
    const bool Done = Target->Replace();
    const int32_t Count = GetReplaceCount(*Target);
    if ((Done || All) && (!All || Count != 0))
        ShowInfo(All ? Format(LoadResString(sReplacements).c_str(), Count) : std::string());
    else
        ShowNotFound();
}

void TFrmSearRepl::GoToBtnClick() {
    TCustomMemoSource* Target = CurrentFindSource;
    if (!Target)
        return;
    // A number is all this field takes: anything else is refused here and changes nothing.
    int32_t N = 0;
    if (!TryStrToInt(Trim(LineEd->Text()), N)) {
        MessageDlg(Format(SInvalidInteger, LineEd->Text().c_str()), TMsgDlgType::mtError, mbOK);
        if (LineEd->CanFocus())
            LineEd->SetFocus();
        LineEd->SelectAll();
        return;
    }
    if (GotoBox->ItemIndex() != 1) {
        Target->JumpToLine(N - 1);
        ShowInfo("");
        return;
    }
    // Bookmark 0 of the keyboard is kept as number 10.
    int32_t Chr = 0, Line = 0;
    if (Target->FindBookMark(N == 0 ? 10 : N, Chr, Line)) {
        Target->JumpTo(Chr, Line);
        ShowInfo("");
    } else {
        ShowInfo(Format(LoadResString(sErrBookmarNotFound).c_str(), N));
    }
}

void TFrmSearRepl::CloseBtnClick() {
    AssignOptions();
    Close();
}

void TFrmSearRepl::MakeSearchVisible(const RECT& Rect) {
    RECT Bounds = BoundsRect(), Overlap;
    if (!IntersectRect(&Overlap, &Bounds, &Rect))
        return;
    if (Screen->Height() > Rect.bottom + Height())
        SetTop(Rect.bottom);
    else
        SetTop(Rect.top - Height());
}

void RegisterSearchReplaceWindow() {
    SetNotModalSearchFormMaker(
        [](TComponent* Owner) -> TNotModalSearchForm* { return new TFrmSearRepl(Owner); });
}
