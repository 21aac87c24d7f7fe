#include "framework/ui/Menus.h"

#include <algorithm>
#include <array>
#include <map>

#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"

ZEL_DEFINE_CLASS(TMenuItem, TComponent, {})
ZEL_DEFINE_CLASS(TMenu, TComponent, {})
ZEL_DEFINE_CLASS(TMainMenu, TMenu, {})
ZEL_DEFINE_CLASS(TPopupMenu, TMenu, {})

namespace {

std::map<UINT, TMenuItem*>& CommandMap() {
    static std::map<UINT, TMenuItem*> Map;
    return Map;
}
std::map<HMENU, TMenuItem*>& SubMenuMap() {
    static std::map<HMENU, TMenuItem*> Map;
    return Map;
}
UINT NextCommand = 100;

struct TKeyName {
    WORD Key;
    const char* Name;
};
const TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},  {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

std::string AskKeyName(WORD Key) {
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return std::string(1, static_cast<char>(Key));
    if (Key >= VK_F1 && Key <= VK_F24)
        return "F" + IntToStr(Key - VK_F1 + 1);
    for (const auto& K : KeyNames)
        if (K.Key == Key)
            return K.Name;
    // Punctuation keys: the character the key types.
    UINT Ch = MapVirtualKeyA(Key, MAPVK_VK_TO_CHAR) & 0x7FFF;
    if (Ch >= 32 && Ch < 127)
        return std::string(1, static_cast<char>(Ch));
    return std::string();
}

// Every key's name under the keyboard layout in use, made once per layout: shortcuts are named and
// read by the hundred while menus and key maps are built, and asking the system for a punctuation
// key's character each time was the larger part of that.
const std::array<std::string, 256>& KeyNamesNow() {
    static std::array<std::string, 256> Names;
    static HKL Layout = nullptr;
    static bool Made = false;
    HKL Now = GetKeyboardLayout(0);
    if (!Made || Now != Layout) {
        for (WORD Key = 0; Key < 256; ++Key)
            Names[Key] = AskKeyName(Key);
        Layout = Now;
        Made = true;
    }
    return Names;
}

const std::string& KeyName(WORD Key) {
    return KeyNamesNow()[Key & 0xFF];
}

} // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if (Key & 0xFF00)
        return scNone;
    TShortCut Result = Key;
    if (Shift & ssShift)
        Result |= scShift;
    if (Shift & ssCtrl)
        Result |= scCtrl;
    if (Shift & ssAlt)
        Result |= scAlt;
    return Result;
}

void ShortCutToKey(TShortCut Value, WORD& Key, TShiftState& Shift) {
    Key = Value & 0xFF;
    Shift = 0;
    if (Value & scShift)
        Shift |= ssShift;
    if (Value & scCtrl)
        Shift |= ssCtrl;
    if (Value & scAlt)
        Shift |= ssAlt;
}

std::string ShortCutToText(TShortCut Value) {
    const std::string& Name = KeyName(Value & 0xFF);
    if (Name.empty())
        return std::string();
    std::string Result;
    if (Value & scShift)
        Result += "Shift+";
    if (Value & scCtrl)
        Result += "Ctrl+";
    if (Value & scAlt)
        Result += "Alt+";
    return Result + Name;
}

TShortCut TextToShortCut(const std::string& Text) {
    std::string Rest = Text;
    TShortCut Mods = 0;
    for (;;) {
        bool Found = false;
        for (auto [Prefix, Bit] :
             {std::pair<const char*, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
            size_t L = std::char_traits<char>::length(Prefix);
            if (Rest.size() > L && SameText(Rest.substr(0, L), Prefix)) {
                Mods |= Bit;
                Rest = Rest.substr(L);
                Found = true;
            }
        }
        if (!Found)
            break;
    }
    const std::array<std::string, 256>& Names = KeyNamesNow();
    for (int Key = 8; Key < 256; ++Key)
        if (!Names[Key].empty() && SameText(Names[Key], Rest))
            return static_cast<TShortCut>(Key | Mods);
    return scNone;
}

// --- TMenuItem ----------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
    FCommand = NextCommand++;
    CommandMap()[FCommand] = this;
}

