#pragma once
// The platform's list view in report style: columns, rows with sub-items and a data pointer each,
// one selection. The results list of the main window is one; programs outside read it through the
// platform's list-view messages, so it keeps its rows in the window itself.
#include <functional>
#include <string>
#include <vector>

#include "framework/ui/Controls.h"

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

    int Count() const;
    // Appends a row: Texts[0] is the caption, the rest its sub-items. Returns the row index.
    int Add(const std::vector<std::string>& Texts, void* Data);
    void Clear();
    std::string ItemText(int Index, int Column) const;
    void* ItemData(int Index) const;
    // The row whose data pointer is Data, or -1.
    int IndexOfData(const void* Data) const;

    // -1 when nothing is selected.
    int Selected() const;
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
    struct TRow {
        std::vector<std::string> Texts;
        void* Data;
    };
    void InsertColumns();
    void InsertRow(int Index);
    std::vector<TListColumn> FColumns;
    // The rows live here as well, so a list can be filled before its window exists.
    std::vector<TRow> FRows;
    int FSelected = -1;
};
