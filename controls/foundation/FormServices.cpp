#include "controls/foundation/FormServices.h"

#include <algorithm>

#include <tlhelp32.h>

#include "controls/foundation/DesignerServices.h"
#include "controls/foundation/PropertyStreams.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/Strings.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Controls.h"
#include "framework/ui/Application.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/Forms.h"
#include "framework/ui/ImgList.h"
#include "framework/ui/Menus.h"
#include "framework/ui/Messages.h"
#include "framework/ui/Screen.h"

int32_t ScreenFormCount() {
    return Screen ? Screen->FormCount() : 0;
}

TCustomForm* ScreenForms(int32_t Index) {
    return Screen && Index >= 0 && Index < Screen->FormCount() ? Screen->Forms(Index) : nullptr;
}

TCustomForm* FindFormWithClass(TClass Class) {
    for (int32_t I = 0; I < ScreenFormCount(); ++I)
        if (ScreenForms(I)->InheritsFrom(Class))
            return ScreenForms(I);
    return nullptr;
}

TCustomForm* FindOrCreateFormWithClass(TClass Class, TComponent* Owner) {
    if (TCustomForm* Form = FindFormWithClass(Class))
        return Form;
    if (!Class || !Class->CanCreate())
        return nullptr;
    TObject* Made = Class->Create(Owner);
    if (auto* Form = dynamic_cast<TCustomForm*>(Made))
        return Form;
    delete Made;
    return nullptr;
}

TObject* GlobalFindObject(const std::string& Name) {
    const size_t Dot = Name.find('.');
    const std::string FormName = Dot == std::string::npos ? Name : Name.substr(0, Dot);
    std::vector<TComponent*> Modules;
    for (int32_t I = 0; I < ScreenFormCount(); ++I)
        Modules.push_back(ScreenForms(I));
    if (Screen)
        for (int I = 0; I < Screen->DataModuleCount(); ++I)
            Modules.push_back(Screen->DataModules(I));
    for (TComponent* Module : Modules) {
        if (SameText(Module->Name(), Name))
            return Module;
        if (Dot != std::string::npos && SameText(Module->Name(), FormName)) {
            std::string Rest = Name.substr(Dot + 1);
            return Module->FindComponent(Rest.substr(0, Rest.find('.')));
        }
    }
    return nullptr;
}

TComponent* GlobalFindCompWithoutDesigned(const std::string& Name) {
    for (int32_t I = 0; I < ScreenFormCount(); ++I)
        if (TCustomForm* Form = ScreenForms(I); SameText(Form->Name(), Name) && !Form->HasState(csDesigning))
            return Form;
    if (Screen)
        for (int I = 0; I < Screen->DataModuleCount(); ++I)
            if (TDataModule* Module = Screen->DataModules(I);
                SameText(Module->Name(), Name) && !Module->HasState(csDesigning))
                return Module;
    return nullptr;
}

bool StreamContainsDataModule(TStream& Stream) {
    const TClass Class = GetClass(GetClassNameFromStream(Stream));
    return Class && Class->InheritsFrom(TDataModule::StaticClass());
}

bool GetFormResourceHandler(TClass Class) {
    const HMODULE Module = GetClassModule(Class);
    return Module && FindResourceA(Module, Class->ClassName().c_str(), MAKEINTRESOURCEA(10)) != nullptr;
}

namespace {
template <class T> T* CreateWithClass(TClass Class) {
    if (!Class || !Class->InheritsFrom(T::StaticClass()) || !Class->CanCreate())
        return nullptr;
    return static_cast<T*>(Class->Create(Application));
}
} // namespace

TCustomForm* CreateFormWithClass(TClass Class) {
    return CreateWithClass<TCustomForm>(Class);
}

TDataModule* CreateDataModuleWithClass(TClass Class) {
    return CreateWithClass<TDataModule>(Class);
}

TDataModule* CreateDataModule() {
    return new TDataModule(nullptr);
}

void SetDesign(TComponent* Component, bool Value) {
    if (Component)
        Component->SetState(csDesigning, Value);
}

TCustomForm* GetPForm(TObject* Obj) {
    if (auto* Control = dynamic_cast<TControl*>(Obj))
        for (TControl* C = Control; C; C = C->Parent())
            if (auto* Form = dynamic_cast<TCustomForm*>(C))
                return Form;
    if (auto* Component = dynamic_cast<TComponent*>(Obj))
        for (TComponent* C = Component; C; C = C->Owner())
            if (auto* Form = dynamic_cast<TCustomForm*>(C))
                return Form;
    return nullptr;
}

