#pragma once
// Finding forms and objects by name or class, tidying menus, cycling and adding tabs, loaded
// modules and package files, and the registry of option-form classes.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/Object.h"
#include "framework/core/Win.h"
#include "framework/ui/Buttons.h"
#include "framework/ui/ComCtrls.h"
#include "framework/ui/Graphics.h"

class TComponent;
class TControl;
class TCustomForm;
class TMenuItem;
class TCustomTabControl;
class TTabControl;
class TPageControl;
class TStrings;
class TBitmap;
class TImageList;
class TCanvas;
class TDataModule;
class TStream;

int32_t ScreenFormCount();
TCustomForm* ScreenForms(int32_t Index);
// The first screen form whose class derives from Class, or nil.
TCustomForm* FindFormWithClass(TClass Class);
// That form, or a new one of the class made with Owner.
TCustomForm* FindOrCreateFormWithClass(TClass Class, TComponent* Owner);
// "Form" or "Form.Component" (names ignoring case), the screen's forms first and then its data
// modules: one whose name is the whole text, else the component named after the first dot of the
// one named before it; nil when nothing matches.
TObject* GlobalFindObject(const std::string& Name);
// The first form among a control's parents, or else among an object's owners; nil when none.
TCustomForm* GetPForm(TObject* Obj);
// The first data module among the object's owners, else the form that holds it (GetPForm).
TComponent* GetTopOwner(TObject* Obj);
// A form or data module of that name (ignoring case) that is not being designed; nil when none.
TComponent* GlobalFindCompWithoutDesigned(const std::string& Name);
// Whether the component stream at the stream's position, text or binary, holds a data module
// (its root class is registered and derives from TDataModule). The position is kept.
bool StreamContainsDataModule(TStream& Stream);
// Whether the module that holds the class has a raw-data resource named like the class: the
// image of a form kept as a resource.
bool GetFormResourceHandler(TClass Class);
// A new instance of the class owned by the application. Forms here are data, so an image in the
// resources and none build the same way. Nil for a class of another kind.
TCustomForm* CreateFormWithClass(TClass Class);
TDataModule* CreateDataModuleWithClass(TClass Class);
// An empty data module without owner.
TDataModule* CreateDataModule();
// Switches the component's designing state.
void SetDesign(TComponent* Component, bool Value);
// Sends HS_UPDATEEDITORS (both parameters 0) to every direct child control.
inline constexpr UINT HS_UPDATEEDITORS = 2035;
void UpdateEditors(TControl* Control);

// Frees separators at the start and end of Item's sub-items and every separator right after
// another.
void RemoveExtraMenuSeparators(TMenuItem* Item);
// Frees all sub-items; the item is then enabled unless Disable.
void ClearMenuSubItems(TMenuItem* Item, bool Disable);
// The next (or previous) tab, wrapping round; nothing without tabs or when the change is refused.
void ChangeTab(TCustomTabControl* TabControl, bool Forward);
// Selects the tab of that caption (ignoring case), else adds one and selects it.
void AddNewTab(TTabControl* TabControl, const std::string& Caption);
// Every page of Source goes to Dest, in order.
void MovePages(TPageControl* Source, TPageControl* Dest);

// A tab control on which Ctrl+Tab and Ctrl+Shift+Tab, while the focus lies inside it, move to the
// next and the previous tab (wrapping round) and announce the change.
class THSTabControl : public TTabControl {
    ZEL_DECLARE_CLASS(THSTabControl)
public:
    explicit THSTabControl(TComponent* AOwner) : TTabControl(AOwner) {}

protected:
    void WndProc(TMessage& Message) override;
};

// A speed button that lets go of its glyph's drawing context after every change of the glyph
// (the handler the glyph had runs first), so that a toolbar of many buttons holds no contexts.
class THSSpeedButton : public TSpeedButton {
    ZEL_DECLARE_CLASS(THSSpeedButton)
public:
    explicit THSSpeedButton(TComponent* AOwner);

private:
    std::function<void(TBitmap*)> FGlyphChanged;
};

// The file's extension equals Ext, ignoring case and dots.
bool CheckFileExt(const std::string& FileName, const std::string& Ext);
// A package file: extension "BPL" or "DPL".
bool FileIsPackage(const std::string& FileName);
// The handles of the modules loaded in the process; the program's own module first.
void ModulesToList(std::vector<HMODULE>& List);
// The full paths of the loaded modules that are package files.
void GetLoadedPackagesPaths(TStrings* Strings);
// The modules whose resources the program reads: its own module first, then the loaded packages.
void ResModulesToList(std::vector<HMODULE>& List);
// The first of those modules that holds the resource (names or MAKEINTRESOURCE numbers), or nil.
HMODULE FindResourceInstance(const char* Name, const char* Type);

// An 8 x 8 checkerboard: Fore where row plus column is even, Back elsewhere.
void CreateBrushPatternEx(TBitmap* Bitmap, TColor Back, TColor Fore);
// With the button-face and button-highlight colours.
void CreateBrushPattern(TBitmap* Bitmap);
// Draws the source part stretched onto the destination, leaving the destination's pixels where
// the source has TransparentColor.
void StretchBltTransparent(HDC Dest, int X, int Y, int W, int H, HDC Src, int SX, int SY, int SW, int SH,
                           TColor TransparentColor);
// Redraws the bitmap into a new one of the same size and takes that (the screen's format); nil is
// ignored.
void CorrectBitmap(TBitmap* Bitmap);

// Replaces image Index of the list with Bitmap, the pixels of TransparentColor left transparent.
// False for a missing list or bitmap, or an index the list does not have.
bool ChangeImageList(TImageList* ImageList, TBitmap* Bitmap, TColor TransparentColor, int Index);
// Fills Rect with BackColor and draws image Index of the list at its top left corner; nothing
// for a nil list.
void DrawImage(TCanvas& Canvas, TImageList* Image, TColor BackColor, const RECT& Rect, int Index);
// Fills Rect with BackColor and stretches the bitmap over it, its pixel at 0, 0 giving the
// transparent colour; an empty or nil bitmap leaves only the background.
void DrawImage(TCanvas& Canvas, TBitmap* Image, TColor BackColor, const RECT& Rect);

// Whether Form is the visible form nearest the top of the screen. The program's main form does
// not count as being in front of it, since tool windows of the main form live over it.
bool FormIsActive(TCustomForm* Form);
// Runs the creation event of a form or a data module with it as sender; other components have
// none.
void CallCompOnCreate(TComponent* Component);

// Sets the flat style of every speed button Owner owns, or of each button given (nils skipped).
void SetFlatPropToAll(TComponent* Owner, bool Flat);
void SetFlatProp(const std::vector<TSpeedButton*>& Buttons, bool Flat);

// Option forms, kept in order of their order numbers (equal orders in order of registration).
void RegisterOptionsFormOrder(TClass Class, int32_t Order, const std::string& Caption);
// With the order after the highest registered.
void RegisterOptionsForm(TClass Class, const std::string& Caption);
void UnregisterOptionsForm(TClass Class);
std::vector<TClass> OptionFormClasses();
int32_t OptionFormCount();
TClass OptionFormClass(int32_t Index);
std::vector<std::string> OptionFormCaptions();
// Empty for a class that is not registered.
std::string GetOptionsFormCaption(TClass Class);
// Program end.
void FreeOptionForms();
