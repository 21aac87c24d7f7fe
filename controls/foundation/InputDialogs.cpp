#include "controls/foundation/InputDialogs.h"

#include "controls/foundation/DrawingUtils.h"
#include "controls/foundation/HSCommon.h"
#include "controls/foundation/HSResStrings.h"
#include "controls/foundation/RegistryStorage.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"

ZEL_DEFINE_CLASS(TInputLineForm, TForm, {})
ZEL_DEFINE_CLASS(THSHistoryEditor, TComboBox,
                 {Prop::String<THSHistoryEditor>("RegName", &THSHistoryEditor::RegName,
                                                 &THSHistoryEditor::SetRegName)})

namespace Hsinpfrm {
TInputLineForm* InputLineForm = nullptr;
}

// --- TInputLineForm -----------------------------------------------------------------------------

TInputLineForm::TInputLineForm(TComponent* AOwner) : TForm(AOwner) {
    TFormLayout L;
    L.ClientWidth = 393;
    L.ClientHeight = 129;
    L.PixelsPerInch = 120;
    L.BorderStyle = TFormBorderStyle::bsDialog;
    L.Position = TFormPosition::poScreenCenter;
    L.ActiveControl = "PropEdit";
    L.Items = {
        {"TPanel",
         "Panel1",
         "",
         8,
         8,
         377,
         81,
         "",
         {{"BevelInner", "bvRaised"}, {"BevelOuter", "bvLowered"}},
         nullptr,
         nullptr},
        {"TLabel", "InputLabel", "Panel1", 16, 16, 100, 16, "", {}, nullptr, nullptr},
        {"TEdit", "PropEdit", "Panel1", 16, 40, 345, 24, "", {}, nullptr, nullptr},
        {"TButton",
         "OkBut",
         "",
         152,
         96,
         73,
         25,
         "",
         {{"Default", "True"}, {"ModalResult", "1"}},
         nullptr,
         nullptr},
        {"TButton",
         "CancelBut",
         "",
         232,
         96,
         73,
         25,
         "",
         {{"Cancel", "True"}, {"ModalResult", "2"}},
         nullptr,
         nullptr},
        {"TButton", "HelpBut", "", 312, 96, 73, 25, "", {}, nullptr, nullptr},
    };
    BuildForm(*this, L);
    SetBorderIcons(biSystemMenu);
    Panel1 = static_cast<TPanel*>(FindComponent("Panel1"));
    InputLabel = static_cast<TLabel*>(FindComponent("InputLabel"));
    PropEdit = static_cast<TEdit*>(FindComponent("PropEdit"));
    OkBut = static_cast<TButton*>(FindComponent("OkBut"));
    CancelBut = static_cast<TButton*>(FindComponent("CancelBut"));
    HelpBut = static_cast<TButton*>(FindComponent("HelpBut"));
    InputLabel->SetFocusControl(PropEdit);
    SetParentFont(true);
    SetFormFont(this);
    SetCaption(LoadResString(SCapGotoLineNumber));
    InputLabel->SetCaption(LoadResString(SCapEnterNewLine));
    UpdateStandardButtons(OkBut, CancelBut, HelpBut);
    OnCloseQuery = [this](TObject*, bool& CanClose) {
        if (ModalResult() != mrOk || !Validate)
            return;
        std::string Error = Validate(PropEdit->Text());
        if (Error.empty())
            return;
        CanClose = false;
        MessageDlg(Error, TMsgDlgType::mtError, mbOK);
        PropEdit->SetFocus();
        PropEdit->SelectAll();
    };
}

TInputLineForm* CreateInputForm(const std::string& Caption, const std::string& Prompt, int HelpContext) {
    auto* Form = new TInputLineForm(Application);
    Form->SetCaption(Caption);
    Form->InputLabel->SetCaption(Prompt);
    Form->SetHelpContext(HelpContext);
    return Form;
}