TComponent* GetTopOwner(TObject* Obj) {
    if (auto* Component = dynamic_cast<TComponent*>(Obj))
        for (TComponent* C = Component; C; C = C->Owner())
            if (auto* Module = dynamic_cast<TDataModule*>(C))
                return Module;
    return GetPForm(Obj);
}

void UpdateEditors(TControl* Control) {
    auto* Win = dynamic_cast<TWinControl*>(Control);
    if (!Win)
        return;
    for (int I = 0; I < Win->ControlCount(); ++I)
        Win->Controls(I)->Perform(HS_UPDATEEDITORS, 0, 0);
}

void RemoveExtraMenuSeparators(TMenuItem* Item) {
    if (!Item)
        return;
    for (int I = Item->Count() - 1; I >= 0; --I) {
        if (I >= Item->Count() || !Item->Items(I)->IsLine())
            continue;
        const bool First = I == 0;
        const bool Last = I == Item->Count() - 1;
        const bool AfterLine = I > 0 && Item->Items(I - 1)->IsLine();
        if (First || Last || AfterLine)
            delete Item->Items(I);
    }
    // Deleting a last separator can leave a new last one; a first one cannot follow from it.
    while (Item->Count() > 0 && Item->Items(Item->Count() - 1)->IsLine())
        delete Item->Items(Item->Count() - 1);
}

void ClearMenuSubItems(TMenuItem* Item, bool Disable) {
    if (!Item)
        return;
    Item->Clear();
    Item->SetEnabled(!Disable);
}

namespace {
bool AllowTabChange(TCustomTabControl* TabControl) {
    bool Allow = true;
    if (TabControl->OnChanging)
        TabControl->OnChanging(TabControl, Allow);
    return Allow;
}
} // namespace

void ChangeTab(TCustomTabControl* TabControl, bool Forward) {
    if (auto* Pages = dynamic_cast<TPageControl*>(TabControl)) {
        const int Count = Pages->PageCount();
        if (Count == 0 || !AllowTabChange(Pages))
            return;
        const int Index = Pages->ActivePageIndex();
        Pages->SetActivePageIndex(Forward ? (Index + 1) % Count : (Index <= 0 ? Count : Index) - 1);
        return;
    }
    auto* Tabs = dynamic_cast<TTabControl*>(TabControl);
    if (!Tabs)
        return;
    const int Count = static_cast<int>(Tabs->Tabs().size());
    if (Count == 0 || !AllowTabChange(Tabs))
        return;
    const int Index = Tabs->TabIndex();
    Tabs->SetTabIndex(Forward ? (Index + 1) % Count : (Index <= 0 ? Count : Index) - 1);
    if (Tabs->OnChange)
        Tabs->OnChange(Tabs);
}

ZEL_DEFINE_CLASS(THSTabControl, TTabControl, {})

void THSTabControl::WndProc(TMessage& Message) {
    if (Message.Msg == CM_DIALOGKEY && Message.WParam == VK_TAB && HandleAllocated()) {
        const TShiftState Shift = KeyDataToShiftState(Message.LParam);
        HWND Focus = GetFocus();
        if ((Shift & ssCtrl) && !(Shift & ssAlt) && Focus &&
            (Focus == Handle() || IsChild(Handle(), Focus))) {
            ChangeTab(this, !(Shift & ssShift));
            Message.Result = 1;
            return;
        }
    }
    TTabControl::WndProc(Message);
}

ZEL_DEFINE_CLASS(THSSpeedButton, TSpeedButton, {})

THSSpeedButton::THSSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner), FGlyphChanged(Glyph().OnChange) {
    Glyph().OnChange = [this](TBitmap* Sender) {
        DoEvent(FGlyphChanged, Sender);
        Sender->Dormant();
    };
}

void AddNewTab(TTabControl* TabControl, const std::string& Caption) {
    if (!TabControl)
        return;
    std::vector<std::string> Tabs = TabControl->Tabs();
    for (size_t I = 0; I < Tabs.size(); ++I)
        if (SameText(Tabs[I], Caption)) {
            TabControl->SetTabIndex(static_cast<int>(I));
            return;
        }
    Tabs.push_back(Caption);
    TabControl->SetTabs(Tabs);
    TabControl->SetTabIndex(static_cast<int>(Tabs.size()) - 1);
}

void MovePages(TPageControl* Source, TPageControl* Dest) {
    if (!Source || !Dest || Source == Dest)
        return;
    while (Source->PageCount() > 0)
        Source->Pages(0)->SetPageControl(Dest);
}

