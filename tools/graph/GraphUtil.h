#pragma once
// Small helpers for a DirectShow host: pins by direction, owned media types,
// HRESULTs as text, Windows paths.
#include <windows.h>
#include <mmreg.h>
#include <strmif.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

namespace sombrevox::graph {

using Microsoft::WRL::ComPtr;

// The filter's first pin of that direction, or null.
ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction);

// Takes over the creation reference of an object whose count starts at 1.
// (Both ComPtr's constructor and, in this toolchain's headers, its Attach add
// one, so neither alone will do.)
template <typename T>
ComPtr<T> Adopt(T* created) {
  ComPtr<T> held(created);
  if (created) created->Release();
  return held;
}

// An AM_MEDIA_TYPE whose format block and pUnk this holder frees.
class OwnedMediaType {
 public:
  OwnedMediaType() = default;
  ~OwnedMediaType() { Clear(); }
  OwnedMediaType(const OwnedMediaType&) = delete;
  OwnedMediaType& operator=(const OwnedMediaType&) = delete;

  AM_MEDIA_TYPE* get() { return &type_; }
  const AM_MEDIA_TYPE* get() const { return &type_; }
  AM_MEDIA_TYPE* operator->() { return &type_; }
  const AM_MEDIA_TYPE* operator->() const { return &type_; }
  void Clear();
  // Takes over a type a peer allocated with CoTaskMemAlloc (its block too).
  void Adopt(AM_MEDIA_TYPE* allocated);
  // A deep copy of `type` (format block duplicated with CoTaskMemAlloc).
  bool CopyFrom(const AM_MEDIA_TYPE& type);

 private:
  AM_MEDIA_TYPE type_{};
};

// The type's wave format, or null when it carries none of at least 16 bytes.
const WAVEFORMATEX* WaveFormatOf(const AM_MEDIA_TYPE& type);
// 1 for 16-bit integer samples, 3 for 32-bit float samples (plain tags or an
// extensible format's subformat), else 0.
uint16_t SampleTypeOf(const AM_MEDIA_TYPE& type);

// "0x80040207 (VFW_E_NO_ACCEPTABLE_TYPES)" for the codes a host meets, else the hex value.
std::string HrText(HRESULT hr);

// The Windows form of a path: "Z:\tmp\x.wav" for "/tmp/x.wav" (Wine maps Z:
// to the Unix root); Windows paths unchanged.
std::string WindowsPath(const std::string& path);
std::wstring Widen(const std::string& text);

}  // namespace sombrevox::graph
