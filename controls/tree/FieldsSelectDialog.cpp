#include "controls/tree/FieldsSelectDialog.h"

#include <memory>
#include <vector>

#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"

ZEL_DEFINE_CLASS(THSFieldsSelection, TForm, {})

namespace {

TFormItem Item(const char* Class, const char* Name, int L, int T, int W, int H, const char* Caption = "",
               std::vector<std::pair<std::string, std::string>> Props = {}) {
    return {Class, Name, "", L, T, W, H, Caption, std::move(Props), nullptr, nullptr};
}

std::vector<std::string> SplitNames(const std::string& S) {
    std::vector<std::string> Items;
    size_t Start = 0;
    for (;;) {
        size_t P = S.find(';', Start);
        Items.push_back(S.substr(Start, P == std::string::npos ? std::string::npos : P - Start));
        if (P == std::string::npos)
            break;
        Start = P + 1;
    }
    return Items;
}

void DrawArrow(TBitmap& B, bool Up) {
    B.SetSize(11, 11);
    TCanvas& C = B.Canvas();
    C.Brush().SetColor(clBtnFace);
    C.FillRect(RECT{0, 0, 11, 11});
    C.Brush().SetColor(clBlack);
    C.Pen().SetColor(clBlack);
    const POINT UpPts[] = {{5, 2}, {9, 7}, {1, 7}};
    const POINT DownPts[] = {{1, 3}, {9, 3}, {5, 8}};
    C.Polygon(Up ? UpPts : DownPts, 3);
}

int FirstSelected(TListBox& L) {
    for (int I = 0; I < L.Items().Count(); ++I)
        if (L.Selected(I))
            return I;
    return -1;
}

void SelectOnly(TListBox& L, int Index) {
    int N = L.Items().Count();
    if (N == 0)
        return;
    if (Index >= N)
        Index = N - 1;
    if (Index < 0)
        Index = 0;
    for (int I = 0; I < N; ++I)
        L.SetSelected(I, I == Index);
}

} // namespace

THSFieldsSelection::THSFieldsSelection(TComponent* AOwner) : TForm(AOwner) {
    RegisterUiClasses();
    TFormLayout L;
    L.Caption = "Choices Dialog";
    L.ClientWidth = 463;
    L.ClientHeight = 312;
    L.BorderStyle = TFormBorderStyle::bsDialog;
    L.Position = TFormPosition::poScreenCenter;
    L.Items = {
        Item("TLabel", "SrcLabel", 8, 8, 185, 16),
        Item("TLabel", "DstLabel", 256, 8, 185, 16),
        Item("TListBox", "SrcList", 8, 26, 185, 241),
        Item("TListBox", "DstList", 256, 26, 185, 241),
        Item("TSpeedButton", "IncludeBtn", 208, 32, 33, 25, ">"),
        Item("TSpeedButton", "IncAllBtn", 208, 64, 33, 25, ">>"),
        Item("TSpeedButton", "ExcludeBtn", 208, 104, 33, 25, "<"),
        Item("TSpeedButton", "ExAllBtn", 208, 136, 33, 25, "<<"),
        Item("TSpeedButton", "MoveUpBtn", 446, 96, 14, 25),
        Item("TSpeedButton", "MoveDownBtn", 446, 128, 14, 25),
        Item("TButton", "OKBtn", 288, 278, 75, 25, "OK", {{"Default", "True"}}),
        Item("TButton", "CancelBtn", 372, 278, 75, 25, "Cancel", {{"Cancel", "True"}}),
    };
    BuildForm(*this, L);
    SrcLabel = FindOwned<TLabel>(*this, "SrcLabel");
    DstLabel = FindOwned<TLabel>(*this, "DstLabel");
    SrcList = FindOwned<TListBox>(*this, "SrcList");
    DstList = FindOwned<TListBox>(*this, "DstList");
    IncludeBtn = FindOwned<TSpeedButton>(*this, "IncludeBtn");
    IncAllBtn = FindOwned<TSpeedButton>(*this, "IncAllBtn");
    ExcludeBtn = FindOwned<TSpeedButton>(*this, "ExcludeBtn");
    ExAllBtn = FindOwned<TSpeedButton>(*this, "ExAllBtn");
    MoveUpBtn = FindOwned<TSpeedButton>(*this, "MoveUpBtn");
    MoveDownBtn = FindOwned<TSpeedButton>(*this, "MoveDownBtn");
    OKBtn = FindOwned<TButton>(*this, "OKBtn");
    CancelBtn = FindOwned<TButton>(*this, "CancelBtn");
    SrcLabel->SetCaption("Available fields:");
    DstLabel->SetCaption("Participating fields:");
    SrcList->SetMultiSelect(true);
    SrcList->SetSorted(true);
    DstList->SetMultiSelect(true);
    DrawArrow(MoveUpBtn->Glyph(), true);
    DrawArrow(MoveDownBtn->Glyph(), false);
    OKBtn->SetModalResult(mrOk);
    CancelBtn->SetModalResult(mrCancel);
    IncludeBtn->OnClick = [this](TObject*) { IncludeBtnClick(); };
    IncAllBtn->OnClick = [this](TObject*) { IncAllBtnClick(); };
    ExcludeBtn->OnClick = [this](TObject*) { ExcludeBtnClick(); };
    ExAllBtn->OnClick = [this](TObject*) { ExAllBtnClick(); };
    MoveUpBtn->OnClick = [this](TObject*) { MoveUpBtnClick(); };
    MoveDownBtn->OnClick = [this](TObject*) { MoveDownBtnClick(); };
    SrcList->OnDblClick = [this](TObject*) { IncludeBtnClick(); };
    DstList->OnDblClick = [this](TObject*) { ExcludeBtnClick(); };
    DstList->OnClick = [this](TObject*) { SetButtons(); };
}

