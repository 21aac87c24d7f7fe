#pragma once
// Owner-drawn list boxes with "|"-separated columns and a bold stretch per column, the drop-down
// list that edit controls with buttons open under themselves, and the free-standing drop-down that
// PopupListbox shows under a point of any control (the code editor's completion lists).
#include "framework/core/Win.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/foundation/DrawingUtils.h"
#include "framework/core/Collection.h"
#include "framework/core/Strings.h"
#include "framework/ui/StdCtrls.h"

class THSListBoxColumn : public TCollectionItem {
    ZEL_DECLARE_CLASS(THSListBoxColumn)
public:
    explicit THSListBoxColumn(TCollection* Collection = nullptr) : TCollectionItem(Collection) {}
    void Assign(TPersistent* Source) override;
    // Fixed width in pixels; 0: as wide as the widest entry.
    int32_t ColumnSize = 0;
    TLeftRightAlign Alignment = TLeftRightAlign::lrLeftJustify;
    int32_t GetColumnSize() const { return ColumnSize; }
    void SetColumnSize(int32_t Value) { ColumnSize = Value; }
    TLeftRightAlign GetAlignment() const { return Alignment; }
    void SetAlignment(TLeftRightAlign Value) { Alignment = Value; }
};

class THSListBoxColumns : public TCollection {
    ZEL_DECLARE_CLASS(THSListBoxColumns)
public:
    THSListBoxColumns() : TCollection(THSListBoxColumn::StaticClass()) {}
    THSListBoxColumn* Add() { return static_cast<THSListBoxColumn*>(TCollection::Add()); }
    THSListBoxColumn* Items(int Index) const {
        return static_cast<THSListBoxColumn*>(TCollection::Items(Index));
    }
};

// A list box that, with CustomDraw, draws its items in columns sized to their widest entry.
class THSListBox : public TListBox {
    ZEL_DECLARE_CLASS(THSListBox)
public:
    explicit THSListBox(TComponent* AOwner);
    ~THSListBox() override;

    // Width of S and one blank after it, its bold stretch measured in the bold font.
    int CalcSize(TCanvas& Canvas, const std::string& S);
    TLeftRightAlign ColumnAlign(int Index) const;
    // The fixed width of column Index when it has one, else its computed width (0 when none).
    int ColumnSize(int Index) const;
    bool CustomDraw() const { return FCustomDraw; }
    void SetCustomDraw(bool Value);
    void ResetColumnSize();
    void AssignBold();

    THSListBoxColumns& Columns() { return *FColumns; }
    TFont& BoldFont() { return *FBoldFont; }
    // Computed width of each column seen so far, by column number.
    const std::vector<int32_t>& ColumnWidths() const { return FColumnWidths; }
    int32_t UpdateLock() const { return FUpdateLock; }
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void FontChanged() override;
    virtual void DrawItem(int Index, const RECT& Rect, UINT State);
    // The canvas DrawItem paints on (valid only while an item is drawn).
    TCanvas& ItemCanvas() { return *FCanvas; }

private:
    std::unique_ptr<THSListBoxColumns> FColumns;
    std::unique_ptr<TFont> FBoldFont;
    std::unique_ptr<TCanvas> FCanvas;
    std::vector<int32_t> FColumnWidths;
    int32_t FUpdateLock = 0;
    bool FCustomDraw = false;
};

// The owner a drop-down reports to: an edit control with buttons.
class TDropDownOwner {
public:
    virtual ~TDropDownOwner() = default;
    // Closes the owner's drop-down, taking its value when Accept.
    virtual void CloseDropped(bool Accept) = 0;
    // The drop-down's selection changed.
    virtual void DropDownChanged() = 0;
    // Screen rectangle whose clicks do not count as outside (the control and its buttons).
    virtual RECT DropDownOwnerRect() = 0;
};

// A borderless drop-down list that closes on Enter, Esc or a click and reports to its owner.
class TPopupListBox : public THSListBox {
    ZEL_DECLARE_CLASS(TPopupListBox)
public:
    explicit TPopupListBox(TComponent* AOwner);
    ~TPopupListBox() override;

    virtual void Close(bool Accept);
    virtual void BuildList() {}
    // The value a row stands for (the window text while it is selected), and the row of a value
    // (-1 when none matches exactly).
    virtual std::string ValueOfItem(int Index);
    virtual int IndexOfValue(const std::string& Value);
    // Client height for the item count, 1 to 7 rows.
    void AdjustHeight();
    void ResetItemHeight();
    bool DisplayNames() const { return FDisplayNames; }
    void SetDisplayNames(bool Value);
    int ItemHeightSetting() const { return FItemHeight; }
    TDropDownOwner* DropOwner() const { return FDropOwner; }
    void SetDropOwner(TDropDownOwner* Value) { FDropOwner = Value; }
    // Shows the list topmost at the screen rectangle without activating it; HideDropDown hides it.
    void ShowDropDown(int X, int Y, int W, int H);
    void HideDropDown();
    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void FontChanged() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    bool WantsKey(const MSG& Msg) override;
    int ItemAt(POINT P);
    bool FDisplayNames = false;
    int FItemHeight = 13;
    TDropDownOwner* FDropOwner = nullptr;
};

using TPopupSelectEvent = std::function<void(TObject* Sender, int Index)>;

// The free-standing drop-down: a topmost top-level list that takes its parent control's keys
// while it shows. Closing hides it; its creator frees it.
class THSPopupListBox : public TPopupListBox {
    ZEL_DECLARE_CLASS(THSPopupListBox)
public:
    explicit THSPopupListBox(TComponent* AOwner);
    ~THSPopupListBox() override;

    // Shows the list with its top-left at the screen point (X, Y).
    void Popup(int X, int Y);
    void Close(bool Accept) override;
    void HookParent();
    void UnHookParent();
    void HookProc(TMessage& Message);
    void AppHook(TMessage& Message);

    int32_t MaxWidth = 0;
    TPopupSelectEvent OnSelect;

protected:
    void DestroyWnd() override;

private:
    static LRESULT CALLBACK ParentStub(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void Unhook();
    HWND FHookedWnd = nullptr;
    WNDPROC FParentProc = nullptr;
    bool FAppHooked = false;
};

// Drops Items under (X, Y) of Parent's client area; OnSelect gets the chosen index or -1. The
// returned list has no owner: the caller frees it once OnSelect has run.
THSPopupListBox* PopupListbox(TWinControl* Parent, const TStrings& Items, int X, int Y,
                              const std::vector<TLeftRightAlign>& Aligns, TFont* Font,
                              TPopupSelectEvent OnSelect, int MaxWidth);

// The one drop-down showing now (a list of this unit or an edit's drop-down) and its owner.
TWinControl* ShowingDropDown();
TDropDownOwner* ShowingDropDownOwner();
// Makes Popup the showing drop-down and installs the thread's mouse hook; EndDropDown undoes it.
void BeginDropDown(TWinControl* Popup, TDropDownOwner* Owner);
void EndDropDown(TWinControl* Popup);
