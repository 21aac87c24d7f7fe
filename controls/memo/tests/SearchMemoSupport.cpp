#include "SearchMemoSupport.h"

#include "controls/memo/Memo.h"

namespace {
THSMemo* MemoOf(TForm* Form) {
    return static_cast<THSMemo*>(Form->Controls(0));
}
} // namespace

TForm* MakeFocusedMemoForm(const std::string& Text) {
    InitMemoUnit();
    auto* Form = new TForm(nullptr);
    Form->SetBounds(40, 40, 560, 300);
    auto* M = new THSMemo(Form);
    M->SetParent(Form);
    M->SetBounds(0, 0, 540, 260);
    M->SetBorderStyle(TBorderStyle::bsNone);
    M->SetFixedMetrics(8, 16);
    M->GetSource()->LoadFromString(Text);
    Form->Show();
    for (int I = 0; I < 200 && !IsWindowVisible(Form->Handle()); ++I)
        Application->ProcessMessages();
    M->SetFocus();
    Application->ProcessMessages();
    return Form;
}

TCustomMemoSource* MemoFormSource(TForm* Form) {
    return MemoOf(Form)->GetSource();
}

RECT MemoFormTextRect(TForm* Form, int Line, int First, int Last) {
    THSMemo* M = MemoOf(Form);
    POINT A = M->TextToPixelPoint(POINT{First, Line}), B = M->TextToPixelPoint(POINT{Last, Line});
    B.y += M->GetRealLineHeight(Line);
    ::ClientToScreen(M->Handle(), &A);
    ::ClientToScreen(M->Handle(), &B);
    return RECT{A.x, A.y, B.x, B.y};
}
