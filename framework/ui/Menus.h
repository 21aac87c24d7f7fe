#pragma once
// Main and popup menus, their items and keyboard shortcuts.
#include "framework/core/Win.h"

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/Component.h"
#include "framework/ui/Controls.h"

// A shortcut is a virtual key with modifier bits.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Ctrl+Shift+F3", "Alt+Enter"; "" for scNone.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse; scNone for a text it does not know.
TShortCut TextToShortCut(const std::string& Text);

class TMenu;

class TMenuItem : public TComponent {
    ZEL_DECLARE_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // "-" makes a separator; "&" marks the accelerator.
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value) { FGroupIndex = Value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool IsLine() const { return FCaption == "-"; }

    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    TMenuItem* Parent() const { return FParent; }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    void Remove(TMenuItem* Item);
    void Delete(int Index);
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
    // The item (here or below) with this shortcut that is enabled and visible; nullptr when none.
    TMenuItem* FindShortCut(TShortCut Value);

    // The item's command identifier (unique in the process).
    UINT Command() const { return FCommand; }
    // The platform popup menu of the item's children (made on first need).
    HMENU Handle();
    virtual void Click();
    // Before the item's submenu opens: runs OnClick so that handlers can update the children.
    void InitPopup();

    static TMenuItem* FindByCommand(UINT Command);
    static TMenuItem* FindBySubMenu(HMENU Menu);

    TNotifyEvent OnClick;

private:
    void MenuChanged();
    void RebuildHandle();
    void FillMenu(HMENU Menu);
    std::string DisplayText() const;
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
    std::string FCaption;
    TShortCut FShortCut = scNone;
    bool FChecked = false, FEnabled = true, FVisible = true, FRadioItem = false, FDefault = false;
    int FGroupIndex = 0;
    std::string FHint;
    UINT FCommand = 0;
    HMENU FHandle = nullptr;
    friend class TMenu;
    friend class TMainMenu;
};

class TMenu : public TComponent {
    ZEL_DECLARE_CLASS(TMenu)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    TMenuItem* Items() const { return FItems; }
    virtual HMENU Handle() = 0;
    bool IsShortCut(WORD Key, TShiftState Shift);
    // Rebuilds the platform menu after items changed.
    virtual void MenuChanged() {}

protected:
    TMenuItem* FItems;
};

class TMainMenu : public TMenu {
    ZEL_DECLARE_CLASS(TMainMenu)
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
    ~TMainMenu() override;
    HMENU Handle() override;
    void MenuChanged() override;

private:
    HMENU FHandle = nullptr;
};

class TPopupMenu : public TMenu {
    ZEL_DECLARE_CLASS(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
    HMENU Handle() override { return FItems->Handle(); }
    // Shows the menu at screen point X, Y and runs the chosen item.
    virtual void Popup(int X, int Y);
    bool AutoPopup = true;
    TComponent* PopupComponent = nullptr;
    TNotifyEvent OnPopup;
};
