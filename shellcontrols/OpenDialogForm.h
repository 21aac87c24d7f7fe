#pragma once
// TNVFrmOpenDlg: the window behind the open and save dialog components: a look-in box, a folder
// tree and a file list in a splitter, a file-name box, a file-type box, OK and Cancel and a
// read-only check box. It turns what the user typed or chose into checked full path names.
#include "framework/core/Win.h"

#include <string>
#include <vector>

#include "framework/ui/Forms.h"
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

protected:
    void DoShow() override;

private:
    void TypeChanged();
    void ListSelectionChanged();
    std::string SelectedMask() const;

    TLabel* FLookInTxt;
    TNVShellCombo* FCombo;
    TButton* FUpBtn;
    TButton* FNewFolderBtn;
    TNVSplitter* FSplitter;
    TNVShellTree* FTree;
    TNVShellList* FList;
    TLabel* FFileNameTxt;
    TLabel* FFilesOfTypeTxt;
    TEdit* FFileNameEdt;
    TComboBox* FFileTypesCbx;
    TButton* FOpenBtn;
    TButton* FCancelBtn;
    TCheckBox* FReadOnlyChk;

    std::string FDefaultExt;
    TNVOpenOptions FOptions = NVOpenDefaultOptions;
    std::vector<std::string> FMasks;
    std::string FInitialDir;
    std::string FUserPattern;
    std::vector<std::string> FChosen;
    bool FShown = false;
    bool FFromSelection = false;
};
