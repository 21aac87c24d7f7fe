#include "spell/OrthosSpell.h"

#include <shlobj.h>

#include "framework/ui/ComCtrls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/StdCtrls.h"
#include "spell/CustomDictionariesDialog.h"
#include "spell/CustomDictionaryEditDialog.h"
#include "spell/SpellCheckConfigDialog.h"
#include "spell/SpellDialog.h"
#include "spell/SpellUtils.h"

ZEL_DEFINE_CLASS(TOrthosSpell3, TOrthosSpell3Base, {})

TOrthosSpell3::TOrthosSpell3(TComponent* AOwner)
    : TOrthosSpell3Base(AOwner), FFontControls(std::make_unique<TFont>()),
      FFontText(std::make_unique<TFont>()) {
    UIType = suiDialog;
}

TOrthosSpell3::~TOrthosSpell3() = default;

void TOrthosSpell3::SetupFormFonts(TForm* Form, bool TextFont) {
    if (!Form || !UILanguageUseFonts)
        return;
    for (int i = 0; i < Form->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TControl*>(Form->Components(i));
        if (!c)
            continue;
        if (dynamic_cast<TLabel*>(c) || dynamic_cast<TButton*>(c) || dynamic_cast<TCheckBox*>(c) ||
            dynamic_cast<TGroupBox*>(c) || dynamic_cast<TPageControl*>(c))
            c->Font().Assign(*FFontControls);
        else if (dynamic_cast<TListBox*>(c) || dynamic_cast<TCustomEdit*>(c) || dynamic_cast<TComboBox*>(c))
            c->Font().Assign(TextFont ? *FFontText : *FFontControls);
    }
}

TConfigurationDialogCtrl* TOrthosSpell3::SetupDialogControl(TForm* Form, TCustomDictionary* Dictionary) {
    if (!Form)
        return nullptr;
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto* dc = dynamic_cast<TConfigurationDialogCtrl*>(Form->Components(i))) {
            dc->WriteOrthosSpell(this);
            dc->WriteCustomDictionary(Dictionary);
            return dc;
        }
    return nullptr;
}

void TOrthosSpell3::CreateSpellDialog() {
    auto* dialog = new TSpellDialog(this);
    FDialog = dialog;
    SetupFormFonts(dialog, true);
}

void TOrthosSpell3::InternalSetup(TComponent* Owner) {
    if (OnShowConfigDialog) {
        OnShowConfigDialog(this, Owner);
        return;
    }
    TSpellCheckConfigDialog dialog(Owner);
    SetupFormFonts(&dialog, false);
    SetupDialogControl(&dialog, nullptr);
    dialog.SetHelpContext(HelpCtxConfigDialog);
    if (dialog.ShowModal() == mrOk)
        Configuration().SaveConfiguration();
}

void TOrthosSpell3::InternalSetupCustomDictionaries(TComponent* Owner) {
    if (OnShowCustomDictionariesDialog) {
        OnShowCustomDictionariesDialog(this, Owner);
        return;
    }
    TCustomDictionariesDialog dialog(Owner);
    SetupFormFonts(&dialog, false);
    SetupDialogControl(&dialog, nullptr);
    dialog.SetHelpContext(HelpCtxDictionariesDialog);
    dialog.ShowModal();
}

void TOrthosSpell3::InternalSetupAddDictionaryDir(TComponent* Owner) {
    if (OnShowAddDictionaryDir) {
        OnShowAddDictionaryDir(this, Owner);
        return;
    }
    HWND ownerWnd = nullptr;
    if (auto* w = dynamic_cast<TWinControl*>(Owner))
        ownerWnd = w->Handle();
    else if (Application && Application->MainForm())
        ownerWnd = Application->MainForm()->Handle();
    std::string title = GetString(lsDlgBrowseForMainTitle);
    char path[MAX_PATH] = {};
    BROWSEINFOA bi{};
    bi.hwndOwner = ownerWnd;
    bi.pszDisplayName = path;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX;
    LPITEMIDLIST list = SHBrowseForFolderA(&bi);
    if (!list)
        return; // cancelled
    bool ok = SHGetPathFromIDListA(list, path) != FALSE;
    CoTaskMemFree(list);
    if (ok && path[0])
        Configuration().ReadNewDictionaryPaths().Add(path);
}

void TOrthosSpell3::InternalEditCustomDictionary(TComponent* Owner, TCustomDictionary* Dictionary) {
    if (OnShowEditCustomDictionaryDialog) {
        OnShowEditCustomDictionaryDialog(this, Owner, Dictionary);
    } else {
        TCustomDictionaryEditDialog dialog(Owner);
        SetupFormFonts(&dialog, true);
        SetupDialogControl(&dialog, Dictionary);
        dialog.SetHelpContext(HelpCtxDictionaryEditDialog);
        dialog.ShowModal();
    }
    FireConfigurationChanged(false);
}

