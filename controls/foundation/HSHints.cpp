#include "controls/foundation/HSHints.h"

#include <algorithm>

#include "controls/foundation/DrawingUtils.h"

ZEL_DEFINE_CLASS(THSHintWindow, THintWindow, {})
ZEL_DEFINE_CLASS(THSHint, TComponent, {})
ZEL_DEFINE_CLASS(TControlBackground, TPersistent, {})

// --- THSHintWindow ------------------------------------------------------------------------------

THSHintWindow::THSHintWindow(TComponent* AOwner) : THintWindow(AOwner), FBoldFont(std::make_unique<TFont>()) {
    FBoldFont->Assign(Font());
    FBoldFont->SetStyle(FBoldFont->Style() | fsBold);
}

THSHintWindow::~THSHintWindow() {
    BeginDestroy();
    DestroyHandle();
}

void THSHintWindow::CreateHandleDone() {
    THintWindow::CreateHandleDone();
    SetColor(Application ? Application->HintColor : clInfoBk);
    FBoldFont->Assign(Canvas().Font());
    FBoldFont->SetStyle(FBoldFont->Style() | fsBold);
}

SIZE THSHintWindow::TextSize(const std::string& Text) {
    FLines.clear();
    HDC DC = GetDC(nullptr);
    Canvas().SetHandle(DC);
    Canvas().Font().Assign(Font());
    SIZE Result{0, 0};
    if (Text.find("\r\n") == std::string::npos) {
        Result = CalcStringSize(Canvas(), Font(), *FBoldFont, Text);
    } else {
        RECT R{0, 0, 0, 0};
        Canvas().DrawText(Text, R, DT_CALCRECT);
        Result.cy = R.bottom - R.top;
        size_t Pos = 0;
        for (;;) {
            size_t End = Text.find("\r\n", Pos);
            std::string Line = Text.substr(Pos, End == std::string::npos ? std::string::npos : End - Pos);
            SIZE S = CalcStringSize(Canvas(), Font(), *FBoldFont, Line);
            Result.cx = std::max(Result.cx, S.cx + 8);
            FLines.emplace_back(Line, S.cy);
            if (End == std::string::npos)
                break;
            Pos = End + 2;
        }
    }
    Canvas().SetHandle(nullptr);
    ReleaseDC(nullptr, DC);
    return Result;
}

void THSHintWindow::TextChanged() {
    if (FSameText)
        return;
    SIZE S = TextSize(Caption());
    SetBounds(Left(), Top(), S.cx + 4, S.cy + 4);
    Invalidate();
}

