// The drop window, its tool dialog, files dropped on the main window and the Drag and Drop menu.
#include "editor/mainwindow/DragDropForms.h"

#include <algorithm>

#include <shellapi.h>

#include "editor/core/EditorLink.h"
#include "editor/core/EngineDialogs.h"
#include "editor/core/EngineFunctionTable.h"
#include "editor/core/JobRunners.h"
#include "editor/core/PathHelpers.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/MainForm.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"

ZEL_DEFINE_CLASS(TDragDropForm, TForm, {})
ZEL_DEFINE_CLASS(TDragDropToolForm, TForm, {})

namespace {

constexpr uint32_t FDropWindow = 0x1000;
constexpr uint32_t OptDropValidate = 1, OptDropTool = 2;

bool ProgramClosing() {
    return !p || !p->vol || !p->iface || !p->config || !p->tools || p->vol->closing;
}

std::string DisplayName(const std::string& Path) {
    const size_t Cut = Path.find_last_of("\\:");
    return Cut == std::string::npos ? Path : Path.substr(Cut + 1);
}

std::string Counter(size_t I, size_t N) {
    return "[" + std::to_string(I + 1) + "<>" + std::to_string(N) + "] ";
}

// Releases a drop on every way out.
struct TDropGuard {
    HDROP Drop;
    ~TDropGuard() { DragFinish(Drop); }
};

} // namespace

std::vector<std::string> DroppedFileNames(HDROP Drop) {
    std::vector<std::string> Names;
    const UINT Count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT I = 0; I < Count; ++I) {
        const UINT Length = DragQueryFileA(Drop, I, nullptr, 0);
        std::string Name(Length + 1, '\0');
        const UINT Got = DragQueryFileA(Drop, I, Name.data(), Length + 1);
        Name.resize(Got);
        if (!Name.empty())
            Names.push_back(Name);
    }
    return Names;
}

// --- the drop window ----------------------------------------------------------------------------------

TDragDropForm::TDragDropForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("DragDropForm");
    SetCaption("ZEL Orvalent Drag and Drop Window");
    SetBorderStyle(TFormBorderStyle::bsToolWindow);
    SetClientWidth(88);
    SetClientHeight(31);
    SetHint("Drag and Drop Window");
    DragPopupMenu = new TPopupMenu(this);
    struct TRow {
        const char* Caption;
        const char* Shortcut;
        std::function<void()> Run;
    };
    const TRow Rows[] = {
        {"&Revalidate Last Document", "F12", [] { RevalidateLastDocument(); }},
        {"&Hide Window", "",
         [] {
             if (ZELQEForm && ZELQEForm->Commands)
                 ZELQEForm->Commands->HideDragDropWindowClick();
         }},
        {"Use Selected &Tool on Dropped Files", "Ctrl+F1",
         [] {
             if (ZELQEForm && ZELQEForm->Commands)
                 ZELQEForm->Commands->DragDropUseToolClick();
         }},
        {"Use &Validator on Dropped Files", "Ctrl+F2",
         [] {
             if (ZELQEForm && ZELQEForm->Commands)
                 ZELQEForm->Commands->DragDropUseValidatorClick();
         }},
        {"&Drag and Drop Options...", "Ctrl+F3", [] { ShowDragDropToolDialog(0, 0, 2); }},
        {"Validator &Engine Options", "Ctrl+F4", [] { OpenValidatorOptions(0, 1, 2); }},
        {"C&onfiguration Editor...", "Ctrl+F5", [] { OpenConfigurationEditor(0, 0, 2); }},
    };
    for (const TRow& R : Rows) {
        auto* I = new TMenuItem(this);
        I->SetCaption(R.Caption);
        I->SetShortCut(TextToShortCut(R.Shortcut));
        I->OnClick = [Run = R.Run](TObject*) { Run(); };
        DragPopupMenu->Items()->Add(I);
    }
    // The engine of this program has no configuration editor: the item stays out of sight, as the
    // main menu's does.
    DragPopupMenu->Items()->Items(DragPopupMenu->Items()->Count() - 1)->SetVisible(false);
    DragPopupMenu->OnPopup = [this](TObject*) { DragPopupMenuPopup(); };
    SetPopupMenu(DragPopupMenu);
    OnPaint = [this](TObject*) { Canvas().TextOut(4, 8, "ZEL Orvalent"); };
}

void TDragDropForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle = (Params.ExStyle & ~static_cast<DWORD>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW |
                     WS_EX_TOPMOST | WS_EX_ACCEPTFILES;
}

void TDragDropForm::DragPopupMenuPopup() {
    if (ProgramClosing())
        return;
    TMenuItem* Root = DragPopupMenu->Items();
    Root->Items(0)->SetEnabled(p->tools->lastValidateToolFilename.getString() &&
                               *p->tools->lastValidateToolFilename.getString());
    Root->Items(2)->SetChecked(p->config->flags & OptDropTool);
    Root->Items(3)->SetChecked(p->config->flags & OptDropValidate);
}

void TDragDropForm::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_DROPFILES:
        DropFiles(reinterpret_cast<HDROP>(Message.WParam));
        Message.Result = 0;
        return;
    case WM_MOUSEMOVE:
        // Dragging anywhere moves the window.
        if (Message.WParam & MK_LBUTTON) {
            ReleaseCapture();
            SendMessageA(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
            return;
        }
        break;
    case WM_LBUTTONDBLCLK:
        RevalidateLastDocument();
        return;
    }
    TForm::WndProc(Message);
}

void TDragDropForm::DropFiles(HDROP Drop) {
    TDropGuard Release{Drop};
    if (ProgramClosing())
        return;
    WindowControl Busy(WindowControl::SaveScreenCursor, this, nullptr);
    Busy.SetCursor(crHourGlass);
    SetForegroundWindow(Handle());
    const std::vector<std::string> Names = DroppedFileNames(Drop);
    const uint32_t Actions = p->config->flags & (OptDropValidate | OptDropTool);
    if (!Actions) {
        Application->MessageBox("You must first choose whether you want to use the dragged and dropped "
                                "file(s) with the validator, "
                                "the default tool, or both. You can choose this from the Drag and Drop Menu.",
                                "Orvalent: Drag And Drop Action Not Specified",
                                MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
        return;
    }
    if ((Actions & OptDropTool) && (p->tools->flags & 1) && ShowDragDropToolDialog(0, 0, 2) == mrCancel)
        return;
    TZELQEForm* Main = ZELQEForm;
    WindowControl Status(0, Main, Main ? Main->StatusBar : nullptr);
    const size_t N = Names.size();
    for (size_t I = 0; I < N && !ProgramClosing(); ++I) {
        const std::string& Path = Names[I];
        const bool Last = I + 1 == N;
        if (Main)
            Main->SetStatusText(Counter(I, N) + DisplayName(Path));
        p->vol->fileToValidate = Path.c_str();
        // False when the user chose to stop.
        auto Failed = [&](const char* Caption, const char* What) {
            const std::string Text = std::string(What) + "\"" + Path + "\"";
            if (Last) {
                Application->MessageBox(Text + ".", Caption, MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
                return false;
            }
            return Application->MessageBox(
                       Text + ". Do you want to continue processing the rest of the dropped files?", Caption,
                       MB_YESNO | MB_ICONSTOP | MB_SETFOREGROUND) == IDYES;
        };
        if ((Actions & OptDropTool) && RunTool(p->tools->defaultDragAndDropTool, ToolOnFile) < 0 &&
            !Failed("Orvalent: Error Using Tool On Dropped File",
                    "An error occurred attempting to use the tool on the document "))
            break;
        if ((Actions & OptDropValidate) && RunValidationJob(nullptr, 0, ValidateFile) < 0 &&
            !Failed("Orvalent: Error Using Validator On Dropped File",
                    "An error occurred attempting to validate the document "))
            break;
        // The engine's servers are spared a burst of requests unless its options allow one.
        if ((Actions & OptDropValidate) && !Last && Engine.ZELGetFlag &&
            Engine.ZELGetFlag(p->vol->optionsHandle, 1003, 1) <= 0)
            Sleep(1500);
    }
    if (Main && !ProgramClosing())
        Main->CheckChangedOnDisk(0);
}

// --- the tool dialog ------------------------------------------------------------------------------------

TDragDropToolForm::TDragDropToolForm(TComponent* AOwner) : TForm(AOwner) {
    SetName("DragDropToolForm");
    SetCaption("Drag and Drop Default Tool Select");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(TFormPosition::poScreenCenter);
    SetClientWidth(359);
    SetClientHeight(204);
    ToolSelectRadioGroup = new TGroupBox(this);
    ToolSelectRadioGroup->SetParent(this);
    ToolSelectRadioGroup->SetBounds(8, 8, 343, 128);
    ToolSelectRadioGroup->SetCaption("Default Tool for Drag and Drop");
    const char* Captions[5] = {"Quick &Lowercase", "Quick &Uppercase", "Quick &Strip HTML Tags", "&Template",
                               "&Convert File Format"};
    for (int I = 0; I < 5; ++I) {
        ToolButtons[I] = new TRadioButton(this);
        ToolButtons[I]->SetParent(ToolSelectRadioGroup);
        ToolButtons[I]->SetBounds(12, 18 + I * 21, 300, 18);
        ToolButtons[I]->SetCaption(Captions[I]);
    }
    ShowDragDropToolDialogCheckBox = new TCheckBox(this);
    ShowDragDropToolDialogCheckBox->SetParent(this);
    ShowDragDropToolDialogCheckBox->SetBounds(8, 142, 343, 18);
    ShowDragDropToolDialogCheckBox->SetCaption(
        "S&how this dialog box when files are dropped for tool processing");
    ShowDragDropToolDialogCheckBox->OnClick = [this](TObject*) {
        if (ShowDragDropToolDialogCheckBox->Checked())
            Work.flags |= 1;
        else
            Work.flags &= ~1u;
    };
    auto Button = [this](const char* Caption, int Left, int Result) {
        auto* B = new TButton(this);
        B->SetParent(this);
        B->SetBounds(Left, 170, 75, 25);
        B->SetCaption(Caption);
        B->SetModalResult(Result);
        return B;
    };
    OKBtn = Button("OK", 116, mrOk);
    OKBtn->SetDefault(true);
    OKBtn->OnClick = [this](TObject*) { OKBtnClick(); };
    CancelBtn = Button("Cancel", 196, mrCancel);
    CancelBtn->SetCancel(true);
    HelpBtn = Button("Help", 276, 0);
    HelpBtn->OnClick = [](TObject*) {
        ShowHelpPage(nullptr, "draganddropdefaulttoolselectdialogbox.html",
                     p && p->vol && p->vol->documentationFolder.getString()
                         ? p->vol->documentationFolder.getString()
                         : "",
                     0);
    };
    OnShow = [this](TObject*) { FormShow(); };
}

void TDragDropToolForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    if (p && p->vol && p->vol->dialogOwner)
        Params.WndParent = p->vol->dialogOwner;
}

void TDragDropToolForm::FormShow() {
    if (!p || !p->tools)
        return;
    Work = *p->tools;
    ShowDragDropToolDialogCheckBox->SetChecked(Work.flags & 1);
    const int32_t Tool = Work.defaultDragAndDropTool;
    for (int I = 0; I < 5; ++I)
        ToolButtons[I]->SetChecked(Tool == I + 1);
}

void TDragDropToolForm::OKBtnClick() {
    Work.defaultDragAndDropTool = -1;
    for (int I = 0; I < 5; ++I)
        if (ToolButtons[I]->Checked())
            Work.defaultDragAndDropTool = I + 1;
    if (p && p->tools)
        *p->tools = Work;
}

// --- the main window's side ---------------------------------------------------------------------------

int TMainCommands::DropOnMainWindow(HDROP Drop) {
    TDropGuard Release{Drop};
    if (!p || !p->vol || p->vol->closing)
        return 1;
    WindowControl Busy(WindowControl::SaveScreenCursor, Form, Form->StatusBar);
    Busy.SetCursor(crHourGlass);
    SetForegroundWindow(Form->Handle());
    const std::vector<std::string> Names = DroppedFileNames(Drop);
    for (size_t I = 0; I < Names.size(); ++I) {
        if (DirectoryExists(Names[I]))
            continue;
        Form->SetStatusText(Counter(I, Names.size()) + DisplayName(Names[I]));
        Form->AddNewFileTab(nullptr, Names[I].c_str(), 0);
    }
    Form->SetCaption(Form->BuildTitle());
    return 0;
}

void TMainCommands::UpdateDropWindow() {
    if (!p || !p->iface || !p->vol || p->vol->closing)
        return;
    const bool Wanted = p->iface->flags & FDropWindow;
    if (Wanted && !DropWindow) {
        DropWindow = new TDragDropForm(this);
        DropWindow->SetBounds(p->iface->dragDropWindowLeft, p->iface->dragDropWindowTop, DropWindow->Width(),
                              DropWindow->Height());
        DragAcceptFiles(DropWindow->Handle(), TRUE);
    }
    if (!DropWindow)
        return;
    if (Wanted) {
        // A window stored off the screen's left or top edge comes back onto it.
        DropWindow->SetBounds(std::max(0, DropWindow->Left()), std::max(0, DropWindow->Top()),
                              DropWindow->Width(), DropWindow->Height());
        // Showing the drop window must not take the user away from the window they work in.
        HWND Before = GetForegroundWindow();
        DropWindow->Show();
        if (Before && Before != GetForegroundWindow())
            SetForegroundWindow(Before);
    } else {
        p->iface->dragDropWindowLeft = DropWindow->Left();
        p->iface->dragDropWindowTop = DropWindow->Top();
        DropWindow->Hide();
    }
}

void TMainCommands::DragDropViewDragDropWindowClick() {
    if (!p || !p->iface)
        return;
    p->iface->flags ^= FDropWindow;
    Form->UpdateMenuChecks();
    UpdateDropWindow();
}

void TMainCommands::HideDragDropWindowClick() {
    if (!p || !p->iface)
        return;
    p->iface->flags &= ~FDropWindow;
    Form->UpdateMenuChecks();
    UpdateDropWindow();
}

void TMainCommands::DragDropUseToolClick() {
    if (p && p->config)
        p->config->flags ^= OptDropTool;
    Form->UpdateMenuChecks();
}

void TMainCommands::DragDropUseValidatorClick() {
    if (p && p->config)
        p->config->flags ^= OptDropValidate;
    Form->UpdateMenuChecks();
}

void TZELQEForm::WndProc(TMessage& Message) {
    if (Message.Msg == WM_DROPFILES && Commands) {
        Commands->DropOnMainWindow(reinterpret_cast<HDROP>(Message.WParam));
        Message.Result = 0;
        return;
    }
    if (Message.Msg == WM_GETMINMAXINFO) {
        TForm::WndProc(Message);
        // The window is never narrower than its speed bar and panes need.
        auto* Info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        if (Info && Info->ptMinTrackSize.x < 480)
            Info->ptMinTrackSize.x = 480;
        return;
    }
    if (Message.Msg == WM_HOTKEY && Commands) {
        Commands->HotKeyPressed();
        Message.Result = 0;
        return;
    }
    TForm::WndProc(Message);
}
