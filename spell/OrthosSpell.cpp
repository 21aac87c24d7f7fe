#include "spell/OrthosSpell.h"

#include <shlobj.h>

#include "framework/ui/ComCtrls.h"
#include "framework/ui/Dialogs.h"
#include "framework/ui/StdCtrls.h"
#include "spell/CustomDictionariesDialog.h"
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
    FDialog = new TSpellDialog(this);
    SetupFormFonts(FDialog, true);
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
    // The standard word-list editor is not part of this build: without a handler nothing opens.
    if (!OnShowEditCustomDictionaryDialog)
        return;
    OnShowEditCustomDictionaryDialog(this, Owner, Dictionary);
    FireConfigurationChanged(false);
}

bool TOrthosSpell3::CanPrompt() const {
    return UIType == suiDialog || TOrthosSpell3Base::CanPrompt();
}

void TOrthosSpell3::EnsureUI() {
    if (UIType != suiDialog)
        return;
    if (!FDialog) {
        CreateSpellDialog();
        FSetUp = false;
    }
    if (!FSetUp) {
        FSetUp = true;
        // Loads the configuration, then the dialog sets its captions and commands.
        SetupDialogControl(FDialog, nullptr);
    }
    if (!FShown) {
        FShown = true;
        FShownDuringCheck = true;
        DoEvent(OnSpellDialogShow, this);
        TOrthosConfig& config = Configuration();
        if (config.ReadDialogX() != -1) {
            FDialog->SetPosition(TFormPosition::poDesigned);
            FDialog->SetLeft(config.ReadDialogX());
            FDialog->SetTop(config.ReadDialogY());
            FDialog->HandleNeeded();
            AdjustDialogPosition(FDialog->Handle(), config.ReadDialogX(), config.ReadDialogY());
        } else {
            FDialog->SetPosition(TFormPosition::poScreenCenter);
        }
        // The user may edit the document while the dialog is inactive; on return the check
        // resumes where the text now stands.
        FDeactivated = false;
        FDialog->OnDeactivate = [this](TObject*) {
            if (!FDeactivated) {
                FDeactivated = true;
                DoEvent(OnDialogDeactivate, this);
            }
        };
        FDialog->OnActivate = [this](TObject*) {
            if (FDeactivated) {
                FDeactivated = false;
                DoEvent(OnDialogActivate, this);
                Check_ControlEdited();
            }
        };
        FDialog->Show();
    }
}

void TOrthosSpell3::DoWordPrompt() {
    if (FDialog && FSetUp)
        FDialog->DialogControl->FirePromptWord(CurrentWord(), RepeatedPrompt());
    TOrthosSpell3Base::DoWordPrompt();
}

void TOrthosSpell3::ShutdownUI() {
    if (!FDialog)
        return;
    if (FShown && FDialog->HandleAllocated()) {
        RECT r{};
        GetWindowRect(FDialog->Handle(), &r);
        Configuration().WriteDialogX(r.left);
        Configuration().WriteDialogY(r.top);
    }
    // Between the checks of a sequence the dialog stays up.
    if (InSequence())
        return;
    FShown = false;
    FDialog->OnActivate = nullptr;
    FDialog->OnDeactivate = nullptr;
    FDialog->Hide();
    DoEvent(OnSpellDialogHide, this);
    FSetUp = false;
    // The answer that ended the check may still be running inside the dialog.
    FDialog->Release();
    FDialog = nullptr;
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
    if (FDialog && FShown)
        FDialog->Hide();
    if (OnShowEndMessage) {
        OnShowEndMessage(this);
        return;
    }
    ShowMessageBox(GetString(lsEndMessage), GetString(lsSpelling), MB_OK | MB_ICONINFORMATION);
}
