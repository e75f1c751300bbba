#pragma once
// The platform's filter graph around one audio effect, run offline:
// File Source (Async) → WAVE Parser → effect → Sample Grabber → Null Renderer. Pins are joined with ConnectDirect, so
// the graph never slips a converter in front of the effect: what the effect
// refuses stays refused.
#include <windows.h>
#include <dshow.h>
#include <qedit.h>

#include <string>

#include "GraphUtil.h"
#include "SampleCollector.h"

namespace sombrevox::graph {

class OfflineGraph {
 public:
  OfflineGraph() = default;
  ~OfflineGraph();
  OfflineGraph(const OfflineGraph&) = delete;
  OfflineGraph& operator=(const OfflineGraph&) = delete;

  // Builds the graph for the WAV file at `windowsPath`. On failure `error`
  // says which step failed and why. A `renderer` given takes the place of
  // the Sample Grabber and the Null Renderer (Output() is then null).
  HRESULT Build(const std::string& windowsPath, IBaseFilter* effect, std::string* error,
                IBaseFilter* renderer = nullptr);

  // The same graph behind a source of the caller's own, whose output pin is
  // joined straight to the effect's input (and a renderer of the caller's, as
  // with Build).
  HRESULT BuildFromSource(IBaseFilter* source, IBaseFilter* effect, std::string* error,
                          IBaseFilter* renderer = nullptr);

  // Takes the reference clock away, so that the renderer takes every sample
  // as soon as it comes instead of at its presentation time.
  HRESULT RemoveClock();
  // Run answers S_FALSE while the transition completes; both are success.
  HRESULT Run();
  HRESULT Pause();
  HRESULT Stop();
  // Waits for the graph's EC_COMPLETE. EC_ERRORABORT, EC_USERABORT and a
  // timeout are failures described in `error`.
  HRESULT WaitForCompletion(DWORD timeoutMs, std::string* error);
  // RemoveClock, Run, WaitForCompletion, Stop.
  HRESULT RunToCompletion(DWORD timeoutMs, std::string* error);

  IGraphBuilder* Graph() const { return graph_.Get(); }
  IMediaControl* Control() const { return control_.Get(); }
  IMediaEventEx* Events() const { return events_.Get(); }
  // Null when built from a source of the caller's own.
  IBaseFilter* Parser() const { return parser_.Get(); }
  IBaseFilter* Effect() const { return effect_.Get(); }
  SampleCollector* Output() const { return output_.Get(); }
  // The duration the parser reports, in 100 ns units (0 when unknown).
  LONGLONG Duration() const;

  // The agreed types on the effect's two pins.
  HRESULT InputType(OwnedMediaType* type) const;
  HRESULT OutputType(OwnedMediaType* type) const;

 private:
  HRESULT CreateGraph(std::string* error);
  HRESULT AddEffectAndRenderer(IPin* upstream, IBaseFilter* effect, IBaseFilter* renderer, std::string* error);
  HRESULT AddGrabber(std::string* error);

  ComPtr<IGraphBuilder> graph_;
  ComPtr<IMediaControl> control_;
  ComPtr<IMediaEventEx> events_;
  ComPtr<IBaseFilter> source_, parser_, effect_, grabber_, renderer_;
  ComPtr<SampleCollector> output_;
};

// The effect's agreed type on one of its pins.
HRESULT ConnectionType(IBaseFilter* filter, PIN_DIRECTION direction, OwnedMediaType* type);

// "16-bit integer stereo 44100 Hz (extensible)" and the like, for messages.
std::string DescribeAudioType(const AM_MEDIA_TYPE& type);

}  // namespace sombrevox::graph
