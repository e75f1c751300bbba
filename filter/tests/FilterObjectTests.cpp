// The filter object as a host sees it: created through the real DLL's class
// factory, every interface on one identity, parameters, presets, pages.
#include <dshow.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "FilterTestSupport.h"

using namespace sombrevox;
using namespace sombrevox::test;

namespace {

ReverbParams Record(double predelay, double size, double lowpass, double diffusion, double decay, double damping,
                    double mix, double level) {
  return ReverbParams{predelay, size, lowpass, diffusion, decay, damping, mix, level};
}

bool Same(const ReverbParams& a, const ReverbParams& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(FilterObject, AnswersEveryInterfaceOnOneIdentity) {
  ComPtr<IUnknown> filter = CreateFilter();
  ASSERT_TRUE(filter);
  const IID published[] = {IID_IBaseFilter,     IID_IMediaFilter,          IID_IPersist,       IID_IAMovieSetup,
                           IID_IReverbSettings, IID_ISpecifyPropertyPages, IID_IPersistStream, IID_IFactoryPresets};
  for (const IID& iid : published) {
    ComPtr<IUnknown> iface;
    ASSERT_EQ(filter->QueryInterface(iid, reinterpret_cast<void**>(iface.GetAddressOf())), S_OK);
    ComPtr<IUnknown> identity;
    ASSERT_EQ(iface->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf())), S_OK);
    EXPECT_EQ(identity.Get(), filter.Get());
  }
  ComPtr<IUnknown> none;
  EXPECT_EQ(filter->QueryInterface(IID_IPropertyPage, reinterpret_cast<void**>(none.GetAddressOf())), E_NOINTERFACE);
  EXPECT_EQ(filter->QueryInterface(IID_IReverbSettings, nullptr), E_POINTER);

  CLSID clsid{};
  EXPECT_EQ(As<IPersistStream>(filter.Get(), IID_IPersistStream)->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_SombrevoxLight);
  EXPECT_EQ(As<IBaseFilter>(filter.Get(), IID_IBaseFilter)->GetClassID(nullptr), E_POINTER);
}

TEST(FilterObject, ReleasingEveryInterfaceDestroysItOnce) {
  auto canUnload =
      reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(Module(), "DllCanUnloadNow")));
  ASSERT_TRUE(canUnload);
  ASSERT_EQ(canUnload(), S_OK) << "no object may outlive an earlier test";
  {
    ComPtr<IUnknown> filter = CreateFilter();
    ComPtr<IReverbSettings> settings = As<IReverbSettings>(filter.Get(), IID_IReverbSettings);
    ComPtr<IFactoryPresets> presets = As<IFactoryPresets>(filter.Get(), IID_IFactoryPresets);
    EXPECT_EQ(RefCount(filter.Get()), 3u);
    EXPECT_EQ(canUnload(), S_FALSE);
    filter.Reset();
    settings.Reset();
    EXPECT_EQ(canUnload(), S_FALSE);
  }
  EXPECT_EQ(canUnload(), S_OK);
}

// An aggregator of our own: the filter's interfaces must forward to it.
class Aggregator : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    ++queries;
    if (iid == IID_IUnknown) {
      *object = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return inner ? inner->QueryInterface(iid, object) : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  IUnknown* inner = nullptr;
  LONG references = 1;
  int queries = 0;
};

TEST(FilterObject, AggregatedInterfacesForwardToTheAggregator) {
  Aggregator outer;
  ComPtr<IUnknown> inner = CreateFilter(&outer);
  ASSERT_TRUE(inner);
  outer.inner = inner.Get();
  IReverbSettings* settings = nullptr;
  ASSERT_EQ(inner->QueryInterface(IID_IReverbSettings, reinterpret_cast<void**>(&settings)), S_OK);
  EXPECT_EQ(outer.references, 2) << "the reference lands on the aggregator";
  IUnknown* identity = nullptr;
  settings->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
  EXPECT_EQ(identity, &outer);
  identity->Release();
  settings->Release();
  EXPECT_EQ(outer.references, 1);
  outer.inner = nullptr;
}

