#include "shellcontrols/ShellFrames.h"

ZEL_DEFINE_CLASS(TNVCustomGroup, TCustomControl, {})
ZEL_DEFINE_CLASS(TNVGroup, TNVCustomGroup, {})
ZEL_DEFINE_CLASS(TNVCustomFrame, TGraphicControl, {})
ZEL_DEFINE_CLASS(TNVFrame, TNVCustomFrame, {})

namespace {

void Line3(TCanvas& C, TColor Color, int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    C.Pen().SetColor(Color);
    POINT P[3] = {{X1, Y1}, {X2, Y2}, {X3, Y3}};
    C.Polyline(P, 3);
}

void Line2(TCanvas& C, TColor Color, int X1, int Y1, int X2, int Y2) {
    C.Pen().SetColor(Color);
    C.MoveTo(X1, Y1);
    C.LineTo(X2, Y2);
}

void FourLines(TCanvas& C, const RECT& R, TColor A, TColor B, TColor D, TColor E) {
    const int L = R.left, T = R.top, Rt = R.right, Bt = R.bottom;
    Line3(C, A, L, Bt - 1, L, T, Rt, T);
    Line3(C, B, L + 1, Bt - 2, L + 1, T + 1, Rt - 1, T + 1);
    Line3(C, D, L + 1, Bt - 1, Rt - 1, Bt - 1, Rt - 1, T);
    Line3(C, E, L, Bt, Rt, Bt, Rt, T - 1);
}

int TextLineHeight(TFont& Font) {
    HDC DC = ScreenMeasureDC();
    HGDIOBJ Old = SelectObject(DC, Font.Handle());
    SIZE S{};
    GetTextExtentPoint32A(DC, "0", 1, &S);
    SelectObject(DC, Old);
    return S.cy;
}

void DrawCaptionInside(TCanvas& Canvas, RECT R, const std::string& Caption, int Space, TAlignment Alignment) {
    R.left += Space;
    R.right -= Space;
    UINT Format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX;
    Format |= Alignment == TAlignment::taLeftJustify    ? DT_LEFT
              : Alignment == TAlignment::taRightJustify ? DT_RIGHT
                                                        : DT_CENTER;
    SetBkMode(Canvas.Handle(), TRANSPARENT);
    Canvas.DrawText(Caption, R, Format);
}

} // namespace

void DrawLoweredFrame(TCanvas& C, const RECT& R) {
    FourLines(C, R, clBtnShadow, cl3DDkShadow, clBtnFace, clBtnHighlight);
}
void DrawRaisedFrame(TCanvas& C, const RECT& R) {
    FourLines(C, R, clBtnHighlight, clBtnFace, clBtnShadow, cl3DDkShadow);
}

void DrawDintFrame(TCanvas& C, const RECT& R) {
    Line3(C, clBtnShadow, R.left, R.bottom - 1, R.left, R.top, R.right, R.top);
    Line3(C, clBtnHighlight, R.left, R.bottom, R.right, R.bottom, R.right, R.top - 1);
}

void DrawBumpFrame(TCanvas& C, const RECT& R) {
    Line3(C, clBtnHighlight, R.left, R.bottom - 1, R.left, R.top, R.right, R.top);
    Line3(C, clBtnShadow, R.left, R.bottom, R.right, R.bottom, R.right, R.top - 1);
}

void DrawSingleFrame(TCanvas& C, const RECT& R) {
    TBrushStyle Old = C.Brush().Style();
    C.Brush().SetStyle(TBrushStyle::bsClear);
    C.Pen().SetColor(clWindowFrame);
    C.Rectangle(R.left, R.top, R.right + 1, R.bottom + 1);
    C.Brush().SetStyle(Old);
}

void DrawHorzLine(TCanvas& C, const RECT& R, TColor Color1, TColor Color2) {
    Line2(C, Color1, R.left, R.top, R.right + 1, R.top);
    Line2(C, Color2, R.left, R.top + 1, R.right + 1, R.top + 1);
}

