// In-place editors and the tree's side of editing.
#include "controls/tree/TreeEditors.h"

#include <algorithm>

#include "controls/tree/HSToolTip.h"
#include "controls/tree/HSTree.h"

ZEL_DEFINE_CLASS(THSCustomTreeSimpleEditor, TEdit, {})
ZEL_DEFINE_CLASS(THSTreeSimpleEditor, THSCustomTreeSimpleEditor, {})
ZEL_DEFINE_CLASS(THSCustomTreeMemoEditor, TMemo, {})
ZEL_DEFINE_CLASS(THSTreeMemoEditor, THSCustomTreeMemoEditor, {})

// --- multi-line texts -------------------------------------------------------------------------

namespace {

std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> Lines;
    std::string Cur;
    for (size_t I = 0; I < Text.size(); ++I) {
        char C = Text[I];
        if (C == '\r' || C == '\n') {
            Lines.push_back(Cur);
            Cur.clear();
            if (C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n')
                ++I;
        } else {
            Cur += C;
        }
    }
    Lines.push_back(Cur);
    return Lines;
}

int TextMetricHeight(TCanvas& Canvas) {
    TEXTMETRICA TM{};
    Canvas.TextExtent(" "); // selects the canvas font
    GetTextMetricsA(Canvas.Handle(), &TM);
    return TM.tmHeight;
}

// A one-off canvas over a memory context, for measuring with a font outside painting.
struct TMeasureDC {
    HDC DC;
    TCanvas Canvas;
    explicit TMeasureDC(TFont& Font) : DC(CreateCompatibleDC(nullptr)) {
        Canvas.SetHandle(DC);
        Canvas.Font().Assign(Font);
    }
    ~TMeasureDC() {
        Canvas.SetHandle(nullptr);
        DeleteDC(DC);
    }
};

} // namespace

int GetMultiLineTextHeight(TCanvas& Canvas, const std::string& Text) {
    if (Text.empty())
        return TextMetricHeight(Canvas);
    RECT R{0, 0, 0, 0};
    Canvas.DrawText(Text, R, DT_CALCRECT | DT_NOPREFIX);
    return R.bottom - R.top;
}

int GetMultiLineTextWidth(TCanvas& Canvas, const std::string& Text) {
    if (Text.empty())
        return 0;
    RECT R{0, 0, 0, 0};
    Canvas.DrawText(Text, R, DT_CALCRECT | DT_NOPREFIX);
    return R.right - R.left;
}

void DrawMultiLineText(TCanvas& Canvas, const std::string& Text, const RECT& R) {
    int H = TextMetricHeight(Canvas);
    RECT Band{R.left, R.top, R.right, R.top + H};
    for (const std::string& Line : SplitLines(Text)) {
        if (Band.top >= R.bottom)
            break;
        if (Band.bottom > R.bottom)
            Band.bottom = R.bottom;
        Canvas.TextRect(Band, Band.left, Band.top, Line);
        Band.top += H;
        Band.bottom = Band.top + H;
    }
    if (Band.top < R.bottom)
        Canvas.FillRect(RECT{R.left, Band.top, R.right, R.bottom});
}

// --- shared editor behaviour ------------------------------------------------------------------

namespace {

// Pixels of an edit's width that its text cannot use: the window's width less the rectangle in
// which the edit lays out its text.
int EditFrameWidth(HWND Edit) {
    RECT Window, Layout;
    GetWindowRect(Edit, &Window);
    SendMessageA(Edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Layout));
    return (Window.right - Window.left) - (Layout.right - Layout.left);
}

template <class E> RECT EditorBounds(E& Ed, TWinControl* Tree, const RECT& Base, bool Border) {
    RECT R = Base;
    if (Border) {
        int B = GetSystemMetrics(SM_CYBORDER) + 1;
        R.top -= B;
        R.bottom += B;
    } else {
        int B = 1 + GetSystemMetrics(SM_CXBORDER);
        R.left += B;
        R.right -= B;
    }
    RECT C{0, 0, 0, 0};
    if (Tree && Tree->HandleAllocated())
        GetClientRect(Tree->Handle(), &C);
    auto Clip = [&C](RECT& X) {
        X.left = std::max(X.left, C.left);
        X.top = std::max(X.top, C.top);
        X.right = std::min(X.right, C.right);
        X.bottom = std::min(X.bottom, C.bottom);
    };
    if (Tree)
        Clip(R);
    TMeasureDC M(Ed.Font());
    TEXTMETRICA TM{};
    M.Canvas.TextExtent(" ");
    GetTextMetricsA(M.DC, &TM);
    // Room for the edit's own frame and one more character of any width, so that the next typed
    // character fits before the edit would scroll its text. A live edit tells its frame: its
    // margins and, with a border, the inset it keeps inside it, which is more than the borders.
    int Frame = 2 * GetSystemMetrics(SM_CXBORDER) + 2;
    if (Ed.HandleAllocated())
        Frame = std::max(Frame, EditFrameWidth(Ed.Handle()));
    R.right += Frame + TM.tmMaxCharWidth;
    if (Tree)
        Clip(R);
    return R;
}

