// The inserter windows and the main window's commands that make, show, hide, edit and reload them.
#include "editor/mainwindow/TagInserterForm.h"

#include "editor/core/AppState.h"
#include "editor/core/FormHelpers.h"
#include "editor/core/PathHelpers.h"
#include "editor/mainwindow/MainCommands.h"
#include "editor/mainwindow/MainForm.h"

ZEL_DEFINE_CLASS(TTagInserterForm, TForm, {})

namespace {

bool ProgramClosing() {
    return !p || !p->vol || !p->iface || p->vol->closing;
}

void FocusMainWindow() {
    if (ZELQEForm && ZELQEForm->HandleAllocated() && IsWindowVisible(ZELQEForm->Handle()))
        SetForegroundWindow(ZELQEForm->Handle());
}

} // namespace

TTagInserterForm::TTagInserterForm(TComponent* AOwner) : TForm(AOwner) {
    SetCaption("Inserter");
    SetBounds(744, 119, 378, 58);
    SetBorderStyle(TFormBorderStyle::bsSizeToolWin);
    SetBorderIcons(biSystemMenu);
    SetPosition(TFormPosition::poDefault);
    Font().SetName("MS Sans Serif");
    Font().SetSize(8);
    TagInserterMenu = new TMainMenu(this);
    auto* Error = new TMenuItem(this);
    Error->SetCaption("Error loading Tag Inserter configuration");
    TagInserterMenu->Items()->Add(Error);
    SetMenu(TagInserterMenu);
    OnShow = [this](TObject*) {
        if (!FInShowOrHide)
            ShowInserter(0);
    };
    OnHide = [this](TObject*) {
        if (!FInShowOrHide)
            HideInserter(0);
    };
    // Only the caption and the menu bar show; a narrow window wraps the menu into more lines.
    OnResize = [this](TObject*) {
        if (ClientHeight() != 0)
            SetClientHeight(0);
    };
    OnDeactivate = [this](TObject*) {
        if (Inserter && Inserter->title.getString())
            SetCaption(Inserter->title.getString());
    };
}

void TTagInserterForm::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.ExStyle =
        (Params.ExStyle & ~static_cast<DWORD>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    Params.WndParent = GetDesktopWindow();
}

int TTagInserterForm::ShowInserter(int32_t Flags) {
    if (ProgramClosing())
        return 1;
    if (Inserter)
        p->iface->flags2 |= Inserter->kind;
    if (ZELQEForm)
        ZELQEForm->UpdateMenuChecks();
    FInShowOrHide = true;
    if (Flags & 1) {
        // The main window keeps the activation (and with it the keyboard's shortcuts).
        ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    } else if (!FirstShown) {
        Show();
    } else if (!Visible()) {
        SetVisible(true);
    }
    if (!FirstShown) {
        FirstShown = 1;
        // Lays the menu bar out.
        SetClientHeight(200);
        SetClientHeight(0);
    }
    FInShowOrHide = false;
    VisibleFlag = 1;
    return 0;
}

int TTagInserterForm::HideInserter(int32_t Flags) {
    if (ProgramClosing())
        return 1;
    if (!(Flags & 1)) {
        if (Inserter)
            p->iface->flags2 &= ~Inserter->kind;
        if (ZELQEForm)
            ZELQEForm->UpdateMenuChecks();
    }
    FInShowOrHide = true;
    if (HandleAllocated())
        ShowWindow(Handle(), SW_HIDE);
    if (Visible())
        SetVisible(false);
    FInShowOrHide = false;
    VisibleFlag = 0;
    return 0;
}

int32_t TTagInserterForm::LoadMenu() {
    const char* File = Inserter && Inserter->configFile.getString() ? Inserter->configFile.getString() : "";
    int32_t Read = ReadInserterFile(&Items, File, 1);
    // A file that cannot be read leaves the menu as it is, without a message.
    if (Read == InserterReadOk)
        BuildInserterMenu(
            this, TagInserterMenu->Items(), &Items, [this](TObject* S) { MenuItemClick(S); }, 0);
    return Read;
}

void TTagInserterForm::MenuItemClick(TObject* Sender) {
    auto* Item = dynamic_cast<TMenuItem*>(Sender);
    if (!Item || !ZELQEForm || !ZELQEForm->Commands)
        return;
    auto* Tag = reinterpret_cast<TagItem*>(Item->Tag());
    if (!Tag || (Tag->flags & TagItemSeparator))
        return;
    const uint32_t Kind = Inserter ? Inserter->kind : 0;
    if (Tag->flags & 8) {
        ZELQEForm->Commands->InserterCommand(Kind, 16);
        return;
    }
    if (Tag->command == 1 || Tag->command == 2) {
        ZELQEForm->Commands->InserterCommand(Kind, Tag->command);
        return;
    }
    if (Tag->command >= 1)
        return;
    const std::string Text = Tag->insertText.getString() ? Tag->insertText.getString() : "";
    const size_t Bar = Text.find('|');
    const std::string Before = Bar == std::string::npos ? Text : Text.substr(0, Bar);
    const std::string After = Bar == std::string::npos ? std::string() : Text.substr(Bar + 1);
    ZELQEForm->InsertAroundSelection(Before, After, Tag->flags & 3);
    FocusMainWindow();
}