void DrawHorzEdge(TCanvas& C, const RECT& R, TColor Color1, TColor Color2) {
    Line2(C, Color1, R.left, R.top, R.right + 1, R.top);
    Line2(C, Color1, R.left, R.bottom - 1, R.right + 1, R.bottom - 1);
    Line2(C, Color2, R.left, R.top + 1, R.right + 1, R.top + 1);
    Line2(C, Color2, R.left, R.bottom, R.right + 1, R.bottom);
}

void DrawVertLine(TCanvas& C, const RECT& R, TColor Color1, TColor Color2) {
    Line2(C, Color1, R.left, R.top, R.left, R.bottom + 1);
    Line2(C, Color2, R.left + 1, R.top, R.left + 1, R.bottom + 1);
}

void DrawVertEdge(TCanvas& C, const RECT& R, TColor Color1, TColor Color2) {
    Line2(C, Color1, R.left, R.top, R.left, R.bottom + 1);
    Line2(C, Color1, R.right - 1, R.top, R.right - 1, R.bottom + 1);
    Line2(C, Color2, R.left + 1, R.top, R.left + 1, R.bottom + 1);
    Line2(C, Color2, R.right, R.top, R.right, R.bottom + 1);
}

void DrawGroupFrame(TCanvas& C, const RECT& R, const std::string& Caption, bool Enabled, TColor Color) {
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(Color);
    C.FillRect(RECT{R.left, R.top, R.right + 1, R.bottom + 1});
    int H = Caption.empty() ? 2 : C.TextHeight("0");
    int Top = R.top + H / 2 - 1;
    C.Brush().SetStyle(TBrushStyle::bsClear);
    C.Pen().SetColor(clBtnHighlight);
    C.Rectangle(R.left + 1, Top + 1, R.right + 1, R.bottom + 1);
    C.Pen().SetColor(clBtnShadow);
    C.Rectangle(R.left, Top, R.right, R.bottom);
    if (Caption.empty())
        return;
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(Color);
    RECT Band{R.left + 8, R.top, R.right - 8, R.top + H};
    // The caption's own width, so the frame line stays visible beside it.
    RECT Measure = Band;
    C.DrawText(Caption, Measure, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX | DT_CALCRECT);
    if (Measure.right < Band.right)
        Band.right = Measure.right;
    SetBkMode(C.Handle(), OPAQUE);
    const UINT Format = DT_SINGLELINE | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX;
    if (Enabled) {
        C.DrawText(Caption, Band, Format);
    } else {
        TColor Old = C.Font().Color();
        RECT Shifted = Band;
        OffsetRect(&Shifted, 1, 1);
        C.Font().SetColor(clBtnHighlight);
        C.DrawText(Caption, Shifted, Format);
        SetBkMode(C.Handle(), TRANSPARENT);
        C.Font().SetColor(clBtnShadow);
        C.DrawText(Caption, Band, Format);
        C.Font().SetColor(Old);
    }
}

void DrawFrame(TNVFrameStyle Style, TCanvas& C, const RECT& R) {
    switch (Style) {
    case TNVFrameStyle::nvfsNone:
        break;
    case TNVFrameStyle::nvfsGroup:
        DrawGroupFrame(C, R, std::string(), true, C.Brush().Color());
        break;
    case TNVFrameStyle::nvfsLowered:
        DrawLoweredFrame(C, R);
        break;
    case TNVFrameStyle::nvfsRaised:
        DrawRaisedFrame(C, R);
        break;
    case TNVFrameStyle::nvfsDint:
        DrawDintFrame(C, R);
        break;
    case TNVFrameStyle::nvfsBump:
        DrawBumpFrame(C, R);
        break;
    case TNVFrameStyle::nvfsSingle:
        DrawSingleFrame(C, R);
        break;
    case TNVFrameStyle::nvfsHorzLine:
        DrawHorzLine(C, R, clBtnShadow, clBtnHighlight);
        break;
    case TNVFrameStyle::nvfsHorzEdge:
        DrawHorzEdge(C, R, clBtnShadow, clBtnHighlight);
        break;
    case TNVFrameStyle::nvfsVertLine:
        DrawVertLine(C, R, clBtnShadow, clBtnHighlight);
        break;
    case TNVFrameStyle::nvfsVertEdge:
        DrawVertEdge(C, R, clBtnShadow, clBtnHighlight);
        break;
    }
}