void THSFieldsSelection::SetChosenFields(const std::string& S) {
    DstList->Clear();
    std::vector<std::string> Names = SplitNames(S);
    for (auto It = Names.rbegin(); It != Names.rend(); ++It) {
        std::string Name = Trim(*It);
        int I = Name.empty() ? -1 : SrcList->Items().IndexOf(Name);
        if (I < 0)
            continue;
        TObject* Obj = SrcList->Items().Objects(I);
        SrcList->Items().Delete(I);
        DstList->Items().InsertObject(0, Name, Obj);
    }
    SetButtons();
}

std::string THSFieldsSelection::GetChosenFields() const {
    std::string R;
    for (int I = 0; I < DstList->Items().Count(); ++I)
        R += DstList->Items()[I] + ";";
    if (!R.empty())
        R.pop_back();
    return R;
}

void THSFieldsSelection::MoveEntries(TListBox& From, TListBox& To, bool All) {
    int First = All ? 0 : FirstSelected(From);
    for (int I = 0; I < From.Items().Count(); ++I)
        if (All || From.Selected(I))
            if (To.Items().IndexOf(From.Items()[I]) < 0)
                To.Items().AddObject(From.Items()[I], From.Items().Objects(I));
    if (All) {
        From.Clear();
    } else {
        for (int I = From.Items().Count() - 1; I >= 0; --I)
            if (From.Selected(I))
                From.Items().Delete(I);
    }
    SelectOnly(From, First < 0 ? 0 : First);
    SetButtons();
}

void THSFieldsSelection::IncludeBtnClick() {
    MoveEntries(*SrcList, *DstList, false);
}
void THSFieldsSelection::IncAllBtnClick() {
    MoveEntries(*SrcList, *DstList, true);
}
void THSFieldsSelection::ExcludeBtnClick() {
    MoveEntries(*DstList, *SrcList, false);
}
void THSFieldsSelection::ExAllBtnClick() {
    MoveEntries(*DstList, *SrcList, true);
}

void THSFieldsSelection::MoveDownBtnClick() {
    int N = DstList->Items().Count();
    if (DstList->SelCount() == 0 || N == 0 || DstList->Selected(N - 1))
        return;
    for (int I = N - 2; I >= 0; --I)
        if (DstList->Selected(I)) {
            bool Below = DstList->Selected(I + 1);
            DstList->Items().Exchange(I, I + 1);
            DstList->SetSelected(I + 1, true);
            DstList->SetSelected(I, Below);
        }
    SetButtons();
}

void THSFieldsSelection::MoveUpBtnClick() {
    int N = DstList->Items().Count();
    if (DstList->SelCount() == 0 || N == 0 || DstList->Selected(0))
        return;
    for (int I = 1; I < N; ++I)
        if (DstList->Selected(I)) {
            bool Above = DstList->Selected(I - 1);
            DstList->Items().Exchange(I, I - 1);
            DstList->SetSelected(I - 1, true);
            DstList->SetSelected(I, Above);
        }
    SetButtons();
}

void THSFieldsSelection::SetButtons() {
    bool Src = SrcList->Items().Count() > 0;
    bool Dst = DstList->Items().Count() > 0;
    IncludeBtn->SetEnabled(Src);
    IncAllBtn->SetEnabled(Src);
    ExcludeBtn->SetEnabled(Dst);
    ExAllBtn->SetEnabled(Dst);
    bool Any = DstList->SelCount() > 0;
    int N = DstList->Items().Count();
    MoveUpBtn->SetEnabled(Any && !DstList->Selected(0));
    MoveDownBtn->SetEnabled(Any && N > 0 && !DstList->Selected(N - 1));
}

bool HSShowFieldsDialog(const std::string& Caption, std::string& Chosen, TStrings& Available) {
    auto F = std::make_unique<THSFieldsSelection>(nullptr);
    F->SetCaption(Caption);
    for (int I = 0; I < Available.Count(); ++I)
        F->SrcList->Items().AddObject(Available[I], Available.Objects(I));
    if (Available.Count() == 0) {
        MessageDlg("No fields are available.", TMsgDlgType::mtWarning, mbOK);
        return false;
    }
    F->SetChosenFields(Chosen);
    if (F->ShowModal() != mrOk)
        return false;
    Chosen = F->GetChosenFields();
    return true;
}