TMenuItem::~TMenuItem() {
    while (!FItems.empty())
        delete FItems.back();
    if (FParent)
        FParent->Remove(this);
    CommandMap().erase(FCommand);
    if (FHandle) {
        SubMenuMap().erase(FHandle);
        DestroyMenu(FHandle);
    }
}

std::string TMenuItem::DisplayText() const {
    std::string S = FCaption;
    if (FShortCut != scNone)
        S += "\t" + ShortCutToText(FShortCut);
    return S;
}

void TMenuItem::SetCaption(const std::string& Value) {
    if (Value == FCaption)
        return;
    FCaption = Value;
    MenuChanged();
}
void TMenuItem::SetShortCut(TShortCut Value) {
    if (Value == FShortCut)
        return;
    FShortCut = Value;
    MenuChanged();
}
void TMenuItem::SetChecked(bool Value) {
    if (Value == FChecked)
        return;
    FChecked = Value;
    // Checking a radio item unchecks the others of its group.
    if (Value && FRadioItem && FParent)
        for (TMenuItem* I : FParent->FItems)
            if (I != this && I->FRadioItem && I->FGroupIndex == FGroupIndex && I->FChecked) {
                I->FChecked = false;
                I->MenuChanged();
            }
    MenuChanged();
}
void TMenuItem::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    MenuChanged();
}
void TMenuItem::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    MenuChanged();
}
void TMenuItem::SetRadioItem(bool Value) {
    if (Value == FRadioItem)
        return;
    FRadioItem = Value;
    MenuChanged();
}
void TMenuItem::SetDefault(bool Value) {
    if (Value == FDefault)
        return;
    FDefault = Value;
    MenuChanged();
}

void TMenuItem::Add(TMenuItem* Item) {
    Insert(Count(), Item);
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item || Item->FParent)
        throw EInvalidOperation("Menu inserted twice");
    if (Index < 0 || Index > Count())
        throw EListError(Format(SListIndexError, Index));
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    RebuildHandle();
}

void TMenuItem::Remove(TMenuItem* Item) {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    if (It == FItems.end())
        return;
    FItems.erase(It);
    Item->FParent = nullptr;
    RebuildHandle();
}

void TMenuItem::Delete(int Index) {
    if (Index < 0 || Index >= Count())
        throw EListError(Format(SListIndexError, Index));
    Remove(FItems[static_cast<size_t>(Index)]);
}

void TMenuItem::Clear() {
    while (!FItems.empty())
        delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

TMenuItem* TMenuItem::FindShortCut(TShortCut Value) {
    if (Value == scNone)
        return nullptr;
    for (TMenuItem* I : FItems) {
        if (!I->FVisible)
            continue;
        if (I->FShortCut == Value && I->FEnabled)
            return I;
        if (TMenuItem* Sub = I->FindShortCut(Value))
            return Sub;
    }
    return nullptr;
}

HMENU TMenuItem::Handle() {
    if (!FHandle) {
        FHandle = CreatePopupMenu();
        SubMenuMap()[FHandle] = this;
        FillMenu(FHandle);
    }
    return FHandle;
}

void TMenuItem::FillMenu(HMENU Menu) {
    for (TMenuItem* I : FItems) {
        if (!I->FVisible)
            continue;
        UINT Flags = I->IsLine() ? MF_SEPARATOR : MF_STRING;
        if (!I->FEnabled)
            Flags |= MF_GRAYED;
        if (I->FChecked)
            Flags |= MF_CHECKED;
        std::string Text = I->DisplayText();
        if (!I->FItems.empty())
            AppendMenuA(Menu, Flags | MF_POPUP, reinterpret_cast<UINT_PTR>(I->Handle()), Text.c_str());
        else
            AppendMenuA(Menu, Flags, I->FCommand, I->IsLine() ? nullptr : Text.c_str());
        if (I->FRadioItem && I->FChecked) {
            MENUITEMINFOA MII{};
            MII.cbSize = sizeof(MII);
            MII.fMask = MIIM_FTYPE;
            MII.fType = MFT_RADIOCHECK;
            SetMenuItemInfoA(Menu, static_cast<UINT>(GetMenuItemCount(Menu) - 1), TRUE, &MII);
        }
        if (I->FDefault)
            SetMenuDefaultItem(Menu, static_cast<UINT>(GetMenuItemCount(Menu) - 1), TRUE);
    }
}

void TMenuItem::RebuildHandle() {
    if (FHandle) {
        // RemoveMenu leaves the submenus alive; they belong to the child items.
        while (GetMenuItemCount(FHandle) > 0)
            RemoveMenu(FHandle, 0, MF_BYPOSITION);
        FillMenu(FHandle);
    }
    MenuChanged();
}

void TMenuItem::MenuChanged() {
    if (FParent) {
        if (FParent->FHandle) {
            while (GetMenuItemCount(FParent->FHandle) > 0)
                RemoveMenu(FParent->FHandle, 0, MF_BYPOSITION);
            FParent->FillMenu(FParent->FHandle);
        }
        // Higher levels hold the parent's submenu by its handle, which stays: only the bar itself
        // (the root's level) has more to do.
        if (!FParent->FParent)
            FParent->MenuChanged();
        return;
    }
    // The root: its menu object (our owner) redraws the bar.
    if (auto* M = dynamic_cast<TMenu*>(Owner()))
        if (M->Items() == this)
            M->MenuChanged();
}

void TMenuItem::Click() {
    DoEvent(OnClick, this);
}

void TMenuItem::InitPopup() {
    DoEvent(OnClick, this);
}

TMenuItem* TMenuItem::FindByCommand(UINT Command) {
    auto It = CommandMap().find(Command);
    return It == CommandMap().end() ? nullptr : It->second;
}

TMenuItem* TMenuItem::FindBySubMenu(HMENU Menu) {
    auto It = SubMenuMap().find(Menu);
    return It == SubMenuMap().end() ? nullptr : It->second;
}

// --- TMenu --------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(nullptr) {
    FItems = new TMenuItem(this);
}

