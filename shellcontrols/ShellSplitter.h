#pragma once
// TNVSplitter: two panes side by side (or one above the other) with a bar between them that the
// user drags to share the space. The panes are framed group panels that host any controls.
#include "framework/core/Win.h"

#include <functional>

#include "shellcontrols/ShellFrames.h"

enum class TNVSplitterStyle { nvstVertical, nvstHorizontal };
enum class TNVFullDragMode { nvfdOff, nvfdOn, nvfdUser };

using TNVSplitterDragEvent = std::function<void(TObject* Sender, int Position)>;

class TNVSplitter;

class TNVPane : public TNVCustomGroup {
    ZEL_DECLARE_CLASS(TNVPane)
public:
    explicit TNVPane(TComponent* AOwner);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value; }
    int Index() const { return FIndex; }
    void SetIndex(int Value) { FIndex = Value; }

private:
    int FMinSize = 20;
    int FIndex = 0;
};

class TNVSplitter : public TCustomControl {
    ZEL_DECLARE_CLASS(TNVSplitter)
public:
    explicit TNVSplitter(TComponent* AOwner);
    ~TNVSplitter() override;

    // Makes both panes (owned by the splitter, named after it) when it has none yet.
    void CreatePanes();
    TNVPane* GetPane(int Index) const { return Index == 0 || Index == 1 ? FPanes[Index] : nullptr; }

    TNVSplitterStyle Style() const { return FStyle; }
    void SetStyle(TNVSplitterStyle Value);
    int SplitterWidth() const { return FSplitterWidth; }
    void SetSplitterWidth(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value) { InternalSetPosition(Value, true); }
    double Proportion() const { return FProportion; }
    void SetProportion(double Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value) { FProportional = Value; }
    TNVFullDragMode FullDragMode() const { return FFullDragMode; }
    void SetFullDragMode(TNVFullDragMode Value) { FFullDragMode = Value; }

    TColor GetPaneColor(int Index) const;
    void SetPaneColor(int Index, TColor Value);
    TNVFrameStyle GetPaneStyle(int Index) const;
    void SetPaneStyle(int Index, TNVFrameStyle Value);
    int GetPaneMinSize(int Index) const;
    void SetPaneMinSize(int Index, int Value);
    void SwapPanes(bool Adjust);
    bool Dragging() const { return FDragging; }
    // Width for the vertical style, height for the horizontal one.
    int Extent() const { return FStyle == TNVSplitterStyle::nvstVertical ? Width() : Height(); }

    void WndProc(TMessage& Message) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    TNotifyEvent OnSplitterResize;
    TNVSplitterDragEvent OnSplitterDrag;
    TNVSplitterDragEvent OnSplitterDrop;
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void Paint() override;
    virtual void PaintSizingLine();
    virtual void Change() { DoEvent(OnChange, this); }
    virtual void InternalResize(bool Force);
    virtual void SplitterDrag(int Pos) { DoEvent(OnSplitterDrag, this, Pos); }
    virtual void SplitterDrop(int Pos);

private:
    void InitPanePos();
    void InternalSetPosition(int Value, bool Fix);
    void FixProportion();
    int Clamp(int BarPos) const;
    int AxisCoord(LPARAM LParam) const;
    void BeginDrag(int Coord);
    void ContinueDrag(int Coord);
    void SetDragPosition(int P);
    void EndDrag();
    bool IsFullDrag() const;

    TNVPane* FPanes[2] = {nullptr, nullptr};
    TNVSplitterStyle FStyle = TNVSplitterStyle::nvstVertical;
    int FSplitterWidth = 3;
    int FPosition = 65;
    TNVFullDragMode FFullDragMode = TNVFullDragMode::nvfdUser;
    bool FProportional = true;
    double FProportion = 65.0 / 200.0;
    bool FDragging = false;
    int FDragPos = -1;
    int FGrabOffset = 0;
    UINT FDragButton = 0;
};
