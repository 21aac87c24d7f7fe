#pragma once
// Published properties: each reflected class lists its properties in a static table of
// TPropInfo (see ZEL_DEFINE_CLASS in Object.h). Option objects, copying properties by name and
// the text form of objects walk these tables.

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/core/Exceptions.h"

class TObject;
class TMetaClass;

enum TTypeKind : uint8_t {
    tkUnknown,
    tkInteger, // 32-bit signed (optionally with named constants: colours, charsets)
    tkInt64,
    tkChar,        // one byte
    tkEnumeration, // ordinal of an enumerated type (EnumType names its values)
    tkBool,        // False/True
    tkSet,         // bit n set = element n of EnumType is in the set
    tkFloat,
    tkString,
    tkBinary, // raw bytes held in a std::string, written as { hex }
    tkClass,  // an object; sub-properties are reached by dotted names
    tkMethod, // an event; listed, not streamed
};

// Names of an enumerated type, by ordinal.
struct TEnumInfo {
    std::vector<std::string> Names;
    std::string NameOf(int64_t ordinal) const;  // empty when out of range
    int IndexOf(const std::string& name) const; // case-insensitive; -1 when unknown
};

// Named constants of an integer type (clBlack = 0, DEFAULT_CHARSET = 1 ...).
struct TIdentMapEntry {
    int32_t Value;
    const char* Name;
};
struct TIdentMap {
    std::vector<TIdentMapEntry> Entries;
    bool IntToIdent(int32_t value, std::string& name) const;        // the first name with that value
    bool IdentToInt(const std::string& name, int32_t& value) const; // case-insensitive
};

// The declared class of an object-valued property, looked up when first asked for. A class may
// publish a property of its own class (a linked node, a parent of the same kind): taking its
// class while the class's own description is still being built would re-enter that
// description's initialisation, which never returns.
class TPropClassRef {
public:
    TPropClassRef& operator=(const TMetaClass* (*Lookup)()) {
        Lookup_ = Lookup;
        return *this;
    }
    operator const TMetaClass*() const { return Lookup_ ? Lookup_() : nullptr; }

private:
    const TMetaClass* (*Lookup_)() = nullptr;
};

struct TPropInfo {
    std::string Name;
    TTypeKind Kind = tkUnknown;
    const TEnumInfo* EnumType = nullptr; // tkEnumeration, tkSet
    const TIdentMap* Idents = nullptr;   // tkInteger
    TPropClassRef PropClass;             // tkClass: the declared class of the value

    // Accessors by kind: ordinal kinds use GetOrd/SetOrd, tkFloat GetFloat/SetFloat, tkString
    // and tkBinary GetStr/SetStr, tkClass GetObj/SetObj. A missing setter makes the property
    // read-only.
    std::function<int64_t(TObject*)> GetOrd;
    std::function<void(TObject*, int64_t)> SetOrd;
    std::function<double(TObject*)> GetFloat;
    std::function<void(TObject*, double)> SetFloat;
    std::function<std::string(TObject*)> GetStr;
    std::function<void(TObject*, const std::string&)> SetStr;
    std::function<TObject*(TObject*)> GetObj;
    std::function<void(TObject*, TObject*)> SetObj;

    // Ordinal kinds: the value not written to the text form. Without a default the value is
    // always written.
    bool HasDefault = false;
    int64_t Default = 0;
    // Empty: stored. Otherwise answers whether the current value is written.
    std::function<bool(TObject*)> Stored;

    bool IsOrdinal() const {
        return Kind == tkInteger || Kind == tkInt64 || Kind == tkChar || Kind == tkEnumeration ||
               Kind == tkBool || Kind == tkSet;
    }
    bool IsReadOnly() const;

