#pragma once
// The platform's list view in report style with rows as objects: each row is a TListItem that
// keeps its caption, sub-items, data, images, indent and check mark. The items are kept here in
// order and mirrored into the window while it has one; every row of the window holds its item as
// its data.
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Strings.h"
#include "framework/ui/Controls.h"

class TCustomListView;
class TListItems;

class TListItem {
public:
    explicit TListItem(TListItems& Owner);
    TListItem(const TListItem&) = delete;
    TListItem& operator=(const TListItem&) = delete;

    TListItems* Owner() const { return &FOwner; }
    TCustomListView* ListView() const;
    // The item's row, from 0.
    int Index() const;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // The texts of the columns after the first; a change reaches the window.
    TStringList& SubItems() { return FSubItems; }
    const TStringList& SubItems() const { return FSubItems; }
    void* Data() const { return FData; }
    void SetData(void* Value);
    // Indexes into the list view's images; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The state image, shown when the list view has no check boxes.
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int Value);
    int OverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(int Value);
    // In image widths.
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    // The check box's mark, as the user left it; shown when the list view has check boxes.
    bool Checked() const;
    void SetChecked(bool Value);

private:
    friend class TListItems;
    friend class TCustomListView;
    // Puts everything the item shows into row Row of the window (nothing without a window).
    void WriteRow(int Row);
    // Takes the check mark the user may have changed from row Row.
    void ReadCheck(int Row);
    void Changed();

    TListItems& FOwner;
    std::string FCaption;
    TStringList FSubItems;
    void* FData = nullptr;
    int FImageIndex = -1;
    int FStateIndex = -1;
    int FOverlayIndex = -1;
    int FIndent = 0;
    bool FChecked = false;
};

class TListItems {
public:
    explicit TListItems(TCustomListView& Owner) : FOwner(Owner) {}
    TListItems(const TListItems&) = delete;
    TListItems& operator=(const TListItems&) = delete;

    TCustomListView* Owner() const { return &FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index outside 0..Count-1.
    TListItem* Item(int Index) const;
    TListItem* Add() { return Insert(Count()); }
    // Index may be 0..Count.
    TListItem* Insert(int Index);
    // Frees the item.
    void Delete(int Index);
    void Clear();
    // -1 for an item of another list.
    int IndexOf(const TListItem* Item) const;
    // The item at CurIndex goes to NewIndex and stays the same object. In the window its old row
    // lets go of it and a new row at its place takes it, so no row ever holds it twice.
    void Move(int CurIndex, int NewIndex);

private:
    friend class TCustomListView;
    void CheckIndex(int Index, int Last) const;
    // Fills a freshly made window.
    void Refill();
    TCustomListView& FOwner;
    std::vector<std::unique_ptr<TListItem>> FItems;
};

struct TListViewColumn {
    std::string Caption;
    int Width = 50;
};

class TCustomListView : public TWinControl {
    ZEL_DECLARE_CLASS(TCustomListView)
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;

    TListItems& Items() { return *FItems; }
    // The first column shows the captions, the others the sub-items.
    void SetColumns(const std::vector<TListViewColumn>& Columns);
    const std::vector<TListViewColumn>& Columns() const { return FColumns; }
    bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void DestroyWnd() override;

private:
    void InsertColumns();
    std::unique_ptr<TListItems> FItems;
    std::vector<TListViewColumn> FColumns;
    bool FCheckboxes = false;
};
