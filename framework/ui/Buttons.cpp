#include "framework/ui/Buttons.h"

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

namespace {

// A disabled button's picture: every pixel grey by its brightness and taken halfway to the face
// colour, so that no colour is left to say the button can be used. The transparent colour (the
// top-left pixel) stays as it is.
void GreyGlyph(TBitmap& Glyph, TBitmap& Grey) {
    Grey.Assign(Glyph);
    const uint8_t* Key = Glyph.ScanLine(0);
    const COLORREF Face = ColorToRGB(clBtnFace);
    const int FaceLevel = (GetRValue(Face) * 30 + GetGValue(Face) * 59 + GetBValue(Face) * 11) / 100;
    HDC DC = Grey.Canvas().Handle();
    for (int Y = 0; Y < Glyph.Height(); ++Y) {
        const uint8_t* Row = Glyph.ScanLine(Y);
        for (int X = 0; X < Glyph.Width(); ++X) {
            const uint8_t* P = Row + X * 3;
            if (P[0] == Key[0] && P[1] == Key[1] && P[2] == Key[2])
                continue;
            const int Level = (P[2] * 30 + P[1] * 59 + P[0] * 11) / 100;
            const int G = (Level + FaceLevel) / 2;
            SetPixel(DC, X, Y, RGB(G, G, G));
        }
    }
    Grey.Dormant();
}

} // namespace

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
        if (Enabled()) {
            C.Draw(X, (FHeight - GH) / 2 + Shift, *FGlyph);
        } else {
            TBitmap Grey;
            GreyGlyph(*FGlyph, Grey);
            C.Draw(X, (FHeight - GH) / 2 + Shift, Grey);
        }
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
