#include "Renderer.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BankCommands.h"
#include "OutputFormat.h"
#include "ReverbEngine.h"
#include "SharedParams.h"

namespace sombrevox::render {
namespace {

struct SndfileCloser {
  void operator()(SNDFILE* f) const { sf_close(f); }
};
using SoundFile = std::unique_ptr<SNDFILE, SndfileCloser>;

// Removes the temporary output unless the render succeeded.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!kept_) std::remove(path_.c_str());
  }
  const std::string& path() const { return path_; }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  bool kept_ = false;
};

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

sf_count_t ReadFrames(SNDFILE* f, int16_t* buf, sf_count_t n) { return sf_readf_short(f, buf, n); }
sf_count_t ReadFrames(SNDFILE* f, float* buf, sf_count_t n) { return sf_readf_float(f, buf, n); }

// Writes the engine's stereo frames: 16-bit results as they are, float
// results as floats or, for an integer sample type, quantised here.
class FrameWriter {
 public:
  FrameWriter(SNDFILE* file, int integerBits, uint32_t block)
      : file_(file), bits_(integerBits), ints_(integerBits ? 2 * static_cast<size_t>(block) : 0) {}
  bool Write(const int16_t* frames, sf_count_t n) { return sf_writef_short(file_, frames, n) == n; }
  bool Write(const float* frames, sf_count_t n) {
    if (bits_ == 0) return sf_writef_float(file_, frames, n) == n;
    for (sf_count_t i = 0; i < 2 * n; ++i) ints_[i] = QuantiseSample(frames[i], bits_);
    return sf_writef_int(file_, ints_.data(), n) == n;
  }

 private:
  SNDFILE* file_;
  int bits_;
  std::vector<int32_t> ints_;
};
Status Process(ReverbEngine& e, ProcessMode mode, const int16_t* in, uint32_t* n, int16_t* out, uint32_t* room) {
  return e.ProcessPcm16(mode, in, n, out, room);
}
Status Process(ReverbEngine& e, ProcessMode mode, const float* in, uint32_t* n, float* out, uint32_t* room) {
  return e.ProcessFloat32(mode, in, n, out, room);
}

class Progress {
 public:
  explicit Progress(sf_count_t total) : total_(total), shown_(isatty(STDERR_FILENO)) {}
  ~Progress() {
    if (shown_ && last_ >= 0) std::fprintf(stderr, "\n");
  }
  void Report(const char* what, sf_count_t done) {
    if (!shown_ || total_ <= 0) return;
    const int percent = static_cast<int>(done * 100 / total_);
    if (percent == last_) return;
    last_ = percent;
    std::fprintf(stderr, "\r%s: %3d%%", what, percent > 100 ? 100 : percent);
  }

 private:
  sf_count_t total_;
  bool shown_;
  int last_ = -1;
};

template <typename Sample>
bool Stream(SNDFILE* in, FrameWriter& out, ReverbEngine& engine, const SF_INFO& info, uint32_t block) {
  std::vector<Sample> input(static_cast<size_t>(block) * info.channels);
  std::vector<Sample> output(static_cast<size_t>(block) * 2);
  Progress progress(info.frames);
  ProcessMode mode = kModeDiscontinuity;
  sf_count_t done = 0;
  for (;;) {
    const sf_count_t got = ReadFrames(in, input.data(), block);
    if (got <= 0) break;
    uint32_t n = static_cast<uint32_t>(got), room = block;
    Process(engine, mode, input.data(), &n, output.data(), &room);
    if (!out.Write(output.data(), room)) return false;
    mode = kModeNormal;
    done += got;
    progress.Report("reverberating", done);
  }
  if (sf_error(in) != SF_ERR_NO_ERROR) return false;
  for (;;) {
    uint32_t room = block;
    const Status s = Process(engine, kModeTail, static_cast<const Sample*>(nullptr), nullptr, output.data(), &room);
    if (room > 0 && !out.Write(output.data(), room)) return false;
    if (s == kTailFinished || room == 0) return true;
  }
}

}  // namespace