bool CheckFileExt(const std::string& FileName, const std::string& Ext) {
    auto Plain = [](std::string S) {
        S.erase(std::remove(S.begin(), S.end(), '.'), S.end());
        return S;
    };
    return SameText(Plain(ExtractFileExt(FileName)), Plain(Ext));
}

bool FileIsPackage(const std::string& FileName) {
    return CheckFileExt(FileName, "BPL") || CheckFileExt(FileName, "DPL");
}

void ModulesToList(std::vector<HMODULE>& List) {
    List.clear();
    List.push_back(GetModuleHandleA(nullptr));
    HANDLE Snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (Snapshot == INVALID_HANDLE_VALUE)
        return;
    TScopeGuard Close([&] { CloseHandle(Snapshot); });
    MODULEENTRY32 Entry{};
    Entry.dwSize = sizeof Entry;
    for (BOOL More = Module32First(Snapshot, &Entry); More; More = Module32Next(Snapshot, &Entry))
        if (Entry.hModule != List.front())
            List.push_back(Entry.hModule);
}

void GetLoadedPackagesPaths(TStrings* Strings) {
    if (!Strings)
        return;
    std::vector<HMODULE> Modules;
    ModulesToList(Modules);
    for (HMODULE M : Modules) {
        char Path[MAX_PATH];
        const DWORD N = GetModuleFileNameA(M, Path, MAX_PATH);
        if (N > 0 && FileIsPackage(std::string(Path, N)))
            Strings->Add(std::string(Path, N));
    }
}

void CreateBrushPatternEx(TBitmap* Bitmap, TColor Back, TColor Fore) {
    if (!Bitmap)
        return;
    Bitmap->SetSize(8, 8);
    HDC DC = Bitmap->Canvas().Handle();
    const COLORREF B = ColorToRGB(Back), F = ColorToRGB(Fore);
    for (int Y = 0; Y < 8; ++Y)
        for (int X = 0; X < 8; ++X)
            SetPixel(DC, X, Y, (X + Y) % 2 == 0 ? F : B);
}

void CreateBrushPattern(TBitmap* Bitmap) {
    CreateBrushPatternEx(Bitmap, clBtnFace, clBtnHighlight);
}

void StretchBltTransparent(HDC Dest, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH,
                           TColor TransparentColor) {
    if (!Dest || !Src || W <= 0 || H <= 0 || SW <= 0 || SH <= 0)
        return;
    HDC MaskDC = CreateCompatibleDC(Dest);
    HBITMAP Mask = CreateBitmap(SW, SH, 1, 1, nullptr);
    if (!MaskDC || !Mask) {
        if (Mask)
            DeleteObject(Mask);
        if (MaskDC)
            DeleteDC(MaskDC);
        return;
    }
    TScopeGuard Free([&] {
        DeleteDC(MaskDC);
        DeleteObject(Mask);
    });
    HGDIOBJ OldMask = SelectObject(MaskDC, Mask);
    TScopeGuard Deselect([&] { SelectObject(MaskDC, OldMask); });
    // The mask holds 1 where the source has the transparent colour.
    const COLORREF OldSrcBack = SetBkColor(Src, ColorToRGB(TransparentColor));
    BitBlt(MaskDC, 0, 0, SW, SH, Src, SX, SY, SRCCOPY);
    SetBkColor(Src, OldSrcBack);
    const COLORREF OldBack = SetBkColor(Dest, RGB(255, 255, 255));
    const COLORREF OldText = SetTextColor(Dest, RGB(0, 0, 0));
    const int OldMode = SetStretchBltMode(Dest, COLORONCOLOR);
    // D ^ S, kept only where transparent, then ^ S again: D there, S elsewhere.
    StretchBlt(Dest, X, Y, W, H, Src, SX, SY, SW, SH, SRCINVERT);
    StretchBlt(Dest, X, Y, W, H, MaskDC, 0, 0, SW, SH, SRCAND);
    StretchBlt(Dest, X, Y, W, H, Src, SX, SY, SW, SH, SRCINVERT);
    SetStretchBltMode(Dest, OldMode);
    SetTextColor(Dest, OldText);
    SetBkColor(Dest, OldBack);
}

void CorrectBitmap(TBitmap* Bitmap) {
    if (!Bitmap || Bitmap->Empty())
        return;
    TBitmap Copy;
    Copy.SetSize(Bitmap->Width(), Bitmap->Height());
    Copy.Canvas().Draw(0, 0, *Bitmap);
    Copy.Dormant();
    Bitmap->Assign(Copy);
}

