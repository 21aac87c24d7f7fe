#pragma once
// What the family's designer tools reach of its system unit: the designer broadcasts, the
// registry of code designers per file extension, text-style sets, ActiveX registration and the
// search for a unit's source file.

#include <cstdint>
#include <functional>
#include <string>

#include "controls/foundation/HSVariant.h"
#include "framework/core/Object.h"
#include "framework/core/Win.h"

#include <oaidl.h>

class TComponent;
class TCollectionItem;

// Designer broadcasts (sent to the family's notifiers).
inline constexpr uint32_t HS_SHOWINSPECTOR = 2037;
inline constexpr uint32_t HS_HIDEINSPECTOR = 2041;
inline constexpr uint32_t HS_EDITSTRINGSPROPERTY = 2044;
inline constexpr uint32_t HS_TOGGLEINSPECTOR = 2057;

// 2037 with Focus as its first parameter.
void ShowInspectorEx(bool Focus);
void ShowInspector();
void HideInspector();
void ToggleInspector();
// 2044 with the component and a pointer to the property name (valid during the broadcast).
void EditStringsProperty(TComponent* Component, const std::string& PropName);

// Code designers per file extension; the extension compares ignoring case, with or without its
// leading dot.
void RegisterUnitCodeDesigner(TClass Designer, const std::string& Extension);
void RegisterFormCodeDesigner(TClass Designer, const std::string& Extension);
// Nil when no designer of that kind is registered for the extension.
TClass GetCodeDesignerClass(const std::string& Extension, bool ForUnit);
TClass GetUnitCodeDesignerClass(const std::string& Extension);
TClass GetFormCodeDesignerClass(const std::string& Extension);

// Text-style sets: class-registry entries whose "TextStylesClass.ID" holds that same marker
// text, named by "TextStylesClass.InitName".
void RegisterTextStylesSet(TClass Class, const std::string& InitName);
void EnumTextStylesSets(const std::function<void(const std::string& Name)>& Proc);
void FreeTextStylesSets();

// Loads the library, calls its "DllRegisterServer" and frees it again. False when the library
// does not load, has no such entry, or the entry reports a failure.
bool RegisterOCX(const std::string& FileName);
// The name of a registered type library ("TypeLib\{GUID}\<version>" below Root, the highest
// version found first by the registry's order); empty when it is not registered.
std::string GetTypeLibName(const GUID& Guid);
std::string GetTypeLibNameIn(HKEY Root, const GUID& Guid);
// The hint of an ActiveX class name: a name ending in "Control" (any case) loses that ending and
// the blanks before it ("Calendar Control" gives "Calendar"); other names, and the bare word,
// are their own hint.
std::string ExtractActiveXHint(const std::string& S);

// The display name of a collection item; empty for nil.
std::string GetColItemDisplayName(TCollectionItem* Item);
void SetColItemDisplayName(TCollectionItem* Item, const std::string& Name);

// Sets an automation property: integers, reals, booleans and strings by value (a plain put); an
// object value (varObject holding an IDispatch*) by reference (a by-reference put). The result of
// the dispatch interface's Invoke; E_INVALIDARG for a nil interface or a value of no such kind.
HRESULT SetPropByDispatch(IDispatch* Dispatch, DISPID DispId, const THSVariant& Value);

// Tree sources: the adapter class through which a tree-shaped inspector shows objects of a class,
// per edit method. The lookup takes the class or its nearest ancestor with a matching entry.
void RegisterTreeSource(TClass ObjClass, TClass SourceClass, const std::string& EditMethod);
// With EditMethod when it is not empty, and always with an empty one.
void RegisterDefaultTreeSource(TClass ObjClass, TClass SourceClass, const std::string& EditMethod);
TClass GetRegisteredTreeSource(TClass ObjClass, const std::string& EditMethod);

// The base address of the loaded module whose image holds the class's record; nil for nil or a
// class that lies in no module image.
HMODULE GetClassModule(TClass Class);
// The module that registered the class: the one that holds it.
inline HMODULE GetClassRegisterPackage(TClass Class) {
    return GetClassModule(Class);
}

// Looks for UnitName + ".pas" in each folder of Paths (";"-separated, in order); on success
// Source is the file's full name. An empty unit name finds nothing.
bool HSGetUnitSource(std::string& Source, const std::string& UnitName, const std::string& Paths);
