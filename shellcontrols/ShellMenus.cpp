#include "shellcontrols/ShellMenus.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "framework/core/SysUtils.h"
#include "framework/ui/Dialogs.h"
#include "shellcontrols/ShellTexts.h"
#include "shellcontrols/ShellUtils.h"

namespace {

std::string KeyText(WORD Code) {
    switch (Code) {
    case 8:
        return "BkSp";
    case 9:
        return "Tab";
    case 13:
        return "Enter";
    case 27:
        return "Esc";
    case 45:
        return "Ins";
    case 46:
        return "Del";
    default:
        break;
    }
    static const char* const Moves[] = {"Space", "PgUp", "PgDn",  "End", "Home",
                                        "Left",  "Up",   "Right", "Down"};
    if (Code >= 32 && Code <= 40)
        return Moves[Code - 32];
    if ((Code >= 48 && Code <= 57) || (Code >= 65 && Code <= 90))
        return std::string(1, static_cast<char>(Code));
    if (Code >= 96 && Code <= 105)
        return std::string(1, static_cast<char>('0' + Code - 96));
    if (Code >= 112 && Code <= 135)
        return "F" + std::to_string(Code - 111);
    return "#" + std::to_string(Code);
}

bool TakePrefix(std::string& S, const std::string& Prefix) {
    if (S.size() >= Prefix.size() && SameText(S.substr(0, Prefix.size()), Prefix)) {
        S.erase(0, Prefix.size());
        return true;
    }
    return false;
}

struct TKeyEntry {
    uint16_t TextId;
    TShortCut ShortCut;
};
TKeyEntry GKeys[] = {{nvshell::SShKey_SelectAll, 0}, {nvshell::SShKey_Delete, 0},
                     {nvshell::SShKey_Copy, 0},      {nvshell::SShKey_Cut, 0},
                     {nvshell::SShKey_Paste, 0},     {nvshell::SShKey_Refresh, 0},
                     {nvshell::SShKey_Edit, 0}};
bool GKeysRead = false;

std::vector<TNVSendToEntry>* GSendTo = nullptr;

std::string CommandVerb(IContextMenu* Menu, UINT Offset) {
    char Buffer[262] = {};
    if (FAILED(Menu->GetCommandString(Offset, GCS_VERBA, nullptr, Buffer, 261)))
        return std::string();
    return std::string(Buffer, strnlen(Buffer, 261));
}

} // namespace

std::string NVShortCutToText(TShortCut ShortCut) {
    std::string Text = KeyText(static_cast<WORD>(ShortCut & 0xFF));
    if (Text.empty())
        return Text;
    std::string Prefix;
    if (ShortCut & scShift)
        Prefix += "Shift+";
    if (ShortCut & scCtrl)
        Prefix += "Ctrl+";
    if (ShortCut & scAlt)
        Prefix += "Alt+";
    return Prefix + Text;
}

TShortCut NVTextToShortCut(const std::string& Text) {
    std::string Rest = Text;
    TShortCut Mods = 0;
    for (;;) {
        if (TakePrefix(Rest, "Shift+"))
            Mods |= scShift;
        else if (TakePrefix(Rest, "Ctrl+") || TakePrefix(Rest, "^"))
            Mods |= scCtrl;
        else if (TakePrefix(Rest, "Alt+"))
            Mods |= scAlt;
        else
            break;
    }
    for (WORD Code = 8; Code <= 597; ++Code)
        if (SameText(KeyText(static_cast<WORD>(Code & 0xFF)), Rest))
            return static_cast<TShortCut>(Mods | (Code & 0xFF));
    return 0;
}

bool NVIsContextMenuKey(WORD Key, TShiftState Shift) {
    const TShiftState Mods = Shift & (ssShift | ssCtrl | ssAlt);
    return (Key == VK_APPS && Mods == 0) || (Key == VK_F10 && Mods == ssShift);
}