TMenu::~TMenu() {
    // The root item is owned by this component and goes with the owned components; make sure it
    // goes before the handle of a main menu is destroyed.
}

bool TMenu::IsShortCut(WORD Key, TShiftState Shift) {
    TMenuItem* Item = FItems->FindShortCut(::ShortCut(Key, Shift & (ssShift | ssCtrl | ssAlt)));
    if (!Item)
        return false;
    Item->Click();
    return true;
}

// --- TMainMenu ----------------------------------------------------------------------------------

TMainMenu::~TMainMenu() {
    if (FHandle) {
        for (int I = 0; Screen && I < Screen->FormCount(); ++I) {
            TCustomForm* F = Screen->Forms(I);
            if (F->HandleAllocated() && GetMenu(F->Handle()) == FHandle)
                ::SetMenu(F->Handle(), nullptr);
        }
        while (GetMenuItemCount(FHandle) > 0)
            RemoveMenu(FHandle, 0, MF_BYPOSITION);
        DestroyMenu(FHandle);
    }
}

HMENU TMainMenu::Handle() {
    if (!FHandle) {
        FHandle = CreateMenu();
        MenuChanged();
    }
    return FHandle;
}

void TMainMenu::MenuChanged() {
    if (!FHandle)
        return;
    while (GetMenuItemCount(FHandle) > 0)
        RemoveMenu(FHandle, 0, MF_BYPOSITION);
    FItems->FillMenu(FHandle);
    // A hidden window draws its bar when it shows; redrawing it now costs a frame change.
    for (int I = 0; Screen && I < Screen->FormCount(); ++I) {
        TCustomForm* F = Screen->Forms(I);
        if (F->HandleAllocated() && IsWindowVisible(F->Handle()) && GetMenu(F->Handle()) == FHandle)
            DrawMenuBar(F->Handle());
    }
}

// --- TPopupMenu ---------------------------------------------------------------------------------

void TPopupMenu::Popup(int X, int Y) {
    DoEvent(OnPopup, this);
    HWND Wnd = GetActiveWindow();
    if (auto* C = dynamic_cast<TControl*>(PopupComponent))
        if (TCustomForm* F = C->GetParentForm())
            Wnd = F->Handle();
    UINT Cmd =
        static_cast<UINT>(TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON, X, Y, 0, Wnd, nullptr));
    if (Cmd)
        if (TMenuItem* Item = TMenuItem::FindByCommand(Cmd))
            Item->Click();
}
