#include "controls/textmodel/dialogs/SourceDialogs.h"

#include <memory>
#include <utility>

#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/InputDialogs.h"
#include "controls/textmodel/MemoOptions.h"
#include "controls/textmodel/dialogs/SearchDialogs.h"
#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TNotModalSearchForm, TForm, {})
ZEL_DEFINE_CLASS(TSourceDialogs, TComponent, {})

TCustomMemoSource* FLastSource = nullptr;
TNotModalSearchForm* FrmSearRepl = nullptr;
TCustomMemoSource* CurrentFindSource = nullptr;

void KeepFoundTextVisible(TCustomMemoSource* Source, const RECT& ScreenRect) {
    if (FrmSearRepl && FrmSearRepl->Visible() && Source && CurrentFindSource == Source)
        FrmSearRepl->MakeSearchVisible(ScreenRect);
}

namespace {
TNotModalSearchFormMaker& Maker() {
    static TNotModalSearchFormMaker Value;
    return Value;
}

bool Before(const TPosition& A, const TPosition& B) {
    return A.Line < B.Line || (A.Line == B.Line && A.Char <= B.Char);
}
} // namespace

TNotModalSearchFormMaker SetNotModalSearchFormMaker(TNotModalSearchFormMaker Value) {
    std::swap(Maker(), Value);
    return Value;
}

// --- TNotModalSearchForm -----------------------------------------------------------------------

TNotModalSearchForm::TNotModalSearchForm(TComponent* AOwner) : TForm(AOwner) {}

TNotModalSearchForm::~TNotModalSearchForm() {
    if (FrmSearRepl == this)
        FrmSearRepl = nullptr;
}

// --- TSourceDialogs ----------------------------------------------------------------------------

TSourceDialogs::TSourceDialogs(TComponent* AOwner)
    : TComponent(AOwner), FSource(dynamic_cast<TCustomMemoSource*>(AOwner)) {}

TSourceDialogs::~TSourceDialogs() {
    // Runs while the owning source is being destroyed: only its address is compared here.
    if (!FSource)
        return;
    if (FLastSource == FSource)
        FLastSource = nullptr;
    if (CurrentFindSource == FSource) {
        CurrentFindSource = nullptr;
        if (FrmSearRepl)
            FrmSearRepl->Close();
    }
}

void TSourceDialogs::DoCreateDialog(TForm* Dialog) {
    if (Dialog && OnCreateDialog)
        OnCreateDialog(FSource, Dialog);
}

TCustomForm* TSourceDialogs::CreateReplaceDialog() {
    if (!FSource || FSource->GetReadOnly())
        return nullptr;
    auto* Form = new TReplDialog(Application);
    DoCreateDialog(Form);
    return Form;
}

TCustomForm* TSourceDialogs::CreateSearchDialog() {
    auto* Form = new TSrchDialog(Application);
    DoCreateDialog(Form);
    return Form;
}

TCustomForm* TSourceDialogs::CreateNotModalSearchDialog() {
    if (!Maker())
        return nullptr;
    TNotModalSearchForm* Form = Maker()(Application);
    DoCreateDialog(Form);
    return Form;
}

void TSourceDialogs::SmartSearchOptions() {
    if (!FSource)
        return;
    TSearchOptions* O = GetSearchOptions();
    if (FSource->HasOption(soFindTextAtCursor))
        O->TextToFind = FSource->GetTextAtCursor();
    bool InBlock = false;
    if (FSource->SelectionType() != stNotSelected && !FSource->IsBlockEmpty()) {
        TPosition B = FSource->BlockBegin(), E = FSource->BlockEnd();
        if (!Before(B, E))
            std::swap(B, E);
        const TPosition& C = FSource->Caret();
        if (FSource->SelectionType() == stBlockSel)
            InBlock = C.Line >= B.Line && C.Line <= E.Line && C.Char >= std::min(B.Char, E.Char) &&
                      C.Char <= std::max(B.Char, E.Char);
        else
            InBlock = Before(B, C) && Before(C, E);
    }
    O->Scope = InBlock ? ssSelectedText : ssGlobal;
}