    // Chained modifiers for tables.
    TPropInfo WithDefault(int64_t value) const {
        TPropInfo p = *this;
        p.HasDefault = true;
        p.Default = value;
        return p;
    }
    // Always written: for a field whose value in a fresh object is not a constant, so that no
    // value can stand for it.
    TPropInfo WithoutDefault() const {
        TPropInfo p = *this;
        p.HasDefault = false;
        return p;
    }
    TPropInfo StoredIf(std::function<bool(TObject*)> rule) const {
        TPropInfo p = *this;
        p.Stored = std::move(rule);
        return p;
    }
    TPropInfo NotStored() const {
        return StoredIf([](TObject*) { return false; });
    }
    TPropInfo WithIdents(const TIdentMap* idents) const {
        TPropInfo p = *this;
        p.Idents = idents;
        return p;
    }
};

// Builders for property tables from member functions.
//   Prop::Int<TFont>("Height", &TFont::GetHeight, &TFont::SetHeight)
//   Prop::Enum<TStyle>("UpdateMemoColors", &UpdateMemoColorsInfo, &TStyle::Get..., &TStyle::Set...)
// The setter may be nullptr (read-only property).
namespace Prop {

template <class T> int64_t ToOrd(T v) {
    if constexpr (std::is_enum_v<T>)
        return static_cast<int64_t>(static_cast<std::underlying_type_t<T>>(v));
    else
        return static_cast<int64_t>(v);
}

template <class C, class T, class A>
TPropInfo Ordinal(const char* name, TTypeKind kind, T (C::*get)() const, void (C::*set)(A)) {
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.GetOrd = [get](TObject* o) { return ToOrd((static_cast<C*>(o)->*get)()); };
    if (set) {
        p.SetOrd = [set](TObject* o, int64_t v) {
            using Arg = std::remove_cvref_t<A>;
            if constexpr (std::is_enum_v<Arg>)
                (static_cast<C*>(o)->*set)(static_cast<Arg>(static_cast<std::underlying_type_t<Arg>>(v)));
            else
                (static_cast<C*>(o)->*set)(static_cast<Arg>(v));
        };
    }
    return p;
}

template <class C, class T, class A>
TPropInfo Int(const char* name, T (C::*get)() const, void (C::*set)(A), const TIdentMap* idents = nullptr) {
    TPropInfo p = Ordinal<C>(name, tkInteger, get, set);
    p.Idents = idents;
    return p;
}
template <class C, class T, class A>
TPropInfo Int64(const char* name, T (C::*get)() const, void (C::*set)(A)) {
    return Ordinal<C>(name, tkInt64, get, set);
}
template <class C, class T, class A>
TPropInfo Char(const char* name, T (C::*get)() const, void (C::*set)(A)) {
    return Ordinal<C>(name, tkChar, get, set);
}
template <class C, class T, class A>
TPropInfo Bool(const char* name, T (C::*get)() const, void (C::*set)(A)) {
    return Ordinal<C>(name, tkBool, get, set);
}
template <class C, class T, class A>
TPropInfo Enum(const char* name, const TEnumInfo* info, T (C::*get)() const, void (C::*set)(A)) {
    TPropInfo p = Ordinal<C>(name, tkEnumeration, get, set);
    p.EnumType = info;
    return p;
}
// The value is a bit mask: bit n for element n of the enumerated type.
template <class C, class T, class A>
TPropInfo Set(const char* name, const TEnumInfo* info, T (C::*get)() const, void (C::*set)(A)) {
    TPropInfo p = Ordinal<C>(name, tkSet, get, set);
    p.EnumType = info;
    return p;
}

template <class C, class T, class A>
TPropInfo Float(const char* name, T (C::*get)() const, void (C::*set)(A)) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkFloat;
    p.GetFloat = [get](TObject* o) { return static_cast<double>((static_cast<C*>(o)->*get)()); };
    if (set)
        p.SetFloat = [set](TObject* o, double v) {
            (static_cast<C*>(o)->*set)(static_cast<std::remove_cvref_t<A>>(v));
        };
    return p;
}

