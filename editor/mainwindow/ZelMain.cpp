// The program: start-up, message loop and shutdown are the core's; this file gives it the windows.
#include <windows.h>

#include <exception>

#include "controls/foundation/DesignKit.h"
#include "controls/foundation/FoundationShutdown.h"
#include "controls/memo/Memo.h"
#include "controls/memo/MemoPopupListBox.h"
#include "editor/core/AppState.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/ProgramStart.h"
#include "editor/mainwindow/MainForm.h"
#include "editor/mainwindow/MessageWindow.h"
#include "editor/mainwindow/MySource.h"
#include "editor/mainwindow/SplashForm.h"
#include "editor/mainwindow/StageLog.h"

namespace {

TSplashForm* CurrentSplash() {
    return static_cast<TSplashForm*>(TZELQEForm::Splash);
}

TZELEditorMessageWindow* MessageWindow = nullptr;

TProgramWindows MakeProgramWindows() {
    TProgramWindows W;
    W.ShowSplash = [] {
        auto* S = new TSplashForm(Application);
        S->SetCaption("ZEL Orvalent Lite");
        S->SetTitle("ZEL Orvalent Lite v3.00");
        TZELQEForm::Splash = S;
        SplashForm = S;
        S->SetVisible(true);
        S->Update();
    };
    W.SplashStatus = [](const std::string& Text) {
        if (TSplashForm* S = CurrentSplash())
            S->SetStatus(Text);
    };
    W.RepaintSplash = [] {
        if (TSplashForm* S = CurrentSplash())
            S->Update();
    };
    W.HideSplash = [] {
        TForm* S = TZELQEForm::Splash;
        TZELQEForm::Splash = nullptr;
        SplashForm = nullptr;
        delete S;
    };
    W.CreateMainForms = [] {
        TStageTimer Timer("start.forms");
        try {
            // The code editor's key maps, form class and clipboard format, before any memo exists.
            InitMemoUnit();
            // Completion and code templates open their lists in the tree family's list box.
            InstallMemoPopupListBox();
            auto* Main = Application->CreateForm<TZELQEForm>();
            Main->FormCreate();
            Main->SetCaption(Main->BuildTitle());
            MessageWindow = new TZELEditorMessageWindow(Application);
            // Never shown, but it must exist for a second start to find it.
            MessageWindow->HandleNeeded();
            return true;
        } catch (const std::exception& E) {
            if (Application)
                Application->ShowException(E);
            return false;
        }
    };
    W.SetUpViews = [] {};
    W.DestroyForms = [] {
        delete MessageWindow;
        MessageWindow = nullptr;
        delete ZELQEForm;
        DoneMemoUnit();
        // The control family's option objects (the code editor's global options) are saved as
        // they are freed; a failure is told, and shutdown goes on.
        try {
            ShutdownFoundation();
        } catch (const std::exception& E) {
            if (Application)
                Application->ShowException(E);
        }
    };
    return W;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CommandLine, int) {
    // The control family's kit (its application object, streamed file systems and property-change
    // notices) lives around the whole program, not only while its windows do.
    InitDesignKit();
    InstallDocumentSources();
    const int Code = ZelProgramMainLine(CommandLine ? CommandLine : "", MakeProgramWindows());
    DoneDesignKit();
    return Code;
}