void THSHintWindow::ActivateHint(RECT Rect, const std::string& Text) {
    FSameText = Text == Caption();
    SetCaption(Text);
    FSameText = false;
    Rect.right += 4;
    int W = Rect.right - Rect.left, H = Rect.bottom - Rect.top;
    int SW = GetSystemMetrics(SM_CXSCREEN), SH = GetSystemMetrics(SM_CYSCREEN);
    if (Rect.right > SW)
        OffsetRect(&Rect, SW - Rect.right, 0);
    if (Rect.bottom > SH)
        OffsetRect(&Rect, 0, SH - Rect.bottom);
    if (Rect.left < 0)
        OffsetRect(&Rect, -Rect.left, 0);
    if (Rect.top < 0)
        OffsetRect(&Rect, 0, -Rect.top);
    SetBounds(Rect.left, Rect.top, W, H);
    HandleNeeded();
    SetWindowPos(Handle(), HWND_TOPMOST, Rect.left, Rect.top, W, H, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    Invalidate();
}

void THSHintWindow::Paint() {
    RECT R = ClientRect();
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(R);
    Canvas().Font().SetColor(clInfoText);
    TFont Normal;
    Normal.Assign(Font());
    Normal.SetColor(clInfoText);
    FBoldFont->SetColor(clInfoText);
    Canvas().Brush().SetStyle(TBrushStyle::bsClear);
    auto DrawLine = [&](const std::string& Line, int Top, int Height) {
        int Start, Len;
        std::string Clean;
        ExtractBoldPos(Line, Start, Len, Clean);
        RECT LR{2, Top, R.right, Top + Height};
        DrawWithSelection(Canvas(), Normal, *FBoldFont, LR, Clean, Start, Len,
                          TLeftRightAlign::lrLeftJustify);
    };
    if (FLines.empty()) {
        DrawLine(Caption(), 1, R.bottom);
    } else {
        int Top = 1;
        for (const auto& [Line, Height] : FLines) {
            DrawLine(Line, Top, Height);
            Top += Height;
        }
    }
    DrawEdge(Canvas().Handle(), &R, BDR_RAISEDOUTER, BF_RECT);
}

// --- THSHint ------------------------------------------------------------------------------------

THSHint::THSHint(TComponent* AOwner)
    : TComponent(AOwner), FWindow(new THSHintWindow(this)), FTimer(new TTimer(this)),
      FBoldFont(std::make_unique<TFont>()) {
    FTimer->SetEnabled(false);
    FTimer->SetInterval(50);
    FTimer->OnTimer = [this](TObject*) { ExecHintTimer(); };
    FBoldFont->Assign(FWindow->Font());
    FBoldFont->SetStyle(FBoldFont->Style() | fsBold);
    FWindow->BoldFont().Assign(*FBoldFont);
}

THSHint::~THSHint() {
    FTimer->SetEnabled(false);
}

void THSHint::SetBoldFont(TFont& Value) {
    FBoldFont->Assign(Value);
    FWindow->BoldFont().Assign(Value);
}

SIZE THSHint::GetSize(const std::string& Text) {
    SIZE S = FWindow->TextSize(Text);
    S.cx += 8;
    return S;
}

void THSHint::ActivateHintAtPos(POINT Point, const std::string& Text) {
    Activate(Point, Text, 0);
}

void THSHint::ActivateHint(const std::string& Text) {
    POINT P;
    GetCursorPos(&P);
    Activate(P, Text, 20);
}

void THSHint::Activate(POINT Point, const std::string& Text, int Offset) {
    if (Text.empty()) {
        CancelHint();
        return;
    }
    FOffset = Offset;
    SIZE S = GetSize(Text);
    FHintRect = RECT{Point.x, Point.y, Point.x + S.cx, Point.y + S.cy};
    FTimer->SetEnabled(true);
    FState = THSHintState::Pending;
    FCaption = Text;
    if (Immediate)
        ExecHintTimer();
}

void THSHint::CancelHint() {
    HideHintWindow();
    FTicks = 0;
    FTimer->SetEnabled(false);
    FState = THSHintState::Hidden;
}

void THSHint::HideHintWindow() {
    if (FWindow->HandleAllocated() && IsWindowVisible(FWindow->Handle())) {
        ShowWindow(FWindow->Handle(), SW_HIDE);
        VisibleChanged();
    }
}

bool THSHint::Visible() const {
    return FWindow->HandleAllocated() && IsWindowVisible(FWindow->Handle());
}

void THSHint::SetVisible(bool Value) {
    if (Value)
        ActivateHint(FCaption);
    else
        CancelHint();
}

void THSHint::SetCaption(const std::string& Value) {
    FCaption = Value;
    if (Visible()) {
        RECT R = FHintRect;
        OffsetRect(&R, 0, FOffset);
        SIZE S = GetSize(Value);
        R.right = R.left + S.cx;
        R.bottom = R.top + S.cy;
        FWindow->ActivateHint(R, Value);
    }
}

bool THSHint::IsHintInRect(const RECT& Rect, POINT Point) const {
    RECT R = Rect;
    R.top -= Rect.bottom - Rect.top;
    return PtInRect(&R, Point) != 0;
}

void THSHint::ExecHintTimer() {
    int Elapsed = FTimer->Interval() * FTicks;
    POINT P;
    GetCursorPos(&P);
    bool InRect = IsHintInRect(FHintRect, P);
    int HidePause = Application ? Application->HintHidePause : 2500;
    switch (FState) {
    case THSHintState::Shown:
        if (AutoHide && (!InRect || Elapsed > HidePause)) {
            HideHintWindow();
            FTicks = 0;
            FState = THSHintState::Hidden;
        } else {
            ++FTicks;
        }
        break;
    case THSHintState::Hidden:
        HideHintWindow();
        FTicks = 0;
        if (!InRect)
            FTimer->SetEnabled(false);
        break;
    case THSHintState::Pending: {
        if (AutoHide && !InRect) {
            FState = THSHintState::Hidden;
            break;
        }
        bool WasVisible = Visible();
        int Pause = Application ? (WasVisible ? Application->HintShortPause : Application->HintPause) : 500;
        if (Immediate || Elapsed >= Pause) {
            RECT R = FHintRect;
            OffsetRect(&R, 0, FOffset);
            FWindow->ActivateHint(R, FCaption);
            if (!WasVisible)
                VisibleChanged();
            FTicks = 0;
            FState = THSHintState::Shown;
        } else {
            ++FTicks;
        }
        break;
    }
    }
}

// --- TControlBackground -------------------------------------------------------------------------

TControlBackground::TControlBackground(TCustomControl* Control)
    : FControl(Control), FBackground(std::make_unique<TBitmap>()), FWork(std::make_unique<TBitmap>()) {}

TControlBackground::~TControlBackground() = default;

void TControlBackground::SetBackground(TBitmap& Value) {
    FBackground->Assign(Value);
    BackgroundChanged();
}

void TControlBackground::SetOption(TBkgndOption Value) {
    if (Value == FOption)
        return;
    FOption = Value;
    BackgroundChanged();
    if (FControl)
        FControl->Invalidate();
}

void TControlBackground::SetGradientBeginColor(TColor Value) {
    if (Value == FBeginColor)
        return;
    FBeginColor = Value;
    BackgroundChanged();
}

void TControlBackground::SetGradientEndColor(TColor Value) {
    if (Value == FEndColor)
        return;
    FEndColor = Value;
    BackgroundChanged();
}

void TControlBackground::Assign(TPersistent* Source) {
    if (auto* B = dynamic_cast<TControlBackground*>(Source)) {
        SetBackground(*B->FBackground);
        SetOption(B->FOption);
        SetGradientBeginColor(B->FBeginColor);
        SetGradientEndColor(B->FEndColor);
        return;
    }
    TPersistent::Assign(Source);
}

void TControlBackground::BackgroundChanged() {
    if (NeedPaint())
        PaintBackground();
}

bool TControlBackground::NeedPaint() {
    RECT R = GetPaintRect();
    if (IsRectEmpty(&R))
        return false;
    switch (FOption) {
    case TBkgndOption::boHorzGradient:
    case TBkgndOption::boVertGradient:
        return true;
    case TBkgndOption::boNone:
        return false;
    default:
        return !FBackground->Empty();
    }
}

RECT TControlBackground::GetPaintRect() {
    if (!FControl || !FControl->HandleAllocated())
        return RECT{0, 0, 0, 0};
    return FControl->ClientRect();
}

TBrush& TControlBackground::GetPaintBrush() {
    return FControl->Canvas().Brush();
}

void TControlBackground::PaintBackground() {
    if (!NeedPaint())
        return;
    RECT R = GetPaintRect();
    int W = R.right - R.left, H = R.bottom - R.top;
    FWork->SetSize(W, H);
    TCanvas& C = FWork->Canvas();
    int BW = FBackground->Width(), BH = FBackground->Height();
    switch (FOption) {
    case TBkgndOption::boStretch:
        C.StretchDraw(R, *FBackground);
        break;
    case TBkgndOption::boCenter:
        C.Brush().Assign(GetPaintBrush());
        C.FillRect(R);
        C.Draw(R.left + (W - R.left - BW) / 2, R.top + (H - BH) / 2, *FBackground);
        break;
    case TBkgndOption::boTile:
        for (int I = 0; I <= (W - R.left + BW - 1) / BW; ++I)
            for (int J = 0; J <= (H + BH - 1) / BH; ++J)
                C.Draw(R.left + I * BW, J * BH, *FBackground);
        break;
    case TBkgndOption::boHorzGradient:
        FillGradient(C, W, H, FBeginColor, FEndColor, false);
        break;
    case TBkgndOption::boVertGradient:
        FillGradient(C, W, H, FBeginColor, FEndColor, true);
        break;
    case TBkgndOption::boNone:
        break;
    }
    if (FControl)
        FControl->Invalidate();
}
