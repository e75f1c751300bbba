#include "OfflineGraph.h"

#include <evcode.h>
#include <uuids.h>

#include <cstdio>

#include "GraphClassIds.h"

namespace sombrevox::graph {
namespace {

template <typename Interface>
HRESULT Create(const CLSID& clsid, ComPtr<Interface>& object) {
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(Interface),
                          reinterpret_cast<void**>(object.ReleaseAndGetAddressOf()));
}

HRESULT Fail(HRESULT hr, std::string* error, const std::string& what) {
  *error = what + ": " + HrText(hr);
  return FAILED(hr) ? hr : E_FAIL;
}

// The first type a pin offers (the parser's format before anything is connected).
bool FirstOfferedType(IPin* pin, OwnedMediaType* type) {
  ComPtr<IEnumMediaTypes> types;
  if (!pin || FAILED(pin->EnumMediaTypes(&types))) return false;
  AM_MEDIA_TYPE* first = nullptr;
  if (types->Next(1, &first, nullptr) != S_OK || !first) return false;
  type->Adopt(first);
  return true;
}

}  // namespace

OfflineGraph::~OfflineGraph() {
  if (control_) control_->Stop();
}

HRESULT OfflineGraph::AddGrabber(std::string* error) {
  HRESULT hr = Create(kClsidSampleGrabber, grabber_);
  if (FAILED(hr)) return Fail(hr, error, "cannot create the Sample Grabber");
  ComPtr<ISampleGrabber> grabber;
  hr = grabber_.As(&grabber);
  if (FAILED(hr)) return Fail(hr, error, "the Sample Grabber has no ISampleGrabber");
  // Only the major type: the grabber then takes audio of any format, float included.
  AM_MEDIA_TYPE audio{};
  audio.majortype = MEDIATYPE_Audio;
  grabber->SetMediaType(&audio);
  grabber->SetBufferSamples(FALSE);
  grabber->SetOneShot(FALSE);
  output_ = Adopt(new (std::nothrow) SampleCollector);
  if (!output_) return Fail(E_OUTOFMEMORY, error, "cannot make the sample collector");
  hr = grabber->SetCallback(output_.Get(), 0);
  if (FAILED(hr)) return Fail(hr, error, "the Sample Grabber refused its callback");
  hr = graph_->AddFilter(grabber_.Get(), L"Sample Grabber");
  if (FAILED(hr)) return Fail(hr, error, "cannot add the Sample Grabber to the graph");
  return S_OK;
}

HRESULT OfflineGraph::CreateGraph(std::string* error) {
  HRESULT hr = Create(CLSID_FilterGraph, graph_);
  if (FAILED(hr)) return Fail(hr, error, "cannot create the filter graph");
  graph_.As(&control_);
  graph_->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(events_.GetAddressOf()));
  if (!control_ || !events_) return Fail(E_NOINTERFACE, error, "the filter graph lacks IMediaControl or IMediaEventEx");
  return S_OK;
}

HRESULT OfflineGraph::Build(const std::string& windowsPath, IBaseFilter* effect, std::string* error,
                            IBaseFilter* renderer) {
  HRESULT hr = CreateGraph(error);
  if (FAILED(hr)) return hr;

  hr = Create(CLSID_AsyncReader, source_);
  if (FAILED(hr)) return Fail(hr, error, "cannot create the File Source (Async)");
  ComPtr<IFileSourceFilter> file;
  source_.As(&file);
  const std::wstring widePath = Widen(windowsPath);
  hr = file ? file->Load(widePath.c_str(), nullptr) : E_NOINTERFACE;
  if (FAILED(hr)) return Fail(hr, error, "cannot open " + windowsPath);
  hr = graph_->AddFilter(source_.Get(), L"File Source");
  if (FAILED(hr)) return Fail(hr, error, "cannot add the File Source to the graph");

  hr = Create(kClsidWaveParser, parser_);
  if (FAILED(hr)) return Fail(hr, error, "cannot create the WAVE Parser");
  hr = graph_->AddFilter(parser_.Get(), L"WAVE Parser");
  if (FAILED(hr)) return Fail(hr, error, "cannot add the WAVE Parser to the graph");
  hr = graph_->ConnectDirect(FindPin(source_.Get(), PINDIR_OUTPUT).Get(), FindPin(parser_.Get(), PINDIR_INPUT).Get(),
                             nullptr);
  if (FAILED(hr)) return Fail(hr, error, windowsPath + " is not a WAV file the WAVE Parser can read");
  ComPtr<IPin> parsed = FindPin(parser_.Get(), PINDIR_OUTPUT);
  if (!parsed) return Fail(VFW_E_UNSUPPORTED_STREAM, error, windowsPath + " has no audio stream");
  return AddEffectAndRenderer(parsed.Get(), effect, renderer, error);
}

