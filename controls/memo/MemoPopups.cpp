// The memo's popups while typing: the completion list and one-line hint that the hint timer offers,
// and the code-template list.
#include <algorithm>

#include "controls/foundation/DrawingUtils.h"
#include "controls/foundation/HSCommon.h"
#include "controls/memo/Memo.h"
#include "controls/memo/MemoPopupList.h"
#include "controls/memo/MemoScopes.h"
#include "controls/textmodel/CodeTemplates.h"
#include "framework/core/SysUtils.h"

namespace {

TMemoPopupListMaker& Maker() {
    static TMemoPopupListMaker M;
    return M;
}

// The template name of a list line: the text between the first two bold markers.
std::string TemplateNameOfLine(const std::string& Line) {
    const size_t A = Line.find(Hslib::SBoldTag);
    if (A == std::string::npos)
        return Line.substr(0, Line.find('|'));
    const size_t B = Line.find(Hslib::SBoldTag, A + 1);
    return Line.substr(A + 1, B == std::string::npos ? std::string::npos : B - A - 1);
}

} // namespace

TMemoPopupListMaker SetMemoPopupListMaker(TMemoPopupListMaker M) {
    TMemoPopupListMaker Old = std::move(Maker());
    Maker() = std::move(M);
    return Old;
}

const TMemoPopupListMaker& MemoPopupListMaker() {
    return Maker();
}

// --- hint timer and popups ----------------------------------------------------------------------

void TCustomHSMemo::KillHintTimer() {
    if (FHintTimerOn && HandleAllocated())
        ::KillTimer(Handle(), kMemoHintTimer);
    FHintTimerOn = false;
    HidePopupHint();
}

bool TCustomHSMemo::ActivatePopupBox(int32_t& Kind) {
    FPopupItems->Clear();
    bool Show = false;
    if (OnHintPopup)
        OnHintPopup(this, FPopupItems.get(), Kind, Show);
    return Show && FPopupItems->Count() > 0;
}

bool TCustomHSMemo::PopupHintBox() {
    return PopupHintBoxEx(false);
}

bool TCustomHSMemo::PopupHintBoxEx(bool Flag) {
    if (!OnHintPopup)
        return false;
    const POINT Caret = GetCaretPoint();
    if (Caret.x != FHintPos.x || Caret.y != FHintPos.y)
        return false;
    int32_t Kind = 0;
    if (!ActivatePopupBox(Kind))
        return false;
    if (Kind != 1) {
        POINT P = TextToPixelPoint(Caret);
        P.y += RowInfoAt(Caret).Height;
        if (HandleAllocated())
            ::ClientToScreen(Handle(), &P);
        ShowPopupHint(FPopupItems->Get(0), P, Flag);
    } else {
        ShowPopupListBox(*FPopupItems);
    }
    return true;
}

bool TCustomHSMemo::PopupListVisible() const {
    return FPopupList && FPopupList->Visible();
}

void TCustomHSMemo::ShowPopupListBoxEx(TStrings& Items, bool RightAligned, int32_t MaxWidth, bool) {
    FHintPos = GetCaretPoint();
    FreePopupListBox();
    if (&Items != FPopupItems.get())
        FPopupItems->Assign(&Items);
    const TMemoPopupListMaker& Make = MemoPopupListMaker();
    if (!Make || !HandleAllocated() || FPopupItems->Count() == 0)
        return;
    POINT P = TextToPixelPoint(FHintPos);
    P.y += RowInfoAt(FHintPos).Height;
    TMemoPopupListRequest R;
    R.Parent = this;
    R.Items = FPopupItems.get();
    R.At = P;
    R.RightAligned = RightAligned;
    R.MaxWidth = MaxWidth;
    R.Font = FTemplateFont.get();
    R.OnSelect = [this](int32_t Index) { HintCallBack(this, Index); };
    R.OnKeyDown = [this](TObject* Sender, WORD& Key, TShiftState Shift) {
        PopupBoxKeyDown(Sender, Key, Shift);
    };
    R.OnKeyPress = [this](TObject* Sender, char& Key) { PopupBoxKeyPress(Sender, Key); };
    FPopupList = Make(R);
}

