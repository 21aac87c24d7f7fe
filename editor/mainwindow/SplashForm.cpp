#include "editor/mainwindow/SplashForm.h"

#include "framework/ui/ExtCtrls.h"

ZEL_DEFINE_CLASS(TSplashForm, TForm, {})

TSplashForm::TSplashForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("SplashForm");
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetBorderIcons(0);
    SetPosition(TFormPosition::poScreenCenter);
    SetClientWidth(568);
    SetClientHeight(80);
    auto* Panel = new TPanel(this);
    Panel->SetParent(this);
    Panel->SetAlign(TAlign::alClient);
    Panel->SetBevelWidth(2);
    Panel->SetBorderWidth(1);
    Panel->SetColor(static_cast<TColor>(13160660));
    LoadingLabel = new TLabel(this);
    LoadingLabel->SetName("LoadingLabel");
    LoadingLabel->SetParent(Panel);
    LoadingLabel->SetBounds(16, 12, 536, 20);
    LoadingLabel->SetAlignment(TAlignment::taCenter);
    LoadingLabel->Font().SetColor(clNavy);
    LoadingLabel->Font().SetHeight(-15);
    LoadingLabel->Font().SetStyle(fsBold);
    StatusLabel = new TLabel(this);
    StatusLabel->SetName("StatusLabel");
    StatusLabel->SetParent(Panel);
    StatusLabel->SetAutoSize(false);
    StatusLabel->SetBounds((568 - 325) / 2, 44, 325, 25);
    StatusLabel->SetAlignment(TAlignment::taCenter);
    StatusLabel->Font().SetColor(clBlack);
    StatusLabel->Font().SetHeight(-13);
    StatusLabel->Font().SetStyle(fsBold);
    StatusLabel->SetCaption("Status");
    auto Drag = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        FormMouseMove(Sender, Shift, X, Y);
    };
    OnMouseMove = Drag;
    Panel->OnMouseMove = Drag;
    LoadingLabel->OnMouseMove = Drag;
    StatusLabel->OnMouseMove = Drag;
}

void TSplashForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    // No task-bar button of its own, and not above other programs.
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_APPWINDOW | WS_EX_TOPMOST);
    Params.WndParent = GetDesktopWindow();
}

void TSplashForm::VisibleChanged() {
    if (!Visible()) {
        TForm::VisibleChanged();
        return;
    }
    // Shown without taking the activation: the main window takes it when it comes, and each
    // change of the active window is a long exchange with the window system.
    PlaceOnScreen();
    HandleNeeded();
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    UpdateWindow(Handle());
}

void TSplashForm::SetTitle(const std::string& Text) {
    LoadingLabel->SetCaption(Text);
}

void TSplashForm::SetStatus(const std::string& Text) {
    StatusLabel->SetCaption(Text);
    // Start-up runs no message loop, so the line is drawn at once; but no more often than a screen
    // could show it, since the stages come faster than that and each drawing has its price.
    const TDateTime Drawn = Now();
    if (HandleAllocated() && (Drawn - FLastDrawn) * 86400000.0 >= 20) {
        Update();
        FLastDrawn = Drawn;
    }
}

std::string TSplashForm::Status() const {
    return StatusLabel->Caption();
}

void TSplashForm::FormMouseMove(TObject*, TShiftState Shift, int, int) {
    // Any point of the splash drags it, as its caption would.
    if ((Shift & ssLeft) && HandleAllocated()) {
        ReleaseCapture();
        SendMessageA(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    }
}