HRESULT OfflineGraph::BuildFromSource(IBaseFilter* source, IBaseFilter* effect, std::string* error,
                                      IBaseFilter* renderer) {
  HRESULT hr = CreateGraph(error);
  if (FAILED(hr)) return hr;
  source_ = source;
  hr = graph_->AddFilter(source, L"Source");
  if (FAILED(hr)) return Fail(hr, error, "cannot add the source to the graph");
  return AddEffectAndRenderer(FindPin(source, PINDIR_OUTPUT).Get(), effect, renderer, error);
}

HRESULT OfflineGraph::AddEffectAndRenderer(IPin* upstream, IBaseFilter* effect, IBaseFilter* renderer,
                                           std::string* error) {
  effect_ = effect;
  HRESULT hr = graph_->AddFilter(effect, L"Sombrevox");
  if (FAILED(hr)) return Fail(hr, error, "cannot add the effect to the graph");
  OwnedMediaType offered;
  const bool known = FirstOfferedType(upstream, &offered);
  hr = graph_->ConnectDirect(upstream, FindPin(effect, PINDIR_INPUT).Get(), nullptr);
  if (FAILED(hr)) {
    std::string message = "the effect refused the input format";
    if (known) message.append(" ").append(DescribeAudioType(*offered.get()));
    message += "; it takes 16-bit integer or 32-bit float PCM, mono or stereo";
    return Fail(hr, error, message);
  }

  if (renderer) {
    renderer_ = renderer;
    hr = graph_->AddFilter(renderer, L"Renderer");
    if (FAILED(hr)) return Fail(hr, error, "cannot add the renderer to the graph");
    hr = graph_->ConnectDirect(FindPin(effect, PINDIR_OUTPUT).Get(), FindPin(renderer, PINDIR_INPUT).Get(), nullptr);
    return FAILED(hr) ? Fail(hr, error, "cannot connect the effect's output to the renderer") : S_OK;
  }
  hr = AddGrabber(error);
  if (FAILED(hr)) return hr;
  hr =
      graph_->ConnectDirect(FindPin(effect, PINDIR_OUTPUT).Get(), FindPin(grabber_.Get(), PINDIR_INPUT).Get(), nullptr);
  if (FAILED(hr)) return Fail(hr, error, "cannot connect the effect's output to the Sample Grabber");

  hr = Create(kClsidNullRenderer, renderer_);
  if (FAILED(hr)) return Fail(hr, error, "cannot create the Null Renderer");
  hr = graph_->AddFilter(renderer_.Get(), L"Null Renderer");
  if (FAILED(hr)) return Fail(hr, error, "cannot add the Null Renderer to the graph");
  hr = graph_->ConnectDirect(FindPin(grabber_.Get(), PINDIR_OUTPUT).Get(), FindPin(renderer_.Get(), PINDIR_INPUT).Get(),
                             nullptr);
  if (FAILED(hr)) return Fail(hr, error, "cannot connect the Sample Grabber to the Null Renderer");
  return S_OK;
}

HRESULT OfflineGraph::RemoveClock() {
  ComPtr<IMediaFilter> timing;
  const HRESULT hr = graph_.As(&timing);
  return FAILED(hr) ? hr : timing->SetSyncSource(nullptr);
}

