#pragma once
// TNVFrmOpenDlg: the window behind the open and save dialog components: a look-in box, a folder
// tree and a file list in a splitter, a file-name box, a file-type box, OK and Cancel and a
// read-only check box. It turns what the user typed or chose into checked full path names.
#include "framework/core/Win.h"

#include <string>
#include <vector>

#include "framework/ui/Buttons.h"
#include "framework/ui/Forms.h"
#include "framework/ui/Menus.h"
#include "framework/ui/StdCtrls.h"
#include "shellcontrols/FileDialogs.h"
#include "shellcontrols/ShellCombo.h"
#include "shellcontrols/ShellList.h"
#include "shellcontrols/ShellSplitter.h"
#include "shellcontrols/ShellTree.h"

class TNVFrmOpenDlg : public TForm {
    ZEL_DECLARE_CLASS(TNVFrmOpenDlg)
public:
    explicit TNVFrmOpenDlg(TComponent* AOwner);
    ~TNVFrmOpenDlg() override;

    TNVShellCombo* ShellCombo() const { return FCombo; }
    TNVShellTree* ShellTree() const { return FTree; }
    TNVShellList* ShellList() const { return FList; }
    TNVSplitter* Splitter() const { return FSplitter; }
    TEdit* FileNameEdit() const { return FFileNameEdt; }
    TComboBox* FileTypes() const { return FFileTypesCbx; }
    TButton* OpenButton() const { return FOpenBtn; }
    TButton* CancelButton() const { return FCancelBtn; }
    TButton* HelpButton() const { return FHelpBtn; }
    TSpeedButton* UpOneLevelButton() const { return FUpBtn; }
    TSpeedButton* ShowDesktopButton() const { return FDesktopBtn; }
    TSpeedButton* CreateNewFolderButton() const { return FNewFolderBtn; }
    TSpeedButton* ShowTreeButton() const { return FShowTreeBtn; }
    TSpeedButton* ListButton() const { return FListBtn; }
    TSpeedButton* DetailsButton() const { return FDetailsBtn; }
    // The list's popup menu: View (large and small icons disabled, list, details), Paste,
    // New > Folder, Properties.
    TPopupMenu* ListPopup() const { return FLvPopup; }
    TMenuItem* ViewMenuItem(int Tag) const;
    // The size grip in the bottom-right corner.
    HWND SizeGrip() const { return FSizeGrip; }
    // Shows the list in the view whose number is Tag (0 large icons, 1 small icons, 2 list,
    // 3 details), with the buttons and menu items to match.
    void SetView(int Tag);

    std::string GetFilename() const;
    void SetFilename(const std::string& Name);
    const std::vector<std::string>& ChosenFiles() const { return FChosen; }
    TNVOpenOptions Options() const { return FOptions; }
    void SetOptions(TNVOpenOptions Value);
    void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }
    // Display names and masks alternating, separated by "|".
    void SetFilter(const std::string& Value);
    int FilterIndex() const;
    void SetFilterIndex(int Value);
    void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
    void ShowTree(bool Show);
    void ApplyUserFilter(const std::string& Pattern);
    // The checks of a press on OK; false keeps the dialog open.
    bool ParseInputString(const std::string& Text);
    bool CloseQuery() override;
    void WndProc(TMessage& Message) override;
    // The Help button (shown with nvofShowHelp) was pressed.
    TNotifyEvent OnHelp;
    // While the form shows: another file type was chosen; the list moved to another folder; the
    // list's selection put a name into the file-name box.
    TNotifyEvent OnTypeChanged;
    TNotifyEvent OnFolderChanged;
    TNotifyEvent OnSelectionChanged;

protected:
    void DoShow() override;
    void CreateHandleDone() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Resize() override;

private:
    void TypeChanged();
    void ListSelectionChanged();
    std::string SelectedMask() const;
    TSpeedButton* ToolButton(int Left, const std::string& Hint);
    TMenuItem* MenuItem(TMenuItem* Parent, const std::string& Caption, const std::string& Hint);
    void CreateNewFolder();

    TLabel* FLookInTxt;
    TNVShellCombo* FCombo;
    TSpeedButton* FUpBtn;
    TSpeedButton* FDesktopBtn;
    TSpeedButton* FNewFolderBtn;
    TSpeedButton* FShowTreeBtn;
    TSpeedButton* FListBtn;
    TSpeedButton* FDetailsBtn;
    TPopupMenu* FLvPopup;
    TMenuItem* FViewItems[4] = {};
    TNVSplitter* FSplitter;
    TNVShellTree* FTree;
    TNVShellList* FList;
    TLabel* FFileNameTxt;
    TLabel* FFilesOfTypeTxt;
    TEdit* FFileNameEdt;
    TComboBox* FFileTypesCbx;
    TButton* FOpenBtn;
    TButton* FCancelBtn;
    TButton* FHelpBtn;
    TCheckBox* FReadOnlyChk;
    HWND FSizeGrip = nullptr;
    bool FBuilt = false; // all controls exist: the layout may run

    std::string FDefaultExt;
    TNVOpenOptions FOptions = NVOpenDefaultOptions;
    std::vector<std::string> FMasks;
    std::string FInitialDir;
    std::string FUserPattern;
    std::vector<std::string> FChosen;
    bool FShown = false;
    bool FFromSelection = false;
};