template <class C, class T, class A>
TPropInfo StringLike(const char* name, TTypeKind kind, T (C::*get)() const, void (C::*set)(A)) {
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.GetStr = [get](TObject* o) { return std::string((static_cast<C*>(o)->*get)()); };
    if (set)
        p.SetStr = [set](TObject* o, const std::string& v) { (static_cast<C*>(o)->*set)(v); };
    return p;
}
template <class C, class T, class A>
TPropInfo String(const char* name, T (C::*get)() const, void (C::*set)(A)) {
    return StringLike<C>(name, tkString, get, set);
}
template <class C, class T, class A>
TPropInfo Binary(const char* name, T (C::*get)() const, void (C::*set)(A)) {
    return StringLike<C>(name, tkBinary, get, set);
}

// An object-valued property. V is the value's class (it must have StaticClass()).
template <class C, class V, class A>
TPropInfo Object(const char* name, V* (C::*get)() const, void (C::*set)(A)) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkClass;
    p.PropClass = &V::StaticClass;
    p.GetObj = [get](TObject* o) -> TObject* { return (static_cast<C*>(o)->*get)(); };
    if (set)
        p.SetObj = [set](TObject* o, TObject* v) {
            using Arg = std::remove_cvref_t<A>;
            (static_cast<C*>(o)->*set)(static_cast<Arg>(v));
        };
    return p;
}

// Read-only forms (getter only). A read-only object property is still written to the text form
// (its sub-properties, items or lines) and read back through its getter.
template <class C, class T>
TPropInfo Int(const char* name, T (C::*get)() const, const TIdentMap* idents = nullptr) {
    return Int<C>(name, get, static_cast<void (C::*)(T)>(nullptr), idents);
}
template <class C, class T> TPropInfo Bool(const char* name, T (C::*get)() const) {
    return Bool<C>(name, get, static_cast<void (C::*)(T)>(nullptr));
}
template <class C, class T> TPropInfo String(const char* name, T (C::*get)() const) {
    return String<C>(name, get, static_cast<void (C::*)(const std::string&)>(nullptr));
}
template <class C, class V> TPropInfo Object(const char* name, V* (C::*get)() const) {
    return Object<C>(name, get, static_cast<void (C::*)(V*)>(nullptr));
}

// An event: listed among the published properties, never streamed.
inline TPropInfo Method(const char* name) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkMethod;
    return p;
}

} // namespace Prop

// Run-time access (the object's class decides which table is searched).
const TPropInfo* GetPropInfo(const TObject* obj, const std::string& name); // nullptr when absent
std::vector<const TPropInfo*> GetPropList(const TObject* obj);
bool IsPublishedProp(const TObject* obj, const std::string& name);

int64_t GetOrdProp(TObject* obj, const TPropInfo* info);
void SetOrdProp(TObject* obj, const TPropInfo* info, int64_t value);
double GetFloatProp(TObject* obj, const TPropInfo* info);
void SetFloatProp(TObject* obj, const TPropInfo* info, double value);
std::string GetStrProp(TObject* obj, const TPropInfo* info);
void SetStrProp(TObject* obj, const TPropInfo* info, const std::string& value);
TObject* GetObjectProp(TObject* obj, const TPropInfo* info);
void SetObjectProp(TObject* obj, const TPropInfo* info, TObject* value);
bool IsStoredProp(TObject* obj, const TPropInfo* info);

// Any property as text, in the form the object text uses for simple values
// (enumerations and named constants by name, sets as "[a,b]", booleans True/False).
std::string GetPropValueText(TObject* obj, const TPropInfo* info);
// Sets a property from such a text; raises EPropertyError "Invalid property value" on a bad one.
void SetPropValueText(TObject* obj, const TPropInfo* info, const std::string& value);

// Named-constant tables of the framework.
const TIdentMap& ColorIdents();   // clBlack ... clWindow ... clNone, clDefault
const TIdentMap& CharsetIdents(); // ANSI_CHARSET, DEFAULT_CHARSET ...
const TEnumInfo& BooleanInfo();   // False, True
