// The IUnknown part of our COM classes, written once: a thread-safe reference count that deletes the object when
// the last reference goes, and QueryInterface over the interfaces a class says it answers.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace tw::com {

// Whether riid is one of the given interface ids.
inline bool IsAnyOf(REFIID riid, std::initializer_list<const IID *> iids) {
    for (const IID *piid : iids)
        if (IsEqualIID(riid, *piid))
            return true;
    return false;
}

// A heap object implementing Primary and Others. Derived answers its interfaces with
//     void *InterfaceFor(REFIID riid);   // the interface pointer for riid (static_cast of this), or null
// IID_IUnknown is answered with Primary. Objects start with one reference, the creator's.
template <class Derived, class Primary, class... Others> class ComObject : public Primary, public Others... {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
        if (ppv == nullptr)
            return E_POINTER;
        *ppv = IsEqualIID(riid, IID_IUnknown) ? static_cast<Primary *>(this)
                                              : static_cast<Derived *>(this)->InterfaceFor(riid);
        if (*ppv == nullptr)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_cRef)); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG nCount = InterlockedDecrement(&m_cRef);
        if (nCount == 0)
            delete this;
        return static_cast<ULONG>(nCount);
    }

protected:
    ComObject() = default;
    // Virtual, so that a class may keep its own destructor private; the slot comes after the interfaces' own.
    virtual ~ComObject() = default;
    ComObject(const ComObject &) = delete;
    ComObject &operator=(const ComObject &) = delete;

private:
    volatile LONG m_cRef = 1; // references held, from any thread
};

// An object that lives as long as its module (a static class factory, a fixed tool): references are not
// counted and Release never deletes it. Derived answers its interfaces as for ComObject.
template <class Derived, class Primary> class StaticComObject : public Primary {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override {
        if (ppv == nullptr)
            return E_POINTER;
        *ppv = IsEqualIID(riid, IID_IUnknown) ? static_cast<Primary *>(this)
                                              : static_cast<Derived *>(this)->InterfaceFor(riid);
        return *ppv == nullptr ? E_NOINTERFACE : S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
};

} // namespace tw::com
