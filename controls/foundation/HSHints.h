#pragma once
// The family's hint (a tooltip with one bold stretch, shown after a pause and hidden when the
// pointer leaves or a time passes) and control backgrounds (a bitmap or a two-colour gradient).
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "framework/ui/Forms.h"

class THSHintWindow : public THintWindow {
    ZEL_DECLARE_CLASS(THSHintWindow)
public:
    explicit THSHintWindow(TComponent* AOwner);
    ~THSHintWindow() override;
    TFont& BoldFont() { return *FBoldFont; }
    void ActivateHint(RECT Rect, const std::string& Text) override;
    // The size Text needs (its lines are kept for painting).
    SIZE TextSize(const std::string& Text);
    // Lines of a text with line breaks, each with its height.
    const std::vector<std::pair<std::string, int>>& Lines() const { return FLines; }

protected:
    void CreateHandleDone() override;
    void Paint() override;
    void TextChanged() override;

private:
    std::unique_ptr<TFont> FBoldFont;
    std::vector<std::pair<std::string, int>> FLines;
    bool FSameText = false;
};

enum class THSHintState { Shown, Hidden, Pending };

class THSHint : public TComponent {
    ZEL_DECLARE_CLASS(THSHint)
public:
    explicit THSHint(TComponent* AOwner);
    ~THSHint() override;
    void ActivateHintAtPos(POINT Point, const std::string& Text);
    // At the pointer, placed 20 pixels below it.
    void ActivateHint(const std::string& Text);
    void CancelHint();
    void HideHintWindow();
    bool Visible() const;
    void SetVisible(bool Value);
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    int Interval() const { return FTimer->Interval(); }
    void SetInterval(int Value) { FTimer->SetInterval(Value); }
    TFont& BoldFont() { return *FBoldFont; }
    void SetBoldFont(TFont& Value);
    SIZE GetSize(const std::string& Text);
    THSHintWindow& Window() { return *FWindow; }
    THSHintState State() const { return FState; }
    RECT HintRect() const { return FHintRect; }
    // One tick of the timer.
    virtual void ExecHintTimer();
    virtual void VisibleChanged() { DoEvent(OnVisibleChanged, this); }
    // Point lies in Rect extended upward by Rect's height.
    virtual bool IsHintInRect(const RECT& Rect, POINT Point) const;

    bool AutoHide = true;
    bool Immediate = true;
    TNotifyEvent OnVisibleChanged;

private:
    void Activate(POINT Point, const std::string& Text, int Offset);
    THSHintWindow* FWindow;
    TTimer* FTimer;
    RECT FHintRect{0, 0, 0, 0};
    std::unique_ptr<TFont> FBoldFont;
    std::string FCaption;
    THSHintState FState = THSHintState::Hidden;
    int FTicks = 0;
    int FOffset = 0;
};

enum class TBkgndOption { boNone, boStretch, boCenter, boTile, boHorzGradient, boVertGradient };

class TControlBackground : public TPersistent {
    ZEL_DECLARE_CLASS(TControlBackground)
public:
    explicit TControlBackground(TCustomControl* Control);
    ~TControlBackground() override;
    TBitmap& Background() { return *FBackground; }
    void SetBackground(TBitmap& Value);
    TBkgndOption Option() const { return FOption; }
    void SetOption(TBkgndOption Value);
    TColor GradientBeginColor() const { return FBeginColor; }
    void SetGradientBeginColor(TColor Value);
    TColor GradientEndColor() const { return FEndColor; }
    void SetGradientEndColor(TColor Value);
    // What the control copies in its own painting.
    TBitmap& WorkBitmap() { return *FWork; }
    void Assign(TPersistent* Source) override;
    bool NeedPaint();
    virtual RECT GetPaintRect();
    virtual TBrush& GetPaintBrush();
    virtual void PaintBackground();
    void BackgroundChanged();

private:
    TCustomControl* FControl;
    std::unique_ptr<TBitmap> FBackground;
    TBkgndOption FOption = TBkgndOption::boNone;
    TColor FBeginColor = clBlue;
    TColor FEndColor = clBlack;
    std::unique_ptr<TBitmap> FWork;
};