bool NVRightButtonReleaseTaken(HWND Wnd) {
    MSG M;
    return !(GetAsyncKeyState(VK_RBUTTON) & 0x8000) &&
           !PeekMessageA(&M, Wnd, WM_RBUTTONUP, WM_RBUTTONUP, PM_NOREMOVE | PM_NOYIELD);
}

TNVShellKey NVMatchShellKey(WORD Key, TShiftState Shift) {
    if (!GKeysRead) {
        for (TKeyEntry& E : GKeys)
            E.ShortCut = NVTextToShortCut(NVResStr(E.TextId));
        GKeysRead = true;
    }
    TShortCut Pressed = ShortCut(Key, Shift & (ssShift | ssCtrl | ssAlt));
    if (Pressed == 0)
        return TNVShellKey::None;
    for (size_t I = 0; I < std::size(GKeys); ++I)
        if (GKeys[I].ShortCut == Pressed)
            return static_cast<TNVShellKey>(I);
    // Shift+Del deletes too.
    if ((Pressed & scShift) && static_cast<TShortCut>(Pressed & ~scShift) == GKeys[1].ShortCut)
        return TNVShellKey::Delete;
    return TNVShellKey::None;
}

HRESULT GetShellContextMenu(HWND Window, IShellFolder* Folder, const std::vector<LPCITEMIDLIST>& Items,
                            HMENU& Menu, TComPtr<IContextMenu>& ContextMenu, UINT Flags, UINT FirstCommand) {
    Menu = nullptr;
    ContextMenu.Reset();
    if (!Folder || Items.empty())
        return E_INVALIDARG;
    std::vector<LPCITEMIDLIST> List = Items;
    HRESULT R = Folder->GetUIObjectOf(Window, static_cast<UINT>(List.size()), List.data(), IID_IContextMenu,
                                      nullptr, ContextMenu.PutVoid());
    if (FAILED(R))
        return R;
    Menu = CreatePopupMenu();
    if (!Menu)
        return E_OUTOFMEMORY;
    R = ContextMenu->QueryContextMenu(Menu, 0, FirstCommand, NVLastShellCommand, Flags);
    if (FAILED(R)) {
        DestroyMenu(Menu);
        Menu = nullptr;
        ContextMenu.Reset();
        NVOleCheck(R);
    }
    return S_OK;
}

HRESULT InvokeCommandByOffset(HWND Window, IContextMenu* ContextMenu, UINT Offset) {
    if (!ContextMenu)
        return E_INVALIDARG;
    CMINVOKECOMMANDINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.hwnd = Window;
    Info.lpVerb = MAKEINTRESOURCEA(Offset);
    Info.nShow = SW_SHOWNORMAL;
    return ContextMenu->InvokeCommand(&Info);
}

int NVFindVerbOffset(IContextMenu* ContextMenu, const std::string& Verb) {
    if (!ContextMenu || Verb.empty())
        return -1;
    HMENU Menu = CreatePopupMenu();
    if (!Menu)
        return -1;
    struct TMenuGuard {
        HMENU M;
        ~TMenuGuard() { DestroyMenu(M); }
    } Guard{Menu};
    NVOleCheck(ContextMenu->QueryContextMenu(Menu, 0, NVFirstShellCommand, NVLastShellCommand, CMF_EXPLORE));
    int Count = GetMenuItemCount(Menu);
    for (int I = 0; I < Count; ++I) {
        UINT Id = GetMenuItemID(Menu, I);
        if (Id == static_cast<UINT>(-1) || Id < NVFirstShellCommand)
            continue;
        if (SameText(CommandVerb(ContextMenu, Id - NVFirstShellCommand), Verb))
            return static_cast<int>(Id - NVFirstShellCommand);
    }
    return -1;
}

