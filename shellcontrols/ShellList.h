#pragma once
// TNVCustomShellList: a list view over the contents of one shell folder. It fills itself from
// the folder's enumeration, filters files by masks, sorts with the folder's own comparison,
// opens folders in place and other items through their default verb (unless OnDblClickOpen
// handles them), renames in place, creates new folders, runs the shell's verbs from keys, drags
// its selection out as a file list, and follows changes on disk through a change-notification
// thread and a debounce timer.
#include "framework/core/Win.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Strings.h"
#include "framework/ui/Controls.h"
#include "framework/ui/ExtCtrls.h"
#include "shellcontrols/ChangeHandlerThread.h"
#include "shellcontrols/ComPtr.h"
#include "shellcontrols/DragAutoScroll.h"
#include "shellcontrols/ListHeaderSort.h"
#include "shellcontrols/ListViewBase.h"
#include "shellcontrols/ShellCustomDraw.h"
#include "shellcontrols/ShellDragDrop.h"
#include "shellcontrols/ShellItemData.h"
#include "shellcontrols/ShellLocator.h"
#include "shellcontrols/ShellMenus.h"

enum TNVShellListOption : uint16_t {
    nvsloAutoFill = 1 << 0,
    nvsloNonFilesystemAncestors = 1 << 1,
    nvsloDesignInteractive = 1 << 2,
    nvsloDefaultKeyHandling = 1 << 3,
    nvsloContextMenus = 1 << 4,
    nvsloDontChangeFolder = 1 << 5,
    nvsloDontGoBelowBase = 1 << 6,
    nvsloDynamicRefresh = 1 << 7,
    nvsloHideFoldersWhenLinkedToTree = 1 << 8,
    nvsloOleDrag = 1 << 9,
    nvsloOleDrop = 1 << 10,
    nvsloFolderContextMenu = 1 << 11,
    nvsloShowHidden = 1 << 12,
};
using TNVShellListOptions = uint16_t;
constexpr TNVShellListOptions NVShellListDefaultOptions =
    nvsloAutoFill | nvsloNonFilesystemAncestors | nvsloDefaultKeyHandling | nvsloContextMenus |
    nvsloDynamicRefresh | nvsloOleDrag | nvsloOleDrop | nvsloFolderContextMenu | nvsloShowHidden;

using TNVShListDeleteItemEvent = std::function<void(TObject* Sender, int Item, TNVShListData* Data)>;
using TNVShDblClickOpenEvent = std::function<void(TObject* Sender, bool& Handled)>;
// Item is the list item's index, -1 outside the item stages; Data its item data or null.
using TNVShLvCustomDrawEvent =
    std::function<void(TObject* Sender, TNVCustomDraw* CD, int Item, TNVShListData* Data)>;
// Column from 0.
using TNVColumnClickEvent = std::function<void(TObject* Sender, int Column)>;

constexpr UINT AMDeferredEdit = WM_USER + 102;
// Asks for the running shell instance's IShellBrowser (with one reference for the caller; 0 when none).
constexpr UINT WMGetIShellBrowser = WM_USER + 7;

class TNVCustomShellTree;
class TNVCustomShellCombo;

class TNVCustomShellList : public TNVCustomListView, public TNVShellFolderView, private TNVDropTargetClient {
    ZEL_DECLARE_CLASS(TNVCustomShellList)
public:
    explicit TNVCustomShellList(TComponent* AOwner);
    ~TNVCustomShellList() override;

    TNVShellLocator& Folder() { return *FFolder; }
    void SetFolder(TNVShellLocator* Value) { FFolder->Assign(Value); }
    TNVShellListOptions Options() const { return FOptions; }
    void SetOptions(TNVShellListOptions Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }

