#pragma once
// The platform's list view in report style: columns, rows with sub-items, an image and a data
// pointer each, one selection. The results list of the main window is one; programs outside read
// it through the platform's list-view messages. The rows live in this object and the window asks
// for them as it draws (a virtual list), so filling thousands of rows costs no window traffic.
// It lives with the core because a document record fills and sorts the results list itself.
#include <functional>
#include <string>
#include <vector>

#include "framework/ui/Controls.h"

#include <commctrl.h>

class TImageList;

struct TListColumn {
    std::string Caption;
    int Width = 50;
};

class TListView : public TWinControl {
    ZEL_DECLARE_CLASS(TListView)
public:
    explicit TListView(TComponent* AOwner);
    ~TListView() override;

    // Columns are fixed before the window is made or rebuilt in it at once.
    void SetColumns(const std::vector<TListColumn>& Columns);
    const std::vector<TListColumn>& Columns() const { return FColumns; }
    // The images of the rows (not owned); null for none.
    void SetSmallImages(TImageList* Images);
    TImageList* SmallImages() const { return FSmallImages; }
    // A list that another owner keeps (the system's file icons).
    void SetSmallImageHandle(HIMAGELIST Images);

    int Count() const;
    // Appends a row: Texts[0] is the caption, the rest its sub-items. Returns the row index.
    int Add(const std::vector<std::string>& Texts, void* Data, int ImageIndex = -1);
    void Clear();
    // Between these the window is told the row count once, at the end; emptying the list inside
    // them drops the selection at once.
    void BeginUpdate();
    void EndUpdate();
    std::string ItemText(int Index, int Column) const;
    void* ItemData(int Index) const;
    int ItemImage(int Index) const;
    // The row whose data pointer is Data, or -1.
    int IndexOfData(const void* Data) const;
    // Orders the rows by Compare (negative: A before B); equal rows keep their order. The
    // selection stays on its row.
    void CustomSort(const std::function<int(const void* A, const void* B)>& Compare);

    // -1 when nothing is selected.
    int Selected() const;
    // The row the last click landed on (-1 for empty space), as the click event finds it.
    int ClickedItem() const { return FClickedItem; }
    // Selects a row (or clears the selection with -1) and shows it; the selection event follows.
    void SetSelected(int Index);
    void MakeVisible(int Index);

    bool ReadOnly = true;
    bool RowSelect = true;
    bool HideSelection = false;

    // Row, and whether it became selected (true) or lost the selection (false).
    std::function<void(TObject* Sender, int Index, bool Selected)> OnSelectItem;
    std::function<void(TObject* Sender, int Column)> OnColumnClick;

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;

private:
    // The selected row in the highlight colour whether or not the list has the focus.
    LRESULT CustomDraw(NMLVCUSTOMDRAW& Draw) const;
    struct TRow {
        std::vector<std::string> Texts;
        void* Data;
        int Image;
    };
    void InsertColumns();
    void SyncCount();
    bool GetDisplayInfo(NMHDR* Header);
    std::vector<TListColumn> FColumns;
    std::vector<TRow> FRows;
    TImageList* FSmallImages = nullptr;
    HIMAGELIST FSmallImageHandle = nullptr;
    int FSelected = -1;
    int FClickedItem = -1;
    int FUpdating = 0;
    // Emptied inside an update: the window scrolls back to the first row when the update ends.
    bool FScrollHome = false;
};