// --- the commands of the main window ----------------------------------------------------------------

TTagInserterForm* TMainCommands::InserterWindow(uint32_t Kind) const {
    for (const auto& [Record, Window] : Inserters)
        if (Record->kind == Kind)
            return Window;
    return nullptr;
}

int TMainCommands::UpdateInserter(inserterclass* Rec, int32_t Flags) {
    if (!Rec || !p || !p->iface)
        return 0;
    TTagInserterForm*& Window = Inserters[Rec];
    if ((Flags & 1) && Rec->kind > 0) {
        if (!(p->iface->flags2 & Rec->kind)) {
            Flags |= 16;
        } else {
            if (!Window) {
                WindowControl Busy(WindowControl::SaveScreenCursor, nullptr, nullptr);
                Busy.SetCursor(crHourGlass);
                Window = new TTagInserterForm(this);
                Window->Inserter = Rec;
                Window->SetCaption(Rec->title.getString() ? Rec->title.getString() : "");
                Window->LoadMenu();
                int Width = Rec->width > 0 ? Rec->width : Window->Width();
                int Left = Rec->left, Top = Rec->top;
                const int ScreenW = GetSystemMetrics(SM_CXSCREEN), ScreenH = GetSystemMetrics(SM_CYSCREEN);
                if (Left < 0)
                    Left = 0;
                if (Top < 0)
                    Top = 0;
                if (Left >= ScreenW)
                    Left = ScreenW - Width;
                if (Top >= ScreenH)
                    Top = ScreenH - Window->Height();
                Window->SetBounds(Left, Top, Width, Window->Height());
            }
            TCustomForm* ActiveForm = Screen ? Screen->ActiveForm() : nullptr;
            bool OursActive = ActiveForm == Form || dynamic_cast<TTagInserterForm*>(ActiveForm) != nullptr;
            bool Minimised = Form->HandleAllocated() && IsIconic(Form->Handle());
            if (Application && Application->Active() && OursActive && !Minimised) {
                if (!Window->HandleAllocated() || !IsWindowVisible(Window->Handle()))
                    Window->ShowInserter(1);
            } else {
                Flags |= 16;
            }
        }
    }
    if ((Flags & 4) && Window) {
        const uint32_t Kept = p->iface->flags2;
        Flags |= 8;
        Rec->top = Window->Top();
        Rec->left = Window->Left();
        Rec->width = Window->Width();
        delete Window;
        Window = nullptr;
        p->iface->flags2 = Kept;
    }
    if ((Flags & 8) && Window) {
        Rec->top = Window->Top();
        Rec->left = Window->Left();
        Rec->width = Window->Width();
    }
    if ((Flags & 16) && Window)
        Window->HideInserter(1);
    return 0;
}

int TMainCommands::UpdateInserters(int32_t Flags) {
    if (!p || !p->vol)
        return 0;
    PointerArrayManager& List = p->vol->inserters;
    for (int32_t I = 0; I < List.count(); ++I) {
        auto* Rec = static_cast<inserterclass*>(List.at(I));
        if (!Rec)
            continue;
        if (Flags & 1) {
            const char* File = Rec->configFile.getString();
            if (!File || !*File || std::string(File) == "\\") {
                std::string Folder =
                    p->vol->programFolder.getString() ? p->vol->programFolder.getString() : "";
                Rec->configFile = (Folder + "\\" +
                                   (Rec->kind == InserterKindCSS ? CSSInserterFileName : TagInserterFileName))
                                      .c_str();
            }
        }
        if (Flags & 2)
            UpdateInserter(Rec, 1);
        if (Flags & 8)
            UpdateInserter(Rec, 8);
        if (Flags & 16)
            UpdateInserter(Rec, 16);
    }
    return 0;
}

int TMainCommands::InserterCommand(uint32_t Kind, int32_t Command) {
    if (!p || !p->vol || p->vol->closing)
        return 0;
    inserterclass* Rec = FindInserter(p->vol->inserters, Kind, 1);
    if (!Rec)
        return 0;
    if (Command & 1) {
        const char* File = Rec->configFile.getString();
        Form->AddNewFileTab(nullptr, File ? File : "", 0);
    }
    if (Command & 2) {
        UpdateInserter(Rec, 4);
        UpdateInserter(Rec, 1);
    }
    if (Command & 16) {
        p->iface->flags2 &= ~Kind;
        UpdateInserter(Rec, 16);
        Form->UpdateMenuChecks();
        FocusMainWindow();
    }
    return 0;
}

void TMainCommands::ViewInserterClick(uint32_t Kind) {
    if (!p || !p->iface)
        return;
    p->iface->flags2 ^= Kind;
    UpdateInserters(2);
    Form->UpdateMenuChecks();
    FocusMainWindow();
}
