#include "shellcontrols/ImageCombo.h"

#include <algorithm>

ZEL_DEFINE_CLASS(TNVImageComboItem, TObject, {})
ZEL_DEFINE_CLASS(TNVCustomImageCombo, TWinControl, {})
ZEL_DEFINE_CLASS(TNVImageCombo, TNVCustomImageCombo, {})

void TNVImageComboItem::Changed() {
    if (FCombo)
        FCombo->Invalidate();
}
void TNVImageComboItem::SetIndent(int Value) {
    FIndent = Value;
    Changed();
}
void TNVImageComboItem::SetImageIndex(int Value) {
    FImageIndex = Value;
    Changed();
}
void TNVImageComboItem::SetOverlayIndex(int Value) {
    FOverlayIndex = Value;
    Changed();
}
void TNVImageComboItem::SetCaption(const std::string& Value) {
    FCaption = Value;
    Changed();
}

TNVCustomImageCombo::TNVCustomImageCombo(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 145, 22);
    SetTabStop(true);
    SetColor(clWindow);
}

TNVCustomImageCombo::~TNVCustomImageCombo() {
    Clear();
}

void TNVCustomImageCombo::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.BaseClassName = "COMBOBOX";
    Params.Style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED;
    Params.Style &= ~static_cast<DWORD>(CBS_HASSTRINGS);
    // The drop-down list's height comes from the window's height at creation.
    Params.Height = 22 + 18 * FDropDownCount;
}

