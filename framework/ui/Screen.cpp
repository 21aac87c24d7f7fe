#include "framework/ui/Screen.h"

#include <algorithm>

#include "framework/core/SysUtils.h"

ZEL_DEFINE_CLASS(TScreen, TComponent, {})

TScreen* Screen = nullptr;

TScreen::TScreen(TComponent* AOwner)
    : TComponent(AOwner), FHintFont(std::make_unique<TFont>()), FMenuFont(std::make_unique<TFont>()),
      FIconFont(std::make_unique<TFont>()) {
    FPixelsPerInch = ScreenPixelsPerInch();
    NONCLIENTMETRICSA NCM{};
    NCM.cbSize = sizeof(NCM);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(NCM), &NCM, 0)) {
        HFONT F = CreateFontIndirectA(&NCM.lfStatusFont);
        FHintFont->SetHandle(F);
        DeleteObject(F);
        F = CreateFontIndirectA(&NCM.lfMenuFont);
        FMenuFont->SetHandle(F);
        DeleteObject(F);
    }
    LOGFONTA LF{};
    if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(LF), &LF, 0)) {
        HFONT F = CreateFontIndirectA(&LF);
        FIconFont->SetHandle(F);
        DeleteObject(F);
    }
}

TScreen::~TScreen() = default;

RECT TScreen::WorkAreaRect() const {
    RECT R{0, 0, Width(), Height()};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &R, 0);
    return R;
}

void TScreen::SetCursor(TCursor Value) {
    FCursor = Value;
    // The window under the pointer chooses its cursor again at once, as it would on the next mouse
    // move. Asking it directly spares moving the pointer, which the system answers with a round of
    // mouse messages (under Wine about 10 ms).
    POINT P;
    if (!GetCursorPos(&P))
        return;
    HWND Under = WindowFromPoint(P);
    if (!Under || GetWindowThreadProcessId(Under, nullptr) != GetCurrentThreadId())
        return;
    LRESULT Hit = SendMessageA(Under, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y));
    SendMessageA(Under, WM_SETCURSOR, reinterpret_cast<WPARAM>(Under), MAKELPARAM(Hit, WM_MOUSEMOVE));
}

namespace {
int CALLBACK EnumFontsProc(const LOGFONTA* LF, const TEXTMETRICA*, DWORD, LPARAM Data) {
    auto* L = reinterpret_cast<std::vector<std::string>*>(Data);
    if (LF->lfFaceName[0] != '@')
        L->push_back(LF->lfFaceName);
    return 1;
}
} // namespace

std::vector<std::string> TScreen::Fonts() const {
    std::vector<std::string> Result;
    HDC DC = GetDC(nullptr);
    LOGFONTA LF{};
    LF.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(DC, &LF, EnumFontsProc, reinterpret_cast<LPARAM>(&Result), 0);
    ReleaseDC(nullptr, DC);
    std::sort(Result.begin(), Result.end(),
              [](const std::string& A, const std::string& B) { return CompareText(A, B) < 0; });
    Result.erase(std::unique(Result.begin(), Result.end()), Result.end());
    return Result;
}

void TScreen::AddForm(TCustomForm* Form) {
    FForms.push_back(Form);
}

void TScreen::AddDataModule(TDataModule* DataModule) {
    FDataModules.push_back(DataModule);
}

void TScreen::RemoveDataModule(TDataModule* DataModule) {
    FDataModules.erase(std::remove(FDataModules.begin(), FDataModules.end(), DataModule), FDataModules.end());
}

void TScreen::RemoveForm(TCustomForm* Form) {
    FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
    if (FActiveForm == Form)
        SetActiveForm(nullptr);
    if (FActiveControl && FActiveControl->GetParentForm() == Form)
        SetActiveControl(nullptr);
}

void TScreen::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FActiveControl)
        FActiveControl = nullptr;
    if (AComponent == FActiveForm)
        FActiveForm = nullptr;
}

void TScreen::SetActiveForm(TCustomForm* Form) {
    if (Form == FActiveForm)
        return;
    if (FActiveForm)
        FActiveForm->RemoveFreeNotification(this);
    FActiveForm = Form;
    if (Form)
        Form->FreeNotification(this);
    DoEvent(OnActiveFormChange, this);
}

void TScreen::SetActiveControl(TWinControl* Control) {
    if (Control == FActiveControl)
        return;
    if (FActiveControl)
        FActiveControl->RemoveFreeNotification(this);
    FActiveControl = Control;
    if (Control)
        Control->FreeNotification(this);
    DoEvent(OnActiveControlChange, this);
}
