// IPersistStream: the parameters as an 84-byte record — a size word, the
// IReverbSettings identifier as a marker, then the eight doubles.
#include <cstring>

#include "ReverbFilter.h"

namespace sombrevox {
namespace {

constexpr ULONG kRecordSize = 84;
constexpr ULONG kHeaderSize = 20;
static_assert(kHeaderSize + sizeof(ReverbParams) == kRecordSize, "the record is 84 bytes");

// Reads or writes all of `size` bytes; a short transfer is a failure, since
// applying or keeping half a record would corrupt the setting.
HRESULT ReadWhole(IStream* stream, void* data, ULONG size) {
  ULONG done = 0;
  const HRESULT hr = stream->Read(data, size, &done);
  if (FAILED(hr)) return hr;
  return done == size ? S_OK : E_FAIL;
}

HRESULT WriteWhole(IStream* stream, const void* data, ULONG size) {
  ULONG done = 0;
  const HRESULT hr = stream->Write(data, size, &done);
  if (FAILED(hr)) return hr;
  return done == size ? S_OK : STG_E_WRITEFAULT;
}

}  // namespace

HRESULT STDMETHODCALLTYPE ReverbFilter::IsDirty() { return params_.IsDirty() ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE ReverbFilter::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  BYTE header[kHeaderSize];
  HRESULT hr = ReadWhole(stream, header, kHeaderSize);
  if (FAILED(hr)) return hr;
  DWORD size;
  GUID marker;
  std::memcpy(&size, header, 4);
  std::memcpy(&marker, header + 4, sizeof marker);
  if (size != kRecordSize || marker != IID_IReverbSettings) return E_FAIL;

  ReverbParams params;
  hr = ReadWhole(stream, &params, sizeof params);
  if (FAILED(hr)) return hr;
  SetParams(&params);
  notifications_.Notify(NOTIFY_SETTINGS_LOADED);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ReverbFilter::Save(IStream* stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  BYTE header[kHeaderSize];
  const DWORD size = kRecordSize;
  std::memcpy(header, &size, 4);
  std::memcpy(header + 4, &IID_IReverbSettings, sizeof(GUID));
  HRESULT hr = WriteWhole(stream, header, kHeaderSize);
  if (FAILED(hr)) return hr;
  uint64_t changeCount = 0;
  const ReverbParams params = params_.GetAll(&changeCount);
  hr = WriteWhole(stream, &params, sizeof params);
  if (FAILED(hr)) return hr;
  // An edit made while the record was being written is not in it: the
  // filter stays dirty, so the host asks to save again.
  if (clearDirty) params_.ClearDirtyIfUnchanged(changeCount);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ReverbFilter::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = kRecordSize;
  return S_OK;
}

}  // namespace sombrevox
