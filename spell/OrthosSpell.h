#pragma once
// TOrthosSpell3: the checker component applications place, the engine plus its standard dialogs.
// It shows the spell dialog during a check (modeless, answered through the message queue that the
// synchronous check pumps, or modal with DialogShowModal, the check then running from the dialog's
// own loop) and the options dialogs unless the program handles their events.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/ui/Forms.h"
#include "framework/ui/Graphics.h"
#include "spell/ConfigurationDialogCtrl.h"
#include "spell/SpellBase.h"

class TSpellDialog;

enum TSpellEndMessage { emNever, emAlways, emExceptCancel, emNoDialog };
enum TSpellPopupOption {
    spCancel,
    spDialog,
    spAutoCorrect,
    spChangeAll,
    spAdd,
    spIgnoreAll,
    spIgnore,
    spReplace
};
using TSpellPopupOptions = uint32_t;
constexpr TSpellPopupOptions SpellPopupBit(TSpellPopupOption o) {
    return 1u << o;
}

class TMenuItem;
class TPopupMenu;

class TOrthosSpell3 : public TOrthosSpell3Base {
    ZEL_DECLARE_CLASS(TOrthosSpell3)
public:
    explicit TOrthosSpell3(TComponent* AOwner);
    ~TOrthosSpell3() override;

    TFont& UILanguageFontControls() { return *FFontControls; }
    TFont& UILanguageFontText() { return *FFontText; }
    bool UILanguageUseFonts = false;
    // Captions of the four user options.
    std::array<std::string, 4> ConfigUserOption;
    TSpellEndMessage EndMessage = emExceptCancel;
    // The end message also tells how many words were checked.
    bool EndMessageWordCount = false;

    // Replace the standard dialogs when assigned.
    std::function<void(TObject* Sender, TComponent* Owner)> OnShowConfigDialog;
    TNotifyEvent OnSpellDialogShow;
    TNotifyEvent OnSpellDialogHide;
    TNotifyEvent OnShowEndMessage;
    TNotifyEvent OnDialogDeactivate;
    TNotifyEvent OnDialogActivate;
    // Supplies the spell dialog (Create true; leave SpellForm null to get the standard one) and
    // disposes of a dialog it supplied (Create false). The form must carry a TConfigurationDialogCtrl.
    std::function<void(TObject* Sender, TForm*& SpellForm, bool Create)> OnCreateSpellDialog;
    // Places the dialog with DialogInitialPos = ipUserDefined.
    TNotifyEvent OnPositionDialog;

    // Gives the form's controls the interface fonts (only with UILanguageUseFonts).
    virtual void SetupFormFonts(TForm* Form, bool TextFont);
    // Attaches this checker (and the dictionary, or none) to the form's first dialog control.
    TConfigurationDialogCtrl* SetupDialogControl(TForm* Form, TCustomDictionary* Dictionary);
    virtual void CreateSpellDialog();
    // The standard spell dialog while one is up (null for a supplied form).
    TSpellDialog* SpellDialog() const;
    // The spell dialog while one is up, standard or supplied.
    TForm* SpellForm() const { return FDialog; }

    // Placement of the spell dialog: the first position by DialogInitialPos, then clear of the
    // word shown by DialogSelectionAvoid.
    virtual void SetInitialPosition();
    virtual void AvoidSelection();
    // Beside the selection; Horizontal and Vertical say which coordinates follow it.
    virtual void AdjustDialogToSelection(bool Horizontal, bool Vertical);
    // Below, right of, above or left of the checked control, where its monitor has room.
    virtual void AdjustDialogToControl();

