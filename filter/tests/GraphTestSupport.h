#pragma once
// Shared by the graph tests: the registered module,
// test signals written as WAV files, the engine's own rendering of them for
// comparison, and assertion helpers.
#include <windows.h>
#include <dshow.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "GraphUtil.h"
#include "OfflineGraph.h"
#include "Peers.h"
#include "ReverbParams.h"
#include "SombrevoxLight.h"
#include "TestSupport.h"
#include "WavFile.h"

namespace sombrevox::graphtest {

using test::AdjustedAllocator;
using test::TestRenderer;
using test::TestSource;

using graph::ComPtr;
using graph::WavFormat;

// The module under test as a host loads it: LoadLibrary of the built
// OVSombrevoxLight.dll, its registration exports by name. The test program's
// environment registers it before the first test and unregisters it after
// the last.
struct ModuleUnderTest {
  HMODULE module = nullptr;
  std::string path;  // as GetModuleFileNameA reports it
  HRESULT(STDAPICALLTYPE* registerServer)() = nullptr;
  HRESULT(STDAPICALLTYPE* unregisterServer)() = nullptr;
  HRESULT registration = E_FAIL;  // what the environment's DllRegisterServer answered
};
const ModuleUnderTest& Module();
// Windows path of the built sombrevox-graph.exe.
std::string GraphToolPath();

// A new filter through COM, as any host creates it (needs the registration).
ComPtr<IBaseFilter> CreateReverbFilter();
ComPtr<IReverbSettings> SettingsOf(IBaseFilter* filter);

// A folder of its own under the system's temporary folder, removed with its files.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // Windows path of `name` inside the folder.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
  std::vector<std::string> files_;
};

// Deterministic test material: tones and noise, a few seconds, in the
// format's sample type (integers scaled to 16 bits, floats within ±0.9).
// Other sample types (8, 24, 64 bits) are filled the same way for refusals.
std::vector<uint8_t> MakeSignal(const WavFormat& format, double seconds, uint32_t seed = 1);
// Writes the signal as a WAV file and returns its path.
std::string WriteSignal(const TempFolder& folder, const std::string& name, const WavFormat& format,
                        const std::vector<uint8_t>& data);

// What the engine renders offline for `input`: one pass over the whole
// input after streaming starts, then the tail. With `change`, the setting
// becomes *change after `changeAtFrame` input frames (a buffer boundary).
std::vector<uint8_t> EngineReference(const WavFormat& input, const std::vector<uint8_t>& data,
                                     const ReverbParams& params, size_t changeAtFrame = 0,
                                     const ReverbParams* change = nullptr);
// Frames of tail the engine renders after an input with this setting.
size_t TailFrames(uint32_t samplesPerSec, const ReverbParams& params);

// The factory preset's values, as SelectPreset stores them.
ReverbParams PresetParams(int index);

// Compares two renderings sample by sample; on a difference the message
// names the first differing frame and channel and both values.
::testing::AssertionResult SameSamples(const WavFormat& output, const std::vector<uint8_t>& expected,
                                       const std::vector<uint8_t>& actual);

// The same within `tolerance`: 16-bit values that many steps apart, float
// values apart by that share of their size.
::testing::AssertionResult NearSamples(const WavFormat& output, const std::vector<uint8_t>& expected,
                                       const std::vector<uint8_t>& actual, double tolerance);

// A format of `tag` (16-bit integer or 32-bit float samples).
WavFormat MakeFormat(uint16_t tag, uint16_t channels, uint32_t rate);

// "16-bit stereo 44100 Hz" and the like, for test names and messages.
std::string Describe(const WavFormat& format);

// The stereo output format of an input format.
WavFormat StereoOf(const WavFormat& input);

// A fully specified audio media type for the format (WAVEFORMATEX, or
// WAVEFORMATEXTENSIBLE with the sample type as subformat).
void MakeAudioType(const WavFormat& format, graph::OwnedMediaType* type);

// How long a test waits for a graph to complete.
constexpr DWORD kCompletionTimeoutMs = 60000;

// A signal written as a WAV file and a new filter under test, then the
// platform's graph around them (File Source, WAVE Parser, the filter, and
// the Sample Grabber or a renderer of the test's): the set-up of every test
// that plays a file. The filter can be set up before Build.
struct FileGraph {
  FileGraph(const WavFormat& format, double seconds);
  HRESULT Build(IBaseFilter* renderer = nullptr) { return graph.Build(path, filter.Get(), &error, renderer); }

  TempFolder folder;
  std::vector<uint8_t> signal;
  std::string path;
  ComPtr<IBaseFilter> filter;
  graph::OfflineGraph graph;
  std::string error;  // what Build says when it fails
};

// Our source, a new filter under test and our renderer in the platform's
// graph: the set-up of every test that hands the filter its input itself.
struct SourceGraph {
  ComPtr<TestSource> source;
  ComPtr<IBaseFilter> filter;
  ComPtr<TestRenderer> renderer;
  graph::OfflineGraph graph;
  std::string error;  // what Build says when it fails

  // Source buffers of `bufferBytes` in `format`; a renderer granting at most
  // `largestBuffer` bytes per buffer. Built stopped.
  HRESULT Build(const WavFormat& format, long bufferBytes, long largestBuffer = 1 << 22);
  // Offline (no clock), running.
  HRESULT Run();
  graph::SampleCollector* Output() const { return renderer->Samples(); }
};

// Waits up to `timeoutMs` for an event of the graph with that code and
// returns true with its first parameter; other events are passed over.
bool WaitForEvent(IMediaEventEx* events, long code, DWORD timeoutMs, LONG_PTR* first = nullptr);

}  // namespace sombrevox::graphtest
