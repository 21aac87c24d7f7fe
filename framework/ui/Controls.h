#pragma once
// Controls: TControl (anything placed on a parent), TWinControl (a control with a window),
// TCustomControl (a window that paints itself) and TGraphicControl (painted by its parent).
//
// Every window of a TWinControl is made from a class that we register under the control's window
// class name (by default its C++ class name). That class starts with InitWndProc, which finds the
// object being created, keeps it in the window's user data and switches to the one window
// procedure of the framework; the object's virtual WndProc sees every message and passes the rest
// to the class's original procedure (the platform's, for superclassed standard controls).
#include "framework/core/Win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/Messages.h"

class TWinControl;
class TPopupMenu;
class TCustomForm;

enum TShiftStateBit : uint8_t {
    ssShift = 1,
    ssAlt = 2,
    ssCtrl = 4,
    ssLeft = 8,
    ssRight = 16,
    ssMiddle = 32,
    ssDouble = 64
};
using TShiftState = uint8_t;
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TBorderStyle { bsNone, bsSingle };
using TCursor = int;
constexpr TCursor crDefault = 0, crArrow = -2, crHourGlass = -11, crIBeam = -4, crHandPoint = -21;
constexpr TCursor crDrag = -12, crNoDrop = -13;

// Shift state from the key-message flags and the keyboard (KeyData: the LParam of the key message).
TShiftState KeyDataToShiftState(LPARAM KeyData);
TShiftState KeyboardStateToShiftState();
TShiftState MouseFlagsToShiftState(WPARAM Flags);

using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// Where an exception escaping a window procedure, timer or idle handler goes. TApplication
// installs its HandleException; until then the message-box seam shows the text.
void SetUiExceptionHandler(std::function<void(TObject* Sender, const std::exception& E)> Handler);
void HandleUiException(TObject* Sender); // call inside a catch block

class TControl : public TComponent {
    ZEL_DECLARE_CLASS(TControl)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    virtual RECT ClientRect();
    int ClientWidth() {
        RECT R = ClientRect();
        return R.right - R.left;
    }
    int ClientHeight() {
        RECT R = ClientRect();
        return R.bottom - R.top;
    }
    void SetClientWidth(int Value);
    void SetClientHeight(int Value);
    POINT ClientToScreen(POINT P);
    POINT ScreenToClient(POINT P);
    // Scales position and size (and the font unless the parent's is used) by M/D.
    virtual void ScaleBy(int M, int D);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    // Caption and Text are one value; a window control keeps it in its window once it has one.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() const { return GetText(); }
    void SetText(const std::string& Value);

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so is every parent up to a shown window.
    virtual bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);

    TFont& Font() { return *FFont; }
    TFont* FontPtr() const { return FFont.get(); }
    void SetFontPtr(TFont* Value) {
        if (Value)
            FFont->Assign(*Value);
    }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);

    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value) { FCursor = Value; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value);

    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);
    virtual void Invalidate();
    void Repaint();
    virtual void Update();
    void BringToFront();
    void SendToBack();
    virtual void Click();
    virtual void DblClick();
    // The form this control sits on (nullptr when it has none).
    TCustomForm* GetParentForm() const;
    bool IsDestroying() const { return FDestroying; }

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnResize;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    virtual std::string GetText() const { return FText; }
    virtual void TextChanged() { Invalidate(); }
    virtual void VisibleChanged();
    virtual void EnabledChanged() { Invalidate(); }
    virtual void FontChanged() { Invalidate(); }
    virtual void ColorChanged() { Invalidate(); }
    virtual void Resize() { DoEvent(OnResize, this); }
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Tells the parent that position, size, visibility or alignment changed.
    void RequestAlign();
    void BeginDestroy() { FDestroying = true; }

    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    std::string FText;
    bool FVisible = true;
    bool FEnabled = true;
    bool FMouseInClient = false;
    bool FClicking = false;
    bool FDestroying = false;
    // Left-button press and release inside the control make a click (graphic and custom controls).
    bool FClickEvents = false;

private:
    void MouseMessage(TMessage& Message);
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    TColor FColor = clBtnFace;
    bool FParentColor = false;
    TAlign FAlign = TAlign::alNone;
    std::string FHint;
    bool FShowHint = false;
    TCursor FCursor = crDefault;
    TPopupMenu* FPopupMenu = nullptr;
    friend class TWinControl;
};

// What CreateParams gives CreateWindowEx.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    // The platform class to superclass ("" for a class of our own made from scratch).
    std::string BaseClassName;
    // The name our class is registered under; other programs find our windows by it.
    std::string WinClassName;
    UINT ClassStyle = CS_DBLCLKS;
    HBRUSH Background = nullptr;
};

