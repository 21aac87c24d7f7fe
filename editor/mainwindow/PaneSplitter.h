#pragma once
// Two panes with a divider that the mouse drags: side by side (vertical divider) or one above the
// other (horizontal divider). The first pane's share of the size is kept when the splitter is
// resized; a proportion of 1.0 collapses the second pane.
#include "framework/ui/ExtCtrls.h"

enum class TSplitStyle { Vertical, Horizontal };

class TPaneSplitter : public TCustomControl {
    ZEL_DECLARE_CLASS(TPaneSplitter)
public:
    explicit TPaneSplitter(TComponent* AOwner);
    ~TPaneSplitter() override;

    TPanel* Pane(int Index) const { return Index == 0 ? FPane0 : FPane1; }
    TSplitStyle Style() const { return FStyle; }
    void SetStyle(TSplitStyle Value);
    // Pixels of the first pane along the split direction.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    double Proportion() const { return FProportion; }
    void SetProportion(double Value);
    int SplitterWidth() const { return FSplitterWidth; }
    void SetSplitterWidth(int Value);
    void SetPaneMinSize(int Pane, int Pixels);
    // Width (vertical) or height (horizontal): the length the panes share.
    int Extent() const;

    TNotifyEvent OnChange;
    TNotifyEvent OnSplitterDrop;

    void WndProc(TMessage& Message) override;

protected:
    void Resize() override;
    void Paint() override;

private:
    void LayOut();
    int Clamp(int Value) const;
    TPanel* FPane0;
    TPanel* FPane1;
    TSplitStyle FStyle = TSplitStyle::Vertical;
    int FPosition = 100;
    double FProportion = 0.5;
    int FSplitterWidth = 3;
    int FMin[2] = {0, 0};
    bool FDragging = false;
};