    void FillItems();
    void RefreshItems();
    // Masks separated by ";" ("*.htm;*.html"); blanks around a mask are not part of it.
    const std::string& FileFilter() const { return FFileFilter; }
    void SetFileFilter(const std::string& Value);
    // Column from 1, negative for descending.
    int SortColumn() const { return FSortValue; }
    void SetSortColumn(int Value);
    void SortList();
    void GoUp(int Levels);
    void SelectAll();
    int ShellSelCount();
    // Items from 0, in the list's order.
    int ItemCount();
    TNVShListData* GetShListData(int Index);
    TNVShListData* GetSelectedItem();
    std::vector<int> SelectedIndexes();
    std::string ItemCaption(int Index);
    int FindCaption(const std::string& Caption);
    void SelectItem(int Index, bool Only = true);
    void OpenItem(int Index);
    void OpenSelectedItems();
    bool CreateNewFolder(bool Edit);
    // Runs a canonical verb ("copy", "cut", "delete") on the selection, or on the folder ("paste").
    HRESULT DoCommandForAllSelected(const std::string& Verb);
    HRESULT DoCommandForFolder(const std::string& Verb);
    bool IsFolderNetworkShare();
    // Gives a pending debounce refresh at once.
    void Synchronize();
    // The debounce timer (for tests and linked controls): running, and its interval.
    bool RefreshPending() const { return FTimer->Enabled(); }
    int RefreshDelay() const { return FTimer->Interval(); }
    // Renames item Index in place, as a finished label edit does; false when the shell refused.
    bool RenameItem(int Index, const std::string& NewName);
    // Shows the shell's context menu of the selection at a screen point and runs the choice.
    void ProcessMenuForAllSelected(POINT ScreenPt);
    // Runs a command chosen in a shell context menu of the selection: the shell's rename starts
    // the in-place rename, numbers below 1000 are Send To entries.
    void RunMenuCommand(IContextMenu* Menu, UINT Command);
    // The data object that a drag of the selection carries (null without selected items).
    TComPtr<IDataObject> CreateSelectionDataObject();
    // The linked folder tree (set through the tree's SetShellList); it drives and follows the list.
    TNVCustomShellTree* ShellTree() const { return FShellTree; }
    TNVCustomShellCombo* ShellCombo() const { return FShellCombo; }
    // Called by the linked tree when its selection is handed over.
    void TreeChanged(TNVShTreeData* Data);

    // TNVShellFolderView
    IShellFolder* CurrentFolder() override { return FCurFolder.Get(); }
    LPCITEMIDLIST CurrentFolderIdList() override { return FCurFolderIdList; }
    // The folder's own columns (fetched once per folder), or null: then four standard columns.
    IShellDetails* CurrentFolderDetails() override;

    // The drop target registered for the window (null without nvsloOleDrop or a window).
    IDropTarget* DropTarget() const { return FDropTarget; }

    void WndProc(TMessage& Message) override;

    TNVShAddItemEvent OnAddItem;
    TNVShListDeleteItemEvent OnDeleteItem;
    TNVShDblClickOpenEvent OnDblClickOpen;
    TNotifyEvent OnFillStart;
    TNotifyEvent OnFillComplete;
    TNotifyEvent OnFolderChanged;
    // The selection or focus of the items changed.
    TNotifyEvent OnSelectionChange;
    // Every custom-draw stage, and only the item pre-paint stage.
    TNVShLvCustomDrawEvent OnCustomDrawShEx;
    TNVShLvCustomDrawEvent OnCustomDrawSh;
    // The help text of the shell menu item under the mouse (empty for other items).
    TNVShPopupHintEvent OnPopupHint;
    // A click on a column's header; unless the handler calls SetSortColumn, the list sorts by that
    // column (a second click reverses an ascending sort).
    TNVColumnClickEvent OnColumnClick;
    // The list's column widths as the header shows them.
    std::vector<int> ColumnWidths();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void DestroyWnd() override;
    void HandleDestroyed() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    bool WantsKey(const MSG& Msg) override;
    virtual bool CanAdd(IShellFolder* Folder, LPCITEMIDLIST FolderAbs, LPCITEMIDLIST ItemRel, SFGAOF Attribs);
    virtual void FilterPreApply();
    virtual bool FilterApply(const std::string& Name, SFGAOF Attribs);
    virtual void FilterPostApply();
    virtual void FillStart() { DoEvent(OnFillStart, this); }
    virtual void FillComplete() { DoEvent(OnFillComplete, this); }
    virtual void FolderChanged() { DoEvent(OnFolderChanged, this); }
    // True when no handler took the double click.
    virtual bool DblClickOpen();
    virtual void NVCustomDrawSh(TNVCustomDraw* CD, int Item, TNVShListData* Data);
    void NVCustomDrawItem(TNVCustomDraw* CD, int Item, LPARAM Param) override;
    // Scrolls near the edges while something is dragged over the list.
    virtual void DoDropTargetAutoscroll(POINT ClientPt);
    // The shell's context menu of the selection with nvsloContextMenus, after OnItemContextMenu.
    void ItemContextMenu(int Item, POINT& Pos, TPopupMenu*& Menu) override;

private:
    void OnDropTarget_DragEnter(IDataObject* Data, DWORD KeyState, POINT Pt, DWORD& Effect) override;
    void OnDropTarget_DragOver(DWORD KeyState, POINT Pt, DWORD& Effect) override;
    void OnDropTarget_DragLeave() override;
    void OnDropTarget_Drop(IDataObject* Data, DWORD KeyState, POINT Pt, DWORD& Effect) override;

