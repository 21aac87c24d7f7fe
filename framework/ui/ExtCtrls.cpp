#include "framework/ui/ExtCtrls.h"

#include <algorithm>
#include <map>

namespace {
const TEnumInfo BevelCutInfo{{"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
const TEnumInfo AlignmentInfo{{"taLeftJustify", "taRightJustify", "taCenter"}};
const TEnumInfo BevelShapeInfo{
    {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"}};
const TEnumInfo BevelStyleInfo{{"bsLowered", "bsRaised"}};

std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> Map;
    return Map;
}
} // namespace

ZEL_DEFINE_CLASS(
    TPanel, TCustomControl,
    {Prop::Enum<TPanel>("Alignment", &AlignmentInfo, &TPanel::Alignment, &TPanel::SetAlignment)
         .WithDefault(2),
     Prop::Enum<TPanel>("BevelInner", &BevelCutInfo, &TPanel::BevelInner, &TPanel::SetBevelInner)
         .WithDefault(0),
     Prop::Enum<TPanel>("BevelOuter", &BevelCutInfo, &TPanel::BevelOuter, &TPanel::SetBevelOuter)
         .WithDefault(2),
     Prop::Int<TPanel>("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).WithDefault(1),
     Prop::Int<TPanel>("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).WithDefault(0),
     Prop::Bool<TPanel>("WordWrap", &TPanel::WordWrap, &TPanel::SetWordWrap).WithDefault(0)})
ZEL_DEFINE_CLASS(
    TBevel, TGraphicControl,
    {Prop::Enum<TBevel>("Shape", &BevelShapeInfo, &TBevel::Shape, &TBevel::SetShape).WithDefault(0),
     Prop::Enum<TBevel>("Style", &BevelStyleInfo, &TBevel::Style, &TBevel::SetStyle).WithDefault(0)})
ZEL_DEFINE_CLASS(TTimer, TComponent,
                 {Prop::Bool<TTimer>("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).WithDefault(1),
                  Prop::Int<TTimer>("Interval", &TTimer::Interval, &TTimer::SetInterval).WithDefault(1000)})

void Frame3D(TCanvas& Canvas, RECT& Rect, TColor TopColor, TColor BottomColor, int Width) {
    Canvas.Pen().SetWidth(1);
    --Rect.bottom;
    --Rect.right;
    for (int I = 0; I < Width; ++I) {
        Canvas.Pen().SetColor(TopColor);
        POINT Top[] = {{Rect.left, Rect.bottom}, {Rect.left, Rect.top}, {Rect.right, Rect.top}};
        Canvas.Polyline(Top, 3);
        Canvas.Pen().SetColor(BottomColor);
        POINT Bottom[] = {{Rect.right, Rect.top}, {Rect.right, Rect.bottom}, {Rect.left - 1, Rect.bottom}};
        Canvas.Polyline(Bottom, 3);
        InflateRect(&Rect, -1, -1);
    }
    ++Rect.bottom;
    ++Rect.right;
}

// --- TPanel -------------------------------------------------------------------------------------

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FWidth = 185;
    FHeight = 41;
    SetParentColor(true);
}

int TPanel::FrameWidth() const {
    int W = FBorderWidth;
    if (FBevelOuter != TBevelCut::bvNone)
        W += FBevelWidth;
    if (FBevelInner != TBevelCut::bvNone)
        W += FBevelWidth;
    return W;
}

RECT TPanel::ClientRect() {
    RECT R = TCustomControl::ClientRect();
    InflateRect(&R, -FrameWidth(), -FrameWidth());
    return R;
}

void TPanel::SetBevelInner(TBevelCut Value) {
    FBevelInner = Value;
    Realign();
    Invalidate();
}
void TPanel::SetBevelOuter(TBevelCut Value) {
    FBevelOuter = Value;
    Realign();
    Invalidate();
}
void TPanel::SetBevelWidth(int Value) {
    FBevelWidth = Value;
    Realign();
    Invalidate();
}
void TPanel::SetBorderWidth(int Value) {
    FBorderWidth = Value;
    Realign();
    Invalidate();
}
void TPanel::SetWordWrap(bool Value) {
    FWordWrap = Value;
    Invalidate();
}

void TPanel::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    Invalidate();
}

void TPanel::Paint() {
    RECT R{0, 0, FWidth, FHeight};
    if (HandleAllocated())
        GetClientRect(FHandle, &R);
    auto Cut = [&](TBevelCut C) {
        if (C == TBevelCut::bvNone)
            return;
        TColor Top = C == TBevelCut::bvLowered ? clBtnShadow : clBtnHighlight;
        TColor Bottom = C == TBevelCut::bvLowered ? clBtnHighlight : clBtnShadow;
        if (C == TBevelCut::bvSpace)
            Top = Bottom = Color();
        Frame3D(Canvas(), R, Top, Bottom, FBevelWidth);
    };
    Cut(FBevelOuter);
    Canvas().Brush().SetColor(Color());
    if (FBorderWidth) {
        Canvas().Pen().SetColor(Color());
        Frame3D(Canvas(), R, Color(), Color(), FBorderWidth);
    }
    Cut(FBevelInner);
    Canvas().FillRect(R);
    std::string Text = Caption();
    if (!Text.empty()) {
        UINT Flags = DT_EXPANDTABS | (FAlignment == TAlignment::taCenter         ? DT_CENTER
                                      : FAlignment == TAlignment::taRightJustify ? DT_RIGHT
                                                                                 : DT_LEFT);
        Canvas().Brush().SetStyle(TBrushStyle::bsClear);
        Canvas().Font().Assign(Font());
        if (FWordWrap) {
            // Broken into lines as wide as the panel, the block centred from top to bottom.
            RECT Lines{R.left, 0, R.right, 0};
            Canvas().DrawText(Text, Lines, Flags | DT_WORDBREAK | DT_CALCRECT);
            const int Top = R.top + std::max(0, int((R.bottom - R.top) - (Lines.bottom - Lines.top)) / 2);
            RECT Box{R.left, Top, R.right, R.bottom};
            Canvas().DrawText(Text, Box, Flags | DT_WORDBREAK);
        } else {
            Canvas().DrawText(Text, R, Flags | DT_VCENTER | DT_SINGLELINE);
        }
    }
}

// --- TBevel -------------------------------------------------------------------------------------

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FWidth = 50;
    FHeight = 50;
}
void TBevel::SetShape(TBevelShape Value) {
    FShape = Value;
    Invalidate();
}
void TBevel::SetStyle(TBevelStyle Value) {
    FStyle = Value;
    Invalidate();
}

void TBevel::Paint() {
    TColor Top = FStyle == TBevelStyle::bsLowered ? clBtnShadow : clBtnHighlight;
    TColor Bottom = FStyle == TBevelStyle::bsLowered ? clBtnHighlight : clBtnShadow;
    RECT R{0, 0, FWidth, FHeight};
    TCanvas& C = Canvas();
    C.Pen().SetWidth(1);
    auto Line = [&](int X1, int Y1, int X2, int Y2, TColor Color) {
        C.Pen().SetColor(Color);
        C.MoveTo(X1, Y1);
        C.LineTo(X2, Y2);
    };
    switch (FShape) {
    case TBevelShape::bsBox:
        Frame3D(C, R, Top, Bottom, 1);
        break;
    case TBevelShape::bsFrame: {
        RECT Inner = R;
        ++Inner.left;
        ++Inner.top;
        Frame3D(C, Inner, Bottom, Bottom, 1);
        RECT Outer = R;
        --Outer.right;
        --Outer.bottom;
        Frame3D(C, Outer, Top, Top, 1);
        break;
    }
    case TBevelShape::bsTopLine:
        Line(0, 0, FWidth, 0, Top);
        Line(0, 1, FWidth, 1, Bottom);
        break;
    case TBevelShape::bsBottomLine:
        Line(0, FHeight - 2, FWidth, FHeight - 2, Top);
        Line(0, FHeight - 1, FWidth, FHeight - 1, Bottom);
        break;
    case TBevelShape::bsLeftLine:
        Line(0, 0, 0, FHeight, Top);
        Line(1, 0, 1, FHeight, Bottom);
        break;
    case TBevelShape::bsRightLine:
        Line(FWidth - 2, 0, FWidth - 2, FHeight, Top);
        Line(FWidth - 1, 0, FWidth - 1, FHeight, Bottom);
        break;
    case TBevelShape::bsSpacer:
        break;
    }
}

// --- TTimer -------------------------------------------------------------------------------------

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    UpdateTimer();
}

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
}

void TTimer::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(int Value) {
    if (Value == FInterval)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    if (FId) {
        KillTimer(nullptr, FId);
        Timers().erase(FId);
        FId = 0;
    }
    if (FEnabled && FInterval > 0) {
        FId = SetTimer(nullptr, 0, static_cast<UINT>(FInterval), &TTimer::TimerProc);
        if (FId)
            Timers()[FId] = this;
    }
}

void TTimer::Tick() {
    try {
        DoEvent(OnTimer, this);
    } catch (...) {
        HandleUiException(this);
    }
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
    auto It = Timers().find(Id);
    if (It != Timers().end())
        It->second->Tick();
}