class TWinControl : public TControl {
    ZEL_DECLARE_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    void RecreateWnd();
    // A hidden control that waits to be shown gets its window (and its children theirs) only
    // when it is shown or its handle is asked for, not with its parent's: every step of making
    // a window is a round trip to the window system, and some panes stay closed all session.
    // Only for controls that keep their state without a window.
    void SetCreateWhenShown(bool Value) { FCreateWhenShown = Value; }
    // A window of another program or framework to live in (top-level forms hosted elsewhere).
    HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(HWND Value) { FParentWindow = Value; }
    // Overrides the window class name this object registers and creates its window with.
    const std::string& WindowClassName() const { return FWindowClassName; }
    void SetWindowClassName(const std::string& Value) { FWindowClassName = Value; }

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(static_cast<size_t>(Index)); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    // The child (graphic or windowed) at a client point, topmost first; nullptr when none.
    TControl* ControlAtPos(POINT P, bool AllowDisabled = false);
    // Lays out aligned children in the client area.
    void Realign();
    void AlignControls(RECT& Rect);

    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    // Windowed children in tab order.
    std::vector<TWinControl*> TabList() const;
    virtual bool CanFocus() const;
    bool Focused();
    virtual void SetFocus();
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    RECT ClientRect() override;
    bool Showing() const override;
    void SetEnabled(bool Value) override;
    void Invalidate() override;
    void Update() override;
    void ScaleBy(int M, int D) override;
    // Paints the graphic children within the clip region of DC.
    void PaintControls(HDC DC);

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // The object whose window this is, or nullptr (any window, including foreign ones).
    static TWinControl* FromHandle(HWND Wnd);
    // The object of this window or of its nearest ancestor window that has one.
    static TWinControl* FindControl(HWND Wnd);

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    // Runs once the window exists: children, text and state are pushed into it.
    virtual void CreateHandleDone() {}
    virtual void DestroyWnd();
    void DestroyHandle();
    // Called on WM_NCDESTROY, also when the platform destroys the window for us.
    virtual void HandleDestroyed() {}
    std::string GetText() const override;
    void TextChanged() override;
    void VisibleChanged() override;
    void FontChanged() override;
    // Children that take the parent's colour take the new one.
    void ColorChanged() override;
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void DoEnter() { DoEvent(OnEnter, this); }
    virtual void DoExit() { DoEvent(OnExit, this); }
    // Whether the control wants this key itself rather than as dialog navigation.
    virtual bool WantsKey(const MSG& Msg);
    virtual void PaintWindow(HDC DC);
    // Brush for WM_CTLCOLOR* of standard controls.
    HBRUSH ControlBrush(HDC DC);
    void UpdateShowing();

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;
    std::vector<TControl*> FControls; // all children, z-order from bottom

private:
    static LRESULT CALLBACK InitWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    static LRESULT CALLBACK StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    bool DoKeyMessage(TMessage& Message, void (TWinControl::*Handler)(WORD&, TShiftState));
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    void SetZOrderOfChildren();
    void PlaceInZOrder();
    bool WaitsToBeShown() const { return FCreateWhenShown && !FVisible; }
    bool HasGraphicChildren() const;
    HWND FParentWindow = nullptr;
    bool FCreatingChildren = false;
    bool FCreateWhenShown = false;
    std::string FWindowClassName;
    bool FTabStop = false;
    std::unique_ptr<TBrush> FBrush;
    bool FAligning = false;
    friend class TControl;
    friend class TApplication;
    friend class TComboBox;
};

// A window that paints itself on its canvas in Paint.
class TCustomControl : public TWinControl {
    ZEL_DECLARE_CLASS(TCustomControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas& Canvas() { return *FCanvas; }
    TNotifyEvent OnPaint;

protected:
    virtual void Paint();
    void PaintWindow(HDC DC) override;
    void CreateParams(TCreateParams& Params) override;

private:
    std::unique_ptr<TCanvas> FCanvas;
};

// A control without a window, painted by its parent on the parent's device context.
class TGraphicControl : public TControl {
    ZEL_DECLARE_CLASS(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    TCanvas& Canvas() { return *FCanvas; }
    void WndProc(TMessage& Message) override;

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> FCanvas;
    friend class TWinControl;
};

// True when Caption marks Key (a character) as its accelerator with "&" ("&&" is a plain "&").
bool IsAccel(WORD Key, const std::string& Caption);

// The Win32 window of a control that might not have made it yet; returns nullptr instead.
// The graphic control that holds the mouse while a button is down on it (it has no window to
// capture with); its parent window routes the mouse to it.
TControl*& CapturedGraphicControl();
HWND HandleOf(TControl* Control);