namespace {
// Runs the dialog; on OK gives the text. The form is freed in every case.
bool RunInput(const std::string& Caption, const std::string& Prompt, int HelpContext, std::string& Text,
              std::function<std::string(const std::string&)> Validate) {
    std::unique_ptr<TInputLineForm> Form(CreateInputForm(Caption, Prompt, HelpContext));
    Form->PropEdit->SetText(Text);
    Form->Validate = std::move(Validate);
    if (Form->ShowModal() != mrOk)
        return false;
    Text = Form->PropEdit->Text();
    return true;
}

std::string CheckInteger(const std::string& Text) {
    int32_t Value;
    if (TryStrToInt(Trim(Text), Value))
        return std::string();
    return Format(SInvalidInteger, Text.c_str());
}
} // namespace

bool ReadString(const std::string& Caption, const std::string& Prompt, int HelpContext, std::string& S) {
    std::string Text = S;
    if (!RunInput(Caption, Prompt, HelpContext, Text, nullptr))
        return false;
    S = Text;
    return true;
}

bool ReadInteger(const std::string& Caption, const std::string& Prompt, int HelpContext, int& N) {
    std::string Text = IntToStr(N);
    if (!RunInput(Caption, Prompt, HelpContext, Text, &CheckInteger))
        return false;
    N = StrToInt(Trim(Text));
    return true;
}

bool ReadScaleFactor(double& Factor) {
    Factor = 1.0;
    std::string Text = "100";
    if (!RunInput(LoadResString(SCapScale), LoadResString(SCapScalingFactor), 0, Text, &CheckInteger))
        return false;
    Factor = StrToInt(Trim(Text)) / 100.0;
    return true;
}

// --- THSHistoryEditor ---------------------------------------------------------------------------

THSHistoryEditor::THSHistoryEditor(TComponent* AOwner) : TComboBox(AOwner) {}

THSHistoryEditor::~THSHistoryEditor() {
    // The window goes now, while this class can still save what it holds.
    if (HandleAllocated())
        SaveHistory();
    BeginDestroy();
    DestroyHandle();
}

std::string THSHistoryEditor::RegName() const {
    std::string Name = FRegName;
    if (Name.empty())
        Name = (Owner() ? Owner()->Name() : std::string()) + this->Name();
    if (Name.empty())
        Name = "Default";
    return "EditHistory\\" + Name;
}

void THSHistoryEditor::LoadHistory() {
    std::string Text = ReadFromRegistry(RegName(), THSVariant(std::string())).Str;
    std::string Current = FHandle ? GetText() : std::string();
    Items().SetText(Text);
    if (!Current.empty())
        SetText(Current);
}

void THSHistoryEditor::SaveHistory() {
    WriteToRegistry(RegName(), THSVariant(Items().Text()));
}

void THSHistoryEditor::HistoryChanged() {
    std::string Text = GetText();
    int Index = Items().IndexOf(Text);
    if (Index >= 0)
        Items().Delete(Index);
    if (!Text.empty())
        Items().Insert(0, Text);
    SetText(Text);
}

void THSHistoryEditor::Loaded() {
    TComboBox::Loaded();
    LoadHistory();
}

void THSHistoryEditor::CreateHandleDone() {
    TComboBox::CreateHandleDone();
    LoadHistory();
}

void THSHistoryEditor::DestroyWnd() {
    if (!IsDestroying())
        SaveHistory();
    TComboBox::DestroyWnd();
}

void THSHistoryEditor::KeyDown(WORD& Key, TShiftState Shift) {
    TComboBox::KeyDown(Key, Shift);
    if (Key == VK_RETURN) {
        if (DroppedDown())
            SetDroppedDown(false);
        else
            HistoryChanged();
        Key = 0;
        FEatChar = true;
    } else if (Key == VK_ESCAPE && !DroppedDown()) {
        Key = 0;
        FEatChar = true;
    }
}

void THSHistoryEditor::KeyPress(char& Key) {
    TComboBox::KeyPress(Key);
    // The character of a consumed Return or Escape would beep in the edit.
    if (FEatChar && (Key == '\r' || Key == 27))
        Key = 0;
    FEatChar = false;
}

void THSHistoryEditor::DoExit() {
    HistoryChanged();
    TComboBox::DoExit();
}

void THSHistoryEditor::WndProc(TMessage& Message) {
    if (Message.Msg == CM_WANTSPECIALKEY && Message.WParam == VK_RETURN) {
        Message.Result = 1;
        return;
    }
    TComboBox::WndProc(Message);
}
