#pragma once
// TNVCustomShellTree: a folder tree over the shell namespace. Its first-level node is a base folder
// (the desktop by default); each node's children are read when it is first expanded. It keeps one
// selected folder and hands it to a linked shell list (after a short delay, or at once after a
// click), follows changes on the local drives through a change-notification thread and refreshes
// after a short delay, renames folders in place, creates new folders and runs the shell's verbs
// from keys.
#include "framework/core/Win.h"

#include <commctrl.h>
#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/ui/Controls.h"
#include "framework/ui/ExtCtrls.h"
#include "shellcontrols/ChangeHandlerThread.h"
#include "shellcontrols/DragAutoScroll.h"
#include "shellcontrols/ShellCustomDraw.h"
#include "shellcontrols/ShellItemData.h"
#include "shellcontrols/ShellDragDrop.h"
#include "shellcontrols/ShellLocator.h"
#include "shellcontrols/ShellMenus.h"
#include "shellcontrols/TreeViewBase.h"

class TNVCustomShellList;
class TNVCustomShellCombo;

enum TNVShellTreeOption : uint16_t {
    nvstoAutoFill = 1 << 0,
    nvstoVirtualFolders = 1 << 1,
    nvstoDesignInteractive = 1 << 2,
    nvstoDefaultKeyHandling = 1 << 3,
    nvstoContextMenus = 1 << 4,
    nvstoDynamicRefresh = 1 << 5,
    nvstoIncludeNonFolders = 1 << 6,
    nvstoOleDrag = 1 << 7,
    nvstoOleDrop = 1 << 8,
    nvstoShowHidden = 1 << 9,
};
using TNVShellTreeOptions = uint16_t;
constexpr TNVShellTreeOptions NVShellTreeDefaultOptions =
    nvstoAutoFill | nvstoVirtualFolders | nvstoDefaultKeyHandling | nvstoContextMenus | nvstoDynamicRefresh |
    nvstoOleDrag | nvstoOleDrop | nvstoShowHidden;

using TNVShTvCustomDrawEvent =
    std::function<void(TObject* Sender, TNVCustomDraw* CD, HTREEITEM Node, TNVShTreeData* Data)>;

using TNVShTreeDeleteItemEvent = std::function<void(TObject* Sender, HTREEITEM Node, TNVShTreeData* Data)>;
using TNVShTreeInsertItemEvent = std::function<void(TObject* Sender, HTREEITEM Node)>;

class TNVCustomShellTree : public TNVCustomTreeView, private TNVDropTargetClient {
    ZEL_DECLARE_CLASS(TNVCustomShellTree)
public:
    explicit TNVCustomShellTree(TComponent* AOwner);
    ~TNVCustomShellTree() override;