HRESULT InvokeVerb(HWND Window, IContextMenu* ContextMenu, const std::string& Verb) {
    if (!ContextMenu || Verb.empty())
        return E_INVALIDARG;
    int Offset = NVFindVerbOffset(ContextMenu, Verb);
    if (Offset >= 0)
        return InvokeCommandByOffset(Window, ContextMenu, static_cast<UINT>(Offset));
    CMINVOKECOMMANDINFO Info{};
    Info.cbSize = sizeof(Info);
    Info.hwnd = Window;
    Info.lpVerb = Verb.c_str();
    Info.nShow = SW_SHOWNORMAL;
    return ContextMenu->InvokeCommand(&Info);
}

bool NVIsRenameCommand(IContextMenu* ContextMenu, UINT Command) {
    if (!ContextMenu || Command < NVFirstShellCommand)
        return false;
    return SameText(CommandVerb(ContextMenu, Command - NVFirstShellCommand), "rename");
}

HRESULT NVDoVerbOnItems(HWND Window, IShellFolder* Folder, const std::vector<LPCITEMIDLIST>& Items,
                        const std::string& Verb) {
    if (!Folder || Items.empty())
        return E_INVALIDARG;
    std::vector<LPCITEMIDLIST> List = Items;
    TComPtr<IContextMenu> Menu;
    NVOleCheck(Folder->GetUIObjectOf(Window, static_cast<UINT>(List.size()), List.data(), IID_IContextMenu,
                                     nullptr, Menu.PutVoid()));
    return InvokeVerb(Window, Menu.Get(), Verb);
}

const std::vector<TNVSendToEntry>& NVSendToList() {
    if (!GSendTo) {
        GSendTo = new std::vector<TNVSendToEntry>();
        std::string Folder = ShellGetSpecialFolderPath(nullptr, csidlSendTo);
        WIN32_FIND_DATAA Data;
        HANDLE Find = Folder.empty()
                          ? INVALID_HANDLE_VALUE
                          : FindFirstFileA(EnsureTrailingCharDB(Folder, '\\').append("*").c_str(), &Data);
        if (Find != INVALID_HANDLE_VALUE) {
            do {
                if (Data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN))
                    continue;
                TNVSendToEntry E;
                E.FileName = Data.cFileName;
                E.IconIndex = ShellGetIconIndexFromPath(EnsureTrailingCharDB(Folder, '\\') + E.FileName,
                                                        SHGFI_SMALLICON);
                GSendTo->push_back(E);
            } while (FindNextFileA(Find, &Data));
            FindClose(Find);
        }
        std::sort(GSendTo->begin(), GSendTo->end(), [](const TNVSendToEntry& A, const TNVSendToEntry& B) {
            return AnsiCompareText(A.FileName, B.FileName) < 0;
        });
    }
    return *GSendTo;
}

std::string NVSendToCaption(const std::string& FileName) {
    std::string Ext = ExtractFileExt(FileName);
    return FileName.substr(0, FileName.size() - Ext.size());
}

bool NVShCreateNewFolder(const std::string& Path, std::string& Name) {
    std::string Dir = EnsureTrailingCharDB(Path.empty() ? GetCurrentDir() : Path, '\\');
    auto Warn = [](DWORD Error, const std::string& Attempted) {
        MessageDlg(
            FormatStrPos(NVResStr(nvshell::SUnableToCreateFolder), {SysErrorMessage(Error), Attempted}),
            TMsgDlgType::mtWarning, mbOK);
    };
    const std::string Base = NVResStr(nvshell::SNewFolder);
    for (int Pass = 0; Pass < 2; ++Pass) {
        for (int K = 1; K <= 50; ++K) {
            std::string Candidate;
            if (Pass == 0)
                Candidate = K == 1 ? Base : Base + " (" + std::to_string(K) + ")";
            else
                Candidate = K == 1 ? std::string("fldr") : "fldr" + std::to_string(K);
            if (CreateDirectoryA((Dir + Candidate).c_str(), nullptr)) {
                Name = Candidate;
                return true;
            }
            DWORD Error = GetLastError();
            if (Error != ERROR_ALREADY_EXISTS) {
                Warn(Error, Candidate);
                return false;
            }
        }
    }
    Warn(ERROR_ALREADY_EXISTS, Base);
    return false;
}

// ---- The family's Send To submenu ----

