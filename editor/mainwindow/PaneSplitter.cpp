#include "editor/mainwindow/PaneSplitter.h"

#include <algorithm>

ZEL_DEFINE_CLASS(TPaneSplitter, TCustomControl, {})

TPaneSplitter::TPaneSplitter(TComponent* AOwner) : TCustomControl(AOwner) {
    FWidth = 200;
    FHeight = 200;
    FPane0 = new TPanel(this);
    FPane1 = new TPanel(this);
    for (TPanel* P : {FPane0, FPane1}) {
        P->SetBevelOuter(TBevelCut::bvNone);
        P->SetParent(this);
    }
    LayOut();
}

TPaneSplitter::~TPaneSplitter() = default;

int TPaneSplitter::Extent() const {
    return FStyle == TSplitStyle::Vertical ? FWidth : FHeight;
}

int TPaneSplitter::Clamp(int Value) const {
    int Max = Extent() - FSplitterWidth - FMin[1];
    return std::max(0, std::min(std::max(Value, FMin[0]), Max));
}

void TPaneSplitter::SetStyle(TSplitStyle Value) {
    if (Value == FStyle)
        return;
    FStyle = Value;
    LayOut();
}

void TPaneSplitter::SetPosition(int Value) {
    FPosition = Clamp(Value);
    int E = Extent();
    FProportion = E > 0 ? static_cast<double>(FPosition) / E : 0.5;
    LayOut();
    DoEvent(OnChange, this);
}

void TPaneSplitter::SetProportion(double Value) {
    FProportion = std::clamp(Value, 0.0, 1.0);
    LayOut();
    DoEvent(OnChange, this);
}

void TPaneSplitter::SetSplitterWidth(int Value) {
    FSplitterWidth = std::max(0, Value);
    LayOut();
}

void TPaneSplitter::SetPaneMinSize(int Pane, int Pixels) {
    if (Pane == 0 || Pane == 1)
        FMin[Pane] = std::max(0, Pixels);
    LayOut();
}

void TPaneSplitter::Resize() {
    LayOut();
    TCustomControl::Resize();
}

void TPaneSplitter::LayOut() {
    int E = Extent();
    bool Collapsed = FProportion >= 1.0;
    FPosition = Collapsed ? E : Clamp(static_cast<int>(FProportion * E + 0.5));
    int Bar = Collapsed ? 0 : FSplitterWidth;
    int Rest = std::max(0, E - FPosition - Bar);
    if (FStyle == TSplitStyle::Vertical) {
        FPane0->SetBounds(0, 0, FPosition, FHeight);
        FPane1->SetBounds(FPosition + Bar, 0, Rest, FHeight);
    } else {
        FPane0->SetBounds(0, 0, FWidth, FPosition);
        FPane1->SetBounds(0, FPosition + Bar, FWidth, Rest);
    }
    FPane1->SetVisible(!Collapsed);
    // Closed to nothing, without a bar to drag it open again (a collapsed splitter gives it all).
    FPane0->SetVisible(Collapsed || FPosition > 0 || Bar > 0);
}

void TPaneSplitter::Paint() {
    RECT R = ClientRect();
    Canvas().Brush().SetColor(clBtnFace);
    Canvas().FillRect(R);
}

void TPaneSplitter::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETCURSOR:
        if (FSplitterWidth > 0 && FProportion < 1.0 && reinterpret_cast<HWND>(Message.WParam) == FHandle) {
            ::SetCursor(LoadCursorA(nullptr, FStyle == TSplitStyle::Vertical ? IDC_SIZEWE : IDC_SIZENS));
            Message.Result = 1;
            return;
        }
        break;
    case WM_LBUTTONDOWN:
        if (FSplitterWidth > 0 && FProportion < 1.0) {
            FDragging = true;
            SetCapture(FHandle);
        }
        Message.Result = 0;
        return;
    case WM_MOUSEMOVE:
        if (FDragging) {
            int P = FStyle == TSplitStyle::Vertical ? static_cast<short>(LOWORD(Message.LParam))
                                                    : static_cast<short>(HIWORD(Message.LParam));
            SetPosition(P - FSplitterWidth / 2);
        }
        Message.Result = 0;
        return;
    case WM_LBUTTONUP:
        if (FDragging) {
            FDragging = false;
            ReleaseCapture();
            DoEvent(OnSplitterDrop, this);
        }
        Message.Result = 0;
        return;
    }
    TCustomControl::WndProc(Message);
}
