#pragma once
// The platform's list view as a control of its own: view style, an owner-drawn column header with
// a sort arrow, colours, custom drawing through a wrapper object, and item menus from the mouse,
// the Applications key and Shift+F10. The shell list builds on it; TNVListView is the plain
// control.
#include "framework/core/Win.h"

#include <commctrl.h>

#include <functional>
#include <memory>

#include "framework/ui/Controls.h"
#include "framework/ui/Menus.h"
#include "shellcontrols/ListHeaderSort.h"
#include "shellcontrols/ShellCustomDraw.h"

enum class TNVViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

// Posted by the list to itself when its window is made: by the time it arrives the columns that
// the creator adds right away exist, and their header items get the list's header style.
constexpr UINT AMInitStage2 = WM_USER + 100;

// Item is the list item's index, -1 outside the item stages.
using TNVLvCustomDrawEvent = std::function<void(TObject* Sender, TNVCustomDraw* CD, int Item)>;
// Item is the focused item (-1 none); Pos in client coordinates; a handler may move it, swap the
// menu or set it to null (no menu).
using TNVLvOnItemContextMenuEvent =
    std::function<void(TObject* Sender, int Item, POINT& Pos, TPopupMenu*& Menu)>;

class TNVCustomListView : public TWinControl {
    ZEL_DECLARE_CLASS(TNVCustomListView)
public:
    explicit TNVCustomListView(TComponent* AOwner);
    ~TNVCustomListView() override;

    TNVViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TNVViewStyle Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    // The whole row of an item is selected and highlighted, not only its caption.
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    // The column header's sort arrow: the column (from 0, -1 none), its direction and where it is
    // drawn. A display mode other than none needs a common-controls library of 4.70 or later, else
    // it stays none.
    HWND GetHeaderHandle();
    int HeaderSortColumn() const { return FHeaderSortColumn; }
    void SetHeaderSortColumn(int Value);
    TNVLvSortDirection HeaderSortDirection() const { return FHeaderSortDirection; }
    void SetHeaderSortDirection(TNVLvSortDirection Value);
    TNVLvHeaderSortDisplayMode HeaderSortDisplayMode() const { return FHeaderSortDisplayMode; }
    void SetHeaderSortDisplayMode(TNVLvHeaderSortDisplayMode Value);

    void WndProc(TMessage& Message) override;

    // Custom drawing: the Ex event sees every stage, the other only the item pre-paint stage.
    TNVLvCustomDrawEvent OnNVCustomDrawEx;
    TNVLvCustomDrawEvent OnNVCustomDraw;
    TNVLvOnItemContextMenuEvent OnItemContextMenu;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    // The list view paints its background and item text background in the control's colour.
    void ColorChanged() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    // Lets OnItemContextMenu change the menu at Pos (client coordinates) for the selection; the
    // control's popup menu to begin with, null for none.
    virtual void ItemContextMenu(int Item, POINT& Pos, TPopupMenu*& Menu);
    // The menu of the selection at the centre of the focused (or first selected) item's icon, or,
    // with nothing selected, the control's popup menu at Client.
    virtual void DoPreItemContextMenu(POINT Client);
    // The menu of the selection (the focused item's) at Client.
    virtual void DoItemContextMenu(POINT Client);
    // Handles a custom-draw notification: the events run on a wrapper of the record, which then
    // writes their choices back.
    void CustomDraw(TMessage& Message);
    // After the plain custom-draw events: a derived list adds its own.
    virtual void NVCustomDrawItem(TNVCustomDraw*, int, LPARAM) {}
    // Owner-draws the header items when a sort arrow is shown, else leaves them to the header.
    void SetHeaderODStyle();

private:
    void ApplyColor();
    void ApplyExtendedStyle();
    void PopupAt(TPopupMenu* Menu, POINT Client);
    void InvalidateHeaderItem(int Column);
    bool DrawHeaderItem(const DRAWITEMSTRUCT& Item);

    TNVViewStyle FViewStyle = TNVViewStyle::vsReport;
    bool FMultiSelect = false;
    bool FRowSelect = false;
    bool FHotTrack = false;
    // A menu was shown for the current right click: the menu request that follows it and the
    // popup menu's own handling of the button release show nothing more.
    bool FMenuShown = false;
    int FHeaderSortColumn = -1;
    TNVLvSortDirection FHeaderSortDirection = TNVLvSortDirection::nvsdAsc;
    TNVLvHeaderSortDisplayMode FHeaderSortDisplayMode = TNVLvHeaderSortDisplayMode::nvlvRightOfText;
    int FHeaderStyleGuard = 0;
    std::unique_ptr<TCanvas> FHeaderCanvas;
    std::unique_ptr<TNVCustomDraw> FCustomDraw;
};

class TNVListView : public TNVCustomListView {
    ZEL_DECLARE_CLASS(TNVListView)
public:
    explicit TNVListView(TComponent* AOwner) : TNVCustomListView(AOwner) {}
};