bool TOrthosSpell3::CanPrompt() const {
    return UIType == suiDialog || TOrthosSpell3Base::CanPrompt();
}

TSpellDialog* TOrthosSpell3::SpellDialog() const {
    return dynamic_cast<TSpellDialog*>(FDialog);
}

void TOrthosSpell3::EnsureUI() {
    if (UIType != suiDialog)
        return;
    if (!FSetUp) {
        FDeactivated = false;
        if (!FDialog) {
            TForm* supplied = nullptr;
            if (OnCreateSpellDialog)
                OnCreateSpellDialog(this, supplied, true);
            if (supplied) {
                FDialog = supplied;
                FSupplied = true;
            } else {
                CreateSpellDialog();
                FSupplied = false;
                FDialog->SetHelpContext(HelpCtxSpellDialog);
            }
        }
        // Loads the configuration, then the dialog sets its captions and commands.
        FDialogControl = SetupDialogControl(FDialog, nullptr);
        FSetUp = FDialogControl != nullptr;
    }
    if (!FShown) {
        FShown = true;
        FShownDuringCheck = true;
        DoEvent(OnSpellDialogShow, this);
        SetInitialPosition();
        FSavedOnShow = FDialog->OnShow;
        FSavedOnActivate = FDialog->OnActivate;
        FSavedOnDeactivate = FDialog->OnDeactivate;
        FDialog->OnShow = [this](TObject* s) { Form_OnShow(s); };
        FDialog->OnActivate = [this](TObject* s) { Form_OnActivate(s); };
        FDialog->OnDeactivate = [this](TObject* s) { Form_OnDeactivate(s); };
        if (!DialogShowModal)
            FDialog->Show();
    }
    AvoidSelection();
    if (DialogShowModal && !FDialog->ShowingModal()) {
        FDialog->ShowModal();
        // The dialog closed by its own frame (not through an answer) ends the check as Cancel.
        if (Checking())
            StopCheck(true);
    }
}

void TOrthosSpell3::Form_OnShow(TObject* Sender) {
    if (DialogShowModal && Checking()) {
        if (DialogShowImmediate)
            ContinueCheck();
        else
            DoWordPrompt();
    }
    if (FSavedOnShow)
        FSavedOnShow(Sender);
}

void TOrthosSpell3::Form_OnDeactivate(TObject* Sender) {
    // The user may edit the document while the dialog is inactive; on return the check resumes
    // where the text now stands.
    if (!FDeactivated) {
        FDeactivated = true;
        DoEvent(OnDialogDeactivate, this);
    }
    if (FSavedOnDeactivate)
        FSavedOnDeactivate(Sender);
}

void TOrthosSpell3::Form_OnActivate(TObject* Sender) {
    if (FSavedOnActivate)
        FSavedOnActivate(Sender);
    if (FDeactivated) {
        FDeactivated = false;
        DoEvent(OnDialogActivate, this);
        Check_ControlEdited();
    }
}

RECT TOrthosSpell3::DialogMonitorArea() const {
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    HMONITOR m = MonitorFromWindow(FDialog && FDialog->HandleAllocated() ? FDialog->Handle() : nullptr,
                                   MONITOR_DEFAULTTONEAREST);
    if (m && GetMonitorInfoA(m, &mi))
        return mi.rcWork;
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return r;
}

void TOrthosSpell3::MoveDialog(int X, int Y) {
    FDialog->SetPosition(TFormPosition::poDesigned);
    FDialog->HandleNeeded();
    AdjustDialogPosition(FDialog->Handle(), X, Y);
}

void TOrthosSpell3::SetInitialPosition() {
    if (!FDialog)
        return;
    switch (DialogInitialPos) {
    case ipScreenCenter: {
        RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        MoveDialog(screen.left + (screen.right - screen.left - FDialog->Width()) / 2,
                   screen.top + (screen.bottom - screen.top - FDialog->Height()) / 2);
        break;
    }
    case ipUnderSelection:
        if (!DialogShowImmediate)
            AdjustDialogToSelection(true, true);
        break;
    case ipAvoidControl:
        AdjustDialogToControl();
        break;
    case ipUserDefined:
        FDialog->SetPosition(TFormPosition::poDesigned);
        DoEvent(OnPositionDialog, this);
        break;
    case ipLastUserPos: {
        TOrthosConfig& config = Configuration();
        if (config.ReadDialogX() != -1)
            MoveDialog(config.ReadDialogX(), config.ReadDialogY());
        else
            AdjustDialogToControl();
        break;
    }
    case ipIgnore:
        FDialog->SetPosition(TFormPosition::poDefaultPosOnly);
        break;
    }
}

void TOrthosSpell3::AdjustDialogToSelection(bool Horizontal, bool Vertical) {
    TControlParser* parser = CurrentParser();
    if (!FDialog || !parser)
        return;
    RECT r{};
    parser->GetSelectionScreenPosition(r);
    if (r.left == -1 && r.top == -1 && r.right == -1 && r.bottom == -1)
        return; // the control has no window to measure
    FDialog->SetPosition(TFormPosition::poDesigned);
    FDialog->HandleNeeded();
    AdjustDialogToRect(FDialog->Handle(), r, Horizontal, Vertical);
}

