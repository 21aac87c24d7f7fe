#pragma once
// TNVFolderBrowseDlg: a dialog component that lets the user pick a folder in a shell tree, with
// optional buttons to create and delete folders and a status line; TNVFrmFolderBrowseDlg is its form.
#include "framework/core/Win.h"

#include <functional>
#include <memory>
#include <string>

#include "framework/ui/Forms.h"
#include "framework/ui/StdCtrls.h"
#include "shellcontrols/FileDialogs.h"
#include "shellcontrols/ShellFrames.h"
#include "shellcontrols/ShellLocator.h"
#include "shellcontrols/ShellTree.h"

enum TNVFolderBrowseDlgOption : uint16_t {
    nvfbCreateDeleteButtons = 1 << 0,
    nvfbContextMenus = 1 << 1,
    nvfbReadOnly = 1 << 2,
    nvfbIncludeNonFolders = 1 << 3,
    nvfbOleDrag = 1 << 4,
    nvfbOleDrop = 1 << 5,
    nvfbCreateFolderIcon = 1 << 6,
    nvfbDeleteFolderIcon = 1 << 7,
    nvfbVirtualFolders = 1 << 8,
    nvfbShowHidden = 1 << 9,
};
using TNVFolderBrowseDlgOptions = uint16_t;
constexpr TNVFolderBrowseDlgOptions NVFolderBrowseDefaultOptions =
    nvfbContextMenus | nvfbCreateFolderIcon | nvfbDeleteFolderIcon | nvfbShowHidden;

using TNVFolderBrowseSelChangeEvent = std::function<void(TObject* Sender, LPCITEMIDLIST Folder)>;

class TNVFrmFolderBrowseDlg : public TForm {
    ZEL_DECLARE_CLASS(TNVFrmFolderBrowseDlg)
public:
    explicit TNVFrmFolderBrowseDlg(TComponent* AOwner);
    TNVShellTree* ShellTree() const { return FTree; }
    TNVFrame* StatusTxt() const { return FStatus; }
    TButton* OkButton() const { return FOkBtn; }
    TButton* CancelButton() const { return FCancelBtn; }
    TButton* CreateButton() const { return FCreateBtn; }
    TButton* DeleteButton() const { return FDeleteBtn; }
    void SetOptions(TNVFolderBrowseDlgOptions Value);
    TNVFolderBrowseSelChangeEvent OnSelChange;

protected:
    void DoShow() override;

private:
    void SelectionChanged();
    TNVFrame* FStatus;
    TNVShellTree* FTree;
    TButton* FOkBtn;
    TButton* FCancelBtn;
    TButton* FCreateBtn;
    TButton* FDeleteBtn;
};

class TNVCustomFolderBrowseDlg : public TNVDialog {
    ZEL_DECLARE_CLASS(TNVCustomFolderBrowseDlg)
public:
    explicit TNVCustomFolderBrowseDlg(TComponent* AOwner);
    ~TNVCustomFolderBrowseDlg() override;
    TNVShellLocator& BaseFolder() { return *FBaseFolder; }
    TNVShellLocator& SelectedFolder() { return *FSelectedFolder; }
    std::string GetSelectedPathName() { return FSelectedFolder->GetPathName(); }
    void SetSelectedPathName(const std::string& Path) { FSelectedFolder->SetPathName(Path); }
    TNVFolderBrowseDlgOptions Options = NVFolderBrowseDefaultOptions;
    const std::string& Status() const { return FStatus; }
    void SetStatus(const std::string& Text);
    // Only while the form is shown; raises "TNVFolderBrowseDlg form not active" otherwise.
    bool GetOkEnabled() const;
    void SetOkEnabled(bool Value);
    TNVFrmFolderBrowseDlg* Form() const { return FForm; }
    TNVFolderBrowseSelChangeEvent OnSelChange;

protected:
    bool DoExecute() override;

private:
    std::unique_ptr<TNVShellLocator> FBaseFolder;
    std::unique_ptr<TNVShellLocator> FSelectedFolder;
    std::string FStatus;
    TNVFrmFolderBrowseDlg* FForm = nullptr;
};

class TNVFolderBrowseDlg : public TNVCustomFolderBrowseDlg {
    ZEL_DECLARE_CLASS(TNVFolderBrowseDlg)
public:
    explicit TNVFolderBrowseDlg(TComponent* AOwner) : TNVCustomFolderBrowseDlg(AOwner) {}
};
