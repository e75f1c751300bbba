// IPersistStream: the parameters as an 84-byte record — a size word, the
// IReverbSettings identifier as a marker, then the eight doubles.
#include <cstring>

#include "ReverbFilter.h"

namespace sombrevox {
namespace {

constexpr ULONG kRecordSize = 84;
constexpr ULONG kHeaderSize = 20;
static_assert(kHeaderSize + sizeof(ReverbParams) == kRecordSize, "the record is 84 bytes");

// The stream's answer, with a short transfer counted as a failure: applying
// or keeping half a record would corrupt the setting.
HRESULT WholeTransfer(HRESULT hr, ULONG done, ULONG wanted, HRESULT shortResult) {
  if (FAILED(hr)) return hr;
  return done == wanted ? S_OK : shortResult;
}

}  // namespace

HRESULT STDMETHODCALLTYPE ReverbFilter::IsDirty() { return params_.IsDirty() ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE ReverbFilter::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  BYTE header[kHeaderSize];
  ULONG read = 0;
  HRESULT hr = WholeTransfer(stream->Read(header, kHeaderSize, &read), read, kHeaderSize, E_FAIL);
  if (FAILED(hr)) return hr;
  DWORD size;
  GUID marker;
  std::memcpy(&size, header, 4);
  std::memcpy(&marker, header + 4, sizeof marker);
  if (size != kRecordSize || marker != IID_IReverbSettings) return E_FAIL;

  ReverbParams params;
  hr = WholeTransfer(stream->Read(&params, sizeof params, &read), read, sizeof params, E_FAIL);
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
  ULONG written = 0;
  HRESULT hr = WholeTransfer(stream->Write(header, kHeaderSize, &written), written, kHeaderSize, STG_E_WRITEFAULT);
  if (FAILED(hr)) return hr;
  const ReverbParams params = params_.GetAll();
  hr = WholeTransfer(stream->Write(&params, sizeof params, &written), written, sizeof params, STG_E_WRITEFAULT);
  if (FAILED(hr)) return hr;
  if (clearDirty) params_.ClearDirty();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ReverbFilter::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = kRecordSize;
  return S_OK;
}

}  // namespace sombrevox
