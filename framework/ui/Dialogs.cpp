#include "framework/ui/Dialogs.h"

#include <commdlg.h>

#include "framework/ui/Forms.h"
#include "framework/ui/Printers.h"

ZEL_DEFINE_CLASS(TCommonDialog, TComponent, {})
ZEL_DEFINE_CLASS(TOpenDialog, TCommonDialog, {})
ZEL_DEFINE_CLASS(TSaveDialog, TOpenDialog, {})
ZEL_DEFINE_CLASS(TFontDialog, TCommonDialog, {})
ZEL_DEFINE_CLASS(TColorDialog, TCommonDialog, {})
ZEL_DEFINE_CLASS(TPrinterSetupDialog, TCommonDialog, {})

namespace {

TMessageBoxFunc& BoxFunc() {
    static TMessageBoxFunc Func;
    return Func;
}

TCommonDialogHook& DialogHook() {
    static TCommonDialogHook Hook;
    return Hook;
}

HWND DialogOwner() {
    HWND Active = GetActiveWindow();
    if (Active)
        return Active;
    if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        return Application->MainForm()->Handle();
    return nullptr;
}

} // namespace

TMessageBoxFunc SetMessageBoxFunc(TMessageBoxFunc Func) {
    TMessageBoxFunc Old = std::move(BoxFunc());
    BoxFunc() = std::move(Func);
    return Old;
}

int ShowMessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    if (BoxFunc())
        return BoxFunc()(Text, Caption, Flags);
    return MessageBoxA(DialogOwner(), Text.c_str(), Caption.c_str(), Flags);
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
    static const char* Captions[] = {"Warning", "Error", "Information", "Confirm", ""};
    static const UINT Icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
    int Kind = static_cast<int>(DlgType);
    std::string Caption = Captions[Kind];
    if (Caption.empty() && Application)
        Caption = Application->Title();
    UINT Flags = Icons[Kind];
    if ((Buttons & mbYes) && (Buttons & mbNo))
        Flags |= (Buttons & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (Buttons & mbAbort)
        Flags |= MB_ABORTRETRYIGNORE;
    else if ((Buttons & mbRetry) && (Buttons & mbCancel))
        Flags |= MB_RETRYCANCEL;
    else if (Buttons & mbCancel)
        Flags |= MB_OKCANCEL;
    else
        Flags |= MB_OK;
    if (Buttons & mbHelp)
        Flags |= MB_HELP;
    return ShowMessageBox(Msg, Caption, Flags);
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
