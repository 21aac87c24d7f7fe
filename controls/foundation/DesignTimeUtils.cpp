#include "controls/foundation/DesignTimeUtils.h"

#include <functional>

#include "controls/foundation/Broadcasts.h"
#include "controls/foundation/DesignerServices.h"
#include "controls/foundation/WindowHooks.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Properties.h"
#include "framework/core/ScopeGuard.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/Application.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Controls.h"
#include "framework/ui/Graphics.h"
#include "framework/ui/ListView.h"
#include "framework/ui/Menus.h"
#include "framework/ui/MessageBox.h"
#include "framework/ui/StdCtrls.h"

bool ToolFormsOnTop = false;

TTabSheet* CreateNewTabSheet(TPageControl* PageControl) {
    if (!PageControl)
        return nullptr;
    auto* Sheet = new TTabSheet(PageControl->Owner());
    Sheet->SetPageControl(PageControl);
    return Sheet;
}

void SetAllTabsVisible(TPageControl* PageControl, bool Visible) {
    if (!PageControl)
        return;
    for (int I = 0; I < PageControl->PageCount(); ++I)
        PageControl->Pages(I)->SetTabVisible(Visible);
}

void SetTabsVisible(TPageControl* PageControl, const std::vector<std::string>& Names, bool Visible) {
    if (!PageControl || !PageControl->Owner())
        return;
    for (const std::string& Name : Names)
        if (auto* Sheet = dynamic_cast<TTabSheet*>(PageControl->Owner()->FindComponent(Name)))
            if (Sheet->PageControl() == PageControl)
                Sheet->SetTabVisible(Visible);
    CorrectActiveTab(PageControl);
}

void CorrectActiveTab(TPageControl* PageControl) {
    if (!PageControl)
        return;
    for (int I = 0; I < PageControl->PageCount(); ++I)
        if (PageControl->Pages(I)->TabVisible()) {
            PageControl->SetActivePageIndex(I);
            return;
        }
}

void DeleteTab(TTabControl* TabControl, const std::string& Caption) {
    if (!TabControl)
        return;
    std::vector<std::string> Tabs = TabControl->Tabs();
    for (size_t I = 0; I < Tabs.size(); ++I)
        if (Tabs[I] == Caption) {
            Tabs.erase(Tabs.begin() + static_cast<std::ptrdiff_t>(I));
            TabControl->SetTabs(Tabs);
            const int Count = static_cast<int>(Tabs.size());
            TabControl->SetTabIndex(static_cast<int>(I) < Count ? static_cast<int>(I) : Count - 1);
            return;
        }
}

void UpdateLabelsEnabled(TCustomForm* Form) {
    if (!Form)
        return;
    for (int I = 0; I < Form->ComponentCount(); ++I)
        if (auto* Label = dynamic_cast<TLabel*>(Form->Components(I)))
            if (TWinControl* Focus = Label->FocusControl())
                Label->SetEnabled(Focus->Enabled());
}

void UpdateDisabledControls(TComponent* Owner) {
    if (!Owner)
        return;
    for (int I = 0; I < Owner->ComponentCount(); ++I)
        if (auto* Control = dynamic_cast<TWinControl*>(Owner->Components(I)))
            if (Control->Parent() && (!Control->Enabled() || !Control->Visible()))
                Control->RecreateWnd();
}

bool IsChildMenu(TMenuItem* Item, TMenu* Menu) {
    if (!Item || !Menu)
        return false;
    while (Item->Parent())
        Item = Item->Parent();
    return Item == Menu->Items();
}

void MoveListItem(TListItem* Item, TListItem* Target, TSourceAttachMode Mode) {
    if (!Item)
        return;
    TListItems& Items = *Item->Owner();
    const bool Before = Mode == TSourceAttachMode::saInsert && Target;
    if (Before && Target->Owner() != &Items)
        throw EInvalidOperation("Cannot move a list item before an item of another list");
    if (Before && Target == Item)
        return;
    const int Old = Item->Index();
    const int New = Before ? Target->Index() : Items.Count();
    // New counts the rows with the item still in them.
    Items.Move(Old, New > Old ? New - 1 : New);
}

TFormStyle ToolsFormStyle() {
    return ToolFormsOnTop ? TFormStyle::fsStayOnTop : TFormStyle::fsNormal;
}

void ShowFormEx(TCustomForm* Form, int ShowCommand) {
    if (!Form)
        return;
    if (!Form->HasState(csDesigning))
        Form->Show();
    ShowWindow(Form->Handle(), ShowCommand);
}

namespace {
void ShowTool(const std::function<void()>& Show) {
    TCustomForm* Active = Screen ? Screen->ActiveForm() : nullptr;
    Show();
    if (Active)
        ShowFormEx(Active, SW_SHOW);
}
} // namespace

bool KeepDesignToolsShown = false;

void ShowObjectInspector() {
    ShowTool([] { ShowInspector(); });
}
void ShowComponentPalette() {
    ShowTool([] { BroadCastToNotifiers(nullptr, HS_SHOWCOMPONENTPALETTE, 0, 0); });
}
void ShowAlignPalette() {
    ShowTool([] { BroadCastToNotifiers(nullptr, HS_SHOWALIGNPALETTE, 0, 0); });
}
void HideObjectInspector() {
    if (!KeepDesignToolsShown)
        HideInspector();
}
void HideComponentPalette() {
    if (!KeepDesignToolsShown)
        BroadCastToNotifiers(nullptr, HS_HIDECOMPONENTPALETTE, 0, 0);
}
void HideAlignPalette() {
    if (!KeepDesignToolsShown)
        BroadCastToNotifiers(nullptr, HS_HIDEALIGNPALETTE, 0, 0);
}

