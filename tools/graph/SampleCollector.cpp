#include "SampleCollector.h"

#include <cstring>

#include <new>

namespace sombrevox::graph {

HRESULT STDMETHODCALLTYPE SampleCollector::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == __uuidof(ISampleGrabberCB)) {
    *object = static_cast<ISampleGrabberCB*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE SampleCollector::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG STDMETHODCALLTYPE SampleCollector::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE SampleCollector::SampleCB(double, IMediaSample* sample) {
  if (!sample) return E_POINTER;
  CollectedSample record;
  record.timed = SUCCEEDED(sample->GetTime(&record.start, &record.stop));
  record.discontinuity = sample->IsDiscontinuity() == S_OK;
  record.syncPoint = sample->IsSyncPoint() == S_OK;
  AM_MEDIA_TYPE* type = nullptr;
  if (sample->GetMediaType(&type) == S_OK && type) {
    record.typeChanged = true;
    if (type->cbFormat >= 16 && type->pbFormat) std::memcpy(&record.newFormat, type->pbFormat, 16);
    if (type->cbFormat) CoTaskMemFree(type->pbFormat);
    if (type->pUnk) type->pUnk->Release();
    CoTaskMemFree(type);
  }
  BYTE* bytes = nullptr;
  const long length = sample->GetActualDataLength();
  if (length > 0 && FAILED(sample->GetPointer(&bytes))) return E_POINTER;
  size_t index = 0;
  std::function<void(size_t)> observer;
  {
    std::lock_guard<std::mutex> guard(lock_);
    record.offset = data_.size();
    record.length = length > 0 ? static_cast<size_t>(length) : 0;
    // No exception may leave a COM call: a failed allocation is a failed sample.
    try {
      data_.insert(data_.end(), bytes, bytes + record.length);
      samples_.push_back(record);
      observer = observer_;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    index = samples_.size() - 1;
  }
  if (observer) observer(index);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE SampleCollector::BufferCB(double, BYTE*, LONG) { return E_NOTIMPL; }

void SampleCollector::Reserve(size_t bytes) {
  std::lock_guard<std::mutex> guard(lock_);
  data_.reserve(bytes);
}

std::vector<uint8_t> SampleCollector::Data() const {
  std::lock_guard<std::mutex> guard(lock_);
  return data_;
}

std::vector<CollectedSample> SampleCollector::Samples() const {
  std::lock_guard<std::mutex> guard(lock_);
  return samples_;
}

size_t SampleCollector::SampleCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return samples_.size();
}

size_t SampleCollector::ByteCount() const {
  std::lock_guard<std::mutex> guard(lock_);
  return data_.size();
}

void SampleCollector::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  data_.clear();
  samples_.clear();
}

void SampleCollector::SetObserver(std::function<void(size_t)> observer) {
  std::lock_guard<std::mutex> guard(lock_);
  observer_ = std::move(observer);
}

}  // namespace sombrevox::graph