void TNVCustomImageCombo::SetDropDownCount(int Value) {
    Value = std::max(Value, 1);
    if (Value == FDropDownCount)
        return;
    FDropDownCount = Value;
    if (!HandleAllocated())
        return;
    // A combo box's own height sets the height of its list: the box part, then the rows.
    RECT R{};
    GetWindowRect(FHandle, &R);
    const int Box = static_cast<int>(SendMessageA(FHandle, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) + 6;
    const int Rows = std::max(1, ItemHeight()) * Value + 2;
    SetWindowPos(FHandle, nullptr, 0, 0, R.right - R.left, Box + Rows,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TNVCustomImageCombo::CreateHandleDone() {
    TWinControl::CreateHandleDone();
    SendMessageA(FHandle, CB_SETEXTENDEDUI, 1, 0);
    for (auto& Item : FItems)
        SendMessageA(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Item.get()));
    AutoSize();
}

void TNVCustomImageCombo::Renumber() {
    for (size_t I = 0; I < FItems.size(); ++I)
        FItems[I]->FIndex = static_cast<int>(I);
}

TNVImageComboItem* TNVCustomImageCombo::AddItem(const std::string& Caption, int ImageIndex, int Indent) {
    auto Item = std::make_unique<TNVImageComboItem>(this);
    Item->FCaption = Caption;
    Item->FImageIndex = ImageIndex;
    Item->FIndent = Indent;
    Item->FIndex = ItemCount();
    TNVImageComboItem* Raw = Item.get();
    FItems.push_back(std::move(Item));
    if (HandleAllocated())
        SendMessageA(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Raw));
    return Raw;
}

TNVImageComboItem* TNVCustomImageCombo::GetImageComboItem(int Index) const {
    return Index >= 0 && Index < ItemCount() ? FItems[static_cast<size_t>(Index)].get() : nullptr;
}

void TNVCustomImageCombo::DeleteItem(int Index) {
    if (Index < 0 || Index >= ItemCount())
        return;
    if (HandleAllocated())
        SendMessageA(FHandle, CB_DELETESTRING, static_cast<WPARAM>(Index), 0);
    std::unique_ptr<TNVImageComboItem> Item = std::move(FItems[static_cast<size_t>(Index)]);
    FItems.erase(FItems.begin() + Index);
    Renumber();
    DoEvent(OnDeleteItem, this, Item.get());
}

void TNVCustomImageCombo::Clear() {
    if (HandleAllocated())
        SendMessageA(FHandle, CB_RESETCONTENT, 0, 0);
    std::vector<std::unique_ptr<TNVImageComboItem>> Items = std::move(FItems);
    FItems.clear();
    for (auto& Item : Items)
        DoEvent(OnDeleteItem, this, Item.get());
}

int TNVCustomImageCombo::ItemIndex() {
    return HandleAllocated() ? static_cast<int>(SendMessageA(FHandle, CB_GETCURSEL, 0, 0)) : -1;
}

void TNVCustomImageCombo::SetItemIndex(int Value) {
    if (HandleAllocated())
        SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TNVCustomImageCombo::SetImageList(HIMAGELIST Value) {
    FImageList = Value;
    AutoSize();
    Invalidate();
}

void TNVCustomImageCombo::SetIndentPixels(int Value) {
    if (Value != FIndentPixels) {
        FIndentPixels = Value;
        Invalidate();
    }
}

int TNVCustomImageCombo::ItemHeight() {
    return HandleAllocated() ? static_cast<int>(SendMessageA(FHandle, CB_GETITEMHEIGHT, 0, 0)) : 0;
}

void TNVCustomImageCombo::FontChanged() {
    TWinControl::FontChanged();
    AutoSize();
}

void TNVCustomImageCombo::AutoSize() {
    if (!FAutoSizeHeight || !HandleAllocated())
        return;
    HDC DC = ScreenMeasureDC();
    HGDIOBJ Old = SelectObject(DC, Font().Handle());
    TEXTMETRICA Tm{};
    GetTextMetricsA(DC, &Tm);
    SelectObject(DC, Old);
    int H = std::abs(static_cast<int>(Tm.tmHeight)) + 2;
    int Cx = 0, Cy = 0;
    if (FImageList && ImageList_GetIconSize(FImageList, &Cx, &Cy) && Cy > H)
        H = Cy;
    if (H != ItemHeight()) {
        SendMessageA(FHandle, CB_SETITEMHEIGHT, 0, H);
        SendMessageA(FHandle, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), H);
    }
}

void TNVCustomImageCombo::DrawItem(int Index, const RECT& Rect, UINT State, HDC DC, bool InList) {
    TNVImageComboItem* Item = GetImageComboItem(Index);
    if (!Item)
        return;
    GetItemData(Item);
    const int Level = InList ? Item->Indent() : 0;
    const bool Selected = (State & ODS_SELECTED) != 0;
    HBRUSH Back = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(DC, &Rect, Back);
    DeleteObject(Back);
    int X = FIndentPixels * Level + Rect.left + 2;
    int ImageWidth = 0;
    if (FImageList && Item->ImageIndex() >= 0) {
        int Cx = 0, Cy = 0;
        ImageList_GetIconSize(FImageList, &Cx, &Cy);
        ImageWidth = Cx;
        UINT Style = Selected ? ILD_SELECTED : ILD_NORMAL;
        if (Item->OverlayIndex() >= 0)
            Style |= INDEXTOOVERLAYMASK(Item->OverlayIndex() + 1);
        ImageList_DrawEx(FImageList, Item->ImageIndex(), DC, X, (Rect.top + Rect.bottom - Cy) / 2, 0, 0,
                         ColorToRGB(Color()), Selected ? GetSysColor(COLOR_HIGHLIGHT) : CLR_NONE, Style);
    } else if (FImageList) {
        int Cx = 0, Cy = 0;
        ImageList_GetIconSize(FImageList, &Cx, &Cy);
        ImageWidth = Cx;
    }
    if (Item->Caption().empty())
        return;
    HGDIOBJ OldFont = SelectObject(DC, Font().Handle());
    SIZE Ext{};
    GetTextExtentPoint32A(DC, Item->Caption().c_str(), static_cast<int>(Item->Caption().size()), &Ext);
    int BoxLeft = X + ImageWidth + 4 - 1;
    RECT Box{BoxLeft, Rect.top, BoxLeft + Ext.cx + 3, Rect.bottom};
    COLORREF Fill = Selected ? GetSysColor(COLOR_HIGHLIGHT) : ColorToRGB(Color());
    SetBkColor(DC, Fill);
    SetTextColor(DC, Selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ColorToRGB(Font().Color()));
    ExtTextOutA(DC, Box.left + 1, Box.top + 1, ETO_OPAQUE | ETO_CLIPPED, &Box, Item->Caption().c_str(),
                static_cast<UINT>(Item->Caption().size()), nullptr);
    SelectObject(DC, OldFont);
}

void TNVCustomImageCombo::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case CN_COMMAND:
        switch (HIWORD(Message.WParam)) {
        case CBN_CLOSEUP:
            CloseUp();
            return;
        case CBN_SELENDOK:
            SelEndOk();
            return;
        case CBN_SELENDCANCEL:
            SelEndCancel();
            return;
        case CBN_DROPDOWN:
            DropDown();
            return;
        default:
            break;
        }
        break;
    case CN_DRAWITEM: {
        auto* DI = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (static_cast<int>(DI->itemID) < 0) {
            HBRUSH Back = CreateSolidBrush(ColorToRGB(Color()));
            FillRect(DI->hDC, &DI->rcItem, Back);
            DeleteObject(Back);
        } else {
            DrawItem(static_cast<int>(DI->itemID), DI->rcItem, DI->itemState, DI->hDC,
                     !(DI->itemState & ODS_COMBOBOXEDIT));
        }
        Message.Result = 1;
        return;
    }
    case CN_MEASUREITEM: {
        auto* MI = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        MI->itemHeight = 18;
        Message.Result = 1;
        return;
    }
    default:
        break;
    }
    TWinControl::WndProc(Message);
}
