#pragma once
#include "framework/ui/Controls.h"

// A small borderless window that shows a hint text; the application shows one for control hints.
class THintWindow : public TCustomControl {
    ZEL_DECLARE_CLASS(THintWindow)
public:
    explicit THintWindow(TComponent* AOwner);
    // Shows Text in Rect (screen coordinates) without taking the focus.
    virtual void ActivateHint(RECT Rect, const std::string& Text);
    // The rectangle (from 0, 0) that Text needs, wrapped at MaxWidth.
    virtual RECT CalcHintRect(int MaxWidth, const std::string& Text);
    void ReleaseHandle() { DestroyHandle(); }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void WndProc(TMessage& Message) override;
};