RECT AdjustRectForFrame(TNVFrameStyle Style, const RECT& R) {
    RECT A = R;
    switch (Style) {
    case TNVFrameStyle::nvfsLowered:
    case TNVFrameStyle::nvfsRaised:
        InflateRect(&A, -2, -2);
        break;
    case TNVFrameStyle::nvfsDint:
    case TNVFrameStyle::nvfsBump:
    case TNVFrameStyle::nvfsSingle:
        InflateRect(&A, -1, -1);
        break;
    case TNVFrameStyle::nvfsHorzLine:
        A.top += 2;
        break;
    case TNVFrameStyle::nvfsHorzEdge:
        A.top += 2;
        A.bottom -= 2;
        break;
    case TNVFrameStyle::nvfsVertLine:
        A.left += 2;
        break;
    case TNVFrameStyle::nvfsVertEdge:
        A.left += 2;
        A.right -= 2;
        break;
    case TNVFrameStyle::nvfsNone:
    case TNVFrameStyle::nvfsGroup:
        break;
    }
    return A;
}

// ---- TNVCustomGroup ----

TNVCustomGroup::TNVCustomGroup(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, 64, 48);
}

void TNVCustomGroup::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
    Params.ExStyle |= WS_EX_CONTROLPARENT;
    Params.Style |= WS_CLIPCHILDREN;
}

void TNVCustomGroup::SetAlignment(TAlignment Value) {
    if (Value != FAlignment) {
        FAlignment = Value;
        Invalidate();
    }
}

void TNVCustomGroup::SetDefaultDrawing(bool Value) {
    if (Value != FDefaultDrawing) {
        FDefaultDrawing = Value;
        Invalidate();
    }
}

void TNVCustomGroup::SetFrameSpace(int Value) {
    if (Value != FFrameSpace) {
        FFrameSpace = Value;
        Invalidate();
    }
}

void TNVCustomGroup::SetFrameStyle(TNVFrameStyle Value) {
    if (Value == FFrameStyle)
        return;
    FFrameStyle = Value;
    FFrameChanged = true;
    if (HandleAllocated()) {
        // The non-client size is asked again when the frame changes.
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        Realign();
        Invalidate();
    }
}

void TNVCustomGroup::EnableAllChildren(bool Enabled) {
    for (int I = 0; I < ControlCount(); ++I)
        Controls(I)->SetEnabled(Enabled);
}

void TNVCustomGroup::RepaintNonClient() {
    if (HandleAllocated())
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

void TNVCustomGroup::TextChanged() {
    TCustomControl::TextChanged();
    if (FFrameStyle == TNVFrameStyle::nvfsGroup) {
        RepaintNonClient();
        Realign();
    }
}

void TNVCustomGroup::EnabledChanged() {
    TCustomControl::EnabledChanged();
    EnableAllChildren(Enabled());
    if (FFrameStyle == TNVFrameStyle::nvfsGroup)
        RepaintNonClient();
}

void TNVCustomGroup::FontChanged() {
    TCustomControl::FontChanged();
    if (FFrameStyle == TNVFrameStyle::nvfsGroup) {
        RepaintNonClient();
        Realign();
    }
}

void TNVCustomGroup::ColorChanged() {
    TCustomControl::ColorChanged();
    if (FFrameStyle == TNVFrameStyle::nvfsGroup)
        RepaintNonClient();
}

void TNVCustomGroup::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        TCustomControl::WndProc(Message);
        auto* R = reinterpret_cast<RECT*>(Message.LParam);
        RECT Client = *R;
        if (FFrameStyle == TNVFrameStyle::nvfsGroup) {
            Client.top += Caption().empty() ? 2 : TextLineHeight(Font());
            Client.left += 2;
            Client.right -= 2;
            Client.bottom -= 2;
        } else {
            Client = AdjustRectForFrame(FFrameStyle, Client);
        }
        if (Client.right < Client.left)
            Client.right = Client.left;
        if (Client.bottom < Client.top)
            Client.bottom = Client.top;
        *R = Client;
        if (Message.WParam && (!Caption().empty() || FFrameChanged)) {
            Message.Result = WVR_HREDRAW | WVR_VREDRAW;
            FFrameChanged = false;
        }
        return;
    }
    case WM_NCPAINT: {
        TCustomControl::WndProc(Message);
        HDC DC = GetWindowDC(FHandle);
        if (!DC)
            return;
        RECT Window, Client;
        GetWindowRect(FHandle, &Window);
        GetClientRect(FHandle, &Client);
        MapWindowPoints(FHandle, nullptr, reinterpret_cast<POINT*>(&Client), 2);
        OffsetRect(&Client, -Window.left, -Window.top);
        ExcludeClipRect(DC, Client.left, Client.top, Client.right, Client.bottom);
        {
            TCanvas C;
            C.SetHandle(DC);
            C.Font().Assign(Font());
            PaintNonClient(C, RECT{0, 0, Window.right - Window.left, Window.bottom - Window.top});
            C.SetHandle(nullptr);
        }
        ReleaseDC(FHandle, DC);
        return;
    }
    case WM_ERASEBKGND:
        if (!FDefaultDrawing) {
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}

