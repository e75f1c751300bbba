#pragma once
// The reverb filter: a one-input, one-output transform filter that owns the
// current reverb setting, the engine, the agreed formats, the user settings
// record and the block it shares with its property page.
#include <windows.h>
#include <mmreg.h>
#include <ocidl.h>
#include <strmif.h>

#include "AudioFormat.h"
#include "NotificationTable.h"
#include "PluginSettings.h"
#include "ReverbEngine.h"
#include "SharedParams.h"
#include "SombrevoxLight.h"
#include "TransformFilterBase.h"

namespace sombrevox {

class ReverbFilter : public TransformFilterBase,
                     public IReverbSettings,
                     public ISpecifyPropertyPages,
                     public IPersistStream,
                     public IFactoryPresets {
 public:
  // The class table's create function: a new filter with a count of 0, or
  // null and E_OUTOFMEMORY.
  static ComObjectBase* Create(IUnknown* outer, HRESULT* hr);

  explicit ReverbFilter(IUnknown* outer);
  ~ReverbFilter() override;

  HRESULT STDMETHODCALLTYPE InnerQueryInterface(REFIID iid, void** object) override;
  SOMBREVOX_DELEGATE_IUNKNOWN

  // IPersist, for both the filter and the persistence stream.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;

  // IReverbSettings
  HRESULT STDMETHODCALLTYPE GetParams(ReverbParams* params) override;
  HRESULT STDMETHODCALLTYPE SetParams(const ReverbParams* params) override;
  HRESULT STDMETHODCALLTYPE GetWaveFormat(WAVEFORMATEX* format, DWORD which) override;
  HRESULT STDMETHODCALLTYPE GetEditorLink(EditorLink** link) override;
  HRESULT STDMETHODCALLTYPE SetNotifyWindow(HWND window, DWORD id) override;
  HRESULT STDMETHODCALLTYPE GetPredelay(double* value) override { return GetOne(kPredelay, value); }
  HRESULT STDMETHODCALLTYPE SetPredelay(double value) override { return SetOne(kPredelay, value); }
  HRESULT STDMETHODCALLTYPE GetRoomSize(double* value) override { return GetOne(kRoomSize, value); }
  HRESULT STDMETHODCALLTYPE SetRoomSize(double value) override { return SetOne(kRoomSize, value); }
  HRESULT STDMETHODCALLTYPE GetLowpass(double* value) override { return GetOne(kLowpass, value); }
  HRESULT STDMETHODCALLTYPE SetLowpass(double value) override { return SetOne(kLowpass, value); }
  HRESULT STDMETHODCALLTYPE GetDiffusion(double* value) override { return GetOne(kDiffusion, value); }
  HRESULT STDMETHODCALLTYPE SetDiffusion(double value) override { return SetOne(kDiffusion, value); }
  HRESULT STDMETHODCALLTYPE GetDecay(double* value) override { return GetOne(kDecay, value); }
  HRESULT STDMETHODCALLTYPE SetDecay(double value) override { return SetOne(kDecay, value); }
  HRESULT STDMETHODCALLTYPE GetDamping(double* value) override { return GetOne(kDamping, value); }
  HRESULT STDMETHODCALLTYPE SetDamping(double value) override { return SetOne(kDamping, value); }
  HRESULT STDMETHODCALLTYPE GetMix(double* value) override { return GetOne(kMix, value); }
  HRESULT STDMETHODCALLTYPE SetMix(double value) override { return SetOne(kMix, value); }
  HRESULT STDMETHODCALLTYPE GetLevel(double* value) override { return GetOne(kLevel, value); }
  HRESULT STDMETHODCALLTYPE SetLevel(double value) override { return SetOne(kLevel, value); }

  // ISpecifyPropertyPages
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override;

  // IPersistStream: an 84-byte record of the parameters.
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;

  // IFactoryPresets
  HRESULT STDMETHODCALLTYPE GetPresetCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetPresetName(LONG index, WCHAR* name, LONG length) override;
  HRESULT STDMETHODCALLTYPE SelectPreset(LONG index) override;

  // Framework hooks: formats, buffers, streaming and the transform.
  const FilterSetup* SetupRecord() override;
  TransformInputPin* MakeInputPin() override;
  HRESULT CheckInputFormat(const AM_MEDIA_TYPE* type) override;
  HRESULT CheckFormatPair(const AM_MEDIA_TYPE* input, const AM_MEDIA_TYPE* output) override;
  HRESULT SizeOutputBuffers(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* properties) override;
  HRESULT OutputFormatAt(int position, MediaType* type) override;
  HRESULT OnStartStreaming() override;
  HRESULT OnStopStreaming() override;
  HRESULT OnFormatSet(PIN_DIRECTION direction, const AM_MEDIA_TYPE* type) override;
  HRESULT OnInputTypeChanged(const AM_MEDIA_TYPE& type) override;
  HRESULT OnPinConnected(PIN_DIRECTION direction, IPin* peer) override;
  HRESULT ReceiveSample(IMediaSample* sample) override;
  HRESULT OnEndOfStream() override;

  // The filter's registration record for the filter mapper.
  static const FilterSetup kSetup;

 private:
  HRESULT GetOne(int index, double* value);
  HRESULT SetOne(int index, double value);
  // One pass of the loop the input format selects.
  Status Process(ProcessMode mode, const BYTE* input, uint32_t* inFrames, BYTE* output, uint32_t* outFrames);
  // A sample's data, `frames` of the output format long, delivered downstream.
  HRESULT Deliver(IMediaSample* sample, uint32_t frames);
  // Stores an agreed, normalised format under the settings lock.
  void RecordFormat(PIN_DIRECTION direction, const WAVEFORMATEX& format, uint16_t sampleTag);
  // Both formats at once, so that no reader sees one without the other.
  void RecordFormats(const WAVEFORMATEX& input, const WAVEFORMATEX& output, uint16_t sampleTag);
  // Gives an output sample the output type an in-band change left pending,
  // or no type at all (a recycled sample may still carry an old one).
  void MarkOutputType(IMediaSample* sample);

  // The settings object: the current setting with its lock and flags, the
  // notification table and the engine.
  SharedParams params_;
  NotificationTable notifications_{params_.SettingsLock()};
  ReverbEngine engine_{params_};

  // The agreed formats, normalised (18 bytes each). Written under the settings
  // lock: at connection (graph thread, filter stopped) and at an in-band type
  // change (streaming thread). Readers on other threads (the page) take that
  // lock; the streaming thread reads them without it, being their only
  // writer while the filter streams.
  WAVEFORMATEX inputFormat_{};
  WAVEFORMATEX outputFormat_{};
  bool hasInputFormat_ = false;
  bool hasOutputFormat_ = false;
  // The sample type the loops work in (16-bit or float), also for extensible input.
  uint16_t sampleTag_ = 0;
  // Streaming thread only: the output type an in-band change made, to go
  // with the next output sample.
  MediaType pendingOutputType_;
  bool outputTypePending_ = false;

  PluginSettings pluginSettings_{};
  EditorLink editorLink_{};
};

}  // namespace sombrevox