bool IsFormModal(TCustomForm* Form) {
    return Form && Form->ShowingModal();
}

void SetMainForm(TCustomForm* Form) {
    if (!Form || !Application)
        return;
    Form->HandleNeeded();
    Application->SetMainForm(Form);
}

TWinControl* GetVCLControlFromHWND(HWND Handle) {
    return TWinControl::FindControl(Handle);
}

int32_t GetRGBColor(TColor Color) {
    if (Color == clNone)
        return -1;
    if (Color == clDefault)
        return static_cast<int32_t>(0xFF000000u);
    return static_cast<int32_t>(ColorToRGB(Color));
}

uint32_t GetWheelScrollLines() {
    UINT Lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
    return Lines;
}

void GetStringSize(const std::string& Text, TFont* Font, int32_t& Width, int32_t& Height) {
    Width = Height = 0;
    HDC DC = GetDC(nullptr);
    if (!DC)
        return;
    TScopeGuard Release([&] { ReleaseDC(nullptr, DC); });
    HGDIOBJ Old = Font ? SelectObject(DC, Font->Handle()) : nullptr;
    TScopeGuard Restore([&] {
        if (Old)
            SelectObject(DC, Old);
    });
    SIZE Size{};
    GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), &Size);
    TEXTMETRICA Metrics{};
    GetTextMetricsA(DC, &Metrics);
    Width = Size.cx;
    Height = Metrics.tmHeight;
}

void GetSymbolSize(char Symbol, TFont* Font, int32_t& Width, int32_t& Height) {
    GetStringSize(std::string(1, Symbol), Font, Width, Height);
}

int32_t GetSymbolWidth(char Symbol, TFont* Font) {
    int32_t W, H;
    GetSymbolSize(Symbol, Font, W, H);
    return W;
}

int32_t GetSymbolHeight(char Symbol, TFont* Font) {
    int32_t W, H;
    GetSymbolSize(Symbol, Font, W, H);
    return H;
}

void ShowMessageEx(const THSVariant& Value) {
    std::string Text;
    switch (Value.VType) {
    case varString:
    case varOleStr:
        Text = Value.Str;
        break;
    case varBoolean:
        Text = Value.AsBool() ? "True" : "False";
        break;
    case varEmpty:
    case varNull:
        break;
    default:
        Text = Value.IsReal() ? FloatToStr(Value.Real) : std::to_string(Value.Int);
    }
    ShowMessageBox(Text, Application ? Application->Title() : std::string(), MB_OK);
}

void ClearComponent(TComponent* Component) {
    if (!Component)
        return;
    while (Component->ComponentCount() > 0)
        delete Component->Components(Component->ComponentCount() - 1);
    if (auto* Win = dynamic_cast<TWinControl*>(Component))
        while (Win->ControlCount() > 0)
            delete Win->Controls(Win->ControlCount() - 1);
}

void CorrectMemoText(TMemo* Memo) {
    if (!Memo)
        return;
    std::string Text;
    for (char C : Memo->Text())
        if (C != '\r' && C != '\n')
            Text += C == '_' ? std::string("\r\n") : std::string(1, C);
    Memo->SetText(Text);
}

namespace {
TPersistent* TopOwnerOf(TPersistent* Obj) {
    TPersistent* Top = Obj;
    while (TPersistent* Up = Top->GetOwner())
        Top = Up;
    return Top == Obj ? nullptr : Top;
}

void AddUsedModules(TComponent* Root, TComponent* Holder, std::vector<TPersistent*>& List) {
    for (const TPropInfo* Info : GetPropList(Holder)) {
        if (Info->Kind != tkClass)
            continue;
        auto* Value = dynamic_cast<TPersistent*>(GetObjectProp(Holder, Info));
        if (!Value)
            continue;
        TPersistent* Top = TopOwnerOf(Value);
        if (Top && Top != Root)
            List.push_back(Top);
    }
}
} // namespace

void GetUsedModules(TComponent* Root, std::vector<TPersistent*>& List) {
    List.clear();
    if (!Root)
        return;
    AddUsedModules(Root, Root, List);
    for (int I = Root->ComponentCount() - 1; I >= 0; --I) {
        TComponent* C = Root->Components(I);
        if (!C->HasState(csDestroying))
            AddUsedModules(Root, C, List);
    }
}

TPopupMenu* GetControlPopupMenu(TControl* Control) {
    for (TControl* C = Control; C; C = C->Parent())
        if (TPopupMenu* Menu = C->PopupMenu())
            return Menu;
    return nullptr;
}

TAppExceptionObject::TAppExceptionObject() {
    if (Application)
        Application->OnException = [this](TObject* Sender, const std::exception& E) {
            ExceptionEvent(Sender, E);
        };
}

TAppExceptionObject::~TAppExceptionObject() {
    if (Application)
        Application->OnException = nullptr;
}

void TAppExceptionObject::ExceptionEvent(TObject*, const std::exception& E) {
    if (Application)
        Application->ShowException(E);
}

namespace {
TCustomActiveNotifier* gIDENotifier = nullptr;
}

void InitIDENotifier() {
    if (gIDENotifier)
        return;
    gIDENotifier = new TCustomActiveNotifier(nullptr);
    gIDENotifier->OnActivate = [](TObject*) { IDEChanged(); };
}

void FreeIDENotifier() {
    delete gIDENotifier;
    gIDENotifier = nullptr;
}
