#pragma once
// TSpellCheckList: the platform's list view in report style with a check box per row, as the
// spell checker's option and dictionary dialogs show their lists. Each row has a caption, one
// sub-item and a data word.

#include <cstdint>
#include <functional>
#include <string>

#include "framework/ui/Controls.h"

class TSpellCheckList : public TWinControl {
    ZEL_DECLARE_CLASS(TSpellCheckList)
public:
    explicit TSpellCheckList(TComponent* AOwner);

    void AddColumn(const std::string& Caption, int Width);
    void SetColumnWidth(int Column, int Width);
    int ColumnWidth(int Column);
    int Count();
    void Clear();
    int AddItem(const std::string& Caption, const std::string& SubItem, intptr_t Data = 0);
    std::string Caption(int Index);
    std::string SubItem(int Index);
    bool Checked(int Index);
    void SetChecked(int Index, bool Value);
    intptr_t Data(int Index);
    void SetData(int Index, intptr_t Value);

    // Set before the window exists.
    bool ShowColumnHeaders = true;
    bool EditLabels = false;
    bool CheckBoxes = true;
    // Rows kept in caption order; AddItem answers where the row went.
    bool SortByCaption = false;
    int Selected();
    // Selects and focuses the row.
    void Select(int Index);
    // No row selected or focused.
    void SelectNone();
    int Focused();
    void DeleteItem(int Index);
    void SetItemCaption(int Index, const std::string& Value);
    void SetSubItem(int Index, const std::string& Value);
    // The first row whose caption equals Text, without regard to case; -1 when none.
    int FindCaption(const std::string& Text);

    // A row's check box changed (by the user or the program).
    std::function<void(TSpellCheckList* Sender, int Index)> OnCheckChange;
    // A row became selected (Index) or none is (-1).
    std::function<void(TSpellCheckList* Sender, int Index)> OnSelectItem;
    // In-place editing of a caption: Allow may refuse the start; Accept may refuse the new text.
    std::function<void(TSpellCheckList* Sender, int Index, bool& Allow)> OnEditing;
    std::function<void(TSpellCheckList* Sender, int Index, const std::string& Text, bool& Accept)> OnEdited;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandleDone() override;
    void WndProc(TMessage& Message) override;

private:
    bool FPopulating = false;
};
