#pragma once
// Panels, bevels and timers.
#include "framework/ui/Controls.h"

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
    ZEL_DECLARE_CLASS(TPanel)
public:
    explicit TPanel(TComponent* AOwner);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    // The caption broken into lines as wide as the panel, instead of one line that may be cut.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // The client area less bevels and border: where aligned children go.
    RECT ClientRect() override;

protected:
    void Paint() override;

private:
    int FrameWidth() const;
    TBevelCut FBevelInner = TBevelCut::bvNone;
    TBevelCut FBevelOuter = TBevelCut::bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = TAlignment::taCenter;
    bool FWordWrap = false;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
    ZEL_DECLARE_CLASS(TBevel)
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;

private:
    TBevelShape FShape = TBevelShape::bsBox;
    TBevelStyle FStyle = TBevelStyle::bsLowered;
};

// Calls OnTimer every Interval milliseconds while enabled; ticks come through the message loop.
class TTimer : public TComponent {
    ZEL_DECLARE_CLASS(TTimer)
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int Interval() const { return FInterval; }
    void SetInterval(int Value);
    TNotifyEvent OnTimer;
    // Runs the handler as a tick does (exceptions go to the application).
    void Tick();

private:
    void UpdateTimer();
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR Id, DWORD);
    bool FEnabled = true;
    int FInterval = 1000;
    UINT_PTR FId = 0;
};

// Draws a 3-D frame inside Rect and shrinks Rect by Width.
void Frame3D(TCanvas& Canvas, RECT& Rect, TColor TopColor, TColor BottomColor, int Width);
