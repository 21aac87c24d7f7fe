#include "framework/ui/Dialogs.h"

#include <commdlg.h>

#include <algorithm>

#include "framework/ui/Forms.h"
#include "framework/ui/Printers.h"
#include "framework/ui/StdCtrls.h"

ZEL_DEFINE_CLASS(TCommonDialog, TComponent, {})
ZEL_DEFINE_CLASS(TOpenDialog, TCommonDialog, {})
ZEL_DEFINE_CLASS(TSaveDialog, TOpenDialog, {})
ZEL_DEFINE_CLASS(TFontDialog, TCommonDialog, {})
ZEL_DEFINE_CLASS(TColorDialog, TCommonDialog, {})
ZEL_DEFINE_CLASS(TPrinterSetupDialog, TCommonDialog, {})

namespace {

TCommonDialogHook& DialogHook() {
    static TCommonDialogHook Hook;
    return Hook;
}

struct TButtonKind {
    TMsgDlgBtn Button;
    const char* Name;
    const char* Caption;
    TModalResult Result;
};
// In the order they stand in the dialog.
constexpr TButtonKind ButtonKinds[] = {
    {mbYes, "Yes", "&Yes", mrYes},
    {mbNo, "No", "&No", mrNo},
    {mbOK, "OK", "OK", mrOk},
    {mbCancel, "Cancel", "Cancel", mrCancel},
    {mbAbort, "Abort", "&Abort", mrAbort},
    {mbRetry, "Retry", "&Retry", mrRetry},
    {mbIgnore, "Ignore", "&Ignore", mrIgnore},
    {mbAll, "All", "&All", mrAll},
    {mbNoToAll, "NoToAll", "N&o to All", mrNoToAll},
    {mbYesToAll, "YesToAll", "Yes to &All", mrYesToAll},
    {mbHelp, "Help", "&Help", mrNone},
};

// The nearest platform set, for a seam that only knows MB_* flags.
UINT NearestPlatformFlags(TMsgDlgButtons Buttons) {
    UINT Flags;
    if ((Buttons & mbYes) && (Buttons & mbNo))
        Flags = (Buttons & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (Buttons & mbAbort)
        Flags = MB_ABORTRETRYIGNORE;
    else if ((Buttons & mbRetry) && (Buttons & mbCancel))
        Flags = MB_RETRYCANCEL;
    else if (Buttons & mbCancel)
        Flags = MB_OKCANCEL;
    else
        Flags = MB_OK;
    return Flags | ((Buttons & mbHelp) ? MB_HELP : 0);
}

const char* const DialogCaptions[] = {"Warning", "Error", "Information", "Confirm", ""};
const UINT DialogIcons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
const LPCSTR DialogIconIds[] = {MAKEINTRESOURCEA(32515), MAKEINTRESOURCEA(32513), MAKEINTRESOURCEA(32516),
                                MAKEINTRESOURCEA(32514), nullptr};

std::string DialogCaption(TMsgDlgType DlgType) {
    std::string Caption = DialogCaptions[static_cast<int>(DlgType)];
    if (Caption.empty() && Application)
        Caption = Application->Title();
    return Caption;
}

} // namespace

TForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    RegisterUiClasses();
    if ((Buttons & ~mbHelp) == 0)
        Buttons |= mbOK;
    auto Form = std::make_unique<TForm>(nullptr);
    const int Ppi = Screen ? Screen->PixelsPerInch() : 96;
    auto Px = [Ppi](int Value) { return MulDiv(Value, Ppi, 96); };

