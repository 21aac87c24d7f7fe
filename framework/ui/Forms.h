#pragma once
// Forms, the application object with its message loop, and the screen object.
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

using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
    ZEL_DECLARE_CLASS(TApplication)
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize() {}
    // Creates a form owned by the application; the first one becomes the main form.
    template <class T> T* CreateForm() {
        T* Form = new T(this);
        if (!FMainForm)
            FMainForm = Form;
        return Form;
    }
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* Value) { FMainForm = Value; }
    // Shows the main form and runs the message loop until Terminate or the main form closes.
    void Run();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Handles every queued message, then returns.
    void ProcessMessages();
    // Handles one message, or runs the idle step (and waits) when the queue is empty.
    void HandleMessage();
    // Handles one message when there is one; false when the queue was empty.
    bool ProcessMessage(MSG& Msg);
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& E);
    // Through the message-box seam.
    int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }
    const std::string& ExeName() const { return FExeName; }
    bool Active() const { return FActive; }

    // Hints.
    bool ShowHint = true;
    TColor HintColor = clInfoBk;
    int HintPause = 500;
    int HintHidePause = 2500;
    int HintShortPause = 50;
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    void CancelHint();
    // Text before and after "|" in a hint.
    static std::string GetShortHint(const std::string& Hint);
    static std::string GetLongHint(const std::string& Hint);

    TIdleEvent OnIdle;
    TMessageEvent OnMessage;
    TExceptionEvent OnException;
    TNotifyEvent OnHint;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Forms tell the application about switches between our program and others.
    void AppActivated(bool Activating);

private:
    void Idle();
    bool IsKeyMsg(MSG& Msg);
    void HintMouseMessage(const MSG& Msg);
    void HintTimerExpired();
    void ShowHintFor(TControl* Control);
    TCustomForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FActive = false;
    std::string FTitle;
    std::string FExeName;
    std::string FHint;
    TControl* FHintControl = nullptr;
    UINT_PTR FHintTimer = 0;
    bool FHintShown = false;
    THintWindow* FHintWindow = nullptr;
    friend void CALLBACK ApplicationHintTimerProc(HWND, UINT, UINT_PTR, DWORD);
    friend class TCustomForm;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
};

class TScreen : public TComponent {
    ZEL_DECLARE_CLASS(TScreen)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(static_cast<size_t>(Index)); }
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    int PixelsPerInch() const { return FPixelsPerInch; }
    RECT WorkAreaRect() const;
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    // Face names of the installed fonts, sorted.
    std::vector<std::string> Fonts() const;
    TFont& HintFont() { return *FHintFont; }
    TFont& MenuFont() { return *FMenuFont; }
    TFont& IconFont() { return *FIconFont; }

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

    // Form bookkeeping (forms call these).
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActiveForm(TCustomForm* Form);
    void SetActiveControl(TWinControl* Control);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    int FPixelsPerInch = 96;
    TCursor FCursor = crDefault;
    std::unique_ptr<TFont> FHintFont, FMenuFont, FIconFont;
};

// The program's one application and screen object: made by CreateApplication at start-up and
// freed by DestroyApplication at shutdown (screen after application), never by static initialisation.
extern TApplication* Application;
extern TScreen* Screen;
void CreateApplication();
void DestroyApplication();

// Seam for modal loops: called once a modal form is shown, before its loop runs, so a test can post
// input to it or set its ModalResult. Returns the hook it replaces.
using TModalHook = std::function<void(TCustomForm& Form)>;
TModalHook SetModalHook(TModalHook Hook);

// Keeps a window rectangle on the work area and at a sensible size: at least MinWidth × MinHeight,
// at most the work area, moved inside it when it lies partly or wholly outside.
RECT FitRectToWorkArea(const RECT& Rect, int MinWidth = 100, int MinHeight = 50);

// ---------------------------------------------------------------------------------------------
// Forms as data: a table of controls with their class, parent, position, caption, other
// published properties as text, and handlers. BuildForm makes the controls (owned by the form),
// sets the properties and scales the result from the table's pixels per inch to the screen's.
struct TFormItem {
    std::string ClassName; // a registered class ("TButton")
    std::string Name;      // the component name; FindComponent finds it
    std::string Parent;    // name of the parent control; "" for the form itself
    int Left = 0, Top = 0, Width = 0, Height = 0;
    std::string Caption;
    // Further published properties by name, values in their text form ("True", "taCenter", "12").
    std::vector<std::pair<std::string, std::string>> Properties;
    TNotifyEvent OnClick;
    // Anything the table cannot say.
    std::function<void(TControl& Control)> Setup;
};

struct TFormLayout {
    std::string Caption;
    int ClientWidth = 0, ClientHeight = 0;
    int PixelsPerInch = 96;
    TFormBorderStyle BorderStyle = TFormBorderStyle::bsSizeable;
    TFormPosition Position = TFormPosition::poDesigned;
    std::vector<TFormItem> Items;
    std::string ActiveControl;
};

// Makes the controls of Layout on Form; raises EClassNotFound for an unknown class and
// EComponentError for an unknown parent.
void BuildForm(TCustomForm& Form, const TFormLayout& Layout);

// One table row that needs no handlers.
inline TFormItem FormItem(const char* Class, const char* Name, const char* Parent, int L, int T, int W, int H,
                          const char* Caption = "",
                          std::vector<std::pair<std::string, std::string>> Props = {}) {
    return {Class, Name, Parent, L, T, W, H, Caption, std::move(Props), nullptr, nullptr};
}

// A control the table made, by its name, as the class the table gave it.
template <class T> T* FindOwned(TComponent& Owner, const std::string& Name) {
    return static_cast<T*>(Owner.FindComponent(Name));
}

// Registers the framework's control classes with the class registry (idempotent).
void RegisterUiClasses();
