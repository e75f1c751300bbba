#include "GraphUtil.h"

#include <vfwmsgs.h>

#include <cstdio>
#include <cstring>

namespace sombrevox::graph {
namespace {

constexpr GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr GUID kSubtypeIeeeFloat = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

}  // namespace

ComPtr<IPin> FindPin(IBaseFilter* filter, PIN_DIRECTION direction) {
  ComPtr<IEnumPins> pins;
  if (!filter || FAILED(filter->EnumPins(&pins))) return nullptr;
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    PIN_DIRECTION d;
    if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction) return pin;
  }
  return nullptr;
}

void OwnedMediaType::Clear() {
  if (type_.cbFormat && type_.pbFormat) CoTaskMemFree(type_.pbFormat);
  if (type_.pUnk) type_.pUnk->Release();
  type_ = AM_MEDIA_TYPE{};
}

void OwnedMediaType::Adopt(AM_MEDIA_TYPE* allocated) {
  Clear();
  if (!allocated) return;
  type_ = *allocated;
  CoTaskMemFree(allocated);
}

bool OwnedMediaType::CopyFrom(const AM_MEDIA_TYPE& type) {
  Clear();
  type_ = type;
  type_.pbFormat = nullptr;
  type_.cbFormat = 0;
  if (type_.pUnk) type_.pUnk->AddRef();
  if (type.cbFormat && type.pbFormat) {
    type_.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(type.cbFormat));
    if (!type_.pbFormat) return false;
    std::memcpy(type_.pbFormat, type.pbFormat, type.cbFormat);
    type_.cbFormat = type.cbFormat;
  }
  return true;
}

const WAVEFORMATEX* WaveFormatOf(const AM_MEDIA_TYPE& type) {
  if (!type.pbFormat || type.cbFormat < 16) return nullptr;
  return reinterpret_cast<const WAVEFORMATEX*>(type.pbFormat);
}

uint16_t SampleTypeOf(const AM_MEDIA_TYPE& type) {
  const WAVEFORMATEX* wave = WaveFormatOf(type);
  if (!wave) return 0;
  WORD tag = wave->wFormatTag;
  if (tag == WAVE_FORMAT_EXTENSIBLE) {
    if (type.cbFormat < sizeof(WAVEFORMATEXTENSIBLE)) return 0;
    const GUID& sub = reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(wave)->SubFormat;
    tag = sub == kSubtypePcm ? WAVE_FORMAT_PCM : sub == kSubtypeIeeeFloat ? WAVE_FORMAT_IEEE_FLOAT : 0;
  }
  if (tag == WAVE_FORMAT_PCM && wave->wBitsPerSample == 16) return 1;
  if (tag == WAVE_FORMAT_IEEE_FLOAT && wave->wBitsPerSample == 32) return 3;
  return 0;
}

std::string HrText(HRESULT hr) {
  struct Name {
    HRESULT hr;
    const char* text;
  };
  static constexpr Name kNames[] = {
      {S_OK, "S_OK"},
      {S_FALSE, "S_FALSE"},
      {E_FAIL, "E_FAIL"},
      {E_INVALIDARG, "E_INVALIDARG"},
      {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
      {E_NOINTERFACE, "E_NOINTERFACE"},
      {E_UNEXPECTED, "E_UNEXPECTED"},
      {E_POINTER, "E_POINTER"},
      {REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
      {HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), "file not found"},
      {HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND), "path not found"},
      {VFW_E_INVALIDMEDIATYPE, "VFW_E_INVALIDMEDIATYPE"},
      {VFW_E_NO_ACCEPTABLE_TYPES, "VFW_E_NO_ACCEPTABLE_TYPES"},
      {VFW_E_TYPE_NOT_ACCEPTED, "VFW_E_TYPE_NOT_ACCEPTED"},
      {VFW_E_NOT_CONNECTED, "VFW_E_NOT_CONNECTED"},
      {VFW_E_ALREADY_CONNECTED, "VFW_E_ALREADY_CONNECTED"},
      {VFW_E_RUNTIME_ERROR, "VFW_E_RUNTIME_ERROR"},
      {VFW_E_WRONG_STATE, "VFW_E_WRONG_STATE"},
      {VFW_E_NOT_STOPPED, "VFW_E_NOT_STOPPED"},
      {VFW_E_UNSUPPORTED_STREAM, "VFW_E_UNSUPPORTED_STREAM"},
      {VFW_E_INVALID_FILE_FORMAT, "VFW_E_INVALID_FILE_FORMAT"},
      {VFW_E_CANNOT_CONNECT, "VFW_E_CANNOT_CONNECT"},
  };
  char text[64];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  for (const Name& name : kNames)
    if (name.hr == hr) return std::string(text) + " (" + name.text + ")";
  return text;
}

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
  wide.resize(wide.size() - 1);
  return wide;
}

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string windows = "Z:" + path;
  for (char& c : windows)
    if (c == '/') c = '\\';
  return windows;
}

}  // namespace sombrevox::graph