    // Measured in the form's own font, so the layout is in screen pixels already.
    RECT TextRect{0, 0, Px(400), 0};
    int ButtonWidth = Px(75);
    if (HDC DC = GetDC(nullptr)) {
        HGDIOBJ OldFont = SelectObject(DC, Form->Font().Handle());
        DrawTextA(DC, Msg.c_str(), static_cast<int>(Msg.size()), &TextRect,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        for (const TButtonKind& Kind : ButtonKinds) {
            if (!(Buttons & Kind.Button))
                continue;
            RECT R{0, 0, 0, 0};
            DrawTextA(DC, Kind.Caption, -1, &R, DT_CALCRECT | DT_SINGLELINE);
            ButtonWidth = std::max(ButtonWidth, static_cast<int>(R.right) + Px(16));
        }
        SelectObject(DC, OldFont);
        ReleaseDC(nullptr, DC);
    }

    const int Margin = Px(8), Gap = Px(6), ButtonHeight = Px(25), IconSize = GetSystemMetrics(SM_CXICON);
    const LPCSTR IconId = DialogIconIds[static_cast<int>(DlgType)];
    HICON Icon = IconId ? LoadIconA(nullptr, IconId) : nullptr;
    const int TextLeft = Icon ? Margin + IconSize + Px(10) : Margin;
    const int TextHeight = std::max(static_cast<int>(TextRect.bottom), Px(13));
    const int TextTop = Icon ? Margin + std::max(0, (IconSize - TextHeight) / 2) : Margin;
    const int ButtonTop = std::max(TextTop + TextHeight, Icon ? Margin + IconSize : 0) + Px(16);
    const int Count =
        static_cast<int>(std::count_if(std::begin(ButtonKinds), std::end(ButtonKinds),
                                       [Buttons](const TButtonKind& K) { return Buttons & K.Button; }));
    const int ButtonsWidth = Count * ButtonWidth + (Count - 1) * Gap;
    const int ClientWidth = std::max(TextLeft + static_cast<int>(TextRect.right), ButtonsWidth) + 2 * Margin;

    const TMsgDlgBtn DefaultButton = (Buttons & mbOK)    ? mbOK
                                     : (Buttons & mbYes) ? mbYes
                                                         : TMsgDlgBtn(Buttons & -Buttons);
    const TMsgDlgButtons CancelButton = (Buttons & mbCancel) ? mbCancel
                                        : (Buttons & mbNo)   ? mbNo
                                        : (Buttons & mbOK)   ? mbOK
                                                             : 0;

    TFormLayout Layout;
    Layout.Caption = DialogCaption(DlgType);
    Layout.ClientWidth = ClientWidth;
    Layout.ClientHeight = ButtonTop + ButtonHeight + Margin;
    Layout.PixelsPerInch = Ppi;
    Layout.BorderStyle = TFormBorderStyle::bsDialog;
    Layout.Position = TFormPosition::poScreenCenter;
    TFormItem Message{"TLabel",   "Message", "", TextLeft, TextTop, static_cast<int>(TextRect.right) + 1,
                      TextHeight, Msg,       {}, nullptr,  nullptr};
    Message.Setup = [](TControl& Control) {
        auto& Label = static_cast<TLabel&>(Control);
        Label.SetAutoSize(false);
        Label.SetWordWrap(true);
        Label.SetShowAccelChar(false);
    };
    Layout.Items.push_back(std::move(Message));
    int Left = (ClientWidth - ButtonsWidth) / 2;
    for (const TButtonKind& Kind : ButtonKinds) {
        if (!(Buttons & Kind.Button))
            continue;
        TFormItem Item{"TButton",    Kind.Name,    "", Left,    ButtonTop, ButtonWidth,
                       ButtonHeight, Kind.Caption, {}, nullptr, nullptr};
        Item.Properties.push_back({"ModalResult", std::to_string(Kind.Result)});
        if (Kind.Button == DefaultButton) {
            Item.Properties.push_back({"Default", "True"});
            Layout.ActiveControl = Kind.Name;
        }
        if (Kind.Button == CancelButton)
            Item.Properties.push_back({"Cancel", "True"});
        Layout.Items.push_back(std::move(Item));
        Left += ButtonWidth + Gap;
    }
    BuildForm(*Form, Layout);
    Form->SetBorderIcons(biSystemMenu);
    if (TButton* Help = dynamic_cast<TButton*>(Form->FindComponent("Help"))) {
        // As from the platform box: the window that asked hears WM_HELP with the dialog's context.
        HWND Owner = DialogOwner();
        TForm* Self = Form.get();
        Help->OnClick = [Owner, Self](TObject*) {
            HELPINFO Info{};
            Info.cbSize = sizeof(Info);
            Info.iContextType = HELPINFO_WINDOW;
            Info.dwContextId = static_cast<DWORD_PTR>(Self->HelpContext());
            GetCursorPos(&Info.MousePos);
            if (Owner && IsWindow(Owner))
                SendMessageA(Owner, WM_HELP, 0, reinterpret_cast<LPARAM>(&Info));
        };
    }
    if (Icon) {
        TForm* Self = Form.get();
        Form->OnPaint = [Self, Icon, Margin](TObject*) {
            DrawIcon(Self->Canvas().Handle(), Margin, Margin, Icon);
        };
    }
    return Form.release();
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    const std::string Caption = DialogCaption(DlgType);
    const UINT Icon = DialogIcons[static_cast<int>(DlgType)];
    std::optional<UINT> Platform = PlatformFlagsOf(Buttons);
    if (std::optional<int> Answer = AnswerFromSeam(
            TMessageBoxRequest{Msg, Caption, Icon | (Platform ? *Platform : NearestPlatformFlags(Buttons)),
                               (Buttons & ~mbHelp) ? Buttons : TMsgDlgButtons(Buttons | mbOK)}))
        return *Answer;
    if (Platform)
        return MessageBoxA(DialogOwner(), Msg.c_str(), Caption.c_str(), Icon | *Platform);
    std::unique_ptr<TForm> Form(CreateMessageDialog(Msg, DlgType, Buttons));
    Form->SetHelpContext(HelpCtx);
    return Form->ShowModal();
}

void ShowMessage(const std::string& Msg) {
    ShowMessageBox(Msg, Application ? Application->Title() : std::string(), MB_OK);
}

TCommonDialogHook SetCommonDialogHook(TCommonDialogHook Hook) {
    TCommonDialogHook Old = std::move(DialogHook());
    DialogHook() = std::move(Hook);
    return Old;
}

bool TCommonDialog::Execute() {
    DoEvent(OnShow, this);
    bool Result;
    if (DialogHook())
        Result = DialogHook()(*this);
    else
        Result = DoExecute(DialogOwner());
    DoEvent(OnClose, this);
    return Result;
}

std::string MakeFileDialogFilter(const std::string& Filter) {
    std::string Result = Filter;
    for (char& C : Result)
        if (C == '|')
            C = '\0';
    Result.push_back('\0');
    Result.push_back('\0');
    return Result;
}

bool TOpenDialog::RunFileDialog(HWND Owner, bool Save) {
    // Room for many names with ofAllowMultiSelect.
    std::vector<char> Buffer(65536, '\0');
    lstrcpynA(Buffer.data(), FileName.c_str(), static_cast<int>(Buffer.size()));
    std::string FilterText = MakeFileDialogFilter(Filter);
    OPENFILENAMEA OFN{};
    OFN.lStructSize = sizeof(OFN);
    OFN.hwndOwner = Owner;
    OFN.lpstrFilter = Filter.empty() ? nullptr : FilterText.c_str();
    OFN.nFilterIndex = static_cast<DWORD>(FilterIndex);
    OFN.lpstrFile = Buffer.data();
    OFN.nMaxFile = static_cast<DWORD>(Buffer.size());
    OFN.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    OFN.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    OFN.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    OFN.Flags = OFN_EXPLORER | (Options & 0x3FFF & ~ofEnableSizing);
    if (Options & ofEnableSizing)
        OFN.Flags |= OFN_ENABLESIZING;
    BOOL Ok = Save ? GetSaveFileNameA(&OFN) : GetOpenFileNameA(&OFN);
    if (!Ok)
        return false;
    FilterIndex = static_cast<int>(OFN.nFilterIndex);
    Files.clear();
    const char* P = Buffer.data();
    std::string First = P;
    P += First.size() + 1;
    if ((Options & ofAllowMultiSelect) && *P) {
        std::string Dir = First;
        if (!Dir.empty() && Dir.back() != '\\')
            Dir += '\\';
        while (*P) {
            std::string Name = P;
            Files.push_back(Dir + Name);
            P += Name.size() + 1;
        }
    } else {
        Files.push_back(First);
    }
    FileName = Files.front();
    return true;
}

bool TOpenDialog::DoExecute(HWND Owner) {
    return RunFileDialog(Owner, false);
}
bool TSaveDialog::DoExecute(HWND Owner) {
    return RunFileDialog(Owner, true);
}

bool TFontDialog::DoExecute(HWND Owner) {
    LOGFONTA LF{};
    GetObjectA(FFont.Handle(), sizeof(LF), &LF);
    CHOOSEFONTA CF{};
    CF.lStructSize = sizeof(CF);
    CF.hwndOwner = Owner;
    CF.lpLogFont = &LF;
    CF.rgbColors = ColorToRGB(FFont.Color());
    CF.Flags =
        CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS | CF_EFFECTS | (FixedPitchOnly ? CF_FIXEDPITCHONLY : 0);
    if (!ChooseFontA(&CF))
        return false;
    HFONT F = CreateFontIndirectA(&LF);
    FFont.SetHandle(F);
    DeleteObject(F);
    FFont.SetColor(static_cast<TColor>(CF.rgbColors));
    return true;
}

bool TColorDialog::DoExecute(HWND Owner) {
    CHOOSECOLORA CC{};
    CC.lStructSize = sizeof(CC);
    CC.hwndOwner = Owner;
    CC.rgbResult = ColorToRGB(Color);
    CC.lpCustColors = CustomColors;
    CC.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&CC))
        return false;
    Color = static_cast<TColor>(CC.rgbResult);
    return true;
}

bool TPrinterSetupDialog::DoExecute(HWND Owner) {
    PRINTDLGA PD{};
    PD.lStructSize = sizeof(PD);
    PD.hwndOwner = Owner;
    PD.Flags = PD_PRINTSETUP;
    if (!PrintDlgA(&PD))
        return false;
    // The chosen printer is where the program's printing goes from now on.
    std::string Device;
    if (PD.hDevNames) {
        if (auto* Names = static_cast<DEVNAMES*>(GlobalLock(PD.hDevNames))) {
            Device = reinterpret_cast<const char*>(Names) + Names->wDeviceOffset;
            GlobalUnlock(PD.hDevNames);
        }
        GlobalFree(PD.hDevNames);
    }
    if (PD.hDevMode)
        GlobalFree(PD.hDevMode);
    if (!Device.empty() && !Printer().Printing())
        Printer().SetSink(std::make_unique<TSystemPrinterSink>(Device));
    return true;
}