TEST(FilterObject, FreshFilterHoldsTheDefaultsAndIsDirty) {
  ComPtr<IUnknown> filter = CreateFilter();
  ComPtr<IReverbSettings> s = As<IReverbSettings>(filter.Get(), IID_IReverbSettings);
  ReverbParams p{};
  ASSERT_EQ(s->GetParams(&p), S_OK);
  EXPECT_TRUE(Same(p, Record(33, 250, 10000, 1.0, 1200, 0.5, 0.5, 0)));
  EXPECT_EQ(As<IPersistStream>(filter.Get(), IID_IPersistStream)->IsDirty(), S_OK);
  double mix = 0;
  EXPECT_EQ(s->GetMix(&mix), S_OK);
  EXPECT_EQ(mix, 0.5);
}

TEST(FilterObject, SettersClampAndRaiseDirtyOnlyOnChange) {
  ComPtr<IUnknown> filter = CreateFilter();
  ComPtr<IReverbSettings> s = As<IReverbSettings>(filter.Get(), IID_IReverbSettings);
  ComPtr<IPersistStream> persist = As<IPersistStream>(filter.Get(), IID_IPersistStream);
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf()), S_OK);
  ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
  ASSERT_EQ(persist->IsDirty(), S_FALSE);

  EXPECT_EQ(s->SetMix(0.5), S_OK);  // the stored value
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  double v = 0;
  EXPECT_EQ(s->SetPredelay(0), S_OK);
  s->GetPredelay(&v);
  EXPECT_EQ(v, 1.0);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  s->SetPredelay(251);
  s->GetPredelay(&v);
  EXPECT_EQ(v, 250.0);
  s->SetRoomSize(NAN);
  s->GetRoomSize(&v);
  EXPECT_EQ(v, 30.0);
  s->SetLowpass(1e9);
  s->GetLowpass(&v);
  EXPECT_EQ(v, 16000.0);
  s->SetDiffusion(0.75);
  s->GetDiffusion(&v);
  EXPECT_EQ(v, 0.75);
  s->SetDecay(-1);
  s->GetDecay(&v);
  EXPECT_EQ(v, 300.0);
  s->SetDamping(0.95);
  s->GetDamping(&v);
  EXPECT_EQ(v, 0.9);
  s->SetLevel(-40);
  s->GetLevel(&v);
  EXPECT_EQ(v, -15.0);

  const ReverbParams wild = Record(0, 1e9, -5, 2, 1e6, 0, -1, 100);
  EXPECT_EQ(s->SetParams(&wild), S_OK);
  ReverbParams p{};
  s->GetParams(&p);
  EXPECT_TRUE(Same(p, Record(1, 20000, 500, 1.0, 8000, 0.2, 0, 3)));
}

TEST(FilterObject, NullOutPointersAnswerEPointer) {
  ComPtr<IUnknown> filter = CreateFilter();
  ComPtr<IReverbSettings> s = As<IReverbSettings>(filter.Get(), IID_IReverbSettings);
  EXPECT_EQ(s->GetParams(nullptr), E_POINTER);
  EXPECT_EQ(s->SetParams(nullptr), E_POINTER);
  EXPECT_EQ(s->GetWaveFormat(nullptr, 0), E_POINTER);
  EXPECT_EQ(s->GetEditorLink(nullptr), E_POINTER);
  EXPECT_EQ(s->GetPredelay(nullptr), E_POINTER);
  EXPECT_EQ(s->GetRoomSize(nullptr), E_POINTER);
  EXPECT_EQ(s->GetLowpass(nullptr), E_POINTER);
  EXPECT_EQ(s->GetDiffusion(nullptr), E_POINTER);
  EXPECT_EQ(s->GetDecay(nullptr), E_POINTER);
  EXPECT_EQ(s->GetDamping(nullptr), E_POINTER);
  EXPECT_EQ(s->GetMix(nullptr), E_POINTER);
  EXPECT_EQ(s->GetLevel(nullptr), E_POINTER);
  ComPtr<IFactoryPresets> presets = As<IFactoryPresets>(filter.Get(), IID_IFactoryPresets);
  EXPECT_EQ(presets->GetPresetCount(nullptr), E_POINTER);
  EXPECT_EQ(presets->GetPresetName(0, nullptr, 64), E_POINTER);
  EXPECT_EQ(As<ISpecifyPropertyPages>(filter.Get(), IID_ISpecifyPropertyPages)->GetPages(nullptr), E_POINTER);
}

