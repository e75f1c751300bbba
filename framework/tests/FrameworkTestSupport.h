#pragma once
// Shared by the framework test programs: COM set-up, the per-test watchdog,
// the test module loaded the way a host loads it, and media-type helpers.
#include <windows.h>
#include <dshow.h>

#include <gtest/gtest.h>
#include <wrl/client.h>

#include "Peers.h"
#include "TestFilterApi.h"
#include "TestSupport.h"

namespace sombrevox {

using test::AdjustedAllocator;
using test::Aggregator;
using test::TestRenderer;
using test::TestSource;

using Microsoft::WRL::ComPtr;

// The test module, loaded once with LoadLibrary; its exports by name.
struct TestModule {
  HMODULE module = nullptr;
  HRESULT(STDAPICALLTYPE* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(STDAPICALLTYPE* canUnloadNow)() = nullptr;
  HRESULT(STDAPICALLTYPE* registerServer)() = nullptr;
  HRESULT(STDAPICALLTYPE* unregisterServer)() = nullptr;
  LongQuery liveObjects = nullptr;
  LongQuery selfReleasingDestructions = nullptr;
  LongQuery hookCalls = nullptr;
};
const TestModule& Module();

// A class factory of the test module, then an object from it.
HRESULT CreateFromModule(const CLSID& clsid, IUnknown* outer, REFIID iid, void** object);
ComPtr<IBaseFilter> CreateTestFilter();
ComPtr<ITestProbe> ProbeOf(IBaseFilter* filter);
HookCounts CountsOf(IBaseFilter* filter);
ComPtr<IPin> PinOf(IBaseFilter* filter, const wchar_t* id);

// Each test checks that it left no object of the test module alive.
class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

// A fully specified 16-bit PCM audio type.
class PcmType {
 public:
  PcmType(WORD channels, DWORD rate = 44100);
  PcmType(const PcmType&) = delete;
  PcmType& operator=(const PcmType&) = delete;
  const AM_MEDIA_TYPE* get() const { return &type_; }
  const AM_MEDIA_TYPE& operator*() const { return type_; }

 private:
  WAVEFORMATEX format_{};
  AM_MEDIA_TYPE type_{};
};

// Same major type, subtype, format type and format block.
bool SameType(const AM_MEDIA_TYPE& a, const AM_MEDIA_TYPE& b);

}  // namespace sombrevox