void TNVCustomGroup::PaintNonClient(TCanvas& C, RECT R) {
    C.Brush().SetColor(Color());
    C.Brush().SetStyle(TBrushStyle::bsClear);
    --R.right;
    --R.bottom;
    if (FFrameStyle == TNVFrameStyle::nvfsGroup)
        DrawGroupFrame(C, R, Caption(), Enabled(), Color());
    else
        DrawFrame(FFrameStyle, C, R);
}

void TNVCustomGroup::Paint() {
    TCanvas& C = Canvas();
    C.Font().Assign(Font());
    if (Color() != clNone) {
        C.Brush().SetStyle(TBrushStyle::bsSolid);
        C.Brush().SetColor(Color());
        C.FillRect(ClientRect());
    }
    if (FDefaultDrawing && FFrameStyle != TNVFrameStyle::nvfsGroup)
        DrawCaptionInside(C, ClientRect(), Caption(), FFrameSpace, FAlignment);
    DoEvent(OnPaintFrame, this, C);
    DoEvent(OnPaint, this);
}

// ---- TNVCustomFrame ----

TNVCustomFrame::TNVCustomFrame(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetBounds(0, 0, 64, 48);
}

void TNVCustomFrame::SetAlignment(TAlignment Value) {
    if (Value != FAlignment) {
        FAlignment = Value;
        Invalidate();
    }
}

void TNVCustomFrame::SetDefaultDrawing(bool Value) {
    if (Value != FDefaultDrawing) {
        FDefaultDrawing = Value;
        Invalidate();
    }
}

void TNVCustomFrame::SetFrameSpace(int Value) {
    if (Value != FFrameSpace) {
        FFrameSpace = Value;
        Invalidate();
    }
}

void TNVCustomFrame::SetFrameStyle(TNVFrameStyle Value) {
    if (Value != FFrameStyle) {
        FFrameStyle = Value;
        Invalidate();
    }
}

void TNVCustomFrame::InvalidateInside() {
    HWND Wnd = HandleOf(Parent());
    if (!Wnd)
        return;
    RECT Inside = AdjustRectForFrame(FFrameStyle, BoundsRect());
    InvalidateRect(Wnd, &Inside, TRUE);
}

void TNVCustomFrame::Paint() {
    TCanvas& C = Canvas();
    C.Font().Assign(Font());
    RECT R{0, 0, Width(), Height()};
    if (Color() != clNone && FDefaultDrawing) {
        C.Brush().SetStyle(TBrushStyle::bsSolid);
        C.Brush().SetColor(Color());
        C.FillRect(R);
    }
    C.Brush().SetStyle(TBrushStyle::bsClear);
    RECT F{R.left, R.top, R.right - 1, R.bottom - 1};
    if (FFrameStyle == TNVFrameStyle::nvfsGroup) {
        DrawGroupFrame(C, F, Caption(), Enabled(), Color());
    } else {
        DrawFrame(FFrameStyle, C, F);
        if (FDefaultDrawing)
            DrawCaptionInside(C, AdjustRectForFrame(FFrameStyle, R), Caption(), FFrameSpace, FAlignment);
    }
    DoEvent(OnPaintFrame, this, C);
}
