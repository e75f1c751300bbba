#pragma once
// The aggregation-aware base of every COM object in the module.
//
// The object's own virtual table starts with InnerQueryInterface, InnerAddRef
// and InnerRelease, so the object itself serves as its inner (non-delegating)
// IUnknown. Published interfaces forward their IUnknown methods to the outer
// unknown: the aggregator, or this inner unknown when the object stands alone.
#include <windows.h>
#include <unknwn.h>

namespace sombrevox {

class ComObjectBase {
 public:
  // outer: the aggregating object's IUnknown, or null.
  explicit ComObjectBase(IUnknown* outer);
  ComObjectBase(const ComObjectBase&) = delete;
  ComObjectBase& operator=(const ComObjectBase&) = delete;

  virtual HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object);
  virtual ULONG STDMETHODCALLTYPE InnerAddRef();
  virtual ULONG STDMETHODCALLTYPE InnerRelease();
  virtual ~ComObjectBase();

  IUnknown* InnerUnknown() { return reinterpret_cast<IUnknown*>(this); }
  IUnknown* OuterUnknown() const { return outer_; }

  // Stores the interface and AddRefs through it, so the reference lands on
  // the outer unknown for published interfaces and on the inner count for
  // the inner unknown.
  static HRESULT HandOutInterface(IUnknown* iface, void** object);

 protected:
  LONG ReferenceCount() const { return references_; }
  // The last reference is gone: the object may still let go of what it holds
  // through its own interfaces (the count stands at 1 meanwhile) before it is
  // destroyed.
  virtual void OnFinalRelease() {}

 private:
  IUnknown* outer_;
  volatile LONG references_ = 0;
};

// The three IUnknown methods of every published interface of an object: all
// go to the object's outer unknown. Declared once in a class, they serve all
// of its interface bases.
#define SOMBREVOX_DELEGATE_IUNKNOWN                                              \
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { \
    return OuterUnknown()->QueryInterface(iid, object);                          \
  }                                                                              \
  ULONG STDMETHODCALLTYPE AddRef() override { return OuterUnknown()->AddRef(); } \
  ULONG STDMETHODCALLTYPE Release() override { return OuterUnknown()->Release(); }

}  // namespace sombrevox
