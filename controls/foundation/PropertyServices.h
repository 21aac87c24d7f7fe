#pragma once
// Published properties by name, class relations and variant comparison, over the framework's
// property tables. Nothing here changes a class: the tables stay as they are.

#include <cstdint>
#include <string>
#include <vector>

#include "controls/foundation/HSVariant.h"
#include "framework/core/Object.h"

class TStrings;
class TComponent;

// A nil object or a missing property: false, an empty variant, nothing set.
bool PropertyExists(TObject* Obj, const std::string& Name);
THSVariant GetPropValue(TObject* Obj, const std::string& Name);
void SetPropValue(TObject* Obj, const std::string& Name, const THSVariant& Value);
void SetPropValues(const std::vector<TObject*>& Objects, const std::string& Name, const THSVariant& Value);
void SetEnabledControls(const std::vector<TObject*>& Objects, bool Enabled);

// Appends the names of the object's published properties.
void PropNamesToStrings(TObject* Obj, TStrings* Strings);
// Sets properties from "Name=Value" lines, each value in the text form of simple values
// (enumerations by name, sets as "[a,b]", True/False). Lines naming no published property are
// skipped. A bad value raises EPropertyError and puts back every property set before it.
void AssignPropsFromStrings(TObject* Obj, const TStrings* Strings);
void AssignProps(TObject* Source, TObject* Dest, const std::vector<std::string>& Names);

void SafeRegisterClasses(const std::vector<TClass>& Classes);
// The nearest class both derive from; nil when either is nil.
TClass GetCommonParent(TClass A, TClass B);
// Of the classes of the objects; nil for an empty list.
TClass GetCommonClassesParent(const std::vector<TObject*>& Objects);

// A component's design position, 16 bits each (DesignInfo); nil gives 0, 0 and takes nothing.
void GetComponentTopLeft(const TComponent* Component, int16_t& Left, int16_t& Top);
void SetComponentTopLeft(TComponent* Component, int16_t Left, int16_t Top);

// The hook a design kit installs to caption components; unset: name and class name.
using TBuildCompNameFunc = std::string (*)(TComponent* Component, const std::string& Name);
extern TBuildCompNameFunc BuildCompNameFunc;
// Name (or the component's own name when Name is empty) + ": " + the class name; empty for nil
// or when there is no name.
std::string BuildCompName(TComponent* Component, const std::string& Name);

// The type name of an automation type code 2-31; empty for 0, 1, 15 and codes out of range.
std::string AutomationTypeName(int32_t Code);

// Compares two variants by value: empty before null before numbers (booleans, integers and
// reals compared as numbers) before strings (compared byte by byte). -1, 0 or 1.
int32_t CompareVariants(const THSVariant& A, const THSVariant& B);
