#include "editor/core/FormHelpers.h"

#include "controls/foundation/HSCommon.h"
#include "editor/core/AppState.h"
#include "editor/core/EditorLink.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"

TCustomForm* SplashForm = nullptr;

namespace {
std::function<void(const std::string&)>& splashStatusSink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}
} // namespace

void SetSplashStatus(const std::string& text) {
    if (splashStatusSink())
        splashStatusSink()(text);
}

void SetSplashStatusSink(std::function<void(const std::string&)> sink) {
    splashStatusSink() = std::move(sink);
}

int32_t EnableHotKey(HWND window, int32_t on) {
    if (on)
        RegisterHotKey(window, 0, 0, VK_F2);
    else
        UnregisterHotKey(window, 0);
    return 1;
}

HWND GetMainFormHandle(void*, int32_t flags) {
    if (!(flags & 1))
        return nullptr;
    TEditorLink& link = EditorLink();
    if (link.MainFormHandle)
        return link.MainFormHandle();
    return nullptr;
}

void FitRectToScreen(int32_t& left, int32_t& top, int32_t width, int32_t height, int32_t screenWidth,
                     int32_t screenHeight) {
    if (top < 0)
        top = 0;
    else if (top >= screenHeight)
        top = screenHeight - height;
    if (left < 0)
        left = 0;
    else if (left >= screenWidth)
        left = screenWidth - width;
}

int32_t FitFormToScreen(TCustomForm* form, const int32_t* left, const int32_t* top, const int32_t* width,
                        const int32_t* height, int32_t) {
    if (!form)
        return 0;
    int32_t l = left ? *left : form->Left();
    int32_t t = top ? *top : form->Top();
    int32_t w = width ? *width : form->Width();
    int32_t h = height ? *height : form->Height();
    FitRectToScreen(l, t, w, h, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    form->SetBounds(l, t, w, h);
    return 0;
}

int32_t SafeSetFocus(TWinControl* control) {
    if (!p || p->vol->closing || !control || !control->Visible() || !control->CanFocus())
        return 0;
    control->SetFocus();
    return control == SplashForm ? 2 : 1;
}

int32_t SetFormWindowState(TCustomForm* form, int32_t state) {
    if (!form)
        return -1;
    if (!p || p->vol->closing)
        return 0;
    switch (state) {
    case 2:
        SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        break;
    case 1:
        SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        break;
    case 0:
        if (form->WindowState() != TWindowState::wsNormal)
            SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
        break;
    default:
        form->SetWindowState(static_cast<TWindowState>(state));
        break;
    }
    return 0;
}

bool FontWidthsDiffer(TFont& a, TFont& b) {
    return GetAveFontWidth(a) != GetAveFontWidth(b);
}

int32_t HideMenuItem(TMenuItem* item) {
    if (item) {
        item->SetEnabled(false);
        item->SetVisible(false);
    }
    return 0;
}
