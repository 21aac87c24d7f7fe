#pragma once
// The application object: the message loop, idle time, hints and exceptions of the program.
#include "framework/ui/Forms.h"
#include "framework/ui/HintWindow.h"

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

// The program's one application and screen object: made by CreateApplication at start-up and
// freed by DestroyApplication at shutdown (screen after application), never by static initialisation.
extern TApplication* Application;
void CreateApplication();
void DestroyApplication();
