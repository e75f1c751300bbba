#include "GraphTestSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <mutex>
#include <numbers>
#include <sstream>
#include <thread>

#include "FactoryPresets.h"
#include "ReverbEngine.h"
#include "SharedParams.h"

namespace sombrevox::graphtest {
namespace {

using test::ArmWatchdog;
using test::DisarmWatchdog;
using test::InstallTestEnvironment;

ModuleUnderTest& MutableModule() {
  static ModuleUnderTest module;
  return module;
}

// The module loaded and registered for the whole program.
class RegisteredModule : public ::testing::Environment {
 public:
  void SetUp() override {
    ArmWatchdog("registering the module");
    ModuleUnderTest& m = MutableModule();
    const std::string path = graph::WindowsPath(SOMBREVOX_MODULE_PATH);
    m.module = LoadLibraryA(path.c_str());
    ASSERT_NE(m.module, nullptr) << "cannot load " << path << ", error " << GetLastError();
    char loaded[MAX_PATH] = {};
    GetModuleFileNameA(m.module, loaded, MAX_PATH);
    m.path = loaded;
    m.registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(m.module, "DllRegisterServer")));
    m.unregisterServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(m.module, "DllUnregisterServer")));
    ASSERT_NE(m.registerServer, nullptr);
    ASSERT_NE(m.unregisterServer, nullptr);
    m.registration = m.registerServer();
    DisarmWatchdog();
  }

  void TearDown() override {
    ArmWatchdog("unregistering the module");
    ModuleUnderTest& m = MutableModule();
    if (m.unregisterServer) m.unregisterServer();
    CoFreeUnusedLibraries();
    DisarmWatchdog();
  }
};

// COM for the whole program (multithreaded: the graph's and the tests'
// threads call the filter directly), then the module loaded and registered.
const bool installed = InstallTestEnvironment(COINIT_MULTITHREADED);
[[maybe_unused]] ::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new RegisteredModule);

uint32_t Lcg(uint32_t* state) {
  *state = *state * 1664525u + 1013904223u;
  return *state;
}

void PutSample(const WavFormat& format, double v, uint8_t* out) {
  switch (format.bitsPerSample) {
    case 8:
      *out = static_cast<uint8_t>(128 + static_cast<int>(v * 127.0));
      break;
    case 16: {
      const int16_t s = static_cast<int16_t>(v * 32767.0);
      std::memcpy(out, &s, 2);
      break;
    }
    case 24: {
      const int32_t s = static_cast<int32_t>(v * 8388607.0);
      out[0] = static_cast<uint8_t>(s);
      out[1] = static_cast<uint8_t>(s >> 8);
      out[2] = static_cast<uint8_t>(s >> 16);
      break;
    }
    case 32: {
      if (format.sampleTag == graph::kWaveIeeeFloat) {
        const float s = static_cast<float>(v);
        std::memcpy(out, &s, 4);
      } else {
        const int32_t s = static_cast<int32_t>(v * 2147483647.0);
        std::memcpy(out, &s, 4);
      }
      break;
    }
    case 64: {
      std::memcpy(out, &v, 8);
      break;
    }
  }
}

void Prepare(ReverbEngine& engine, const WavFormat& input) {
  const AudioFormat in{input.sampleTag, input.channels, input.samplesPerSec, input.BlockAlign(), input.bitsPerSample};
  const WavFormat stereo = StereoOf(input);
  const AudioFormat out{stereo.sampleTag, 2, stereo.samplesPerSec, stereo.BlockAlign(), stereo.bitsPerSample};
  engine.PrepareStream(in, out);
}

Status RunEngine(ReverbEngine& engine, const WavFormat& input, ProcessMode mode, const uint8_t* in, uint32_t* inFrames,
                 uint8_t* out, uint32_t* outFrames) {
  if (input.sampleTag == graph::kWavePcm)
    return engine.ProcessPcm16(mode, reinterpret_cast<const int16_t*>(in), inFrames, reinterpret_cast<int16_t*>(out),
                               outFrames);
  return engine.ProcessFloat32(mode, reinterpret_cast<const float*>(in), inFrames, reinterpret_cast<float*>(out),
                               outFrames);
}

}  // namespace

const ModuleUnderTest& Module() { return MutableModule(); }

std::string GraphToolPath() { return graph::WindowsPath(SOMBREVOX_GRAPH_TOOL_PATH); }

ComPtr<IBaseFilter> CreateReverbFilter() {
  ComPtr<IBaseFilter> filter;
  const HRESULT hr = CoCreateInstance(CLSID_SombrevoxLight, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                      reinterpret_cast<void**>(filter.GetAddressOf()));
  EXPECT_HR(S_OK, hr) << "creating the registered filter through COM";
  return filter;
}

ComPtr<IReverbSettings> SettingsOf(IBaseFilter* filter) {
  ComPtr<IReverbSettings> settings;
  if (filter) filter->QueryInterface(IID_IReverbSettings, reinterpret_cast<void**>(settings.GetAddressOf()));
  return settings;
}

