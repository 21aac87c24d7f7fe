#include "framework/ui/MessageBox.h"

#include "framework/ui/Application.h"

namespace {

TMessageRequestFunc& BoxFunc() {
    static TMessageRequestFunc Func;
    return Func;
}

// Named wrappers, so that a function handed out by one setter and given back to the other is
// recognised and restored as it was.
struct TBoxFuncAdapter {
    TMessageBoxFunc Inner;
    int operator()(const TMessageBoxRequest& R) const { return Inner(R.Text, R.Caption, R.Flags); }
};

struct TRequestFuncAdapter {
    TMessageRequestFunc Inner;
    int operator()(const std::string& Text, const std::string& Caption, UINT Flags) const {
        return Inner(TMessageBoxRequest{Text, Caption, Flags, ButtonsOfFlags(Flags)});
    }
};

struct TPlatformSet {
    TMsgDlgButtons Buttons;
    UINT Flags;
};
constexpr TPlatformSet PlatformSets[] = {
    {mbOK, MB_OK},
    {mbOK | mbCancel, MB_OKCANCEL},
    {mbAbort | mbRetry | mbIgnore, MB_ABORTRETRYIGNORE},
    {mbYes | mbNo | mbCancel, MB_YESNOCANCEL},
    {mbYes | mbNo, MB_YESNO},
    {mbRetry | mbCancel, MB_RETRYCANCEL},
};

} // namespace

TMsgDlgButtons ButtonsOfFlags(UINT Flags) {
    for (const TPlatformSet& Set : PlatformSets)
        if (Set.Flags == (Flags & MB_TYPEMASK))
            return Set.Buttons | ((Flags & MB_HELP) ? mbHelp : 0);
    return mbOK;
}

std::optional<UINT> PlatformFlagsOf(TMsgDlgButtons Buttons) {
    TMsgDlgButtons Main = Buttons & ~mbHelp;
    if (Main == 0)
        Main = mbOK;
    for (const TPlatformSet& Set : PlatformSets)
        if (Set.Buttons == Main)
            return Set.Flags | ((Buttons & mbHelp) ? MB_HELP : 0);
    return std::nullopt;
}

HWND DialogOwner() {
    HWND Active = GetActiveWindow();
    if (Active)
        return Active;
    if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        return Application->MainForm()->Handle();
    return nullptr;
}

TMessageBoxFunc SetMessageBoxFunc(TMessageBoxFunc Func) {
    TMessageRequestFunc Old = std::move(BoxFunc());
    if (!Func)
        BoxFunc() = nullptr;
    else if (const auto* Back = Func.target<TRequestFuncAdapter>())
        BoxFunc() = Back->Inner;
    else
        BoxFunc() = TBoxFuncAdapter{std::move(Func)};
    if (!Old)
        return nullptr;
    if (const auto* Plain = Old.target<TBoxFuncAdapter>())
        return Plain->Inner;
    return TRequestFuncAdapter{std::move(Old)};
}

TMessageRequestFunc SetMessageRequestFunc(TMessageRequestFunc Func) {
    TMessageRequestFunc Old = std::move(BoxFunc());
    BoxFunc() = std::move(Func);
    return Old;
}

int ShowMessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    if (BoxFunc())
        return BoxFunc()(TMessageBoxRequest{Text, Caption, Flags, ButtonsOfFlags(Flags)});
    return MessageBoxA(DialogOwner(), Text.c_str(), Caption.c_str(), Flags);
}

std::optional<int> AnswerFromSeam(const TMessageBoxRequest& Request) {
    if (!BoxFunc())
        return std::nullopt;
    return BoxFunc()(Request);
}
