#pragma once
// Forms: top-level windows, their modal loop and its test seam.
#include "framework/core/Win.h"

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/ui/Controls.h"

class TMainMenu;
class TMenuItem;
class TCustomForm;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1,
                       mrNoToAll = mrAll + 1, mrYesToAll = mrNoToAll + 1;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = uint8_t;
enum class TFormPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
    ZEL_DECLARE_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    TCanvas& Canvas() { return *FCanvas; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormPosition Position() const { return FPosition; }
    void SetPosition(TFormPosition Value) { FPosition = Value; }
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Value);
    // Resolution the form's positions and font were laid out at; Scaled forms adapt to the screen's.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int Value) { FHelpContext = Value; }
    bool Active() const { return FActive; }
    RECT ClientRect() override;
    int GetClientWidth() const { return const_cast<TCustomForm*>(this)->ClientWidth(); }
    int GetClientHeight() const { return const_cast<TCustomForm*>(this)->ClientHeight(); }
    void SetClientWidthProp(int Value) { SetClientWidth(Value); }
    void SetClientHeightProp(int Value) { SetClientHeight(Value); }
    bool Showing() const override { return FVisible && FHandle && IsWindowVisible(FHandle); }

    void Show();
    void Hide() { SetVisible(false); }
    void Close();
    // Runs the form in its own message loop until ModalResult is set; returns it.
    virtual TModalResult ShowModal();
    // Frees the form once the messages queued now have been handled.
    void Release();
    virtual bool CloseQuery();
    void FocusControl(TWinControl* Control);
    // Moves the focus to the next (or previous) tab stop after CurControl.
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    // Runs the main menu's item with this shortcut; true when one ran.
    virtual bool IsShortCut(WORD Key, TShiftState Shift);
    // Scales the form and its controls from the form's PixelsPerInch to the screen's (once).
    void ScaleToScreen();
    bool ShowingModal() const { return FShowingModal; }
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void VisibleChanged() override;
    void TextChanged() override;
    void PaintWindow(HDC DC) override;
    virtual void DoShow() { DoEvent(OnShow, this); }
    virtual void DoHide() { DoEvent(OnHide, this); }
    virtual void DoClose(TCloseAction& Action) { DoEvent(OnClose, this, Action); }
    virtual void Activate() { DoEvent(OnActivate, this); }
    virtual void Deactivate() { DoEvent(OnDeactivate, this); }
    virtual void Paint() { DoEvent(OnPaint, this); }
    void PlaceOnScreen();
    friend class TWinControl;
    friend class TApplication;

private:
    void ModalLoop();
    void SetActiveFocus();
    std::unique_ptr<TCanvas> FCanvas;
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TFormPosition FPosition = TFormPosition::poDesigned;
    TFormStyle FFormStyle = TFormStyle::fsNormal;
    TWindowState FWindowState = TWindowState::wsNormal;
    TMainMenu* FMenu = nullptr;
    bool FKeyPreview = false;
    TModalResult FModalResult = mrNone;
    TWinControl* FActiveControl = nullptr;
    int FPixelsPerInch = 96;
    bool FScaled = true;
    bool FScaledOnce = false;
    int FHelpContext = 0;
    bool FActive = false;
    bool FShowingModal = false;
    bool FPlaced = false;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
};

class TForm : public TCustomForm {
    ZEL_DECLARE_CLASS(TForm)
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// A container of non-visual components with no window. The screen keeps every data module beside
// the forms, so that names find it the way they find forms.
class TDataModule : public TComponent {
    ZEL_DECLARE_CLASS(TDataModule)
public:
    explicit TDataModule(TComponent* AOwner);
    // OnDestroy runs first, while the owned components still exist.
    ~TDataModule() override;

    // Run by whoever sets the module up, once its components are in place.
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
};

// Seam for modal loops: called once a modal form is shown, before its loop runs, so a test can post
// input to it or set its ModalResult. Returns the hook it replaces.
using TModalHook = std::function<void(TCustomForm& Form)>;
TModalHook SetModalHook(TModalHook Hook);

// Keeps a window rectangle on the work area and at a sensible size: at least MinWidth × MinHeight,
// at most the work area, moved inside it when it lies partly or wholly outside.
RECT FitRectToWorkArea(const RECT& Rect, int MinWidth = 100, int MinHeight = 50);

// Registers the framework's control classes with the class registry (idempotent).
void RegisterUiClasses();

// A form never goes without the application and screen objects it works with, so one include
// brings them all.
#include "framework/ui/Application.h"
#include "framework/ui/FormBuilder.h"
#include "framework/ui/HintWindow.h"
#include "framework/ui/Screen.h"