    // The options dialog.
    void Setup() { InternalSetup(this); }
    virtual void InternalSetup(TComponent* Owner);
    // Lets the user add a folder of main dictionaries (the platform's folder browser).
    void SetupAddDictionaryDir() { InternalSetupAddDictionaryDir(this); }
    virtual void InternalSetupAddDictionaryDir(TComponent* Owner);
    std::function<void(TObject* Sender, TComponent* Owner)> OnShowAddDictionaryDir;
    // The user dictionaries dialog.
    void SetupCustomDictionaries() { InternalSetupCustomDictionaries(this); }
    virtual void InternalSetupCustomDictionaries(TComponent* Owner);
    std::function<void(TObject* Sender, TComponent* Owner)> OnShowCustomDictionariesDialog;
    // The word-list editor of one user dictionary (or OnShowEditCustomDictionaryDialog when assigned).
    void EditCustomDictionary(TCustomDictionary* Dictionary) {
        InternalEditCustomDictionary(this, Dictionary);
    }
    virtual void InternalEditCustomDictionary(TComponent* Owner, TCustomDictionary* Dictionary);
    std::function<void(TObject* Sender, TComponent* Owner, TCustomDictionary* Dictionary)>
        OnShowEditCustomDictionaryDialog;

    // The context menu for one word: suggestions and the answers that options select. Returns
    // the answer chosen (spCancel for none) and, for replacements, the new word in Word.
    TSpellPopupOption ShowPopupMenu(TComponent* Owner, TSpellPopupOptions Options, int X, int Y,
                                    std::string& Word);
    // Replaces showing the menu (tests choose here): set PopupAction and PopupWord.
    std::function<void(TObject* Sender, TPopupMenu* Menu, int X, int Y, int& PopupAction,
                       std::string& PopupWord)>
        OnPopupDoMenu;
    std::function<void(TObject* Sender, const std::string& Word, std::string& ResultWord,
                       TSpellPopupOption& Result)>
        OnPopupResult;
    // Supplies the popup menu (freed by the checker after the popup).
    std::function<void(TObject* Sender, TComponent* Owner, TPopupMenu*& Menu)> OnPopupCreateMenu;
    // Makes one item in place of the standard one; an item made here reaches the checker's answer
    // when its click calls PopupMenuHook.
    std::function<void(TObject* Sender, TPopupMenu* Menu, TMenuItem* SubMenu, const std::string& Caption,
                       bool Enable, bool HasChildren, int Tag, TMenuItem*& MenuItem)>
        OnPopupAddMenuItem;
    // The click of a popup item: records its tag and caption as the answer.
    void PopupMenuHook(TObject* Sender);
    // Listeners told the outcome of every popup, in the order they were added (one per object).
    using TPopupResultHandler = std::function<void(TObject* Sender, TSpellPopupOption Result)>;
    void AddPopupResultListener(TObject* Listener, TPopupResultHandler Handler);
    void RemovePopupResultListener(TObject* Listener);

protected:
    bool CanPrompt() const override;
    void EnsureUI() override;
    void ShutdownUI() override;
    void DoWordPrompt() override;
    void ShowEndMessage() override;
    void CloseSpellDialog() override;

private:
    void Form_OnShow(TObject* Sender);
    void Form_OnActivate(TObject* Sender);
    void Form_OnDeactivate(TObject* Sender);
    RECT DialogMonitorArea() const;
    void MoveDialog(int X, int Y);

    std::unique_ptr<TFont> FFontControls, FFontText;
    TForm* FDialog = nullptr;
    bool FSupplied = false; // by OnCreateSpellDialog, which also disposes of it
    TConfigurationDialogCtrl* FDialogControl = nullptr;
    TNotifyEvent FSavedOnShow, FSavedOnActivate, FSavedOnDeactivate;
    std::vector<std::pair<TObject*, TPopupResultHandler>> FPopupResultListeners;
    bool FSetUp = false;
    bool FShown = false;
    bool FShownDuringCheck = false;
    bool FDeactivated = false;
    bool FPopupBusy = false;
    int FPopupTag = spCancel;
    std::string FPopupCaption;
    TMenuItem* AddMenuItem(TPopupMenu* Menu, TMenuItem* SubMenu, const std::string& Caption, bool Enable,
                           bool HasChildren, int Tag);
};
