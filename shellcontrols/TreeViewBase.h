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

    void WndProc(TMessage& Message) override;

    // Custom drawing: the Ex event sees every stage, the other only the item pre-paint stage.
    TNVTvCustomDrawEvent OnNVCustomDrawEx;
    TNVTvCustomDrawEvent OnNVCustomDraw;
    TNVTvOnNodeContextMenuEvent OnNodeContextMenu;

protected:
    void CreateParams(TCreateParams& Params) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // Shows the context menu of Node at Pos (client coordinates): OnNodeContextMenu may change
    // the menu (the control's popup menu to begin with) or drop it.
    virtual void NodeContextMenu(HTREEITEM Node, POINT& Pos, TPopupMenu*& Menu);
    // The Applications key or Shift+F10: the menu of the selected node at the centre of its text,
    // or, with none, the control's popup menu at its top-left corner.
    virtual void DoPreNodeContextMenu();
    // Handles a custom-draw notification: the events run on a wrapper of the record, which then
    // writes their choices back.
    void CustomDraw(TMessage& Message);
    // Whether custom-draw notifications are wanted at all (any custom-draw event assigned).
    virtual bool WantsCustomDraw() const { return OnNVCustomDrawEx || OnNVCustomDraw; }
    // After the plain custom-draw events: a derived tree adds its own.
    virtual void NVCustomDrawNode(TNVCustomDraw*, HTREEITEM, LPARAM) {}

private:
    void ShowNodeMenu(HTREEITEM Node, POINT Client);
    std::unique_ptr<TNVCustomDraw> FCustomDraw;
};

class TNVTreeView : public TNVCustomTreeView {
    ZEL_DECLARE_CLASS(TNVTreeView)
public:
    explicit TNVTreeView(TComponent* AOwner) : TNVCustomTreeView(AOwner) {}
};
