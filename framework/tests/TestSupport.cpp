#include "TestSupport.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <string>
#include <thread>

namespace sombrevox {

namespace {

constexpr auto kTestLimit = std::chrono::seconds(60);

std::atomic<long long> deadlineMs{0};
std::string runningTest;

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void StartWatchdogOnce() {
  static const bool started = [] {
    std::thread([] {
      for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const long long deadline = deadlineMs.load();
        if (deadline != 0 && NowMs() > deadline) {
          std::fprintf(stderr, "watchdog: %s still running after %lld s: failing the run\n", runningTest.c_str(),
                       static_cast<long long>(kTestLimit.count()));
          std::fflush(stderr);
          TerminateProcess(GetCurrentProcess(), 3);
        }
      }
    }).detach();
    return true;
  }();
  (void)started;
}

// A crash must fail the run: Wine's debugger would otherwise end the program
// with exit code 0.
LONG WINAPI FailOnCrash(EXCEPTION_POINTERS* exception) {
  std::fprintf(stderr, "crash: exception 0x%08lx at %p in %s\n",
               static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
               exception->ExceptionRecord->ExceptionAddress, runningTest.c_str());
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), 4);
  return EXCEPTION_EXECUTE_HANDLER;
}

class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    SetUnhandledExceptionFilter(FailOnCrash);
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
  }
  void TearDown() override { CoUninitialize(); }
};

[[maybe_unused]] ::testing::Environment* const comEnvironment = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Hr& hr) {
  return out << "0x" << std::hex << std::setw(8) << std::setfill('0') << static_cast<unsigned long>(hr.value)
             << std::dec;
}

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
  StartWatchdogOnce();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  runningTest = std::string(info->test_suite_name()) + "." + info->name();
  deadlineMs = NowMs() + std::chrono::duration_cast<std::chrono::milliseconds>(kTestLimit).count();
  const TestModule& module = Module();
  ASSERT_NE(nullptr, module.module) << "LoadLibrary failed: " << GetLastError();
  ASSERT_NE(nullptr, module.getClassObject);
  ASSERT_NE(nullptr, module.canUnloadNow);
  ASSERT_NE(nullptr, module.liveObjects);
  ASSERT_EQ(0, module.liveObjects()) << "an earlier test left objects alive";
}

void FrameworkTest::TearDown() {
  EXPECT_EQ(0, Module().liveObjects()) << "objects of the module are still alive";
  deadlineMs = 0;
}

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
