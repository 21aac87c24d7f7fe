#include "framework/ui/HintWindow.h"

#include "framework/ui/Application.h"
#include "framework/ui/Screen.h"

ZEL_DEFINE_CLASS(THintWindow, TCustomControl, {})

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
    FVisible = false;
    SetColor(Application ? Application->HintColor : clInfoBk);
    if (Screen)
        Font().Assign(Screen->HintFont());
}

void THintWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WndParent = nullptr;
    Params.ClassStyle |= CS_SAVEBITS;
}

RECT THintWindow::CalcHintRect(int MaxWidth, const std::string& Text) {
    RECT R{0, 0, MaxWidth, 0};
    Canvas().Font().Assign(Font());
    Canvas().SetHandle(ScreenMeasureDC());
    Canvas().DrawText(Text, R, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    Canvas().SetHandle(nullptr);
    R.right += 6;
    R.bottom += 2;
    return R;
}

void THintWindow::ActivateHint(RECT Rect, const std::string& Text) {
    SetCaption(Text);
    RECT R = FitRectToWorkArea(Rect, 0, 0);
    SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
    HandleNeeded();
    SetWindowPos(FHandle, HWND_TOPMOST, R.left, R.top, R.right - R.left, R.bottom - R.top,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    Invalidate();
}

void THintWindow::Paint() {
    RECT R = ClientRect();
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(R);
    R.left += 2;
    R.top += 1;
    Canvas().Font().SetColor(clInfoText);
    Canvas().Brush().SetStyle(TBrushStyle::bsClear);
    Canvas().DrawText(Caption(), R, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void THintWindow::WndProc(TMessage& Message) {
    if (Message.Msg == WM_NCHITTEST) {
        Message.Result = HTTRANSPARENT;
        return;
    }
    TCustomControl::WndProc(Message);
}