namespace {

// The menu font of the system's non-client metrics, for as long as the object lives.
class TMenuFont {
public:
    TMenuFont() {
        NONCLIENTMETRICSA Metrics{};
        Metrics.cbSize = sizeof(Metrics);
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0))
            FFont = CreateFontIndirectA(&Metrics.lfMenuFont);
    }
    ~TMenuFont() {
        if (FFont)
            DeleteObject(FFont);
    }
    TMenuFont(const TMenuFont&) = delete;
    TMenuFont& operator=(const TMenuFont&) = delete;
    HFONT Get() const { return FFont ? FFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

private:
    HFONT FFont = nullptr;
};

// Keeps a font selected into a device context for the scope.
class TSelectFont {
public:
    TSelectFont(HDC DC, HFONT Font) : FDC(DC), FOld(SelectObject(DC, Font)) {}
    ~TSelectFont() { SelectObject(FDC, FOld); }
    TSelectFont(const TSelectFont&) = delete;
    TSelectFont& operator=(const TSelectFont&) = delete;

private:
    HDC FDC;
    HGDIOBJ FOld;
};

const TNVSendToEntry* EntryOf(ULONG_PTR Data, const std::vector<TNVSendToEntry>& Entries) {
    return Data < Entries.size() ? &Entries[Data] : nullptr;
}

} // namespace

bool NVFillSendToMenu(HMENU Menu, const std::vector<TNVSendToEntry>& Entries) {
    if (!Menu || GetMenuItemCount(Menu) != 1)
        return false;
    MENUITEMINFOA Info{};
    Info.cbSize = sizeof(Info);
    Info.fMask = MIIM_STATE | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(Menu, 0, TRUE, &Info) || !(Info.fState & MFS_GRAYED) || Info.hSubMenu)
        return false;
    DeleteMenu(Menu, 0, MF_BYPOSITION);
    for (size_t I = 0; I < Entries.size() && I + 1 < NVFirstShellCommand; ++I)
        AppendMenuA(Menu, MF_OWNERDRAW, I + 1, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(I)));
    return true;
}

bool NVIsSendToItem(UINT CtlType, ULONG_PTR ItemData, const std::vector<TNVSendToEntry>& Entries) {
    return CtlType == ODT_MENU && ItemData < NVFirstShellCommand && EntryOf(ItemData, Entries);
}

void NVMeasureSendToItem(MEASUREITEMSTRUCT& Item, const std::vector<TNVSendToEntry>& Entries) {
    const TNVSendToEntry* E = EntryOf(Item.itemData, Entries);
    std::string Text = E ? NVSendToCaption(E->FileName) : std::string();
    TMenuFont Font;
    HDC DC = GetDC(nullptr);
    SIZE Size{};
    {
        TSelectFont Select(DC, Font.Get());
        GetTextExtentPoint32A(DC, Text.data(), static_cast<int>(Text.size()), &Size);
    }
    ReleaseDC(nullptr, DC);
    Item.itemWidth = static_cast<UINT>(Size.cx + 32);
    Item.itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU) + 2);
}