void ResModulesToList(std::vector<HMODULE>& List) {
    std::vector<HMODULE> Modules;
    ModulesToList(Modules);
    List.clear();
    List.push_back(Modules.front());
    for (size_t I = 1; I < Modules.size(); ++I) {
        char Path[MAX_PATH];
        const DWORD N = GetModuleFileNameA(Modules[I], Path, MAX_PATH);
        if (N > 0 && FileIsPackage(std::string(Path, N)))
            List.push_back(Modules[I]);
    }
}

HMODULE FindResourceInstance(const char* Name, const char* Type) {
    if (!Name || !Type)
        return nullptr;
    std::vector<HMODULE> Modules;
    ResModulesToList(Modules);
    for (HMODULE M : Modules)
        if (FindResourceA(M, Name, Type))
            return M;
    return nullptr;
}

bool ChangeImageList(TImageList* ImageList, TBitmap* Bitmap, TColor TransparentColor, int Index) {
    if (!ImageList || !Bitmap || Bitmap->Empty() || Index < 0 || Index >= ImageList->Count())
        return false;
    const int W = ImageList->Width(), H = ImageList->Height();
    // The list draws its images by and-ing the mask and then or-ing the image, so the image must be
    // black wherever the mask is set.
    TBitmap Image;
    Image.SetSize(W, H);
    HDC ImageDC = Image.Canvas().Handle();
    HDC SourceDC = Bitmap->Canvas().Handle();
    BitBlt(ImageDC, 0, 0, W, H, SourceDC, 0, 0, SRCCOPY);
    HBITMAP Mask = CreateBitmap(W, H, 1, 1, nullptr);
    HDC MaskDC = CreateCompatibleDC(ImageDC);
    if (!Mask || !MaskDC) {
        if (Mask)
            DeleteObject(Mask);
        if (MaskDC)
            DeleteDC(MaskDC);
        return false;
    }
    TScopeGuard Free([&] {
        DeleteDC(MaskDC);
        DeleteObject(Mask);
    });
    {
        HGDIOBJ Old = SelectObject(MaskDC, Mask);
        TScopeGuard Deselect([&] { SelectObject(MaskDC, Old); });
        const COLORREF OldBack = SetBkColor(ImageDC, ColorToRGB(TransparentColor));
        BitBlt(MaskDC, 0, 0, W, H, ImageDC, 0, 0, SRCCOPY);
        SetBkColor(ImageDC, OldBack);
        // Colour from a one-bit source: 1 bits take the background colour, 0 bits the text colour.
        const COLORREF OldImageBack = SetBkColor(ImageDC, RGB(255, 255, 255));
        const COLORREF OldImageText = SetTextColor(ImageDC, RGB(0, 0, 0));
        BitBlt(ImageDC, 0, 0, W, H, MaskDC, 0, 0, 0x00220326); // DSna: the image where the mask is 0
        SetTextColor(ImageDC, OldImageText);
        SetBkColor(ImageDC, OldImageBack);
    }
    Image.Dormant();
    Bitmap->Dormant();
    return ImageList_Replace(ImageList->Handle(), Index, Image.Handle(), Mask) != FALSE;
}

namespace {

// Draws through a bitmap of the rectangle's size so that the target never shows a half-drawn
// picture.
template <class Paint>
void DrawThroughBitmap(TCanvas& Canvas, TColor BackColor, const RECT& Rect, Paint&& PaintOn) {
    const int W = Rect.right - Rect.left, H = Rect.bottom - Rect.top;
    if (W <= 0 || H <= 0)
        return;
    TBitmap Temp;
    Temp.SetSize(W, H);
    Temp.Canvas().Brush().SetColor(BackColor);
    Temp.Canvas().FillRect(RECT{0, 0, W, H});
    PaintOn(Temp, W, H);
    BitBlt(Canvas.Handle(), Rect.left, Rect.top, W, H, Temp.Canvas().Handle(), 0, 0, SRCCOPY);
}

} // namespace

void DrawImage(TCanvas& Canvas, TImageList* Image, TColor BackColor, const RECT& Rect, int Index) {
    if (!Image)
        return;
    DrawThroughBitmap(Canvas, BackColor, Rect,
                      [&](TBitmap& Temp, int, int) { Image->Draw(Temp.Canvas(), 0, 0, Index, true); });
}

