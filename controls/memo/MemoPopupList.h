#pragma once
// The drop-down list in which the memo offers completions and code templates. The memo knows the
// list only through this interface; the program installs the maker of the real list (the control
// family's popup list box) at start-up, so that this layer needs no other control family.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/ui/Controls.h"

class TStrings;
class TFont;

class TMemoPopupList {
public:
    virtual ~TMemoPopupList() = default;
    virtual bool Visible() const = 0;
    // Hides the list; with Accept the choice callback gets the selected index, else -1.
    virtual void Close(bool Accept) = 0;
    virtual int32_t ItemIndex() const = 0;
    // -1 selects nothing.
    virtual void SetItemIndex(int32_t Index) = 0;
    // The first item that begins with Text (case ignored), from the top of the list; -1 when none.
    virtual int32_t FindPrefix(const std::string& Text) const = 0;
};

struct TMemoPopupListRequest {
    TWinControl* Parent = nullptr;
    const TStrings* Items = nullptr;
    // Top-left corner in the parent's client coordinates.
    POINT At{0, 0};
    bool RightAligned = false;
    int32_t MaxWidth = 0;
    TFont* Font = nullptr;
    // The chosen index, or -1 when the list closed without a choice.
    std::function<void(int32_t Index)> OnSelect;
    // Keys that reach the list while it shows.
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
};

using TMemoPopupListMaker =
    std::function<std::unique_ptr<TMemoPopupList>(const TMemoPopupListRequest& Request)>;
// Returns the maker it replaces. Without a maker the memo opens no list.
TMemoPopupListMaker SetMemoPopupListMaker(TMemoPopupListMaker Maker);
const TMemoPopupListMaker& MemoPopupListMaker();
