#include "shellcontrols/ShellSplitter.h"

#include <cmath>

ZEL_DEFINE_CLASS(TNVPane, TNVCustomGroup, {})
ZEL_DEFINE_CLASS(TNVSplitter, TCustomControl, {})

namespace {

// The checkerboard brush bitmap of the outline bar, made once per process.
HBITMAP G50PctBmp = nullptr;

HBITMAP Get50PctBmp() {
    if (!G50PctBmp) {
        // One word per row; bit set = white where x and y differ in parity.
        WORD Bits[8];
        for (int Y = 0; Y < 8; ++Y)
            Bits[Y] = static_cast<WORD>(Y % 2 ? 0xAA : 0x55);
        G50PctBmp = CreateBitmap(8, 8, 1, 1, Bits);
    }
    return G50PctBmp;
}

} // namespace

TNVPane::TNVPane(TComponent* AOwner) : TNVCustomGroup(AOwner) {
    SetFrameStyle(TNVFrameStyle::nvfsLowered);
}

TNVSplitter::TNVSplitter(TComponent* AOwner) : TCustomControl(AOwner) {
    TControl::SetBounds(0, 0, 200, 140);
}

TNVSplitter::~TNVSplitter() = default;

void TNVSplitter::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TNVSplitter::CreateHandleDone() {
    TCustomControl::CreateHandleDone();
    InitPanePos();
}

void TNVSplitter::CreatePanes() {
    if (FPanes[0] || FPanes[1])
        return;
    for (int I = 0; I < 2; ++I) {
        auto* P = new TNVPane(this);
        P->SetIndex(I);
        if (!Name().empty())
            P->SetName(Name() + "_pane" + std::to_string(I + 1));
        P->SetParent(this);
        FPanes[I] = P;
    }
    InitPanePos();
}

void TNVSplitter::InitPanePos() {
    if (!FPanes[0] || !FPanes[1] || !HandleAllocated())
        return;
    RECT C;
    GetClientRect(FHandle, &C);
    if (FStyle == TNVSplitterStyle::nvstVertical) {
        FPanes[0]->SetBounds(0, 0, FPosition, C.bottom);
        FPanes[1]->SetBounds(FPosition + FSplitterWidth, 0, C.right - FPosition - FSplitterWidth, C.bottom);
    } else {
        FPanes[0]->SetBounds(0, 0, C.right, FPosition);
        FPanes[1]->SetBounds(0, FPosition + FSplitterWidth, C.right, C.bottom - FPosition - FSplitterWidth);
    }
}

void TNVSplitter::SetStyle(TNVSplitterStyle Value) {
    if (Value != FStyle) {
        FStyle = Value;
        InitPanePos();
        Invalidate();
    }
}

void TNVSplitter::SetSplitterWidth(int Value) {
    if (Value != FSplitterWidth) {
        FSplitterWidth = Value;
        InitPanePos();
        Invalidate();
    }
}

int TNVSplitter::Clamp(int BarPos) const {
    if (!FPanes[0] || !FPanes[1])
        return BarPos;
    // The lower bound first: when the two cross, small values get it and large ones the upper.
    if (BarPos < FPanes[0]->MinSize())
        return FPanes[0]->MinSize();
    if (BarPos > Extent() - FPanes[1]->MinSize())
        return Extent() - FPanes[1]->MinSize();
    return BarPos;
}

void TNVSplitter::InternalSetPosition(int Value, bool Fix) {
    int V = Clamp(Value);
    if (V == FPosition)
        return;
    FPosition = V;
    InitPanePos();
    if (Fix)
        FixProportion();
    Change();
}

void TNVSplitter::FixProportion() {
    int E = Extent();
    FProportion = E == 0 ? 0.5 : static_cast<double>(FPosition) / E;
}

void TNVSplitter::SetProportion(double Value) {
    FProportion = Value;
    InternalResize(true);
}

void TNVSplitter::InternalResize(bool Force) {
    if (Force || FProportional)
        InternalSetPosition(static_cast<int>(std::nearbyint(Extent() * FProportion)), false);
    DoEvent(OnSplitterResize, this);
}

void TNVSplitter::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    bool Sized = AWidth != Width() || AHeight != Height();
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (Sized) {
        InternalResize(false);
        InitPanePos();
    }
}

void TNVSplitter::SplitterDrop(int Pos) {
    FixProportion();
    DoEvent(OnSplitterDrop, this, Pos);
}

TColor TNVSplitter::GetPaneColor(int Index) const {
    return GetPane(Index) ? GetPane(Index)->Color() : clBtnFace;
}

void TNVSplitter::SetPaneColor(int Index, TColor Value) {
    if (TNVPane* P = GetPane(Index))
        P->SetColor(Value);
}

TNVFrameStyle TNVSplitter::GetPaneStyle(int Index) const {
    return GetPane(Index) ? GetPane(Index)->FrameStyle() : TNVFrameStyle::nvfsLowered;
}

void TNVSplitter::SetPaneStyle(int Index, TNVFrameStyle Value) {
    if (TNVPane* P = GetPane(Index))
        P->SetFrameStyle(Value);
}

int TNVSplitter::GetPaneMinSize(int Index) const {
    return GetPane(Index) ? GetPane(Index)->MinSize() : 0;
}

void TNVSplitter::SetPaneMinSize(int Index, int Value) {
    if (TNVPane* P = GetPane(Index))
        P->SetMinSize(Value);
}

