#pragma once
// IBaseFilter (with IMediaFilter and IPersist) and IAMovieSetup for any filter
// of the module: state, clock, graph membership, pin enumeration, events and
// registration with the filter mapper.
#include <windows.h>
#include <dshow.h>

#include <atomic>

#include <wrl/client.h>

#include "ComObjectBase.h"
#include "CriticalSection.h"
#include "FilterSetup.h"

namespace sombrevox {

class PinBase;

class FilterBase : public ComObjectBase, public IBaseFilter, public IAMovieSetup {
 public:
  // lock: the critical section that guards the state (kept, not owned).
  FilterBase(IUnknown* outer, const CLSID& clsid, CriticalSection* lock);
  ~FilterBase() override;

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  SOMBREVOX_DELEGATE_IUNKNOWN

  // IPersist
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  // IMediaFilter: the plain state machine; transform filters replace it.
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Pause() override;
  HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
  HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;
  HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
  HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
  // IBaseFilter
  HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** pins) override;
  HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
  HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
  HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* vendorInfo) override;
  // IAMovieSetup
  HRESULT STDMETHODCALLTYPE Register() override;
  HRESULT STDMETHODCALLTYPE Unregister() override;

  // Overridable operations.
  // Clock time minus the run start; VFW_E_NO_CLOCK without a clock.
  virtual HRESULT CurrentStreamTime(REFERENCE_TIME* time);
  // Changes whenever the set of pins changes (never, for the module's filters).
  virtual LONG PinListVersion();
  virtual int PinCount() = 0;
  // The pin at an index, or null; the filter keeps ownership.
  virtual PinBase* PinAt(int index) = 0;
  // The filter's mapper registration data, or null for none.
  virtual const FilterSetup* SetupRecord() = 0;

  // Posts an event to the graph's event sink; E_NOTIMPL outside a graph.
  HRESULT NotifyGraphEvent(LONG code, LONG_PTR param1, LONG_PTR param2);

  FILTER_STATE State() const { return state_; }
  // The graph holding the filter (no reference held), or null.
  IFilterGraph* Graph() const { return graph_; }
  CriticalSection* StateLock() const { return lock_; }

 protected:
  // From Stopped: OnActive on every connected pin in index order, the first
  // failure returned with the state unchanged; then Paused.
  HRESULT BasePause();

  std::atomic<FILTER_STATE> state_{State_Stopped};
  Microsoft::WRL::ComPtr<IReferenceClock> clock_;
  REFERENCE_TIME runStart_ = 0;

 private:
  CLSID clsid_;
  CriticalSection* lock_;
  wchar_t* name_ = nullptr;
  // Weak: the graph holds the filter, so holding the graph or its event sink
  // would make a cycle. Both are valid between JoinFilterGraph calls.
  IFilterGraph* graph_ = nullptr;
  IMediaEventSink* eventSink_ = nullptr;
  LONG pinListVersion_ = 1;
};

}  // namespace sombrevox
