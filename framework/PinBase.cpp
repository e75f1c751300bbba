#include "PinBase.h"

#include <cwchar>
#include <new>

#include "FilterBase.h"
#include "MediaTypeEnumerator.h"
#include "TaskMemory.h"

namespace sombrevox {

using Microsoft::WRL::ComPtr;

HRESULT AsTypeRefusal(HRESULT checkResult) {
  if (SUCCEEDED(checkResult) || checkResult == E_FAIL || checkResult == E_INVALIDARG) {
    return VFW_E_TYPE_NOT_ACCEPTED;
  }
  return checkResult;
}

PinBase::PinBase(FilterBase* filter, CriticalSection* lock, PIN_DIRECTION direction, const wchar_t* name)
    : ComObjectBase(nullptr), lock_(lock), direction_(direction), filter_(filter) {
  if (name != nullptr) {
    const size_t length = std::wcslen(name);
    name_ = new (std::nothrow) wchar_t[length + 1];
    if (name_ != nullptr) {
      std::wmemcpy(name_, name, length + 1);
    }
  }
}

PinBase::~PinBase() { delete[] name_; }

HRESULT STDMETHODCALLTYPE PinBase::InnerQueryInterface(REFIID iid, void** object) {
  if (object != nullptr) {
    if (iid == IID_IPin) {
      return HandOutInterface(static_cast<IPin*>(this), object);
    }
    if (iid == IID_IQualityControl) {
      return HandOutInterface(static_cast<IQualityControl*>(this), object);
    }
  }
  return ComObjectBase::InnerQueryInterface(iid, object);
}

// Every reference to a pin, its IUnknown included, is a reference to the
// filter: the filter owns its pins and deletes them with itself.
ULONG STDMETHODCALLTYPE PinBase::InnerAddRef() { return filter_->AddRef(); }

ULONG STDMETHODCALLTYPE PinBase::InnerRelease() { return filter_->Release(); }

HRESULT STDMETHODCALLTYPE PinBase::QueryInterface(REFIID iid, void** object) {
  return InnerQueryInterface(iid, object);
}

ULONG STDMETHODCALLTYPE PinBase::AddRef() { return filter_->AddRef(); }

ULONG STDMETHODCALLTYPE PinBase::Release() { return filter_->Release(); }

HRESULT STDMETHODCALLTYPE PinBase::Connect(IPin* receiver, const AM_MEDIA_TYPE* type) {
  if (receiver == nullptr) {
    return E_POINTER;
  }
  CriticalSectionLock guard(*lock_);
  HRESULT hr = CanConnect();
  if (FAILED(hr)) {
    return hr;
  }
  hr = AgreeType(receiver, type);
  if (FAILED(hr)) {
    BreakPeer();
    return hr;
  }
  return S_OK;
}

HRESULT PinBase::CanConnect() const {
  if (IsConnected()) {
    return VFW_E_ALREADY_CONNECTED;
  }
  return filter_->State() == State_Stopped ? S_OK : VFW_E_NOT_STOPPED;
}

HRESULT PinBase::AgreeType(IPin* receiver, const AM_MEDIA_TYPE* partial) {
  if (partial != nullptr && !MediaType::IsPartiallySpecified(*partial)) {
    return AttemptConnection(receiver, partial);
  }
  HRESULT remembered = VFW_E_NO_ACCEPTABLE_TYPES;
  // The receiver's proposals first, then this pin's own.
  IPin* const proposers[] = {receiver, static_cast<IPin*>(this)};
  for (IPin* proposer : proposers) {
    ComPtr<IEnumMediaTypes> types;
    if (FAILED(proposer->EnumMediaTypes(&types)) || types == nullptr) {
      continue;
    }
    const HRESULT hr = WalkTypes(receiver, types.Get(), partial);
    if (SUCCEEDED(hr)) {
      return hr;
    }
    if (AsTypeRefusal(hr) != VFW_E_TYPE_NOT_ACCEPTED) {
      remembered = hr;
    }
  }
  return remembered;
}

HRESULT PinBase::WalkTypes(IPin* receiver, IEnumMediaTypes* types, const AM_MEDIA_TYPE* partial) {
  HRESULT hr = types->Reset();
  if (FAILED(hr)) {
    return hr;
  }
  HRESULT remembered = S_OK;
  for (;;) {
    AM_MEDIA_TYPE* candidate = nullptr;
    ULONG fetched = 0;
    if (types->Next(1, &candidate, &fetched) != S_OK || fetched != 1 || candidate == nullptr) {
      MediaType::DeleteTaskType(candidate);
      break;
    }
    if (partial == nullptr || MediaType::Matches(*candidate, *partial)) {
      hr = AttemptConnection(receiver, candidate);
      MediaType::DeleteTaskType(candidate);
      if (SUCCEEDED(hr)) {
        return hr;
      }
      if (remembered == S_OK && AsTypeRefusal(hr) != VFW_E_TYPE_NOT_ACCEPTED) {
        remembered = hr;
      }
    } else {
      MediaType::DeleteTaskType(candidate);
    }
  }
  return remembered != S_OK ? remembered : VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT PinBase::CheckCandidate(IPin* peer, const AM_MEDIA_TYPE* type) {
  HRESULT hr = CheckPeer(peer);
  if (FAILED(hr)) {
    BreakPeer();
    return hr;
  }
  hr = CheckFormat(type);
  if (hr != S_OK) {
    BreakPeer();
    return AsTypeRefusal(hr);
  }
  return S_OK;
}

HRESULT PinBase::AttemptConnection(IPin* receiver, const AM_MEDIA_TYPE* type) {
  HRESULT hr = CheckCandidate(receiver, type);
  if (FAILED(hr)) {
    return hr;
  }
  peer_ = receiver;
  SetFormat(type);
  hr = receiver->ReceiveConnection(static_cast<IPin*>(this), type);
  if (SUCCEEDED(hr)) {
    hr = CompletePeer(receiver);
    if (SUCCEEDED(hr)) {
      return S_OK;
    }
    receiver->Disconnect();
  }
  BreakPeer();
  ForgetPeer();
  return hr;
}

HRESULT STDMETHODCALLTYPE PinBase::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
  if (connector == nullptr || type == nullptr) {
    return E_POINTER;
  }
  CriticalSectionLock guard(*lock_);
  HRESULT hr = CanConnect();
  if (FAILED(hr)) {
    return hr;
  }
  hr = CheckCandidate(connector, type);
  if (FAILED(hr)) {
    return hr;
  }
  peer_ = connector;
  SetFormat(type);
  hr = CompletePeer(connector);
  if (FAILED(hr)) {
    ForgetPeer();
    BreakPeer();
    return hr;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PinBase::Disconnect() {
  CriticalSectionLock guard(*lock_);
  if (filter_->State() != State_Stopped) {
    return VFW_E_NOT_STOPPED;
  }
  if (!IsConnected()) {
    return S_FALSE;
  }
  BreakPeer();
  ForgetPeer();
  return S_OK;
}

void PinBase::ForgetPeer() {
  peer_.Reset();
  CriticalSectionLock guard(typeLock_);
  currentType_.Reset();
}

MediaType PinBase::CurrentType() const {
  CriticalSectionLock guard(typeLock_);
  return currentType_;
}

void PinBase::ReplaceType(const AM_MEDIA_TYPE& type) {
  CriticalSectionLock guard(typeLock_);
  currentType_.Assign(type);
}

HRESULT STDMETHODCALLTYPE PinBase::ConnectedTo(IPin** pin) {
  if (pin == nullptr) {
    return E_POINTER;
  }
  ComPtr<IPin> peer = peer_;
  *pin = peer.Detach();
  return *pin != nullptr ? S_OK : VFW_E_NOT_CONNECTED;
}

HRESULT STDMETHODCALLTYPE PinBase::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (type == nullptr) {
    return E_POINTER;
  }
  // Only the type's own lock: a downstream filter may ask while our streaming
  // thread, holding ReceiveLock, is inside its QueryAccept, and FilterLock is
  // never taken after ReceiveLock.
  CriticalSectionLock typeGuard(typeLock_);
  if (!IsConnected()) {
    MediaType().MoveTo(type);
    return VFW_E_NOT_CONNECTED;
  }
  return MediaType::CopyInto(currentType_, type) ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE PinBase::QueryPinInfo(PIN_INFO* info) {
  if (info == nullptr) {
    return E_POINTER;
  }
  info->pFilter = static_cast<IBaseFilter*>(filter_);
  info->pFilter->AddRef();
  constexpr size_t kMaxChars = sizeof(info->achName) / sizeof(info->achName[0]) - 1;
  info->achName[0] = L'\0';
  if (name_ != nullptr) {
    std::wcsncpy(info->achName, name_, kMaxChars);
    info->achName[kMaxChars] = L'\0';
  }
  info->dir = direction_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PinBase::QueryDirection(PIN_DIRECTION* direction) {
  if (direction == nullptr) {
    return E_POINTER;
  }
  *direction = direction_;
  return S_OK;
}

// The ids are short on purpose ("In", "Out"): they are what FindPin takes,
// whatever the pins' display names are.
HRESULT STDMETHODCALLTYPE PinBase::QueryId(LPWSTR* id) {
  if (id == nullptr) {
    return E_POINTER;
  }
  *id = TaskMemoryCopy(direction_ == PINDIR_INPUT ? L"In" : L"Out");
  return *id != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE PinBase::QueryAccept(const AM_MEDIA_TYPE* type) {
  if (type == nullptr) {
    return E_POINTER;
  }
  const HRESULT hr = CheckFormat(type);
  return FAILED(hr) ? S_FALSE : hr;
}

HRESULT STDMETHODCALLTYPE PinBase::EnumMediaTypes(IEnumMediaTypes** types) {
  if (types == nullptr) {
    return E_POINTER;
  }
  *types = nullptr;
  auto* enumerator = new (std::nothrow) MediaTypeEnumerator(this);
  if (enumerator == nullptr) {
    return E_OUTOFMEMORY;
  }
  return HandOutInterface(static_cast<IEnumMediaTypes*>(enumerator), reinterpret_cast<void**>(types));
}

HRESULT STDMETHODCALLTYPE PinBase::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE PinBase::EndOfStream() { return E_UNEXPECTED; }

HRESULT STDMETHODCALLTYPE PinBase::BeginFlush() { return E_UNEXPECTED; }

HRESULT STDMETHODCALLTYPE PinBase::EndFlush() { return E_UNEXPECTED; }

HRESULT STDMETHODCALLTYPE PinBase::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  segmentStart_ = start;
  segmentStop_ = stop;
  segmentRate_ = rate;
  return S_OK;
}

// The sink is the downstream filter's business; no reference is held.
HRESULT STDMETHODCALLTYPE PinBase::SetSink(IQualityControl* sink) {
  CriticalSectionLock guard(*lock_);
  qualitySink_ = sink;
  return S_OK;
}

LONG PinBase::TypeListVersion() { return typeListVersion_; }

HRESULT PinBase::OnActive() { return S_OK; }

HRESULT PinBase::OnInactive() {
  runtimeError_ = false;
  return S_OK;
}

HRESULT PinBase::OnRun(REFERENCE_TIME) { return S_OK; }

HRESULT PinBase::SetFormat(const AM_MEDIA_TYPE* type) {
  ReplaceType(*type);
  return S_OK;
}

HRESULT PinBase::CheckPeer(IPin* peer) {
  PIN_DIRECTION peerDirection = PINDIR_INPUT;
  const HRESULT hr = peer->QueryDirection(&peerDirection);
  if (FAILED(hr)) {
    return hr;
  }
  return peerDirection == direction_ ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT PinBase::BreakPeer() { return S_OK; }

HRESULT PinBase::CompletePeer(IPin*) { return S_OK; }

}  // namespace sombrevox
