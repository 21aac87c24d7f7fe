#include "framework/ui/Buttons.h"

#include <utility>
#include <vector>

ZEL_DEFINE_CLASS(
    TSpeedButton, TGraphicControl,
    {Prop::Bool<TSpeedButton>("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp)
         .WithDefault(0),
     Prop::Bool<TSpeedButton>("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).WithDefault(0),
     Prop::Bool<TSpeedButton>("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).WithDefault(0),
     Prop::Int<TSpeedButton>("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex)
         .WithDefault(0)})

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
    FWidth = 23;
    FHeight = 22;
    FClickEvents = true;
    FGlyph->OnChange = [this](TBitmap*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0)
        Value = false;
    if (Value == FDown)
        return;
    if (FDown && !FAllowAllUp) {
        // The last pressed button of a group stays down unless all may be up.
        bool OtherDown = false;
        if (FParent)
            for (int I = 0; I < FParent->ControlCount(); ++I)
                if (auto* B = dynamic_cast<TSpeedButton*>(FParent->Controls(I));
                    B && B != this && B->FGroupIndex == FGroupIndex && B->FDown)
                    OtherDown = true;
        if (!OtherDown)
            return;
    }
    FDown = Value;
    if (Value && FParent) {
        for (int I = 0; I < FParent->ControlCount(); ++I)
            if (auto* B = dynamic_cast<TSpeedButton*>(FParent->Controls(I));
                B && B != this && B->FGroupIndex == FGroupIndex && B->FDown) {
                B->FDown = false;
                B->Invalidate();
            }
    }
    Invalidate();
}

void TSpeedButton::SetFlat(bool Value) {
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::Click() {
    if (FGroupIndex != 0) {
        if (!FDown)
            SetDown(true);
        else if (FAllowAllUp)
            SetDown(false);
    }
    TGraphicControl::Click();
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft && Enabled()) {
        FPressed = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == TMouseButton::mbLeft && FPressed) {
        FPressed = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    bool Inside = X >= 0 && Y >= 0 && X < FWidth && Y < FHeight;
    if (Inside != FHot) {
        FHot = Inside;
        if (FFlat)
            Invalidate();
    }
    TGraphicControl::MouseMove(Shift, X, Y);
}

void TSpeedButton::WndProc(TMessage& Message) {
    if (Message.Msg == CM_MOUSELEAVE) {
        FHot = false;
        Invalidate();
    }
    TGraphicControl::WndProc(Message);
}

namespace {

// A glyph as a button that cannot be pressed shows it: its darker pixels etched into the face, in
// the shadow colour over a highlight one pixel down and right; the lighter ones and the
// transparent colour (the top left pixel unless one is set) let the face show.
void DrawDisabledGlyph(TCanvas& C, int X, int Y, TBitmap& Glyph) {
    const int W = Glyph.Width(), H = Glyph.Height();
    const uint8_t* Top = Glyph.ScanLine(0);
    const COLORREF Key =
        Glyph.TransparentColor == clNone ? RGB(Top[2], Top[1], Top[0]) : ColorToRGB(Glyph.TransparentColor);
    // Any colour but the two drawn stands for "not drawn".
    const COLORREF Clear = ColorToRGB(clBtnShadow) == RGB(255, 0, 255) ? RGB(0, 255, 0) : RGB(255, 0, 255);
    std::vector<bool> Ink(static_cast<size_t>(W) * static_cast<size_t>(H));
    for (int Row = 0; Row < H; ++Row) {
        const uint8_t* Line = Glyph.ScanLine(Row);
        for (int Col = 0; Col < W; ++Col) {
            const uint8_t* Px = Line + static_cast<size_t>(Col) * 3;
            const int Luma = (Px[2] * 299 + Px[1] * 587 + Px[0] * 114) / 1000;
            Ink[static_cast<size_t>(Row) * static_cast<size_t>(W) + static_cast<size_t>(Col)] =
                RGB(Px[2], Px[1], Px[0]) != Key && Luma < 192;
        }
    }
    for (const auto& [Colour, Offset] : {std::pair{clBtnHighlight, 1}, std::pair{clBtnShadow, 0}}) {
        TBitmap Etched;
        Etched.SetSize(W, H);
        HDC DC = Etched.Canvas().Handle();
        for (int Row = 0; Row < H; ++Row)
            for (int Col = 0; Col < W; ++Col)
                SetPixel(DC, Col, Row,
                         Ink[static_cast<size_t>(Row) * static_cast<size_t>(W) + static_cast<size_t>(Col)]
                             ? ColorToRGB(Colour)
                             : Clear);
        Etched.Transparent = true;
        Etched.TransparentColor = static_cast<TColor>(Clear);
        C.Draw(X + Offset, Y + Offset, Etched);
    }
}

} // namespace

void TSpeedButton::Paint() {
    RECT R{0, 0, FWidth, FHeight};
    TCanvas& C = Canvas();
    C.Brush().SetColor(FDown ? clBtnHighlight : clBtnFace);
    C.FillRect(R);
    bool Sunken = FPressed || FDown;
    if (!FFlat || FHot || Sunken)
        DrawEdge(C.Handle(), &R,
                 Sunken ? (FFlat ? BDR_SUNKENOUTER : EDGE_SUNKEN) : (FFlat ? BDR_RAISEDINNER : EDGE_RAISED),
                 BF_RECT);
    int Shift = Sunken ? 1 : 0;
    int GW = FGlyph->Empty() ? 0 : FGlyph->Width(), GH = FGlyph->Empty() ? 0 : FGlyph->Height();
    // The caption is measured and drawn in the button's font, an "&" marking its key as on any
    // button.
    std::string Text = Caption();
    C.Font().Assign(Font());
    RECT TextBox{0, 0, 0, 0};
    if (!Text.empty())
        C.DrawText(Text, TextBox, DT_SINGLELINE | DT_CALCRECT);
    const SIZE T{TextBox.right, TextBox.bottom};
    int Gap = GW && T.cx ? 4 : 0;
    int X = (FWidth - GW - Gap - T.cx) / 2 + Shift;
    if (GW) {
        FGlyph->Transparent = true;
        if (Enabled())
            C.Draw(X, (FHeight - GH) / 2 + Shift, *FGlyph);
        else
            DrawDisabledGlyph(C, X, (FHeight - GH) / 2 + Shift, *FGlyph);
    }
    if (!Text.empty()) {
        if (!Enabled())
            C.Font().SetColor(clGrayText);
        C.Brush().SetStyle(TBrushStyle::bsClear);
        RECT At{X + GW + Gap, (FHeight - T.cy) / 2 + Shift, 0, 0};
        At.right = At.left + T.cx;
        At.bottom = At.top + T.cy;
        C.DrawText(Text, At, DT_SINGLELINE);
    }
}