void NVDrawSendToItem(const DRAWITEMSTRUCT& Item, const std::vector<TNVSendToEntry>& Entries) {
    const bool HasId = static_cast<int>(Item.itemID) >= 0;
    const bool Selected = HasId && (Item.itemState & ODS_SELECTED);
    TMenuFont Font;
    TSelectFont Select(Item.hDC, Font.Get());
    HBRUSH Back = GetSysColorBrush(Selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    if (!HasId) {
        FillRect(Item.hDC, &Item.rcItem, Back);
        return;
    }
    const TNVSendToEntry* E = EntryOf(Item.itemData, Entries);
    std::string Text = E ? NVSendToCaption(E->FileName) : std::string();
    COLORREF OldText = SetTextColor(Item.hDC, GetSysColor(Selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    COLORREF OldBack = SetBkColor(Item.hDC, GetSysColor(Selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    // Opaque over the whole item, so the background takes the brush colour as well.
    ExtTextOutA(Item.hDC, Item.rcItem.left + 32, Item.rcItem.top + 2, ETO_OPAQUE | ETO_CLIPPED, &Item.rcItem,
                Text.data(), static_cast<UINT>(Text.size()), nullptr);
    SetTextColor(Item.hDC, OldText);
    SetBkColor(Item.hDC, OldBack);
    if (E && E->IconIndex >= 0)
        ImageList_Draw(ShellGetSystemImageList(TNVShellIconSize::nvsizSmall), E->IconIndex, Item.hDC,
                       Item.rcItem.left + 8, Item.rcItem.top + 2, ILD_TRANSPARENT);
}

LRESULT NVSendToMenuChar(HMENU Menu, char Char, const std::vector<TNVSendToEntry>& Entries) {
    int Count = Menu ? GetMenuItemCount(Menu) : 0;
    if (Count <= 0)
        return 0;
    std::vector<char> Firsts(static_cast<size_t>(Count), 0);
    int Highlighted = -1;
    for (int I = 0; I < Count; ++I) {
        MENUITEMINFOA Info{};
        Info.cbSize = sizeof(Info);
        Info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA;
        if (!GetMenuItemInfoA(Menu, static_cast<UINT>(I), TRUE, &Info))
            return 0;
        if (!(Info.fType & MFT_OWNERDRAW) || !NVIsSendToItem(ODT_MENU, Info.dwItemData, Entries))
            return 0;
        std::string Caption = NVSendToCaption(Entries[Info.dwItemData].FileName);
        Firsts[static_cast<size_t>(I)] = Caption.empty() ? 0 : AnsiUpperCase(Caption.substr(0, 1))[0];
        if (Info.fState & MFS_HILITE)
            Highlighted = I;
    }
    const char Wanted = AnsiUpperCase(std::string(1, Char))[0];
    int Found = -1, Matches = 0;
    for (int Step = 1; Step <= Count; ++Step) {
        int I = (Highlighted + Step) % Count;
        if (Firsts[static_cast<size_t>(I)] != Wanted)
            continue;
        if (Found < 0)
            Found = I;
        ++Matches;
    }
    if (Found < 0)
        return 0;
    return MAKELRESULT(Found, Matches > 1 ? MNC_SELECT : MNC_EXECUTE);
}

TNVShellMenuSession::TNVShellMenuSession(IContextMenu* Menu, const std::vector<TNVSendToEntry>* SendTo)
    : FMenu(TComPtr<IContextMenu>::Share(Menu)), FSendTo(SendTo) {
    if (FMenu)
        FMenu2 = FMenu.Query<IContextMenu2>(IID_IContextMenu2);
}

const std::vector<TNVSendToEntry>& TNVShellMenuSession::SendTo() {
    if (!FSendTo)
        FSendTo = &NVSendToList();
    return *FSendTo;
}

bool TNVShellMenuSession::HandleMenuMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MENUSELECT: {
        if (!OnHint)
            return false;
        UINT Id = LOWORD(Message.WParam), Flags = HIWORD(Message.WParam);
        std::string Hint;
        if (FMenu && Id >= NVFirstShellCommand && !(Flags & (MF_POPUP | MF_SYSMENU)) && Flags != 0xFFFF) {
            char Buffer[262] = {};
            if (SUCCEEDED(
                    FMenu->GetCommandString(Id - NVFirstShellCommand, GCS_HELPTEXTA, nullptr, Buffer, 261)))
                Hint.assign(Buffer, strnlen(Buffer, 261));
        }
        OnHint(Hint);
        return false;
    }
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_MENUCHAR:
        break;
    default:
        return false;
    }
    if (FMenu2) {
        if (SUCCEEDED(FMenu2->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam))) {
            Message.Result = Message.Msg == WM_INITMENUPOPUP ? 0 : TRUE;
            return true;
        }
        return false;
    }
    switch (Message.Msg) {
    case WM_INITMENUPOPUP:
        if (HIWORD(Message.LParam) == 0 &&
            NVFillSendToMenu(reinterpret_cast<HMENU>(Message.WParam), SendTo())) {
            Message.Result = 0;
            return true;
        }
        return false;
    case WM_MEASUREITEM: {
        auto* Item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
        if (!NVIsSendToItem(Item->CtlType, Item->itemData, SendTo()))
            return false;
        NVMeasureSendToItem(*Item, SendTo());
        Message.Result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        auto* Item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
        if (!NVIsSendToItem(Item->CtlType, Item->itemData, SendTo()))
            return false;
        NVDrawSendToItem(*Item, SendTo());
        Message.Result = TRUE;
        return true;
    }
    case WM_MENUCHAR: {
        LRESULT Answer = NVSendToMenuChar(reinterpret_cast<HMENU>(Message.LParam),
                                          static_cast<char>(LOWORD(Message.WParam)), SendTo());
        if (!Answer)
            return false;
        Message.Result = Answer;
        return true;
    }
    default:
        return false;
    }
}

UINT NVTrackShellMenu(HWND Owner, HWND Window, IShellFolder* Folder, const std::vector<LPCITEMIDLIST>& Items,
                      UINT Flags, POINT ScreenPt, TComPtr<IContextMenu>& ContextMenu,
                      std::unique_ptr<TNVShellMenuSession>& Session,
                      std::function<void(const std::string& Hint)> OnHint) {
    HMENU Menu = nullptr;
    if (FAILED(GetShellContextMenu(Owner, Folder, Items, Menu, ContextMenu, Flags)) || !Menu)
        return 0;
    struct TMenuGuard {
        HMENU M;
        std::unique_ptr<TNVShellMenuSession>& S;
        ~TMenuGuard() {
            DestroyMenu(M);
            S.reset();
        }
    } Guard{Menu, Session};
    Session = std::make_unique<TNVShellMenuSession>(ContextMenu.Get());
    Session->OnHint = std::move(OnHint);
    return static_cast<UINT>(
        TrackPopupMenu(Menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, ScreenPt.x, ScreenPt.y, 0, Window, nullptr));
}

HRESULT NVSendTo(int Index, IDataObject* Data) {
    const std::vector<TNVSendToEntry>& List = NVSendToList();
    if (Index < 0 || Index >= static_cast<int>(List.size()) || !Data)
        return E_INVALIDARG;
    TNVIdListHolder FolderList;
    HRESULT R = ShellGetSpecialFolderIdList(nullptr, csidlSendTo, *FolderList.Put());
    if (FAILED(R))
        return R;
    TComPtr<IShellFolder> Folder;
    if (FAILED(R = ShellGetFolderFromIdList(FolderList.Get(), Folder)))
        return R;
    std::string Name = List[static_cast<size_t>(Index)].FileName;
    std::wstring W(Name.begin(), Name.end());
    TNVIdListHolder Item;
    ULONG Eaten = 0;
    if (FAILED(R = Folder->ParseDisplayName(nullptr, nullptr, W.data(), &Eaten, Item.Put(), nullptr)))
        return R;
    LPCITEMIDLIST Items[1] = {Item.Get()};
    TComPtr<IDropTarget> Target;
    if (FAILED(R = Folder->GetUIObjectOf(nullptr, 1, Items, IID_IDropTarget, nullptr, Target.PutVoid())))
        return R;
    POINT P;
    GetCursorPos(&P);
    DWORD Effect = DROPEFFECT_COPY;
    if (FAILED(R = Target->DragEnter(Data, MK_LBUTTON, POINTL{P.x, P.y}, &Effect)))
        return R;
    Effect = DROPEFFECT_COPY;
    if (FAILED(R = Target->DragOver(MK_LBUTTON, POINTL{P.x, P.y}, &Effect)))
        return R;
    Effect = DROPEFFECT_COPY;
    return Target->Drop(Data, MK_LBUTTON, POINTL{P.x, P.y}, &Effect);
}
