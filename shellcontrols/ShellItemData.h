#pragma once
// The item data that every tree node, list item and combo entry of the shell controls carries:
// the item's ID lists, the folder interfaces the controls need, and caches of what is costly to
// ask the shell for (names, column texts).
#include "framework/core/Win.h"

#include <shlobj.h>

#include <functional>
#include <string>

#include "framework/core/Object.h"
#include "shellcontrols/ComPtr.h"

// Asked before a shell control adds an item; AllowAdd starts true, false leaves the item out.
using TNVShAddItemEvent =
    std::function<void(TObject* Sender, IShellFolder* ParentIShf, LPCITEMIDLIST ParentAbsIdList,
                       LPCITEMIDLIST ItemRelIdList, SFGAOF Attribs, bool& AllowAdd)>;

class TNVCustomShellTree;
class TNVCustomShellCombo;

// What a list's item data asks of its list: the folder it shows.
class TNVShellFolderView {
public:
    virtual ~TNVShellFolderView() = default;
    // The folder shown (not add-referenced; may be null before the first fill).
    virtual IShellFolder* CurrentFolder() = 0;
    // Its absolute ID list (owned by the view; null for the desktop).
    virtual LPCITEMIDLIST CurrentFolderIdList() = 0;
    // The folder's column texts, or null when it offers none (not add-referenced).
    virtual IShellDetails* CurrentFolderDetails() = 0;
};

// Item data of a tree node.
class TNVShTreeData : public TObject {
    ZEL_DECLARE_CLASS(TNVShTreeData)
public:
    explicit TNVShTreeData(TNVCustomShellTree* Tree = nullptr) : FTree(Tree) {}
    ~TNVShTreeData() override;
    // Parent: the parent node's data, or null on the first level. Pidl is copied.
    void SetData(TNVShTreeData* Parent, LPCITEMIDLIST Pidl);
    TNVCustomShellTree* Tree() const { return FTree; }
    TNVShTreeData* Parent() const { return FParent; }
    LPCITEMIDLIST RelPidl() const { return FRelPidl; }
    // Built on first use; owned by the item data.
    LPCITEMIDLIST GetAbsPidl();
    std::string GetPathName();
    // The folder this item lies in (not add-referenced); null when it cannot be bound.
    IShellFolder* GetParentIShf();
    // The item's own folder as a held reference; the desktop for a null absolute list. Raises
    // ENVOleError when even the desktop cannot be had; null when the item cannot be bound.
    TComPtr<IShellFolder> GetThisIShf();
    // Held by the first-level node of a fill: the folder the tree was filled from.
    void SetThisIShf(IShellFolder* Folder);
    bool GetEditable();
    // After a rename: takes a copy of Pidl and rebuilds the absolute list at once.
    void SetRelPidl(LPCITEMIDLIST Pidl);
    void Flush();
    HRESULT GetIDropTarget(HWND Window, TComPtr<IDropTarget>& Target);
    bool IsRootDir();

private:
    TNVCustomShellTree* FTree;
    TNVShTreeData* FParent = nullptr;
    LPITEMIDLIST FRelPidl = nullptr;
    LPITEMIDLIST FAbsPidl = nullptr;
    TComPtr<IShellFolder> FThisIShf;
    TComPtr<IShellFolder> FParentIShf;
};

// Item data of a list item.
class TNVShListData : public TObject {
    ZEL_DECLARE_CLASS(TNVShListData)
public:
    explicit TNVShListData(TNVShellFolderView* List = nullptr) : FList(List) {}
    ~TNVShListData() override;
    // Takes Pidl over without copying (it was made with the shell allocator).
    void SetData(LPITEMIDLIST Pidl);
    void Flush();
    TNVShellFolderView* List() const { return FList; }
    LPCITEMIDLIST RelPidl() const { return FRelPidl; }
    LPCITEMIDLIST GetAbsoluteIdList();
    std::string GetPathName();
    std::string GetFilename();
    // The shell's attributes of the item; 0 when the folder cannot answer (nothing is cached).
    SFGAOF GetAttributes();
    bool IsFolder() { return (GetAttributes() & SFGAO_FOLDER) != 0; }
    bool IsFileSystem() { return (GetAttributes() & SFGAO_FILESYSTEM) != 0; }
    bool GetEditable() { return (GetAttributes() & SFGAO_CANRENAME) != 0; }
    bool IsValid();
    bool IsLnkShortcut();
    std::string GetDisplayName();
    void GetExtraData();
    std::string GetSize();
    std::string GetFileType();
    std::string GetModified();
    std::string GetColText(int Column);

private:
    TNVShellFolderView* FList;
    LPITEMIDLIST FAbsoluteIdList = nullptr;
    LPITEMIDLIST FRelPidl = nullptr;
    std::string FDisplayName;
    bool FExtraLoaded = false;
    std::string FSize, FFileType, FModified;
};

// Item data of a path-combo entry.
class TNVShComboData : public TObject {
    ZEL_DECLARE_CLASS(TNVShComboData)
public:
    explicit TNVShComboData(TNVCustomShellCombo* Combo = nullptr) : FCombo(Combo) {}
    ~TNVShComboData() override;
    // Copies both lists and holds ParentFolder.
    void SetData(IShellFolder* ParentFolder, LPCITEMIDLIST ParentPidl, LPCITEMIDLIST RelPidl);
    IShellFolder* ParentFolder() const { return FParentFolder.Get(); }
    LPCITEMIDLIST ParentPidl() const { return FParentPidl; }
    LPCITEMIDLIST RelPidl() const { return FRelPidl; }
    LPCITEMIDLIST AbsPidl() const { return FAbsPidl; }
    // Bound on first use; raises ENVOleError when binding fails.
    IShellFolder* GetThisIShf();

private:
    TNVCustomShellCombo* FCombo;
    TComPtr<IShellFolder> FParentFolder;
    LPITEMIDLIST FParentPidl = nullptr;
    LPITEMIDLIST FRelPidl = nullptr;
    LPITEMIDLIST FAbsPidl = nullptr;
    TComPtr<IShellFolder> FThisFolder;
};

// Size of a file as the list shows it: whole kilobytes rounded up, digits grouped, "%sKB".
std::string NVFormatSizeKB(uint64_t Bytes);