TempFolder::TempFolder() {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  static LONG counter = 0;
  char name[MAX_PATH];
  std::snprintf(name, sizeof name, "%ssombrevox-graph-%lu-%ld", base, GetCurrentProcessId(),
                InterlockedIncrement(&counter));
  CreateDirectoryA(name, nullptr);
  path_ = name;
}

TempFolder::~TempFolder() {
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((path_ + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

std::string TempFolder::File(const std::string& name) const { return path_ + "\\" + name; }

std::vector<uint8_t> MakeSignal(const WavFormat& format, double seconds, uint32_t seed) {
  const size_t frames = static_cast<size_t>(seconds * format.samplesPerSec);
  const size_t bytesPerSample = format.bitsPerSample / 8;
  std::vector<uint8_t> data(frames * format.channels * bytesPerSample);
  uint32_t noise = seed;
  const double rate = format.samplesPerSec;
  for (size_t f = 0; f < frames; ++f) {
    const double t = static_cast<double>(f) / rate;
    // A note every half second with its own decay, over quiet noise; the
    // last quarter second is silent so that the tail starts from a clean stop.
    const double local = std::fmod(t, 0.5);
    const double envelope = t < seconds - 0.25 ? std::exp(-6.0 * local) : 0.0;
    for (uint16_t c = 0; c < format.channels; ++c) {
      const double hz = 220.0 * (1 + c) * (1.0 + std::floor(t / 0.5) * 0.125);
      const double n = (static_cast<double>(Lcg(&noise) >> 8) / 8388608.0 - 1.0) * 0.05;
      double v = 0.8 * envelope * std::sin(2.0 * std::numbers::pi * hz * t) + (t < seconds - 0.25 ? n : 0.0);
      v = v > 0.9 ? 0.9 : v < -0.9 ? -0.9 : v;
      PutSample(format, v, data.data() + (f * format.channels + c) * bytesPerSample);
    }
  }
  return data;
}

std::string WriteSignal(const TempFolder& folder, const std::string& name, const WavFormat& format,
                        const std::vector<uint8_t>& data) {
  const std::string path = folder.File(name);
  std::string error;
  EXPECT_TRUE(graph::WriteWavFile(path, format, data.data(), data.size(), &error)) << error;
  return path;
}

std::vector<uint8_t> EngineReference(const WavFormat& input, const std::vector<uint8_t>& data,
                                     const ReverbParams& params, size_t changeAtFrame, const ReverbParams* change) {
  SharedParams shared;
  shared.SetAll(params);
  ReverbEngine engine(shared);
  Prepare(engine, input);
  const WavFormat output = StereoOf(input);
  const size_t inAlign = input.BlockAlign(), outAlign = output.BlockAlign();
  const size_t inputFrames = data.size() / inAlign;
  std::vector<uint8_t> rendered;
  auto process = [&](size_t from, size_t to) {
    if (to <= from) return;
    uint32_t inFrames = static_cast<uint32_t>(to - from), outFrames = inFrames;
    const size_t at = rendered.size();
    rendered.resize(at + outFrames * outAlign);
    RunEngine(engine, input, from == 0 ? kModeDiscontinuity : kModeNormal, data.data() + from * inAlign, &inFrames,
              rendered.data() + at, &outFrames);
    rendered.resize(at + outFrames * outAlign);
  };
  if (change && changeAtFrame < inputFrames) {
    process(0, changeAtFrame);
    shared.SetAll(*change);
    process(changeAtFrame, inputFrames);
  } else {
    process(0, inputFrames);
  }
  for (;;) {
    uint32_t frames = 4096;
    const size_t at = rendered.size();
    rendered.resize(at + frames * outAlign);
    const Status s = RunEngine(engine, input, kModeTail, nullptr, nullptr, rendered.data() + at, &frames);
    rendered.resize(at + frames * outAlign);
    if (s != kOk || frames == 0) break;
  }
  return rendered;
}

size_t TailFrames(uint32_t samplesPerSec, const ReverbParams& params) {
  SharedParams shared;
  shared.SetAll(params);
  ReverbEngine engine(shared);
  WavFormat format;
  format.samplesPerSec = samplesPerSec;
  Prepare(engine, format);
  int16_t frame[2] = {0, 0}, out[2];
  uint32_t in = 1, room = 1;
  engine.ProcessPcm16(kModeNormal, frame, &in, out, &room);
  return engine.TailFrames();
}

ReverbParams PresetParams(int index) {
  SharedParams shared;
  shared.SetAll(kFactoryPresets[index].params);
  return shared.GetAll();
}

::testing::AssertionResult SameSamples(const WavFormat& output, const std::vector<uint8_t>& expected,
                                       const std::vector<uint8_t>& actual) {
  return NearSamples(output, expected, actual, 0);
}

::testing::AssertionResult NearSamples(const WavFormat& output, const std::vector<uint8_t>& expected,
                                       const std::vector<uint8_t>& actual, double tolerance) {
  const size_t align = output.BlockAlign();
  const size_t bytes = output.bitsPerSample / 8;
  if (expected.size() != actual.size()) {
    return ::testing::AssertionFailure() << "expected " << expected.size() / align << " frames, got "
                                         << actual.size() / align << " (" << actual.size() << " bytes)";
  }
  for (size_t i = 0; i < expected.size(); i += bytes) {
    if (std::memcmp(&expected[i], &actual[i], bytes) == 0) continue;
    std::ostringstream values;
    if (output.sampleTag == graph::kWavePcm) {
      int16_t e, a;
      std::memcpy(&e, &expected[i], 2);
      std::memcpy(&a, &actual[i], 2);
      if (std::abs(e - a) <= tolerance) continue;
      values << e << " expected, " << a << " got";
    } else {
      float e, a;
      std::memcpy(&e, &expected[i], 4);
      std::memcpy(&a, &actual[i], 4);
      if (std::abs(e - a) <= tolerance * std::max(std::abs(e), 1e-6f)) continue;
      values << std::setprecision(9) << e << " expected, " << a << " got";
    }
    return ::testing::AssertionFailure() << "first difference at frame " << i / align << " of "
                                         << expected.size() / align << ", channel " << (i % align) / bytes << ": "
                                         << values.str();
  }
  return ::testing::AssertionSuccess();
}

FileGraph::FileGraph(const WavFormat& format, double seconds)
    : signal(MakeSignal(format, seconds)),
      path(WriteSignal(folder, "in.wav", format, signal)),
      filter(CreateReverbFilter()) {}

HRESULT SourceGraph::Build(const WavFormat& format, long bufferBytes, long largestBuffer) {
  graph::OwnedMediaType type;
  MakeAudioType(format, &type);
  source = TestSource::Create(type.get(), bufferBytes);
  filter = CreateReverbFilter();
  renderer = TestRenderer::Limited(largestBuffer);
  if (!source || !filter || !renderer) return E_OUTOFMEMORY;
  return graph.BuildFromSource(source.Get(), filter.Get(), &error, renderer.Get());
}

HRESULT SourceGraph::Run() {
  const HRESULT hr = graph.RemoveClock();
  return FAILED(hr) ? hr : graph.Run();
}

WavFormat MakeFormat(uint16_t tag, uint16_t channels, uint32_t rate) {
  WavFormat format;
  format.sampleTag = tag;
  format.channels = channels;
  format.samplesPerSec = rate;
  format.bitsPerSample = tag == graph::kWavePcm ? 16 : 32;
  return format;
}

std::string Describe(const WavFormat& format) {
  std::ostringstream text;
  text << format.bitsPerSample << (format.sampleTag == graph::kWaveIeeeFloat ? "-bit float " : "-bit ")
       << (format.channels == 1   ? "mono"
           : format.channels == 2 ? "stereo"
                                  : std::to_string(format.channels) + "ch")
       << " " << format.samplesPerSec << " Hz" << (format.extensible ? " extensible" : "");
  return text.str();
}

WavFormat StereoOf(const WavFormat& input) {
  WavFormat output = input;
  output.channels = 2;
  output.extensible = false;
  return output;
}

void MakeAudioType(const WavFormat& format, graph::OwnedMediaType* type) {
  WAVEFORMATEXTENSIBLE wave{};
  wave.Format.wFormatTag = format.extensible ? WAVE_FORMAT_EXTENSIBLE : format.sampleTag;
  wave.Format.nChannels = format.channels;
  wave.Format.nSamplesPerSec = format.samplesPerSec;
  wave.Format.nBlockAlign = format.BlockAlign();
  wave.Format.nAvgBytesPerSec = format.samplesPerSec * format.BlockAlign();
  wave.Format.wBitsPerSample = format.bitsPerSample;
  if (format.extensible) {
    wave.Format.cbSize = 22;
    wave.Samples.wValidBitsPerSample = format.bitsPerSample;
    wave.dwChannelMask = format.channels == 1 ? SPEAKER_FRONT_CENTER : (1u << format.channels) - 1;
    wave.SubFormat = {format.sampleTag, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  }
  AM_MEDIA_TYPE plain{};
  plain.majortype = MEDIATYPE_Audio;
  plain.subtype = {format.sampleTag, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  plain.bFixedSizeSamples = TRUE;
  plain.lSampleSize = format.BlockAlign();
  plain.formattype = FORMAT_WaveFormatEx;
  plain.cbFormat = format.extensible ? sizeof(WAVEFORMATEXTENSIBLE) : sizeof(WAVEFORMATEX);
  plain.pbFormat = reinterpret_cast<BYTE*>(&wave);
  type->CopyFrom(plain);
}

bool WaitForEvent(IMediaEventEx* events, long code, DWORD timeoutMs, LONG_PTR* first) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
    long got = 0;
    LONG_PTR p1 = 0, p2 = 0;
    if (events->GetEvent(&got, &p1, &p2, static_cast<long>(deadline - now)) != S_OK) continue;
    events->FreeEventParams(got, p1, p2);
    if (got == code) {
      if (first) *first = p1;
      return true;
    }
  }
  return false;
}

}  // namespace sombrevox::graphtest
