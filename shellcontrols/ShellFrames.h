#pragma once
// The family's frame styles and the two controls that draw them: TNVCustomGroup, a windowed panel
// whose frame (and caption, for the group style) lies in the non-client area so that children
// never cover it, and TNVCustomFrame, a window-less control that draws a frame and a caption.
#include "framework/core/Win.h"

#include <functional>
#include <string>

#include "framework/ui/Controls.h"

enum class TNVFrameStyle {
    nvfsNone,
    nvfsGroup,
    nvfsLowered,
    nvfsRaised,
    nvfsDint,
    nvfsBump,
    nvfsSingle,
    nvfsHorzLine,
    nvfsHorzEdge,
    nvfsVertLine,
    nvfsVertEdge
};

using TNVFramePaintEvent = std::function<void(TObject* Sender, TCanvas& Canvas)>;

void DrawLoweredFrame(TCanvas& Canvas, const RECT& R);
void DrawRaisedFrame(TCanvas& Canvas, const RECT& R);
void DrawDintFrame(TCanvas& Canvas, const RECT& R);
void DrawBumpFrame(TCanvas& Canvas, const RECT& R);
void DrawSingleFrame(TCanvas& Canvas, const RECT& R);
void DrawHorzLine(TCanvas& Canvas, const RECT& R, TColor Color1, TColor Color2);
void DrawHorzEdge(TCanvas& Canvas, const RECT& R, TColor Color1, TColor Color2);
void DrawVertLine(TCanvas& Canvas, const RECT& R, TColor Color1, TColor Color2);
void DrawVertEdge(TCanvas& Canvas, const RECT& R, TColor Color1, TColor Color2);
void DrawGroupFrame(TCanvas& Canvas, const RECT& R, const std::string& Caption, bool Enabled, TColor Color);
void DrawFrame(TNVFrameStyle Style, TCanvas& Canvas, const RECT& R);
// The area inside the frame of Style.
RECT AdjustRectForFrame(TNVFrameStyle Style, const RECT& R);

class TNVCustomGroup : public TCustomControl {
    ZEL_DECLARE_CLASS(TNVCustomGroup)
public:
    explicit TNVCustomGroup(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    int FrameSpace() const { return FFrameSpace; }
    void SetFrameSpace(int Value);
    TNVFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TNVFrameStyle Value);
    void EnableAllChildren(bool Enabled);
    void WndProc(TMessage& Message) override;
    TNVFramePaintEvent OnPaintFrame;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    virtual void PaintNonClient(TCanvas& Canvas, RECT Rect);
    void TextChanged() override;
    void EnabledChanged() override;
    void FontChanged() override;
    void ColorChanged() override;
    void RepaintNonClient();

private:
    TAlignment FAlignment = TAlignment::taCenter;
    bool FDefaultDrawing = true;
    int FFrameSpace = 2;
    bool FFrameChanged = false;
    TNVFrameStyle FFrameStyle = TNVFrameStyle::nvfsGroup;
};

class TNVGroup : public TNVCustomGroup {
    ZEL_DECLARE_CLASS(TNVGroup)
public:
    explicit TNVGroup(TComponent* AOwner) : TNVCustomGroup(AOwner) {}
};

class TNVCustomFrame : public TGraphicControl {
    ZEL_DECLARE_CLASS(TNVCustomFrame)
public:
    explicit TNVCustomFrame(TComponent* AOwner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value);
    int FrameSpace() const { return FFrameSpace; }
    void SetFrameSpace(int Value);
    TNVFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TNVFrameStyle Value);
    TNVFramePaintEvent OnPaintFrame;

protected:
    void Paint() override;
    void TextChanged() override { InvalidateInside(); }
    void FontChanged() override { InvalidateInside(); }
    void ColorChanged() override { InvalidateInside(); }

private:
    void InvalidateInside();
    TAlignment FAlignment = TAlignment::taCenter;
    bool FDefaultDrawing = true;
    int FFrameSpace = 2;
    TNVFrameStyle FFrameStyle = TNVFrameStyle::nvfsLowered;
};

class TNVFrame : public TNVCustomFrame {
    ZEL_DECLARE_CLASS(TNVFrame)
public:
    explicit TNVFrame(TComponent* AOwner) : TNVCustomFrame(AOwner) {}
};