// After a change that the box grew for, an edit that scrolled its text sideways while the box
// was still narrow (a paste, a character wider than the room left) shows it from the start
// again, when the whole text now fits.
template <class E> void ShowTextFromStart(E& Ed) {
    if (!Ed.HandleAllocated())
        return;
    HWND H = Ed.Handle();
    RECT Layout;
    SendMessageA(H, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Layout));
    const LRESULT First = SendMessageA(H, EM_POSFROMCHAR, 0, 0);
    if (First == -1 || static_cast<short>(LOWORD(First)) >= Layout.left ||
        Ed.GetEditorWidth() > Layout.right - Layout.left)
        return;
    DWORD Start = 0, End = 0;
    SendMessageA(H, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    if (Start != End)
        return; // a selection keeps its own direction and view
    SendMessageA(H, EM_SETSEL, 0, 0);
    SendMessageA(H, EM_SCROLLCARET, 0, 0);
    SendMessageA(H, EM_SETSEL, Start, Start);
}

// The editor sits flat on the tree: a thin border at most, never the sunken edge.
void FrameParams(TCreateParams& Params, bool Border) {
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    if (Border)
        Params.Style |= WS_BORDER;
}

void ApplyBorder(HWND Handle, bool Border) {
    LONG_PTR Style = GetWindowLongPtrA(Handle, GWL_STYLE);
    Style = Border ? (Style | WS_BORDER) : (Style & ~static_cast<LONG_PTR>(WS_BORDER));
    SetWindowLongPtrA(Handle, GWL_STYLE, Style);
    SetWindowPos(Handle, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The text's own height centred on the cell, widened to the text where the editor grows with it.
template <class E> RECT BaseRect(E& Ed, const RECT& Cell, bool WidenToText) {
    int H = Ed.GetEditorHeight();
    RECT R = Cell;
    R.top = (Cell.top + Cell.bottom - H) / 2;
    R.bottom = R.top + H;
    if (WidenToText)
        R.right = R.left + Ed.GetEditorWidth();
    return R;
}

template <class E> void SetBoundsTo(E& Ed, const RECT& R) {
    Ed.SetBounds(R.left, R.top, std::max<LONG>(0, R.right - R.left), std::max<LONG>(0, R.bottom - R.top));
}

// Messages both editors answer alike; true when handled.
template <class E>
bool HandleEditorMessage(E& Ed, TMessage& M, TWinControl*& Tree, TCanvas*& TreeCanvas, RECT& Rect,
                         bool& Border) {
    switch (M.Msg) {
    case DM_SETCANVAS:
        TreeCanvas = reinterpret_cast<TCanvas*>(M.WParam);
        return true;
    case DM_SETRECT:
        Rect = *reinterpret_cast<const RECT*>(M.WParam);
        Border = M.LParam != 0;
        if (Ed.HandleAllocated())
            Ed.RecreateBorder();
        Ed.UpdateEditorBounds();
        return true;
    case DM_SETPARENT:
        Tree = reinterpret_cast<TWinControl*>(M.WParam);
        return true;
    case DM_SETTEXT:
        Ed.SetText(reinterpret_cast<const char*>(M.WParam));
        if (M.LParam != 0) {
            Ed.SetModified(false);
        } else {
            Ed.SetSelStart(static_cast<int>(Ed.Text().size()));
            Ed.SetModified(true);
        }
        return true;
    case DM_HIDE:
        Ed.Hide();
        return true;
    case DM_CANCELCHANGES:
        Ed.SetModified(false);
        return true;
    case DM_SAVECHANGES:
        *reinterpret_cast<std::string*>(M.WParam) = Ed.Text();
        return true;
    case DM_GETMODIFIED:
        M.Result = Ed.Modified() ? 1 : 0;
        return true;
    case WM_GETDLGCODE:
        M.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS;
        return true;
    case WM_KILLFOCUS:
        Ed.TWinControl::WndProc(M);
        if (Tree && Tree->HandleAllocated())
            SendMessageA(Tree->Handle(), DM_KILLFOCUS, 0, 0);
        return true;
    }
    return false;
}

} // namespace

// --- single-line editor -----------------------------------------------------------------------

THSCustomTreeSimpleEditor::THSCustomTreeSimpleEditor(TComponent* AOwner) : TEdit(AOwner) {
    SetVisible(false);
    SetTabStop(false);
}

THSTreeSimpleEditor::THSTreeSimpleEditor(TComponent* AOwner) : THSCustomTreeSimpleEditor(AOwner) {
    FWidenToText = true;
}

void THSCustomTreeSimpleEditor::CreateParams(TCreateParams& Params) {
    TEdit::CreateParams(Params);
    FrameParams(Params, FBorder);
}

void THSCustomTreeSimpleEditor::RecreateBorder() {
    ApplyBorder(FHandle, FBorder);
}

int THSCustomTreeSimpleEditor::GetEditorHeight() {
    return THSCustomTreeView::CachedFontHeight(Font());
}

int THSCustomTreeSimpleEditor::GetEditorWidth() {
    TMeasureDC M(Font());
    TEXTMETRICA TM{};
    int W = M.Canvas.TextWidth(Text());
    GetTextMetricsA(M.DC, &TM);
    return W + TM.tmOverhang;
}

RECT THSCustomTreeSimpleEditor::GetBaseRect() {
    return BaseRect(*this, FRect, FWidenToText);
}

RECT THSCustomTreeSimpleEditor::GetEditorBounds() {
    return EditorBounds(*this, FTree, GetBaseRect(), FBorder);
}

void THSCustomTreeSimpleEditor::UpdateEditorBounds() {
    SetBoundsTo(*this, GetEditorBounds());
}

void THSCustomTreeSimpleEditor::Change() {
    TEdit::Change();
    UpdateEditorBounds();
    ShowTextFromStart(*this);
}

void THSCustomTreeSimpleEditor::WndProc(TMessage& Message) {
    if (HandleEditorMessage(*this, Message, FTree, FTreeCanvas, FRect, FBorder))
        return;
    switch (Message.Msg) {
    case DM_SHOW: {
        auto* S = reinterpret_cast<const TTreeEditorShow*>(Message.LParam);
        if (S && S->Font)
            Font().Assign(*S->Font);
        if (S)
            SetColor(S->BrushColor);
        Show();
        UpdateEditorBounds();
        SetFocus();
        SelectAll();
        return;
    }
    case WM_KEYDOWN:
        if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) {
            if (FTree && FTree->HandleAllocated())
                SendMessageA(FTree->Handle(), Message.WParam == VK_RETURN ? DM_SAVECHANGES : DM_CANCELCHANGES,
                             0, 0);
            return;
        }
        break;
    case WM_CHAR:
        if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)
            return;
        break;
    }
    TEdit::WndProc(Message);
}

