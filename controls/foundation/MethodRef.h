#pragma once
// A bound method (object + member function) that can be stored, called and compared.
// Listener lists must find "the same method" again to remove it, which std::function cannot do.

#include <cstring>
#include <type_traits>

class TObject;

template <class... Args> class THSMethod {
public:
    THSMethod() = default;

    template <class C> THSMethod(C* Obj, void (C::*Fn)(Args...)) : FData(Obj), FThunk(&MemberThunk<C>) {
        static_assert(sizeof(Fn) <= sizeof(FCode), "member pointer too large");
        std::memcpy(FCode, &Fn, sizeof(Fn));
        if constexpr (std::is_base_of_v<TObject, C>)
            FObject = static_cast<TObject*>(Obj);
    }

    // A plain function bound to no object.
    explicit THSMethod(void (*Fn)(Args...)) : FThunk(&FunctionThunk) { std::memcpy(FCode, &Fn, sizeof(Fn)); }

    explicit operator bool() const { return FThunk != nullptr; }
    void operator()(Args... A) const {
        if (FThunk)
            FThunk(*this, A...);
    }

    // The object the method is bound to, when it is one of the framework's objects.
    TObject* Object() const { return FObject; }
    const void* Data() const { return FData; }

    bool operator==(const THSMethod& O) const {
        return FData == O.FData && FThunk == O.FThunk && std::memcmp(FCode, O.FCode, sizeof(FCode)) == 0;
    }
    bool operator!=(const THSMethod& O) const { return !(*this == O); }

private:
    template <class C> static void MemberThunk(const THSMethod& M, Args... A) {
        void (C::*Fn)(Args...);
        std::memcpy(&Fn, M.FCode, sizeof(Fn));
        (static_cast<C*>(M.FData)->*Fn)(A...);
    }
    static void FunctionThunk(const THSMethod& M, Args... A) {
        void (*Fn)(Args...);
        std::memcpy(&Fn, M.FCode, sizeof(Fn));
        Fn(A...);
    }

    void* FData = nullptr;
    TObject* FObject = nullptr;
    void (*FThunk)(const THSMethod&, Args...) = nullptr;
    unsigned char FCode[2 * sizeof(void*)] = {};
};