void TCustomHSMemo::FreePopupListBox() {
    if (!FPopupList)
        return;
    std::unique_ptr<TMemoPopupList> List = std::move(FPopupList);
    if (List->Visible())
        List->Close(false);
}

void TCustomHSMemo::HintCallBack(TObject*, int32_t Index) {
    if (Index >= 0 && Index < FPopupItems->Count())
        InsertHint(FPopupItems->Get(Index));
}

void TCustomHSMemo::HintInsert(std::string& S) {
    if (OnHintInsert)
        OnHintInsert(this, S);
}

void TCustomHSMemo::InsertHint(const std::string& Text) {
    std::string T = Text;
    HintInsert(T);
    TCustomMemoSource* S = GetSource();
    const POINT Caret = GetCaretPoint();
    TSourceUpdate Update(*S, 5);
    S->JumpTo(FHintPos.x, FHintPos.y);
    // What was typed since the popup opened gives way to the chosen text.
    if (Caret.y == FHintPos.y && Caret.x > FHintPos.x)
        S->DeleteRight(Caret.x - FHintPos.x);
    S->InsertText(T);
    S->ClearSelection();
}

bool TCustomHSMemo::DoFindInPopupBox(TStrings* Items, const std::string& Text, int32_t& Index) {
    if (!OnFindStringInPopup)
        return false;
    bool Found = false;
    OnFindStringInPopup(this, Items, Text, Found, Index);
    return Found;
}

void TCustomHSMemo::PopupBoxKeyDown(TObject*, WORD& Key, TShiftState) {
    switch (Key) {
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
        return; // the list's own: choose, close, scroll
    case VK_SPACE:
        Key = 0;
        if (FPopupList)
            FPopupList->Close(true);
        return;
    case VK_LEFT:
    case VK_RIGHT:
        if (FPopupList)
            FPopupList->Close(false);
        Perform(WM_KEYDOWN, Key, 0);
        Key = 0;
        break;
    default:
        Perform(WM_KEYDOWN, Key, 0);
        Key = 0;
        break;
    }
    const POINT Caret = GetCaretPoint();
    if (PopupListVisible() && (Caret.y != FHintPos.y || Caret.x < FHintPos.x))
        FPopupList->Close(false);
}

void TCustomHSMemo::PopupBoxKeyPress(TObject*, char& Key) {
    const char Ch = Key;
    Key = 0;
    if (Ch == '.') {
        if (FPopupList)
            FPopupList->Close(true);
        Perform(WM_CHAR, WPARAM(uint8_t(Ch)), 0);
        return;
    }
    Perform(WM_CHAR, WPARAM(uint8_t(Ch)), 0);
    if (!PopupListVisible())
        return;
    const POINT Caret = GetCaretPoint();
    std::string Word;
    if (Caret.y == FHintPos.y && Caret.x > FHintPos.x) {
        const std::string Line = GetSource()->Lines().Get(Caret.y);
        if (size_t(FHintPos.x) < Line.size())
            Word = Line.substr(size_t(FHintPos.x), size_t(Caret.x - FHintPos.x));
    }
    int32_t Index = -1;
    if (!DoFindInPopupBox(FPopupItems.get(), Word, Index))
        Index = FPopupList->FindPrefix(Word);
    FPopupList->SetItemIndex(Index);
}

// --- code templates -------------------------------------------------------------------------------

std::string TCustomHSMemo::GetTemplatesType() const {
    return ::GetTemplatesType(*GetSource());
}

void TCustomHSMemo::SetTemplatesType(const std::string& Value) {
    ::SetTemplatesType(*GetSource(), Value);
}

void TCustomHSMemo::TemplateInsert(TStrings* Strings) {
    if (OnTemplateInsert)
        OnTemplateInsert(this, Strings);
}

