#pragma once
// TNVCustomShellCombo: the look-in box. It shows the desktop, its folders, the drives of the
// computer's drive folder and the chain of folders down to the selected folder, indented by
// level, and drives a linked shell list (or tree) and follows it.
#include "framework/core/Win.h"

#include <shlobj.h>

#include <memory>

#include "shellcontrols/ImageCombo.h"
#include "shellcontrols/ShellItemData.h"
#include "shellcontrols/ShellLocator.h"

class TNVCustomShellList;
class TNVCustomShellTree;

enum TNVShellComboOption : uint8_t { nvscoAutofill = 1, nvscoNonFilesystemAncestors = 2 };
using TNVShellComboOptions = uint8_t;

class TNVCustomShellCombo : public TNVCustomImageCombo {
    ZEL_DECLARE_CLASS(TNVCustomShellCombo)
public:
    explicit TNVCustomShellCombo(TComponent* AOwner);
    ~TNVCustomShellCombo() override;

    TNVShellLocator& SelectedFolder() { return *FSelectedFolder; }
    void SetSelectedFolder(TNVShellLocator* Value) { FSelectedFolder->Assign(Value); }
    TNVShellComboOptions Options() const { return FOptions; }
    void SetOptions(TNVShellComboOptions Value) { FOptions = Value; }
    bool AutoDropDownCount = true;
    // A combo drives either a list or a tree; setting one while the other is linked is ignored.
    void SetShellList(TNVCustomShellList* Value);
    void SetShellTree(TNVCustomShellTree* Value);
    TNVCustomShellList* ShellList() const { return FShellList; }
    TNVCustomShellTree* ShellTree() const { return FShellTree; }

    void FillItems();
    void GoUp(int Levels);
    TNVShComboData* GetShComboData(int Index) const;

protected:
    void CreateHandleDone() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void GetItemData(TNVImageComboItem* Item) override;
    void SelEndOk() override;
    // With AutoDropDownCount the list takes the rows that fit between the box and the screen bottom.
    void DropDown() override;
    virtual bool CanAdd(IShellFolder* Folder, LPCITEMIDLIST ParentAbs, LPCITEMIDLIST ItemRel, SFGAOF Attribs,
                        int Level);

private:
    friend class TNVCustomShellList;
    friend class TNVCustomShellTree;
    void SelectedFolderChanged();
    void FillCombo(IShellFolder* Folder, LPCITEMIDLIST ParentAbs, TNVIdListArray& Chain, bool& ChainUsed,
                   int Level);
    TNVImageComboItem* AddFolderItem(IShellFolder* Folder, LPCITEMIDLIST ParentAbs, LPCITEMIDLIST Rel,
                                     SFGAOF Attribs, int Level);
    void Unlink();

    std::unique_ptr<TNVShellLocator> FSelectedFolder;
    TNVShellComboOptions FOptions = nvscoAutofill | nvscoNonFilesystemAncestors;
    int FSyncCount = 0;
    TNVCustomShellList* FShellList = nullptr;
    TNVCustomShellTree* FShellTree = nullptr;
    int FSelectIndex = -1;
};

class TNVShellCombo : public TNVCustomShellCombo {
    ZEL_DECLARE_CLASS(TNVShellCombo)
public:
    explicit TNVShellCombo(TComponent* AOwner) : TNVCustomShellCombo(AOwner) {}
};
