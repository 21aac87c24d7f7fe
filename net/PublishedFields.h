#pragma once
// Builders for published-property tables over plain data members (the framework's builders take
// getter and setter functions).

#include <cstdint>
#include <string>
#include <type_traits>

#include "framework/core/Object.h"
#include "framework/core/Properties.h"

namespace NetProp {

template <class C> TPropInfo Str(const char* name, std::string C::*field) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkString;
    p.GetStr = [field](TObject* o) { return static_cast<C*>(o)->*field; };
    p.SetStr = [field](TObject* o, const std::string& v) { static_cast<C*>(o)->*field = v; };
    return p;
}

template <class C, class M>
TPropInfo Ord(const char* name, TTypeKind kind, M C::*field, const TEnumInfo* info = nullptr) {
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.EnumType = info;
    p.GetOrd = [field](TObject* o) { return Prop::ToOrd(static_cast<C*>(o)->*field); };
    p.SetOrd = [field](TObject* o, int64_t v) {
        if constexpr (std::is_enum_v<M>)
            static_cast<C*>(o)->*field = static_cast<M>(static_cast<std::underlying_type_t<M>>(v));
        else
            static_cast<C*>(o)->*field = static_cast<M>(v);
    };
    return p;
}

template <class C> TPropInfo Bool(const char* name, bool C::*field) {
    return Ord(name, tkBool, field);
}
template <class C, class M> TPropInfo Int(const char* name, M C::*field) {
    return Ord(name, tkInteger, field);
}
template <class C, class M> TPropInfo Enum(const char* name, const TEnumInfo* info, M C::*field) {
    return Ord(name, tkEnumeration, field, info);
}

template <class C> TPropInfo Float(const char* name, double C::*field) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkFloat;
    p.GetFloat = [field](TObject* o) { return static_cast<C*>(o)->*field; };
    p.SetFloat = [field](TObject* o, double v) { static_cast<C*>(o)->*field = v; };
    return p;
}

} // namespace NetProp