// --- multi-line editor ------------------------------------------------------------------------

THSCustomTreeMemoEditor::THSCustomTreeMemoEditor(TComponent* AOwner) : TMemo(AOwner) {
    SetVisible(false);
    SetTabStop(false);
    SetWordWrap(false);
}

THSTreeMemoEditor::THSTreeMemoEditor(TComponent* AOwner) : THSCustomTreeMemoEditor(AOwner) {
    FWidenToText = true;
}

void THSCustomTreeMemoEditor::CreateParams(TCreateParams& Params) {
    TMemo::CreateParams(Params);
    FrameParams(Params, FBorder);
}

void THSCustomTreeMemoEditor::RecreateBorder() {
    ApplyBorder(FHandle, FBorder);
}

int THSCustomTreeMemoEditor::GetEditorHeight() {
    TMeasureDC M(Font());
    return GetMultiLineTextHeight(M.Canvas, Text());
}

int THSCustomTreeMemoEditor::GetEditorWidth() {
    TMeasureDC M(Font());
    return GetMultiLineTextWidth(M.Canvas, Text());
}

RECT THSCustomTreeMemoEditor::GetBaseRect() {
    return BaseRect(*this, FRect, FWidenToText);
}

RECT THSCustomTreeMemoEditor::GetEditorBounds() {
    return EditorBounds(*this, FTree, GetBaseRect(), FBorder);
}

