#pragma once
// The speed button: a flat or raised button without a window, optionally part of a group.
#include <memory>

#include "framework/ui/Controls.h"

class TSpeedButton : public TGraphicControl {
    ZEL_DECLARE_CLASS(TSpeedButton)
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;
    // A change of the glyph repaints the button (through the glyph's OnChange).
    TBitmap& Glyph() { return *FGlyph; }
    // Buttons with the same non-zero GroupIndex on one parent act as a radio group.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    std::unique_ptr<TBitmap> FGlyph;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FAllowAllUp = false;
    bool FFlat = false;
    bool FPressed = false; // the mouse holds the button down
    bool FHot = false;
};