int RenderFile(const RenderOptions& options, std::ostream& err) {
  SF_INFO info{};
  SoundFile in(sf_open(options.input.c_str(), SFM_READ, &info));
  if (!in) {
    err << "sombrevox-render: cannot read " << options.input << ": " << sf_strerror(nullptr) << "\n";
    return kExitRefused;
  }
  if (info.channels < 1 || info.channels > 2) {
    err << "sombrevox-render: " << options.input << " has " << info.channels
        << " channels; the reverb takes mono or stereo\n";
    return kExitRefused;
  }
  if (SameFile(options.input, options.output)) {
    err << "sombrevox-render: the output would overwrite the input " << options.input << "\n";
    return kExitRefused;
  }
  // 16-bit samples take the filter's 16-bit loop; every other type is read
  // as floats and takes the float loop.
  const int subtype = info.format & SF_FORMAT_SUBMASK;
  const bool pcm16 = subtype == SF_FORMAT_PCM_16;
  SF_INFO outInfo{};
  outInfo.samplerate = info.samplerate;
  outInfo.channels = 2;
  outInfo.format = OutputFileFormat(options.output, info.format, options.outputSubtype, info.samplerate);
  if (outInfo.format == 0) {
    err << "sombrevox-render: cannot write "
        << SubtypeDescription(options.outputSubtype ? options.outputSubtype : subtype) << " audio to a file named "
        << options.output << " (try another extension, or --format)\n";
    return kExitRefused;
  }

  ReverbParams chosen = options.params;
  if (!options.userPreset.empty() &&
      !UserPresetParams(options.bank, options.userPreset, static_cast<uint32_t>(info.samplerate), &chosen))
    return kExitRefused;
  SharedParams params;
  params.SetAll(chosen);
  ReverbEngine engine(params);
  const uint16_t tag = pcm16 ? kFormatPcm : kFormatIeeeFloat;
  const uint16_t bits = tag == kFormatPcm ? 16 : 32;
  const uint32_t rate = static_cast<uint32_t>(info.samplerate);
  const AudioFormat inFormat{tag, static_cast<uint16_t>(info.channels), rate,
                             static_cast<uint16_t>(bits / 8 * info.channels), bits};
  const AudioFormat outFormat{tag, 2, rate, static_cast<uint16_t>(bits / 8 * 2), bits};
  const Status prepared = engine.PrepareStream(inFormat, outFormat);
  if (Failed(prepared)) {
    err << "sombrevox-render: the reverb cannot run at " << rate << " Hz"
        << (prepared == kOutOfMemory ? " (out of memory)" : " (the rate is too low)") << "\n";
    return kExitRefused;
  }

  TemporaryFile temporary(options.output + ".partial-" + std::to_string(getpid()));
  bool ok = false;
  {
    SoundFile out(sf_open(temporary.path().c_str(), SFM_WRITE, &outInfo));
    if (!out) {
      err << "sombrevox-render: cannot write " << options.output << ": " << sf_strerror(nullptr) << "\n";
      return kExitRefused;
    }
    // Types libsndfile encodes from floats are limited to full scale, not wrapped.
    sf_command(out.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    FrameWriter writer(out.get(), IntegerBits(outInfo.format & SF_FORMAT_SUBMASK), options.blockFrames);
    ok = pcm16 ? Stream<int16_t>(in.get(), writer, engine, info, options.blockFrames)
               : Stream<float>(in.get(), writer, engine, info, options.blockFrames);
    if (ok) ok = sf_error(out.get()) == SF_ERR_NO_ERROR;
  }
  if (!ok || std::rename(temporary.path().c_str(), options.output.c_str()) != 0) {
    err << "sombrevox-render: writing " << options.output << " failed; nothing was written\n";
    return kExitRefused;
  }
  temporary.Keep();
  return kExitOk;
}

}  // namespace sombrevox::render
