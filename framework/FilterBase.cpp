#include "FilterBase.h"

#include <cwchar>
#include <new>

#include "PinBase.h"
#include "PinEnumerator.h"

namespace sombrevox {

FilterBase::FilterBase(IUnknown* outer, const CLSID& clsid, CriticalSection* lock)
    : ComObjectBase(outer), clsid_(clsid), lock_(lock) {}

FilterBase::~FilterBase() { delete[] name_; }

HRESULT STDMETHODCALLTYPE FilterBase::InnerQueryInterface(REFIID iid, void** object) {
  if (object != nullptr) {
    if (iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist) {
      return HandOutInterface(static_cast<IBaseFilter*>(this), object);
    }
    if (iid == IID_IAMovieSetup) {
      return HandOutInterface(static_cast<IAMovieSetup*>(this), object);
    }
  }
  return ComObjectBase::InnerQueryInterface(iid, object);
}

HRESULT STDMETHODCALLTYPE FilterBase::GetClassID(CLSID* clsid) {
  if (clsid == nullptr) {
    return E_POINTER;
  }
  *clsid = clsid_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterBase::Stop() {
  CriticalSectionLock guard(*lock_);
  for (int index = 0; index < PinCount(); ++index) {
    PinBase* pin = PinAt(index);
    if (pin != nullptr && pin->IsConnected()) {
      pin->OnInactive();
    }
  }
  state_ = State_Stopped;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterBase::Pause() {
  CriticalSectionLock guard(*lock_);
  return BasePause();
}

HRESULT FilterBase::BasePause() {
  if (state_ == State_Stopped) {
    for (int index = 0; index < PinCount(); ++index) {
      PinBase* pin = PinAt(index);
      if (pin != nullptr && pin->IsConnected()) {
        const HRESULT hr = pin->OnActive();
        if (FAILED(hr)) {
          return hr;
        }
      }
    }
  }
  state_ = State_Paused;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterBase::Run(REFERENCE_TIME start) {
  CriticalSectionLock guard(*lock_);
  runStart_ = start;
  if (state_ == State_Stopped) {
    // Through the published table, so a derived state machine's Pause runs.
    const HRESULT hr = static_cast<IBaseFilter*>(this)->Pause();
    if (FAILED(hr)) {
      return hr;
    }
  }
  if (state_ != State_Running) {
    for (int index = 0; index < PinCount(); ++index) {
      PinBase* pin = PinAt(index);
      if (pin != nullptr && pin->IsConnected()) {
        const HRESULT hr = pin->OnRun(start);
        if (FAILED(hr)) {
          return hr;
        }
      }
    }
  }
  state_ = State_Running;
  return S_OK;
}

// Never waits: the filter's transitions complete inside the calls.
HRESULT STDMETHODCALLTYPE FilterBase::GetState(DWORD, FILTER_STATE* state) {
  if (state == nullptr) {
    return E_POINTER;
  }
  *state = state_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterBase::SetSyncSource(IReferenceClock* clock) {
  CriticalSectionLock guard(*lock_);
  clock_ = clock;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterBase::GetSyncSource(IReferenceClock** clock) {
  if (clock == nullptr) {
    return E_POINTER;
  }
  CriticalSectionLock guard(*lock_);
  return clock_.CopyTo(clock);
}

HRESULT STDMETHODCALLTYPE FilterBase::EnumPins(IEnumPins** pins) {
  if (pins == nullptr) {
    return E_POINTER;
  }
  *pins = nullptr;
  auto* enumerator = new (std::nothrow) PinEnumerator(this);
  if (enumerator == nullptr) {
    return E_OUTOFMEMORY;
  }
  return HandOutInterface(static_cast<IEnumPins*>(enumerator), reinterpret_cast<void**>(pins));
}

HRESULT STDMETHODCALLTYPE FilterBase::FindPin(LPCWSTR id, IPin** pin) {
  if (pin == nullptr) {
    return E_POINTER;
  }
  int index = -1;
  if (id != nullptr && std::wcscmp(id, L"In") == 0) {
    index = 0;
  } else if (id != nullptr && std::wcscmp(id, L"Out") == 0) {
    index = 1;
  }
  if (index < 0) {
    *pin = nullptr;
    return VFW_E_NOT_FOUND;
  }
  PinBase* found = PinAt(index);
  if (found == nullptr) {
    *pin = nullptr;
    return E_OUTOFMEMORY;
  }
  *pin = static_cast<IPin*>(found);
  (*pin)->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterBase::QueryFilterInfo(FILTER_INFO* info) {
  if (info == nullptr) {
    return E_POINTER;
  }
  constexpr size_t kMaxChars = sizeof(info->achName) / sizeof(info->achName[0]) - 1;
  info->achName[0] = L'\0';
  if (name_ != nullptr) {
    std::wcsncpy(info->achName, name_, kMaxChars);
    info->achName[kMaxChars] = L'\0';
  }
  info->pGraph = graph_;
  if (graph_ != nullptr) {
    graph_->AddRef();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterBase::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
  CriticalSectionLock guard(*lock_);
  graph_ = graph;
  eventSink_ = nullptr;
  if (graph != nullptr) {
    Microsoft::WRL::ComPtr<IMediaEventSink> sink;
    if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(sink.GetAddressOf())))) {
      eventSink_ = sink.Get();  // weak, as the graph is
    }
  }
  delete[] name_;
  name_ = nullptr;
  if (name != nullptr) {
    const size_t length = std::wcslen(name);
    name_ = new (std::nothrow) wchar_t[length + 1];
    if (name_ != nullptr) {
      std::wmemcpy(name_, name, length + 1);
    }
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE FilterBase::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

HRESULT FilterBase::CurrentStreamTime(REFERENCE_TIME* time) {
  if (time == nullptr) {
    return E_POINTER;
  }
  // Read without FilterLock, which the streaming thread never takes; the
  // clock only changes while the filter is stopped.
  IReferenceClock* clock = clock_.Get();
  if (clock == nullptr) {
    return VFW_E_NO_CLOCK;
  }
  REFERENCE_TIME now = 0;
  const HRESULT hr = clock->GetTime(&now);
  if (FAILED(hr)) {
    return hr;
  }
  *time = now - runStart_;
  return S_OK;
}

LONG FilterBase::PinListVersion() { return pinListVersion_; }

HRESULT FilterBase::NotifyGraphEvent(LONG code, LONG_PTR param1, LONG_PTR param2) {
  IMediaEventSink* sink = eventSink_;
  if (sink == nullptr) {
    return E_NOTIMPL;
  }
  return sink->Notify(code, param1, param2);
}

}  // namespace sombrevox