HRESULT OfflineGraph::Run() { return control_->Run(); }
HRESULT OfflineGraph::Pause() { return control_->Pause(); }
HRESULT OfflineGraph::Stop() { return control_->Stop(); }

HRESULT OfflineGraph::WaitForCompletion(DWORD timeoutMs, std::string* error) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    long code = 0;
    LONG_PTR first = 0, second = 0;
    const HRESULT hr = events_->GetEvent(&code, &first, &second, static_cast<long>(deadline - now));
    // E_ABORT also comes back at once when the queue's event was still set
    // for events already taken; the deadline decides.
    if (hr == E_ABORT) continue;
    if (FAILED(hr)) return Fail(hr, error, "the graph's event queue failed");
    events_->FreeEventParams(code, first, second);
    if (code == EC_COMPLETE) return S_OK;
    if (code == EC_ERRORABORT || code == EC_ERRORABORTEX)
      return Fail(static_cast<HRESULT>(first), error, "the graph stopped on an error");
    if (code == EC_USERABORT) return Fail(E_ABORT, error, "the graph was aborted");
  }
  *error = "the graph did not complete within " + std::to_string(timeoutMs / 1000) + " s";
  return E_ABORT;
}

HRESULT OfflineGraph::RunToCompletion(DWORD timeoutMs, std::string* error) {
  HRESULT hr = RemoveClock();
  if (FAILED(hr)) return Fail(hr, error, "cannot remove the graph's clock");
  hr = Run();
  if (FAILED(hr)) {
    Stop();
    return Fail(hr, error, "the graph refused to run");
  }
  hr = WaitForCompletion(timeoutMs, error);
  const HRESULT stopped = Stop();
  if (FAILED(hr)) return hr;
  return FAILED(stopped) ? Fail(stopped, error, "the graph refused to stop") : S_OK;
}

LONGLONG OfflineGraph::Duration() const {
  ComPtr<IMediaSeeking> seeking;
  LONGLONG duration = 0;
  if (FAILED(graph_.As(&seeking)) || FAILED(seeking->GetDuration(&duration))) return 0;
  return duration;
}

HRESULT OfflineGraph::InputType(OwnedMediaType* type) const {
  return ConnectionType(effect_.Get(), PINDIR_INPUT, type);
}

HRESULT OfflineGraph::OutputType(OwnedMediaType* type) const {
  return ConnectionType(effect_.Get(), PINDIR_OUTPUT, type);
}

HRESULT ConnectionType(IBaseFilter* filter, PIN_DIRECTION direction, OwnedMediaType* type) {
  ComPtr<IPin> pin = FindPin(filter, direction);
  if (!pin) return E_UNEXPECTED;
  type->Clear();
  return pin->ConnectionMediaType(type->get());
}

std::string DescribeAudioType(const AM_MEDIA_TYPE& type) {
  const WAVEFORMATEX* wave = WaveFormatOf(type);
  if (type.majortype != MEDIATYPE_Audio || !wave) return "(not audio)";
  WORD tag = wave->wFormatTag;
  const bool extensible = tag == WAVE_FORMAT_EXTENSIBLE && type.cbFormat >= sizeof(WAVEFORMATEXTENSIBLE);
  if (extensible) tag = static_cast<WORD>(reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(wave)->SubFormat.Data1);
  char kind[16];
  std::snprintf(kind, sizeof kind, "tag %u", tag);
  char text[128];
  std::snprintf(text, sizeof text, "(%u-bit %s, %u channel%s, %lu Hz%s)", wave->wBitsPerSample,
                tag == WAVE_FORMAT_PCM          ? "integer"
                : tag == WAVE_FORMAT_IEEE_FLOAT ? "float"
                                                : kind,
                wave->nChannels, wave->nChannels == 1 ? "" : "s", static_cast<unsigned long>(wave->nSamplesPerSec),
                extensible ? ", extensible" : "");
  return text;
}

}  // namespace sombrevox::graph