void TNVSplitter::SwapPanes(bool Adjust) {
    std::swap(FPanes[0], FPanes[1]);
    for (int I = 0; I < 2; ++I)
        if (FPanes[I])
            FPanes[I]->SetIndex(I);
    if (Adjust)
        SetPosition(Extent() - FPosition);
    InitPanePos();
}

bool TNVSplitter::IsFullDrag() const {
    if (FFullDragMode == TNVFullDragMode::nvfdOn)
        return true;
    if (FFullDragMode == TNVFullDragMode::nvfdOff)
        return false;
    BOOL Full = FALSE;
    return SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &Full, 0) && Full;
}

int TNVSplitter::AxisCoord(LPARAM LParam) const {
    return FStyle == TNVSplitterStyle::nvstVertical ? static_cast<short>(LOWORD(LParam))
                                                    : static_cast<short>(HIWORD(LParam));
}

void TNVSplitter::BeginDrag(int Coord) {
    int Edge = 0;
    if (FPanes[0])
        Edge = FStyle == TNVSplitterStyle::nvstVertical ? FPanes[0]->Left() + FPanes[0]->Width()
                                                        : FPanes[0]->Top() + FPanes[0]->Height();
    FGrabOffset = Coord - Edge;
    FDragging = true;
    FDragPos = -1;
    SetDragPosition(Clamp(Coord - FGrabOffset) + FGrabOffset);
}

void TNVSplitter::ContinueDrag(int Coord) {
    int P = Clamp(Coord - FGrabOffset) + FGrabOffset;
    if (P != FDragPos)
        SetDragPosition(P);
}

void TNVSplitter::SetDragPosition(int P) {
    if (IsFullDrag()) {
        if (P >= 0) {
            FDragPos = P;
            SetPosition(P - FGrabOffset);
        }
    } else {
        if (FDragPos >= 0)
            PaintSizingLine();
        FDragPos = P;
        if (FDragPos >= 0)
            PaintSizingLine();
    }
    SplitterDrag(FDragPos);
}

void TNVSplitter::EndDrag() {
    if (!FDragging)
        return;
    SetDragPosition(-1);
    FDragging = false;
    if (GetCapture() == FHandle)
        ReleaseCapture();
}

void TNVSplitter::PaintSizingLine() {
    if (!HandleAllocated())
        return;
    HDC DC = GetDCEx(FHandle, nullptr, DCX_LOCKWINDOWUPDATE | DCX_PARENTCLIP);
    if (!DC)
        return;
    RECT C;
    GetClientRect(FHandle, &C);
    SetTextColor(DC, RGB(255, 255, 255));
    SetBkColor(DC, RGB(0, 0, 0));
    SetBkMode(DC, OPAQUE);
    SetROP2(DC, R2_COPYPEN);
    HBRUSH Brush = CreatePatternBrush(Get50PctBmp());
    SetBrushOrgEx(DC, 0, 0, nullptr);
    HGDIOBJ Old = SelectObject(DC, Brush);
    int Bar = FDragPos - FGrabOffset;
    if (FStyle == TNVSplitterStyle::nvstVertical)
        PatBlt(DC, Bar, 0, FSplitterWidth, C.bottom, PATINVERT);
    else
        PatBlt(DC, 0, Bar, C.right, FSplitterWidth, PATINVERT);
    SelectObject(DC, Old);
    DeleteObject(Brush);
    ReleaseDC(FHandle, DC);
}

void TNVSplitter::Paint() {
    TCanvas& C = Canvas();
    C.Brush().SetStyle(TBrushStyle::bsSolid);
    C.Brush().SetColor(Color());
    C.FillRect(ClientRect());
}

void TNVSplitter::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (FDragging) {
            EndDrag();
            return;
        }
        if (Message.Msg == WM_LBUTTONDOWN) {
            SetCapture(FHandle);
            FDragButton = WM_LBUTTONUP;
            BeginDrag(AxisCoord(Message.LParam));
            return;
        }
        break;
    case WM_MOUSEMOVE:
        if (FDragging) {
            ContinueDrag(AxisCoord(Message.LParam));
            return;
        }
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (FDragging && Message.Msg == FDragButton) {
            ContinueDrag(AxisCoord(Message.LParam));
            int Old = FPosition;
            int Final = FDragPos - FGrabOffset;
            EndDrag();
            if (Final != FPosition && !IsFullDrag()) {
                FPosition = Final;
            }
            InitPanePos();
            SplitterDrop(FPosition);
            if (FPosition != Old && !IsFullDrag())
                Change();
            return;
        }
        break;
    case WM_CANCELMODE:
        EndDrag();
        break;
    case WM_CAPTURECHANGED:
        if (Message.LParam && reinterpret_cast<HWND>(Message.LParam) != FHandle)
            EndDrag();
        break;
    case WM_SETCURSOR: {
        POINT P;
        GetCursorPos(&P);
        ::ScreenToClient(FHandle, &P);
        bool InPane = false;
        for (TNVPane* Pane : FPanes)
            if (Pane) {
                RECT R = Pane->BoundsRect();
                InPane = InPane || PtInRect(&R, P);
            }
        if (!InPane) {
            ::SetCursor(
                LoadCursor(nullptr, FStyle == TNVSplitterStyle::nvstHorizontal ? IDC_SIZENS : IDC_SIZEWE));
            Message.Result = 1;
            return;
        }
        break;
    }
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}
