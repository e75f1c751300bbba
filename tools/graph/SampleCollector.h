#pragma once
// The Sample Grabber's callback: keeps every sample's bytes in arrival order
// and what each sample said about itself (time stamps, marks, length).
#include <windows.h>
#include <strmif.h>
#include <qedit.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace sombrevox::graph {

struct CollectedSample {
  size_t offset = 0;  // of its bytes in Data()
  size_t length = 0;
  bool timed = false;  // GetTime succeeded
  REFERENCE_TIME start = 0, stop = 0;
  bool discontinuity = false;
  bool syncPoint = false;
  bool typeChanged = false;
  WAVEFORMATEX newFormat{};  // the first 16 bytes of the type a sample brought
};

// Reference counted (starts at 1, for its creator). SampleCB runs on the
// streaming thread of the grabber; the accessors copy under the collector's
// own lock, so they may be called while the graph runs.
class SampleCollector final : public ISampleGrabberCB {
 public:
  SampleCollector() = default;
  SampleCollector(const SampleCollector&) = delete;
  SampleCollector& operator=(const SampleCollector&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE SampleCB(double time, IMediaSample* sample) override;
  HRESULT STDMETHODCALLTYPE BufferCB(double time, BYTE* buffer, LONG length) override;

  // Room for this many bytes, so that streaming seldom reallocates.
  void Reserve(size_t bytes);
  std::vector<uint8_t> Data() const;
  std::vector<CollectedSample> Samples() const;
  size_t SampleCount() const;
  size_t ByteCount() const;
  void Clear();
  // Called on the streaming thread after each sample was recorded, with its
  // index, outside the collector's lock (tests watch or slow the stream).
  void SetObserver(std::function<void(size_t index)> observer);

 private:
  ~SampleCollector() = default;

  LONG references_ = 1;
  mutable std::mutex lock_;
  std::vector<uint8_t> data_;
  std::vector<CollectedSample> samples_;
  std::function<void(size_t)> observer_;
};

}  // namespace sombrevox::graph