void TCustomHSMemo::MarkWordOnTemplate() {
    TCustomMemoSource* S = GetSource();
    bool Mark = S->HasOption(soPersistentBlocks);
    if (!Mark) {
        const POINT Caret = GetCaretPoint();
        const std::string Line = Caret.y < S->GetStrCount() ? S->Lines().Get(Caret.y) : std::string();
        const int32_t Len = int32_t(Line.size());
        const int32_t P = Caret.x + 1; // 1-based: Line[P] is the character at the caret
        auto Delim = [&](int32_t I) { return S->InDelimSet(Line, I); };
        const bool InsideWord = P <= Len && !Delim(P) && P >= 2 && !Delim(P - 1);
        if (!InsideWord) {
            const int32_t Before = P - 1 <= Len ? P - 1 : Len;
            const bool WordBefore = Before >= 1 && !Delim(Before);
            int32_t First = 1;
            while (First <= Len && Delim(First))
                ++First;
            Mark = WordBefore || P == First;
        }
    }
    if (!Mark)
        return;
    const POINT Caret = GetCaretPoint();
    TKeepSelection Keep(*S);
    TSourceUpdate Update(*S, 2);
    S->MarkWord();
    S->JumpTo(Caret.x, Caret.y);
}

void TCustomHSMemo::ShowCodeTemplates() {
    if (SameText(GetTemplatesType(), "None"))
        return;
    FreePopupListBox();
    MarkWordOnTemplate();
    TCustomMemoSource* S = GetSource();
    std::string Search;
    if (S->SelectionType() != stNotSelected && S->BlockBegin().Line == S->BlockEnd().Line)
        Search = Trim(GetSelText());
    const int32_t Index = GetCodeTemplates(*S).ConvertCodeTemplates(FTemplateList.get(), Search);
    if (Index != -1) {
        CodeTemplCallBack(this, Index);
        return;
    }
    const TMemoPopupListMaker& Make = MemoPopupListMaker();
    if (!Make || !HandleAllocated() || FTemplateList->Count() == 0)
        return;
    POINT P = TextToPixelPoint(GetCaretPoint());
    P.y += RowInfoAt(GetCaretPoint()).Height;
    TMemoPopupListRequest R;
    R.Parent = this;
    R.Items = FTemplateList.get();
    R.At = P;
    R.Font = FTemplateFont.get();
    R.OnSelect = [this](int32_t I) { CodeTemplCallBack(this, I); };
    FPopupList = Make(R);
}

void TCustomHSMemo::CodeTemplCallBack(TObject*, int32_t Index) {
    TCustomMemoSource* S = GetSource();
    TMemoCodeTemplate* Template = nullptr;
    if (Index >= 0 && Index < FTemplateList->Count()) {
        const std::string Name = TemplateNameOfLine(FTemplateList->Get(Index));
        TMemoCodeTemplates& All = GetCodeTemplates(*S);
        for (int32_t I = 0; I < All.Count() && !Template; ++I)
            if (SameText(All.GetItem(I)->Name(), Name))
                Template = All.GetItem(I);
    }
    if (!Template) {
        S->ClearSelection();
        return;
    }
    TSourceUpdate Update(*S, 5);
    if (S->SelectionType() != stNotSelected)
        S->DeleteBlock();
    TStringList Lines;
    Lines.Assign(Template->Code());
    TemplateInsert(&Lines);
    const POINT At = GetCaretPoint();
    std::vector<std::string> Text;
    for (int I = 0; I < Lines.Count(); ++I)
        Text.push_back(I == 0 ? Lines.Get(I) : std::string(size_t(At.x), ' ') + Lines.Get(I));
    int32_t MarkRow = -1, MarkCol = 0;
    for (size_t I = 0; I < Text.size() && MarkRow < 0; ++I)
        if (const size_t Bar = Text[I].find('|'); Bar != std::string::npos) {
            Text[I].erase(Bar, 1);
            MarkRow = int32_t(I);
            MarkCol = int32_t(Bar);
        }
    std::string Joined;
    for (size_t I = 0; I < Text.size(); ++I)
        Joined += (I ? "\r\n" : "") + Text[I];
    S->InsertText(Joined);
    S->ClearSelection();
    if (MarkRow == 0)
        S->JumpTo(At.x + MarkCol, At.y);
    else if (MarkRow > 0)
        S->JumpTo(MarkCol, At.y + MarkRow);
}