    TNVShellLocator& BaseFolder() { return *FBaseFolder; }
    TNVShellLocator& SelectedFolder() { return *FSelectedFolder; }
    void SetSelectedFolder(TNVShellLocator* Value) { FSelectedFolder->Assign(Value); }
    std::string GetSelectedPathName() { return FSelectedFolder->GetPathName(); }
    void SetSelectedPathName(const std::string& Path) { FSelectedFolder->SetPathName(Path); }
    TNVShellTreeOptions Options() const { return FOptions; }
    void SetOptions(TNVShellTreeOptions Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // Drive letters ("Z", "YZ") whose folders are not watched for changes below their root: a
    // change there shows only after a refresh (F5) or when the drive's root itself changes. Under
    // Wine, Z: is the whole Unix file system, too large to watch.
    const std::string& ShallowWatchDrives() const { return FShallowWatchDrives; }
    void SetShallowWatchDrives(const std::string& Letters);
    TNVCustomShellList* ShellList() const { return FShellList; }
    TNVCustomShellCombo* ShellCombo() const { return FShellCombo; }
    void SetShellList(TNVCustomShellList* Value);

    void FillItems();
    void RefreshNodes();
    void DoSetSelectedIdList(LPCITEMIDLIST IdList);
    void GoUp(int Levels);
    bool CreateNewFolder();
    // Gives a waiting hand-over or refresh at once.
    void Synchronize();
    bool TimerWaiting() const { return FTimer->Enabled(); }
    int TimerDelay() const { return FTimer->Interval(); }

    // The shell data of a node (null for none).
    TNVShTreeData* NodeData(HTREEITEM Node);
    // Renames Node in place, as a finished label edit does; false when the shell refused.
    bool RenameNode(HTREEITEM Node, const std::string& NewName);
    // Shows the shell's context menu of Node at a screen point and runs the choice.
    void ProcessMenu(HTREEITEM Node, POINT ScreenPt);
    // Runs a command chosen in Node's shell context menu: the shell's rename starts the in-place
    // rename, numbers below 1000 are Send To entries.
    void RunMenuCommand(HTREEITEM Node, IContextMenu* Menu, UINT Command);
    // The data object a drag of Node carries (null for first-level nodes, which are never dragged).
    TComPtr<IDataObject> CreateNodeDataObject(HTREEITEM Node);
    // Runs a canonical verb on Node's item through its parent folder.
    HRESULT DoCommandForNode(HTREEITEM Node, const std::string& Verb);

    // The drop target registered for the window (null without nvstoOleDrop or a window).
    IDropTarget* DropTarget() const { return FDropTarget; }

    void WndProc(TMessage& Message) override;

    TNotifyEvent OnFillStart;
    TNotifyEvent OnFillComplete;
    TNotifyEvent OnChange;
    // Asked before a shell item becomes a node (after the folder and file-system admission).
    TNVShAddItemEvent OnAddItem;
    // A node with shell data goes; its data is freed after the handler.
    TNVShTreeDeleteItemEvent OnDeleteItem;
    // A node for a shell item was added.
    TNVShTreeInsertItemEvent OnInsertItem;
    // Custom drawing with the node's shell data, after the plain events of the base: the Ex event
    // sees every stage, the other only the item pre-paint stage.
    TNVShTvCustomDrawEvent OnCustomDrawShEx;
    TNVShTvCustomDrawEvent OnCustomDrawSh;
    // The help text of the shell menu item under the mouse (empty for other items).
    TNVShPopupHintEvent OnPopupHint;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void DestroyWnd() override;
    void HandleDestroyed() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanAdd(IShellFolder* Folder, LPCITEMIDLIST ParentAbs, LPCITEMIDLIST ItemRel, SFGAOF Attribs);
    virtual void DoOnInsertItem(HTREEITEM Node);
    // Scrolls near the edges and opens the node the cursor rests on while something is dragged
    // over the tree.
    virtual void DoDropTargetAutoscroll(POINT ClientPt);
    // Shows the context menu of Node at Pos (client coordinates): the shell's with
    // nvstoContextMenus, else Menu (the control's popup menu, after OnNodeContextMenu).
    void NodeContextMenu(HTREEITEM Node, POINT& Pos, TPopupMenu*& Menu) override;
    bool WantsCustomDraw() const override;
    void NVCustomDrawNode(TNVCustomDraw* CD, HTREEITEM Node, LPARAM Param) override;

private:
    void OnDropTarget_DragEnter(IDataObject* Data, DWORD KeyState, POINT Pt, DWORD& Effect) override;
    void OnDropTarget_DragOver(DWORD KeyState, POINT Pt, DWORD& Effect) override;
    void OnDropTarget_DragLeave() override;
    void OnDropTarget_Drop(IDataObject* Data, DWORD KeyState, POINT Pt, DWORD& Effect) override;
    void OleBeginDrag(HTREEITEM Node, DWORD Button);
    void RegisterDrop(bool On);
    HTREEITEM DropNodeAt(POINT ScreenPt, TComPtr<IDropTarget>& Target);
    friend class TNVCustomShellList;
    friend class TNVCustomShellCombo;
    HWND OwnerWindow();
    SHCONTF EnumFlags() const;
    void FillTree(IShellFolder* Folder, HTREEITEM Node);
    HRESULT AddNewShellNode(IShellFolder* Folder, LPCITEMIDLIST ParentAbs, HTREEITEM Parent,
                            LPCITEMIDLIST Item, HTREEITEM& Added);
    void SortNode(HTREEITEM Node);
    HTREEITEM FindNodeWithIdList(HTREEITEM Node, LPCITEMIDLIST Rel);
    void SetHasChildren(HTREEITEM Node, bool Value);
    void Change(HTREEITEM Node);
    void PassSelectionOn(HTREEITEM Node);
    void TimerElapsed(TObject* Sender);
    void RefreshNode(HTREEITEM Node, HTREEITEM& Remembered);
    void InstallChangeHandlersForAllLocalDrives();
    void HandleNotify(TMessage& Message);
    void DeleteAll();
    static int CALLBACK CompareNodes(LPARAM A, LPARAM B, LPARAM Folder);

    std::unique_ptr<TNVShellLocator> FBaseFolder;
    std::unique_ptr<TNVShellLocator> FSelectedFolder;
    TTimer* FTimer;
    int FTimerTag = 0; // 1: pass the selection on, 2: refresh
    TNVCustomShellList* FShellList = nullptr;
    TNVShellTreeOptions FOptions = NVShellTreeDefaultOptions;
    bool FReadOnly = false;
    int FImmediateChange = 0;
    int FUpdateGuard = 0;
    bool FIgnoreNextChange = false;
    std::unique_ptr<TChangeHandlerThread> FThread;
    bool FMenuActive = false;
    bool FRefreshPending = false;
    bool FEditing = false;
    HTREEITEM FLastInserted = nullptr;
    TNVCustomShellCombo* FShellCombo = nullptr;
    std::unique_ptr<TNVShellMenuSession> FMenuSession;
    TNVDropTargetForwarder* FDropTarget = nullptr; // one reference held while registered
    TComPtr<IDataObject> FDropData;
    TComPtr<IDropTarget> FDropItemTarget;
    HTREEITEM FDropNode = nullptr;
    DWORD FDropKeyState = 0;
    TNVDragAutoScroll FAutoScroll;
    std::string FShallowWatchDrives;
};

class TNVShellTree : public TNVCustomShellTree {
    ZEL_DECLARE_CLASS(TNVShellTree)
public:
    explicit TNVShellTree(TComponent* AOwner) : TNVCustomShellTree(AOwner) {}
};
