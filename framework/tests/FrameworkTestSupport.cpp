#include "FrameworkTestSupport.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <string>
#include <thread>

namespace sombrevox {

namespace {

const bool installed = test::InstallTestEnvironment(COINIT_MULTITHREADED, std::chrono::seconds(60));

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

const TestModule& Module() {
  static const TestModule loaded = [] {
    TestModule m;
    m.module = LoadLibraryW(kTestModuleName);
    if (m.module != nullptr) {
      Resolve(m.module, "DllGetClassObject", m.getClassObject);
      Resolve(m.module, "DllCanUnloadNow", m.canUnloadNow);
      Resolve(m.module, "DllRegisterServer", m.registerServer);
      Resolve(m.module, "DllUnregisterServer", m.unregisterServer);
      Resolve(m.module, "TestLiveObjects", m.liveObjects);
      Resolve(m.module, "TestSelfReleasingDestructions", m.selfReleasingDestructions);
      Resolve(m.module, "TestHookCalls", m.hookCalls);
    }
    return m;
  }();
  return loaded;
}

void FrameworkTest::SetUp() {
  const TestModule& module = Module();
  ASSERT_NE(nullptr, module.module) << "LoadLibrary failed: " << GetLastError();
  ASSERT_NE(nullptr, module.getClassObject);
  ASSERT_NE(nullptr, module.canUnloadNow);
  ASSERT_NE(nullptr, module.liveObjects);
  ASSERT_EQ(0, module.liveObjects()) << "an earlier test left objects alive";
}

void FrameworkTest::TearDown() { EXPECT_EQ(0, Module().liveObjects()) << "objects of the module are still alive"; }

HRESULT CreateFromModule(const CLSID& clsid, IUnknown* outer, REFIID iid, void** object) {
  ComPtr<IClassFactory> factory;
  const HRESULT hr =
      Module().getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
  if (FAILED(hr)) {
    return hr;
  }
  return factory->CreateInstance(outer, iid, object);
}

ComPtr<IBaseFilter> CreateTestFilter() {
  ComPtr<IBaseFilter> filter;
  CreateFromModule(kTestFilterClsid, nullptr, IID_IBaseFilter, reinterpret_cast<void**>(filter.GetAddressOf()));
  return filter;
}

ComPtr<ITestProbe> ProbeOf(IBaseFilter* filter) {
  ComPtr<ITestProbe> probe;
  filter->QueryInterface(kProbeIid, reinterpret_cast<void**>(probe.GetAddressOf()));
  return probe;
}

HookCounts CountsOf(IBaseFilter* filter) {
  HookCounts counts{};
  ProbeOf(filter)->GetCounts(&counts);
  return counts;
}

ComPtr<IPin> PinOf(IBaseFilter* filter, const wchar_t* id) {
  ComPtr<IPin> pin;
  filter->FindPin(id, pin.GetAddressOf());
  return pin;
}

PcmType::PcmType(WORD channels, DWORD rate) {
  format_.wFormatTag = WAVE_FORMAT_PCM;
  format_.nChannels = channels;
  format_.nSamplesPerSec = rate;
  format_.wBitsPerSample = 16;
  format_.nBlockAlign = static_cast<WORD>(channels * 2);
  format_.nAvgBytesPerSec = rate * format_.nBlockAlign;
  type_.majortype = MEDIATYPE_Audio;
  type_.subtype = MEDIASUBTYPE_PCM;
  type_.bFixedSizeSamples = TRUE;
  type_.lSampleSize = format_.nBlockAlign;
  type_.formattype = FORMAT_WaveFormatEx;
  type_.cbFormat = sizeof(format_);
  type_.pbFormat = reinterpret_cast<BYTE*>(&format_);
}

bool SameType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b) {
  return a.majortype == b.majortype && a.subtype == b.subtype && a.formattype == b.formattype &&
         a.cbFormat == b.cbFormat && (a.cbFormat == 0 || std::memcmp(a.pbFormat, b.pbFormat, a.cbFormat) == 0);
}

}  // namespace sombrevox
