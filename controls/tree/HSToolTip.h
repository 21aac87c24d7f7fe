#pragma once
// A component around one window of the common controls' tooltip class, and the tree's own tip,
// which lays a node's full text exactly over its clipped text.
#include "framework/core/Win.h"

#include <commctrl.h>

#include <cstdint>
#include <string>

#include "framework/core/Component.h"
#include "framework/ui/Controls.h"

class THSCustomTreeView;
class THSTreeNode;

enum THSToolTipOption : uint8_t { toNoPrefox };
using THSToolTipOptions = uint8_t; // bit n = THSToolTipOption n

class THSToolTip : public TComponent {
    ZEL_DECLARE_CLASS(THSToolTip)
public:
    explicit THSToolTip(TComponent* AOwner);
    ~THSToolTip() override;

    // Exception "Error creating window" when the platform makes no window.
    void CreateToolTipWindow();
    void DestroyToolTipWindow();
    void RestoreHook();
    bool HandleAllocated() const { return FHandle != nullptr; }
    HWND Handle() const { return FHandle; }
    bool Shown() const { return FShown; }
    void Activate();
    void Deactivate();
    void AddToolTip(UINT_PTR Id, HWND Wnd, const RECT& R, const std::string& Text, bool Subclass);
    void UpdateToolTipInfo(UINT_PTR Id, HWND Wnd, const RECT& R, const std::string& Text, bool Subclass);
    void DeleteToolTip(UINT_PTR Id, HWND Wnd);
    void RelayEvent(const TMessage& Message, HWND Wnd);
    void SetTime(int Kind, int Time);
    void SetReShowTime(int T) { SetTime(TTDT_RESHOW, T); }
    void SetAutoPopTime(int T) { SetTime(TTDT_AUTOPOP, T); }
    void SetInitialTime(int T) { SetTime(TTDT_INITIAL, T); }
    void RecalcTime() { SetTime(TTDT_AUTOMATIC, 0); }
    void SetWidth(int W);

    TWinControl* Parent() const { return FParent; }
    void SetParent(TWinControl* Value) { FParent = Value; }
    THSToolTipOptions Options = 0;
    TNotifyEvent OnHide;
    TNotifyEvent OnShow;

protected:
    virtual void DoHideToolTip();
    virtual void DoShowToolTip();
    virtual void WndProc(TMessage& Message);
    void DefaultHandler(TMessage& Message);
    HWND FHandle = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    TWinControl* FParent = nullptr;
    WNDPROC FOldWndProc = nullptr;
    bool FShown = false;
};

class THSTreeToolTip : public THSToolTip {
    ZEL_DECLARE_CLASS(THSTreeToolTip)
public:
    explicit THSTreeToolTip(TComponent* AOwner);
    void SetTree(THSCustomTreeView* Tree) { FTree = Tree; }
    // The node under the cursor, or nullptr.
    void SetNode(THSTreeNode* Node);
    THSTreeNode* Node() const { return FNode; }
    // Forgets a node that is going away.
    void NodeDeleted(THSTreeNode* Node);
    const RECT& TipRect() const { return FTipRect; }

protected:
    void DoHideToolTip() override;
    void WndProc(TMessage& Message) override;

private:
    THSCustomTreeView* FTree = nullptr;
    RECT FTipRect{0, 0, 0, 0};
    bool FToolAdded = false;
    THSTreeNode* FNode = nullptr;
    RECT FTextRect{0, 0, 0, 0};
};