void DrawImage(TCanvas& Canvas, TBitmap* Image, TColor BackColor, const RECT& Rect) {
    if (!Image)
        return;
    DrawThroughBitmap(Canvas, BackColor, Rect, [&](TBitmap& Temp, int W, int H) {
        if (Image->Empty())
            return;
        HDC Src = Image->Canvas().Handle();
        StretchBltTransparent(Temp.Canvas().Handle(), 0, 0, W, H, Src, 0, 0, Image->Width(), Image->Height(),
                              static_cast<TColor>(GetPixel(Src, 0, 0)));
    });
}

namespace {

bool FormVisible(TCustomForm* Form) {
    return Form && Form->HandleAllocated() && IsWindowVisible(Form->Handle());
}

} // namespace

bool FormIsActive(TCustomForm* Form) {
    if (!FormVisible(Form) || !Screen)
        return false;
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    // The screen keeps its forms in the order they were made; the window manager knows which
    // stands in front.
    for (HWND W = GetTopWindow(nullptr); W; W = GetWindow(W, GW_HWNDNEXT)) {
        for (int32_t I = 0; I < Screen->FormCount(); ++I) {
            TCustomForm* F = Screen->Forms(I);
            if (!F->HandleAllocated() || F->Handle() != W)
                continue;
            if (F == Form)
                return true;
            if (F != Main && FormVisible(F))
                return false;
        }
    }
    return false;
}

void CallCompOnCreate(TComponent* Component) {
    if (auto* Form = dynamic_cast<TCustomForm*>(Component))
        DoEvent(Form->OnCreate, Form);
    else if (auto* Module = dynamic_cast<TDataModule*>(Component))
        DoEvent(Module->OnCreate, Module);
}

void SetFlatPropToAll(TComponent* Owner, bool Flat) {
    if (!Owner)
        return;
    for (int I = 0; I < Owner->ComponentCount(); ++I)
        if (auto* Button = dynamic_cast<TSpeedButton*>(Owner->Components(I)))
            Button->SetFlat(Flat);
}

void SetFlatProp(const std::vector<TSpeedButton*>& Buttons, bool Flat) {
    for (TSpeedButton* Button : Buttons)
        if (Button)
            Button->SetFlat(Flat);
}

namespace {
struct TOptionFormEntry {
    int32_t Order;
    TClass Class;
    std::string Caption;
};
std::vector<TOptionFormEntry>* gOptionForms = nullptr;

std::vector<TOptionFormEntry>& OptionForms() {
    if (!gOptionForms)
        gOptionForms = new std::vector<TOptionFormEntry>;
    return *gOptionForms;
}
} // namespace

void RegisterOptionsFormOrder(TClass Class, int32_t Order, const std::string& Caption) {
    if (!Class)
        return;
    UnregisterOptionsForm(Class);
    auto& L = OptionForms();
    auto It = std::upper_bound(L.begin(), L.end(), Order,
                               [](int32_t O, const TOptionFormEntry& E) { return O < E.Order; });
    L.insert(It, {Order, Class, Caption});
}

void RegisterOptionsForm(TClass Class, const std::string& Caption) {
    const auto& L = OptionForms();
    RegisterOptionsFormOrder(Class, L.empty() ? 0 : L.back().Order + 1, Caption);
}

void UnregisterOptionsForm(TClass Class) {
    if (!gOptionForms)
        return;
    std::erase_if(*gOptionForms, [&](const TOptionFormEntry& E) { return E.Class == Class; });
}

std::vector<TClass> OptionFormClasses() {
    std::vector<TClass> R;
    if (gOptionForms)
        for (const auto& E : *gOptionForms)
            R.push_back(E.Class);
    return R;
}

int32_t OptionFormCount() {
    return gOptionForms ? static_cast<int32_t>(gOptionForms->size()) : 0;
}

TClass OptionFormClass(int32_t Index) {
    return Index >= 0 && Index < OptionFormCount() ? (*gOptionForms)[static_cast<size_t>(Index)].Class
                                                   : nullptr;
}

std::vector<std::string> OptionFormCaptions() {
    std::vector<std::string> R;
    if (gOptionForms)
        for (const auto& E : *gOptionForms)
            R.push_back(E.Caption);
    return R;
}

std::string GetOptionsFormCaption(TClass Class) {
    if (gOptionForms)
        for (const auto& E : *gOptionForms)
            if (E.Class == Class)
                return E.Caption;
    return std::string();
}

void FreeOptionForms() {
    delete gOptionForms;
    gOptionForms = nullptr;
}
