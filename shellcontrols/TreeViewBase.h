#pragma once
// The platform's tree view as a control of its own: node access, custom drawing through a
// wrapper object, and context menus from the mouse, the Applications key and Shift+F10. The shell
// tree builds on it; TNVTreeView is the plain control.
#include "framework/core/Win.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/ui/Controls.h"
#include "framework/ui/Menus.h"
#include "shellcontrols/ShellCustomDraw.h"

// Node is null outside the item stages.
using TNVTvCustomDrawEvent = std::function<void(TObject* Sender, TNVCustomDraw* CD, HTREEITEM Node)>;
// Pos in client coordinates; a handler may move it, swap the menu or set it to null (no menu).
using TNVTvOnNodeContextMenuEvent =
    std::function<void(TObject* Sender, HTREEITEM Node, POINT& Pos, TPopupMenu*& Menu)>;

// The common-controls version (major in the high word) below which the tree's own tooltips are
// left off on NT.
constexpr uint32_t NVTreeToolTipsMinComCtl = 0x40048;
// The tree's tooltip style bit: TVS_NOTOOLTIPS when tooltips are off, and on NT also with a
// library older than NVTreeToolTipsMinComCtl; else 0.
DWORD NVTreeToolTipStyle(bool ToolTips, bool WinNT, uint32_t ComCtlVersionMS);

class TNVCustomTreeView : public TWinControl {
    ZEL_DECLARE_CLASS(TNVCustomTreeView)
public:
    explicit TNVCustomTreeView(TComponent* AOwner);
    ~TNVCustomTreeView() override;

    // Nodes (null without a window).
    HTREEITEM Selected();
    HTREEITEM FirstNode();
    HTREEITEM FirstChild(HTREEITEM Node);
    HTREEITEM NextSibling(HTREEITEM Node);
    HTREEITEM Parent(HTREEITEM Node);
    std::string NodeText(HTREEITEM Node);
    HTREEITEM FindChildByText(HTREEITEM Node, const std::string& Text);
    void SelectNode(HTREEITEM Node);
    void ExpandNode(HTREEITEM Node);
    // Repaints the node's row (or only its text).
    void InvalidateNode(HTREEITEM Node, bool TextOnly, bool Erase);

    // A right click on a node selects it before its menu opens.
    bool RightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
    // Selecting a node expands it and collapses the one selected before.
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value);
    // OnChange fires this many milliseconds after the last of a run of selection changes (0: at
    // once).
    int ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(int Value) { FChangeDelay = Value < 0 ? 0 : Value; }
    bool ToolTips() const { return FToolTips; }
    void SetToolTips(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);

    void WndProc(TMessage& Message) override;

    // Custom drawing: the Ex event sees every stage, the other only the item pre-paint stage.
    TNVTvCustomDrawEvent OnNVCustomDrawEx;
    TNVTvCustomDrawEvent OnNVCustomDraw;
    TNVTvOnNodeContextMenuEvent OnNodeContextMenu;
    // The selection changed (after ChangeDelay).
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    // The tree's background follows the control's colour.
    void ColorChanged() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // Lets OnNodeContextMenu change the menu of Node at Pos (client coordinates); the control's
    // popup menu to begin with, null for none.
    virtual void NodeContextMenu(HTREEITEM Node, POINT& Pos, TPopupMenu*& Menu);
    // The Applications key or Shift+F10: the menu of the selected node at the centre of its text,
    // or, with none, the control's popup menu at its top-left corner.
    virtual void DoPreNodeContextMenu();
    // The menu of Node (null: of the tree itself) at Pos in client coordinates.
    virtual void DoNodeContextMenu(HTREEITEM Node, POINT Pos);
    // Handles a custom-draw notification: the events run on a wrapper of the record, which then
    // writes their choices back.
    void CustomDraw(TMessage& Message);
    // Whether custom-draw notifications are wanted at all (any custom-draw event assigned).
    virtual bool WantsCustomDraw() const { return OnNVCustomDrawEx || OnNVCustomDraw; }
    // After the plain custom-draw events: a derived tree adds its own.
    virtual void NVCustomDrawNode(TNVCustomDraw*, HTREEITEM, LPARAM) {}

private:
    void SetStyleBit(DWORD Bit, bool On);
    void ApplyColor();
    void RightClick();
    void SelectionChanged();
    void PopupAt(TPopupMenu* Menu, POINT Client);
    std::unique_ptr<TNVCustomDraw> FCustomDraw;
    bool FRightClickSelect = false;
    bool FAutoExpand = false;
    int FChangeDelay = 0;
    bool FToolTips = true;
    bool FRowSelect = false;
    bool FHotTrack = false;
    // A menu was shown for the current right click: the menu request that follows it and the
    // popup menu's own handling of the button release show nothing more.
    bool FMenuShown = false;
    // The common control took the button release into its own loop.
    bool FRButtonUpSeen = false;
};

class TNVTreeView : public TNVCustomTreeView {
    ZEL_DECLARE_CLASS(TNVTreeView)
public:
    explicit TNVTreeView(TComponent* AOwner) : TNVCustomTreeView(AOwner) {}
};