void TOrthosSpell3::AdjustDialogToControl() {
    TControlParser* parser = CurrentParser();
    if (!FDialog || !parser)
        return;
    RECT c{};
    parser->GetControlScreenPosition(c);
    if (c.left == -1 && c.top == -1 && c.right == -1 && c.bottom == -1)
        return;
    FDialog->HandleNeeded();
    RECT mon = DialogMonitorArea();
    RECT clipped{};
    if (IntersectRect(&clipped, &c, &mon))
        c = clipped;
    const int w = FDialog->Width(), h = FDialog->Height();
    int x, y;
    if (c.bottom + h <= mon.bottom) {
        x = c.left;
        y = c.bottom;
    } else if (c.right + w <= mon.right) {
        x = c.right;
        y = c.top;
    } else if (c.top - h >= mon.top) {
        x = c.left;
        y = c.top - h;
    } else if (c.left - w >= mon.left) {
        x = c.left - w;
        y = c.top;
    } else if (DialogShowImmediate) {
        x = c.left + (c.right - c.left - w) / 2;
        y = c.top + (c.bottom - c.top - h) / 2;
    } else {
        AdjustDialogToSelection(true, true);
        return;
    }
    MoveDialog(x, y);
}

void TOrthosSpell3::AvoidSelection() {
    TControlParser* parser = CurrentParser();
    if (!FDialog || !parser || DialogSelectionAvoid == saNone)
        return;
    if (DialogSelectionAvoid == saMove || DialogSelectionAvoid == saMoveUpDown) {
        AdjustDialogToSelection(DialogSelectionAvoid == saMove, true);
        return;
    }
    RECT sel{}, dlg{}, overlap{};
    parser->GetSelectionScreenPosition(sel);
    FDialog->HandleNeeded();
    GetWindowRect(FDialog->Handle(), &dlg);
    if (IntersectRect(&overlap, &sel, &dlg))
        AdjustDialogToSelection(DialogSelectionAvoid == saAvoid, true);
}

void TOrthosSpell3::DoWordPrompt() {
    if (FDialogControl && FSetUp)
        FDialogControl->FirePromptWord(CurrentWord(), RepeatedPrompt());
    TOrthosSpell3Base::DoWordPrompt();
}

void TOrthosSpell3::ShutdownUI() {
    if (!FDialog)
        return;
    if (FShown && DialogInitialPos == ipLastUserPos && FDialog->HandleAllocated()) {
        RECT r{};
        GetWindowRect(FDialog->Handle(), &r);
        Configuration().WriteDialogX(r.left);
        Configuration().WriteDialogY(r.top);
    }
    // Between the checks of a sequence the dialog stays up (a modal one ends with each check).
    if (InSequence() && !DialogShowModal)
        return;
    FShown = false;
    FDialog->OnShow = FSavedOnShow;
    FDialog->OnActivate = FSavedOnActivate;
    FDialog->OnDeactivate = FSavedOnDeactivate;
    FSavedOnShow = FSavedOnActivate = FSavedOnDeactivate = nullptr;
    if (FDialog->ShowingModal())
        FDialog->SetModalResult(mrOk);
    else
        FDialog->Hide();
    DoEvent(OnSpellDialogHide, this);
    FSetUp = false;
    TForm* dialog = FDialog;
    FDialog = nullptr;
    FDialogControl = nullptr;
    if (FSupplied && OnCreateSpellDialog) {
        OnCreateSpellDialog(this, dialog, false);
    } else {
        // The answer that ended the check may still be running inside the dialog.
        dialog->Release();
    }
    FSupplied = false;
}

void TOrthosSpell3::CloseSpellDialog() {
    ShutdownUI();
}

void TOrthosSpell3::ShowEndMessage() {
    bool shown = FShownDuringCheck;
    if (!InSequence())
        FShownDuringCheck = false;
    if (UIType != suiDialog || InSequence())
        return;
    switch (EndMessage) {
    case emNever:
        return;
    case emAlways:
        break;
    case emExceptCancel:
        if (Cancelled())
            return;
        break;
    case emNoDialog:
        if (!shown)
            return;
        break;
    }
    // A modal dialog ends with the check; hiding it here would end its loop early.
    if (FDialog && FShown && !FDialog->ShowingModal())
        FDialog->Hide();
    if (OnShowEndMessage) {
        OnShowEndMessage(this);
        return;
    }
    std::string text = GetString(lsEndMessage);
    if (EndMessageWordCount)
        text += "\r\n\r\n" + GetString(lsWordsChecked) + " " + std::to_string(WordsChecked());
    ShowMessageBox(text, GetString(lsSpelling), MB_OK | MB_ICONINFORMATION);
}