void THSCustomTreeMemoEditor::UpdateEditorBounds() {
    SetBoundsTo(*this, GetEditorBounds());
}

void THSCustomTreeMemoEditor::Change() {
    TMemo::Change();
    UpdateEditorBounds();
    ShowTextFromStart(*this);
}

void THSCustomTreeMemoEditor::WndProc(TMessage& Message) {
    if (HandleEditorMessage(*this, Message, FTree, FTreeCanvas, FRect, FBorder))
        return;
    switch (Message.Msg) {
    case DM_MEASURE: {
        auto* Rec = reinterpret_cast<TTreeEditorMeasure*>(Message.WParam);
        TMeasureDC M(FTreeCanvas ? FTreeCanvas->Font() : Font());
        *Rec->Result = Rec->Width ? GetMultiLineTextWidth(M.Canvas, Rec->Text) + 2
                                  : GetMultiLineTextHeight(M.Canvas, Rec->Text) + 2;
        Message.Result = 1;
        return;
    }
    case DM_DRAW: {
        auto* Rec = reinterpret_cast<TTreeEditorDraw*>(Message.WParam);
        auto* Canvas = reinterpret_cast<THSCanvas*>(Message.LParam);
        RECT R = Rec->Cell;
        OffsetRect(&R, 1, 0);
        DrawMultiLineText(*Canvas, Rec->Text, R);
        Message.Result = 1;
        return;
    }
    case DM_SHOW: {
        auto* S = reinterpret_cast<const TTreeEditorShow*>(Message.LParam);
        if (S && S->Font)
            Font().Assign(*S->Font);
        if (S)
            SetColor(S->BrushColor);
        if (HandleAllocated()) {
            RECT C;
            GetClientRect(FHandle, &C);
            SendMessageA(FHandle, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&C));
        }
        Show();
        UpdateEditorBounds();
        SelectAll();
        SetFocus();
        return;
    }
    case WM_KEYDOWN:
        if ((Message.WParam == VK_RETURN && !(GetKeyState(VK_CONTROL) & 0x8000)) ||
            Message.WParam == VK_ESCAPE) {
            if (FTree && FTree->HandleAllocated())
                SendMessageA(FTree->Handle(), Message.WParam == VK_RETURN ? DM_SAVECHANGES : DM_CANCELCHANGES,
                             0, 0);
            return;
        }
        break;
    case WM_CHAR:
        if ((Message.WParam == VK_RETURN && !(GetKeyState(VK_CONTROL) & 0x8000)) ||
            Message.WParam == VK_ESCAPE)
            return;
        break;
    }
    TMemo::WndProc(Message);
}

// --- the tree's side --------------------------------------------------------------------------

TClass THSCustomTreeView::GetEditorClass(THSTreeNode* Node) {
    TClass Cls = FMultiLineNodes ? THSTreeMemoEditor::StaticClass() : THSTreeSimpleEditor::StaticClass();
    DoGetEditorClass(Node, Cls);
    return Cls;
}

void THSCustomTreeView::DoGetEditorClass(THSTreeNode* Node, TClass& EditorClass) {
    DoEvent(OnGetEditorClass, this, Node, EditorClass);
}

TWinControl* THSCustomTreeView::GetEditor(TClass EditorClass) {
    for (TWinControl* E : FEditors)
        if (E->ClassType() == EditorClass)
            return E;
    TObject* Obj = EditorClass ? EditorClass->Create(this) : nullptr;
    auto* Ed = dynamic_cast<TWinControl*>(Obj);
    if (!Ed) {
        delete Obj;
        throw EInvalidOperation("Invalid editor class");
    }
    Ed->Perform(DM_SETCANVAS, reinterpret_cast<WPARAM>(FCanvas.get()));
    Ed->Hide();
    Ed->SetParent(this);
    Ed->FreeNotification(this);
    FEditors.push_back(Ed);
    return Ed;
}

TWinControl* THSCustomTreeView::GetNodeEditor(THSTreeNode* Node) {
    return GetEditor(GetEditorClass(Node));
}

