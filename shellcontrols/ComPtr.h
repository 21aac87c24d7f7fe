#pragma once
// A held COM interface: released when it goes out of scope. The shell controls hold every
// interface through one, so no reference is lost on an early return or an exception.
#include "framework/core/Win.h"

#include <objbase.h>

#include <utility>

template <class T> class TComPtr {
public:
    TComPtr() = default;
    // Takes over a reference the caller already owns.
    explicit TComPtr(T* Owned) : FPtr(Owned) {}
    TComPtr(const TComPtr& Other) : FPtr(Other.FPtr) {
        if (FPtr)
            FPtr->AddRef();
    }
    TComPtr(TComPtr&& Other) noexcept : FPtr(std::exchange(Other.FPtr, nullptr)) {}
    ~TComPtr() { Reset(); }
    TComPtr& operator=(TComPtr Other) noexcept {
        std::swap(FPtr, Other.FPtr);
        return *this;
    }
    // Holds P with a reference of its own.
    static TComPtr Share(T* P) {
        if (P)
            P->AddRef();
        return TComPtr(P);
    }
    void Reset() {
        if (FPtr)
            std::exchange(FPtr, nullptr)->Release();
    }
    T* Get() const { return FPtr; }
    T* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    // For out parameters: drops what is held and hands out the slot.
    T** Put() {
        Reset();
        return &FPtr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    // Gives the reference to the caller.
    T* Detach() { return std::exchange(FPtr, nullptr); }
    template <class U> TComPtr<U> Query(REFIID Iid) const {
        TComPtr<U> Result;
        if (FPtr)
            FPtr->QueryInterface(Iid, Result.PutVoid());
        return Result;
    }

private:
    T* FPtr = nullptr;
};
