#pragma once
// Small utilities of the design kit's forms: page controls, tabs, labels, menus, tool forms,
// colours, text measures and a few screen and message helpers.

#include <cstdint>
#include <string>
#include <vector>

#include "controls/foundation/HSVariant.h"
#include "controls/foundation/TreeSource.h"
#include "framework/core/Win.h"
#include "framework/ui/Forms.h"

class TComponent;
class TFont;
class TListItem;
class TMemo;
class TMenu;
class TMenuItem;
class TPageControl;
class TPopupMenu;
class TControl;
class TTabControl;
class TTabSheet;
class TWinControl;

// A sheet owned by the page control's owner, put on the page control.
TTabSheet* CreateNewTabSheet(TPageControl* PageControl);
void SetAllTabsVisible(TPageControl* PageControl, bool Visible);
// The named sheets (owned by the page control's owner) that lie on the page control; then
// CorrectActiveTab.
void SetTabsVisible(TPageControl* PageControl, const std::vector<std::string>& Names, bool Visible);
// Activates the first page whose tab is visible, when there is one.
void CorrectActiveTab(TPageControl* PageControl);
// Deletes the tab of that caption and selects the tab now at its index, or the last one.
void DeleteTab(TTabControl* TabControl, const std::string& Caption);

// Every label of the form with a focus control takes that control's enabled state.
void UpdateLabelsEnabled(TCustomForm* Form);
// Every owned windowed control with a parent that is disabled or hidden gets a new window, so that
// a window made while the control could not show itself takes its current state.
void UpdateDisabledControls(TComponent* Owner);
// The topmost parent of Item is the menu's root item.
bool IsChildMenu(TMenuItem* Item, TMenu* Menu);

// Moves a list-view row and keeps the same item object: before Target with saInsert, else to the
// end of the list. Nothing happens for a nil Item or an item put before itself; a Target of
// another list raises EInvalidOperation.
void MoveListItem(TListItem* Item, TListItem* Target, TSourceAttachMode Mode);

// Whether the kit's tool forms stay on top of other windows.
extern bool ToolFormsOnTop;
TFormStyle ToolsFormStyle();
// Shows the form and applies the platform's show command (SW_...) to its window. A form being
// designed keeps its Visible as it was: only its window is shown.
void ShowFormEx(TCustomForm* Form, int ShowCommand);
// Broadcasts to whoever shows the design environment's palettes.
inline constexpr uint32_t HS_SHOWCOMPONENTPALETTE = 2063;
inline constexpr uint32_t HS_HIDECOMPONENTPALETTE = 2064;
inline constexpr uint32_t HS_SHOWALIGNPALETTE = 2065;
inline constexpr uint32_t HS_HIDEALIGNPALETTE = 2066;
// Show the family's inspector (ShowInspector) or a palette, then show again the form that was
// active before, so that the tool does not keep the focus.
void ShowObjectInspector();
void ShowComponentPalette();
void ShowAlignPalette();
// While set, the Hide functions leave the inspector and the palettes as they are.
extern bool KeepDesignToolsShown;
void HideObjectInspector();
void HideComponentPalette();
void HideAlignPalette();
// The form runs in its own modal loop now.
bool IsFormModal(TCustomForm* Form);
// Gives the form its window and makes it the application's main form.
void SetMainForm(TCustomForm* Form);

// The control of the window or of its nearest parent window that has one; nil otherwise.
TWinControl* GetVCLControlFromHWND(HWND Handle);
// The RGB value; -1 for clNone, 0xFF000000 for clDefault.
int32_t GetRGBColor(TColor Color);
uint32_t GetWheelScrollLines();
// Measures with the screen's device context.
void GetStringSize(const std::string& Text, TFont* Font, int32_t& Width, int32_t& Height);
void GetSymbolSize(char Symbol, TFont* Font, int32_t& Width, int32_t& Height);
int32_t GetSymbolWidth(char Symbol, TFont* Font);
int32_t GetSymbolHeight(char Symbol, TFont* Font);
// The value's text in a box.
void ShowMessageEx(const THSVariant& Value);
// Frees what the component owns and, for a windowed control, its child controls.
void ClearComponent(TComponent* Component);
// Drops line breaks from the memo's text, then turns every "_" into a line break.
void CorrectMemoText(TMemo* Memo);
// For Root and each component it owns (last first, skipping those being destroyed): the top
// owner of every object held in a published object property, unless nil or Root. A module may be
// listed more than once.
void GetUsedModules(TComponent* Root, std::vector<TPersistent*>& List);

// The popup menu of the control or of its nearest parent that has one; nil when none.
TPopupMenu* GetControlPopupMenu(TControl* Control);

// Makes the application's exception event show the exception in the application's standard box
// for as long as it lives.
class TAppExceptionObject : public TObject {
public:
    TAppExceptionObject();
    ~TAppExceptionObject() override;
    void ExceptionEvent(TObject* Sender, const std::exception& E);
};

// Makes, once, the notifier that tells the family's notifiers (IDEChanged) whenever a window of
// the application receives the focus; FreeIDENotifier removes it (program end).
void InitIDENotifier();
void FreeIDENotifier();