    HWND OwnerWindow();
    void HandleOnFolderChanged(TObject* Sender);
    void FillList();
    void InitColumns();
    void SaveColumnWidths();
    bool ShouldInclude(LPCITEMIDLIST Rel, SFGAOF& Attribs);
    void InsertItem(TNVShListData* Data, SFGAOF Attribs);
    void DeleteAllItems();
    void InstallChangeHandler();
    void TimerElapsed(TObject* Sender);
    void HandleNotify(TMessage& Message);
    void OleBeginDrag(DWORD Button);
    void RegisterDrop(bool On);
    SHCONTF EnumFlags() const;
    void MoveInto(LPCITEMIDLIST AbsList);
    HRESULT ItemDropTarget(POINT ClientPt, TComPtr<IDropTarget>& Target);
    static int CALLBACK CompareItems(LPARAM A, LPARAM B, LPARAM Self);

    std::unique_ptr<TNVShellLocator> FFolder;
    TComPtr<IShellFolder> FCurFolder;
    TComPtr<IShellDetails> FDetails;
    bool FDetailsFetched = false;
    LPITEMIDLIST FCurFolderIdList = nullptr;
    TNVShellListOptions FOptions = NVShellListDefaultOptions;
    bool FReadOnly = false;
    std::string FFileFilter;
    std::unique_ptr<TStringList> FMasks;
    std::unique_ptr<TStringList> FFilteredNames;
    TTimer* FTimer;
    int FSortValue = 1;
    int FSyncCount = 0;
    bool FIgnoreNextChange = false;
    std::unique_ptr<TChangeHandlerThread> FThread;
    std::string FDeferredEditName;
    bool FRefreshRunning = false;
    bool FRefreshPending = false;
    bool FEditing = false;
    bool FFilling = false;
    TNVDropTargetForwarder* FDropTarget = nullptr; // one reference held while registered
    TComPtr<IDataObject> FDropData;
    TComPtr<IDropTarget> FDropItemTarget;
    TNVCustomShellTree* FShellTree = nullptr;
    TNVCustomShellCombo* FShellCombo = nullptr;
    std::unique_ptr<TNVShellMenuSession> FMenuSession;
    bool FFileSystemColumns = false;
    DWORD FDropKeyState = 0;
    TNVDragAutoScroll FAutoScroll;
    bool FSortSetByCaller = false;
    friend class TNVCustomShellTree;
    friend class TNVCustomShellCombo;
};

class TNVShellList : public TNVCustomShellList {
    ZEL_DECLARE_CLASS(TNVShellList)
public:
    explicit TNVShellList(TComponent* AOwner) : TNVCustomShellList(AOwner) {}
};
