#pragma once
// The reference counting and interface query of a COM object that offers one interface. The
// object starts with one reference, owned by whoever made it, and deletes itself on the last
// Release.
#include "framework/core/Win.h"

#include <objbase.h>

template <class TInterface, const IID& InterfaceId> class TNVComObject : public TInterface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override {
        if (!Object)
            return E_POINTER;
        if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, InterfaceId)) {
            *Object = static_cast<TInterface*>(this);
            AddRef();
            return S_OK;
        }
        *Object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefCount)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG N = InterlockedDecrement(&FRefCount);
        if (N == 0)
            delete this;
        return static_cast<ULONG>(N);
    }

protected:
    TNVComObject() = default;
    virtual ~TNVComObject() = default;

private:
    LONG FRefCount = 1;
};