TEST(FilterObject, WaveFormatsAreAbsentUntilThePinsAreTyped) {
  ComPtr<IUnknown> filter = CreateFilter();
  ComPtr<IReverbSettings> s = As<IReverbSettings>(filter.Get(), IID_IReverbSettings);
  WAVEFORMATEX format;
  std::memset(&format, 0xAB, sizeof format);
  EXPECT_EQ(s->GetWaveFormat(&format, 0), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(s->GetWaveFormat(&format, 1), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(s->GetWaveFormat(&format, 2), VFW_E_NOT_CONNECTED);
  EXPECT_EQ(format.nSamplesPerSec, 0xABABABABu) << "the output is left untouched";
}

TEST(FilterObject, EditorLinkStartsAsThePageExpects) {
  ComPtr<IUnknown> filter = CreateFilter();
  ComPtr<IReverbSettings> s = As<IReverbSettings>(filter.Get(), IID_IReverbSettings);
  EditorLink* link = nullptr;
  ASSERT_EQ(s->GetEditorLink(&link), S_OK);
  ASSERT_TRUE(link);
  EXPECT_TRUE(link->settings);
  EXPECT_EQ(link->reverb, s.Get());
  EXPECT_EQ(link->pageWindow, nullptr);
  EXPECT_EQ(link->pageReady, 0);
  EXPECT_EQ(link->firstOpen, 1);
  EXPECT_EQ(link->selectedParam, 6);
  EXPECT_EQ(link->editorWord, 1);
  EditorLink* again = nullptr;
  s->GetEditorLink(&again);
  EXPECT_EQ(again, link) << "one block for the filter's life";
}

TEST(FilterObject, PropertyPagesNameThePageClass) {
  ComPtr<IUnknown> filter = CreateFilter();
  CAUUID pages{};
  ASSERT_EQ(As<ISpecifyPropertyPages>(filter.Get(), IID_ISpecifyPropertyPages)->GetPages(&pages), S_OK);
  ASSERT_EQ(pages.cElems, 1u);
  EXPECT_EQ(pages.pElems[0], CLSID_SombrevoxLightPage);
  CoTaskMemFree(pages.pElems);
}

TEST(FactoryPresets, CountNamesAndRefusals) {
  ComPtr<IUnknown> filter = CreateFilter();
  ComPtr<IFactoryPresets> presets = As<IFactoryPresets>(filter.Get(), IID_IFactoryPresets);
  LONG count = 0;
  EXPECT_EQ(presets->GetPresetCount(&count), S_OK);
  EXPECT_EQ(count, 24);
  WCHAR name[64];
  EXPECT_EQ(presets->GetPresetName(0, name, 64), S_OK);
  EXPECT_STREQ(name, L"(Default)");
  EXPECT_EQ(presets->GetPresetName(23, name, 64), S_OK);
  EXPECT_STREQ(name, L"023 - C.S.I.");
  EXPECT_EQ(presets->GetPresetName(24, name, 64), E_INVALIDARG);
  EXPECT_EQ(presets->GetPresetName(-1, name, 64), E_INVALIDARG);

  // Too small for the whole name: a failure, and the buffer still terminated.
  WCHAR small[6];
  std::fill(std::begin(small), std::end(small), L'#');
  EXPECT_TRUE(FAILED(presets->GetPresetName(1, small, 6)));
  EXPECT_EQ(small[5], L'\0');
  EXPECT_EQ(presets->GetPresetName(1, small, 0), E_INVALIDARG);
}

TEST(FactoryPresets, SelectAppliesClampedValuesAndNotifiesThePage) {
  ComPtr<IUnknown> filter = CreateFilter();
  ComPtr<IFactoryPresets> presets = As<IFactoryPresets>(filter.Get(), IID_IFactoryPresets);
  ComPtr<IReverbSettings> s = As<IReverbSettings>(filter.Get(), IID_IReverbSettings);
  EXPECT_EQ(presets->SelectPreset(24), E_INVALIDARG);
  EXPECT_EQ(presets->SelectPreset(-1), E_INVALIDARG);

  EXPECT_EQ(presets->SelectPreset(13), S_OK);
  double v = 0;
  s->GetDamping(&v);
  EXPECT_EQ(v, 0.9);
  EXPECT_EQ(presets->SelectPreset(1), S_OK);
  s->GetPredelay(&v);
  EXPECT_EQ(v, 1.0);

  TestWindow page;
  EditorLink* link = nullptr;
  s->GetEditorLink(&link);
  link->pageWindow = page.get();
  EXPECT_EQ(presets->SelectPreset(14), S_OK);
  s->GetPredelay(&v);
  EXPECT_EQ(v, 250.0);
  MSG msg;
  ASSERT_TRUE(TakePosted(page.get(), WM_REVERB_PRESET_SELECTED, &msg));
  EXPECT_EQ(msg.message, 1131u);
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_EQ(msg.lParam, 0);
  EXPECT_FALSE(TakePosted(page.get(), WM_REVERB_PRESET_SELECTED, &msg)) << "posted once";
  link->pageWindow = nullptr;
}

// Several threads write whole records while another reads them: every read
// is one of the records written, never a mixture.
// The pins are made on the first request: two threads making it at once get
// the same pins, never one the other has already destroyed.
TEST(FilterObject, PinsAskedForByTwoThreadsAtOnceAreTheSame) {
  for (int round = 0; round < 100; ++round) {
    ComPtr<IBaseFilter> filter = As<IBaseFilter>(CreateFilter().Get(), IID_IBaseFilter);
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ComPtr<IPin> pins[2];
    auto ask = [&](int i) {
      WaitForSingleObject(go, INFINITE);
      filter->FindPin(L"In", pins[i].GetAddressOf());
    };
    std::thread first(ask, 0), second(ask, 1);
    SetEvent(go);
    first.join();
    second.join();
    CloseHandle(go);
    ASSERT_TRUE(pins[0] && pins[1]);
    ASSERT_EQ(pins[0].Get(), pins[1].Get()) << "round " << round;
  }
}

TEST(FilterObject, SharedBetweenThreadsNeverTearsARecord) {
  ComPtr<IUnknown> filter = CreateFilter();
  ComPtr<IReverbSettings> s = As<IReverbSettings>(filter.Get(), IID_IReverbSettings);
  const ReverbParams a = Record(30, 405, 16000, 0.7, 1100, 0.5, 0.5, 0);
  const ReverbParams b = Record(60, 2995, 1625, 0.85, 3067, 0.73, 0.5, -3);
  s->SetParams(&a);
  std::atomic<bool> stop{false};
  std::vector<std::thread> writers;
  for (int i = 0; i < 3; ++i) {
    writers.emplace_back([&, i] {
      while (!stop) s->SetParams(i % 2 ? &a : &b);
    });
  }
  int torn = 0;
  for (int i = 0; i < 20000; ++i) {
    ReverbParams p;
    s->GetParams(&p);
    if (!Same(p, a) && !Same(p, b)) ++torn;
  }
  stop = true;
  for (std::thread& t : writers) t.join();
  EXPECT_EQ(torn, 0);
}