bool TSourceDialogs::CheckNotModalSearchRepl(int Page) {
    if (ModalSearchAndReplace || !FSource)
        return false;
    // The word at the caret is taken first, so that a window made now starts with it.
    SmartSearchOptions();
    if (!FrmSearRepl) {
        auto* Made = dynamic_cast<TNotModalSearchForm*>(CreateNotModalSearchDialog());
        if (!Made)
            return false;
        FrmSearRepl = Made;
    }
    // The source that opens the window is the one the user works in.
    CurrentFindSource = FSource;
    FrmSearRepl->SetLineText(IntToStr(FSource->GetCurLine() + 1));
    FrmSearRepl->Show();
    FrmSearRepl->SetActiveIndex(Page);
    return true;
}

void TSourceDialogs::ShowModalSearch(TCustomForm* Made, std::initializer_list<TModalResult> Accepted,
                                     bool (TCustomMemoSource::*Run)()) {
    std::unique_ptr<TCustomForm> Form(Made);
    if (!Form)
        return;
    // This object goes with its source, so nothing of it is used once the form has closed.
    TCustomMemoSource* Source = FSource;
    FLastSource = Source;
    TModalResult Result = Form->ShowModal();
    Form.reset();
    if (FLastSource != Source)
        return;
    for (TModalResult R : Accepted)
        if (R == Result) {
            (Source->*Run)();
            return;
        }
}

void TSourceDialogs::ShowSearchDialog() {
    if (!FSource || CheckNotModalSearchRepl(0))
        return;
    SmartSearchOptions();
    ShowModalSearch(CreateSearchDialog(), {mrOk}, &TCustomMemoSource::Find);
}

void TSourceDialogs::ShowReplaceDialog() {
    if (!FSource || CheckNotModalSearchRepl(1))
        return;
    SmartSearchOptions();
    ShowModalSearch(CreateReplaceDialog(), {mrOk, mrAll}, &TCustomMemoSource::Replace);
}

void TSourceDialogs::ShowGoToLineDialog() {
    if (!FSource || CheckNotModalSearchRepl(2))
        return;
    TCustomMemoSource* Source = FSource;
    FLastSource = Source;
    int Line = Source->GetCurLine() + 1;
    if (!ReadIntegerDialog(LoadResString(SCapGotoLineNumber), LoadResString(SCapEnterNewLine), 0, Line,
                           OnCreateDialog, Source))
        return;
    if (FLastSource == Source)
        Source->JumpTo(0, Line - 1);
}

void SetCurrentFindSource(TCustomMemoSource* Source) {
    if (Source)
        SourceDialogs(*Source);
    CurrentFindSource = Source;
}

TSourceDialogs& SourceDialogs(TCustomMemoSource& Source) {
    for (int I = 0; I < Source.ComponentCount(); ++I)
        if (auto* D = dynamic_cast<TSourceDialogs*>(Source.Components(I)))
            return *D;
    return *new TSourceDialogs(&Source);
}

bool ReadIntegerDialog(const std::string& Caption, const std::string& Prompt, int HelpContext, int& Value,
                       const TCreateDialogEvent& OnCreate, TObject* Sender) {
    std::unique_ptr<TInputLineForm> Form(CreateInputForm(Caption, Prompt, HelpContext));
    Form->PropEdit->SetText(IntToStr(Value));
    // Text that is no number is refused while the form is open, so OK always carries a number.
    Form->Validate = [](const std::string& Text) {
        int32_t N;
        return TryStrToInt(Trim(Text), N) ? std::string() : Format(SInvalidInteger, Text.c_str());
    };
    if (OnCreate)
        OnCreate(Sender, Form.get());
    if (Form->ShowModal() != mrOk)
        return false;
    int32_t N = 0;
    if (!TryStrToInt(Trim(Form->PropEdit->Text()), N))
        return false;
    Value = N;
    return true;
}
