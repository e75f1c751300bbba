// sombrevox-graph: reverberates a WAV file through the registered filter in
// the platform's own DirectShow graph, offline, and writes what came out.
#include <windows.h>
#include <dshow.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "GraphOptions.h"
#include "GraphUtil.h"
#include "OfflineGraph.h"
#include "SombrevoxLight.h"
#include "WavFile.h"

using namespace sombrevox;
using namespace sombrevox::graph;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 2;

class ComApartment {
 public:
  ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_;
};

int Failure(const std::string& message) {
  std::fprintf(stderr, "sombrevox-graph: %s\n", message.c_str());
  return kExitFailed;
}

std::string FullPath(const std::string& path) {
  char full[MAX_PATH * 2];
  const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? std::string(full) : path;
}

// --preset as an index, or as one of the filter's own preset names.
bool SelectPreset(IBaseFilter* filter, const std::string& preset, std::string* error) {
  ComPtr<IFactoryPresets> presets;
  LONG count = 0;
  if (FAILED(filter->QueryInterface(IID_IFactoryPresets, reinterpret_cast<void**>(presets.GetAddressOf()))) ||
      FAILED(presets->GetPresetCount(&count))) {
    *error = "the filter offers no factory presets";
    return false;
  }
  LONG index = -1;
  char* end = nullptr;
  const long number = std::strtol(preset.c_str(), &end, 10);
  if (!preset.empty() && end && *end == '\0') {
    index = number >= 0 && number < count ? number : -1;
  } else {
    const std::wstring wanted = Widen(preset);
    for (LONG i = 0; i < count && index < 0; ++i) {
      WCHAR name[64] = {};
      if (SUCCEEDED(presets->GetPresetName(i, name, 64)) && wanted == name) index = i;
    }
  }
  if (index < 0) {
    *error = "unknown factory preset '" + preset + "' (an index 0-" + std::to_string(count - 1) + " or a preset name)";
    return false;
  }
  const HRESULT hr = presets->SelectPreset(index);
  if (FAILED(hr)) *error = "the filter refused preset " + std::to_string(index) + ": " + HrText(hr);
  return SUCCEEDED(hr);
}

bool WriteOutput(const std::string& path, const WavFormat& format, const std::vector<uint8_t>& data,
                 std::string* error) {
  // Through a temporary file beside the output, so a failed write leaves no half file.
  const std::string temporary = path + ".part";
  if (!WriteWavFile(temporary, format, data.data(), data.size(), error)) {
    DeleteFileA(temporary.c_str());
    return false;
  }
  if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileA(temporary.c_str());
    *error = "cannot write " + path + ": " + HrText(HRESULT_FROM_WIN32(GetLastError()));
    return false;
  }
  return true;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Render(const GraphOptions& options) {
  const std::string input = WindowsPath(options.input);
  const std::string output = WindowsPath(options.output);
  if (lstrcmpiA(FullPath(input).c_str(), FullPath(output).c_str()) == 0)
    return Failure("the output would overwrite the input " + input);

  ComApartment com;
  if (FAILED(com.Result())) return Failure("COM refused to start: " + HrText(com.Result()));

  ComPtr<IBaseFilter> filter;
  HRESULT hr = CoCreateInstance(CLSID_SombrevoxLight, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(filter.GetAddressOf()));
  if (hr == REGDB_E_CLASSNOTREG)
    return Failure("the filter is not registered: run regsvr32 OVSombrevoxLight.dll first");
  if (FAILED(hr)) return Failure("cannot create the filter: " + HrText(hr));

  std::string error;
  if (!options.preset.empty() && !SelectPreset(filter.Get(), options.preset, &error)) return Failure(error);
  if (options.hasParams) {
    ComPtr<IReverbSettings> settings;
    hr = filter->QueryInterface(IID_IReverbSettings, reinterpret_cast<void**>(settings.GetAddressOf()));
    if (SUCCEEDED(hr)) hr = settings->SetParams(&options.params);
    if (FAILED(hr)) return Failure("cannot set the parameters: " + HrText(hr));
  }

  OfflineGraph graph;
  hr = graph.Build(input, filter.Get(), &error);
  if (FAILED(hr)) return Failure(error);
  OwnedMediaType type;
  hr = graph.OutputType(&type);
  if (FAILED(hr)) return Failure("the filter's output has no agreed type: " + HrText(hr));
  const WAVEFORMATEX* wave = WaveFormatOf(*type.get());
  WavFormat format;
  format.sampleTag = SampleTypeOf(*type.get());
  if (!wave || !format.sampleTag)
    return Failure("the filter's output type is not one this tool can write " + DescribeAudioType(*type.get()));
  format.channels = wave->nChannels;
  format.samplesPerSec = wave->nSamplesPerSec;
  format.bitsPerSample = wave->wBitsPerSample;

  const double inputSeconds = static_cast<double>(graph.Duration()) / 1e7;
  graph.Output()->Reserve(static_cast<size_t>((inputSeconds + 10.0) * format.samplesPerSec) * format.BlockAlign());

  LARGE_INTEGER started, finished;
  QueryPerformanceCounter(&started);
  hr = graph.RunToCompletion(options.timeoutSeconds * 1000, &error);
  QueryPerformanceCounter(&finished);
  if (FAILED(hr)) return Failure(error);

  const std::vector<uint8_t> data = graph.Output()->Data();
  if (!WriteOutput(output, format, data, &error)) return Failure(error);

  if (options.bench) {
    const double wall = Seconds(started, finished);
    const double inputFrames = inputSeconds * format.samplesPerSec;
    const double outputFrames = static_cast<double>(data.size() / format.BlockAlign());
    std::fprintf(stderr,
                 "sombrevox-graph: %.0f input frames, %.0f output frames (tail included) in %.3f s of streaming: "
                 "%.0f input frames/s, %.0f output frames/s\n",
                 inputFrames, outputFrames, wall, inputFrames / wall, outputFrames / wall);
  }
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  GraphOptions options;
  std::string error;
  if (!ParseGraphOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "sombrevox-graph: %s\n%s", error.c_str(), GraphUsageText());
    return kExitFailed;
  }
  if (options.help) {
    std::fputs(GraphUsageText(), stdout);
    return kExitOk;
  }
  return Render(options);
}
