// The framework's test module: its class table, the extra test classes and
// the exports the test programs read.
#include <iterator>
#include <new>

#include "Module.h"
#include "PassThroughFilter.h"
#include "TestFilterApi.h"
#include "TestPage.h"

namespace sombrevox {

namespace {

volatile LONG selfReleasingDestructions = 0;
volatile LONG hookCalls = 0;

// Holds a pointer to its own published interface without a reference, as an
// aggregating object does with its inner object's interfaces, and releases it
// in its destructor after taking the reference back.
class SelfReleasingObject final : public ComObjectBase, public IPersist {
 public:
  explicit SelfReleasingObject(IUnknown* outer) : ComObjectBase(outer) {}
  ~SelfReleasingObject() override {
    IPersist* self = static_cast<IPersist*>(this);
    self->AddRef();
    self->Release();
    InterlockedIncrement(&selfReleasingDestructions);
  }

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override {
    if (object != nullptr && iid == IID_IPersist) {
      return HandOutInterface(static_cast<IPersist*>(this), object);
    }
    return ComObjectBase::InnerQueryInterface(iid, object);
  }
  SOMBREVOX_DELEGATE_IUNKNOWN

  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
    *clsid = kSelfReleasingClsid;
    return S_OK;
  }
};

ComObjectBase* CreateSelfReleasing(IUnknown* outer, HRESULT* hr) {
  auto* object = new (std::nothrow) SelfReleasingObject(outer);
  if (object == nullptr) {
    *hr = E_OUTOFMEMORY;
  }
  return object;
}

ComObjectBase* CreateFailing(IUnknown*, HRESULT* hr) {
  *hr = kCreateFailure;
  return nullptr;
}

ComObjectBase* CreateWithFailure(IUnknown* outer, HRESULT* hr) {
  *hr = kCreateFailure;
  return new (std::nothrow) SelfReleasingObject(outer);
}

void CountHook(BOOL, const CLSID*) { InterlockedIncrement(&hookCalls); }

}  // namespace

const FactoryTemplate kClassTable[] = {
    {kTestFilterName, &kTestFilterClsid, PassThroughFilter::Create, CountHook, &kTestFilterSetup},
    {L"Sombrevox Framework Test Object", &kSelfReleasingClsid, CreateSelfReleasing, nullptr, nullptr},
    {L"Sombrevox Framework Failing Object", &kFailingCreateClsid, CreateFailing, nullptr, nullptr},
    {L"Sombrevox Framework Half-made Object", &kObjectWithFailureClsid, CreateWithFailure, nullptr, nullptr},
    {L"Sombrevox Framework Test Page", &kTestPageClsid, TestPropertyPage::Create, nullptr, nullptr},
};
const int kClassTableCount = static_cast<int>(std::size(kClassTable));

extern "C" LONG WINAPI TestLiveObjects() { return LiveObjectCount; }

extern "C" LONG WINAPI TestSelfReleasingDestructions() { return selfReleasingDestructions; }

extern "C" LONG WINAPI TestHookCalls() { return hookCalls; }

}  // namespace sombrevox