std::string THSCustomTreeView::GetTextForEditor(THSTreeNode* Node) {
    return Node->Text();
}

void THSCustomTreeView::MakeEditNodeVisible(THSTreeNode* Node) {
    Node->MakeVisible();
}

void THSCustomTreeView::SetEditorRectAndText(THSTreeNode* Node) {
    RECT R = Node->DisplayRect(true);
    FEditor->Perform(DM_SETRECT, reinterpret_cast<WPARAM>(&R), 1);
    std::string S = GetTextForEditor(Node);
    FEditor->Perform(DM_SETTEXT, reinterpret_cast<WPARAM>(S.c_str()), 1);
}

bool THSCustomTreeView::AllowShowToolTip() {
    return !FFrameShown && !FDragging && !IsEditing();
}

void THSCustomTreeView::TryEditNode() {
    StartTimer(4, 750);
}

void THSCustomTreeView::EditNode(THSTreeNode* Node) {
    StopTimer(4);
    if (FDragging)
        FinishDrag(false, 0, 0);
    if (!Node || !Visible() || !HandleAllocated() || FSelectFrame)
        return;
    if (!CanEdit(Node))
        return;
    if (FToolTip)
        FToolTip->SetNode(nullptr);
    if (CanFocus())
        SetFocus();
    SetSelected(Node);
    if (IsEditing())
        EndEditNode(false);
    MakeEditNodeVisible(Node);
    TWinControl* Ed = GetNodeEditor(Node);
    FEditor = Ed;
    FEditNode = Node;
    FEditing = true;
    Ed->Perform(DM_SETPARENT, reinterpret_cast<WPARAM>(static_cast<TWinControl*>(this)));
    SetEditorRectAndText(Node);
    TTreeEditorShow Show{&Node->DrawFont(), Node->Color(), FActiveSelectedColor, FActiveSelectedFontColor};
    Ed->Perform(DM_SHOW, 1, reinterpret_cast<LPARAM>(&Show));
    Node->Invalidate(NodePart(npText));
}

void THSCustomTreeView::EndEditNode(bool Cancel) {
    EndEditNodeInternal(Cancel, false);
}

void THSCustomTreeView::EndEditNodeInternal(bool Cancel, bool FromKillFocus) {
    if (!IsEditing() || !FEditor)
        return;
    THSTreeNode* Node = FEditNode;
    TWinControl* Ed = FEditor;
    std::string S;
    if (!Cancel) {
        Ed->Perform(DM_SAVECHANGES, reinterpret_cast<WPARAM>(&S));
        std::string Before = S;
        THSValidateCode Code = vcOk;
        DoValidateEditText(Node, S, Code);
        if (Code == vcCancel) {
            Cancel = true;
        } else if (Code == vcContinueEditing) {
            if (S != Before && Ed->HandleAllocated())
                SetWindowTextA(Ed->Handle(), S.c_str());
            return;
        }
    }
    FEditNode = nullptr;
    struct Finish {
        THSCustomTreeView* T;
        bool FromKillFocus;
        ~Finish() {
            if (T->HandleAllocated()) {
                if (FromKillFocus)
                    PostMessageA(T->FHandle, DM_HIDE, 0, 0);
                else
                    SendMessageA(T->FHandle, DM_HIDE, 0, 0);
                if (!FromKillFocus && IsWindowVisible(T->FHandle) && T->CanFocus())
                    T->SetFocus();
            }
            T->UpdateToolTip();
        }
    } F{this, FromKillFocus};
    bool Cancelled = Cancel;
    if (Cancel) {
        Ed->Perform(DM_CANCELCHANGES);
        CancelEdit();
    } else if (Ed->Perform(DM_GETMODIFIED) != 0) {
        DoEdit(Node, S);
        Edit(Node, S);
    } else {
        CancelEdit();
    }
    if (Node)
        Node->Invalidate(NodePart(npText));
    DoAfterEditing(Node, Cancelled);
}

void THSCustomTreeView::Edit(THSTreeNode* Node, const std::string& S) {
    Node->SetText(S);
}

void THSCustomTreeView::DMHide() {
    // A hide posted by an earlier edit must not hide the editor of a newer one.
    if (FEditNode)
        return;
    if (FEditor) {
        FEditor->Perform(DM_HIDE);
        FEditor = nullptr;
    }
    if (!FEditNode)
        FEditing = false;
}
