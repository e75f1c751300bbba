// A plain host: loads the built LV2 and LADSPA modules through their
// descriptor functions, as any host does, runs them in blocks of 1, 64 and
// 4410 frames with parameter changes between blocks, and holds every output
// sample to the engine called directly with the same changes.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <ladspa.h>
#include <lv2/core/lv2.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "PluginDescription.h"
#include "ReverbEngine.h"

using namespace sombrevox;
using namespace sombrevox::plugins;

namespace {

constexpr uint32_t kRate = 44100;

// One plugin of a loaded module, whatever its API.
struct HostedPlugin {
  std::function<void*(double rate)> instantiate;
  std::function<void(void*, uint32_t, float*)> connect;
  std::function<void(void*)> activate, deactivate, cleanup;
  std::function<void(void*, uint32_t)> run;
  PortLayout layout{2};
  bool hasLatencyPort = false;
};

class Module {
 public:
  explicit Module(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
  ~Module() {
    if (handle_) dlclose(handle_);
  }
  void* Symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }
  const char* Error() const { return handle_ ? "" : dlerror(); }

 private:
  void* handle_;
};

const Module& Lv2Module() {
  static const Module m(SOMBREVOX_LV2_MODULE);
  return m;
}
const Module& LadspaModule() {
  static const Module m(SOMBREVOX_LADSPA_MODULE);
  return m;
}

const LV2_Descriptor* Lv2Descriptor(uint32_t index) {
  auto entry = reinterpret_cast<LV2_Descriptor_Function>(Lv2Module().Symbol("lv2_descriptor"));
  return entry ? entry(index) : nullptr;
}
const LADSPA_Descriptor* LadspaDescriptor(unsigned long index) {
  auto entry = reinterpret_cast<LADSPA_Descriptor_Function>(LadspaModule().Symbol("ladspa_descriptor"));
  return entry ? entry(index) : nullptr;
}

// LV2 and LADSPA descriptors share the names of their instance functions.
template <typename Descriptor, typename Instantiate>
HostedPlugin Hosted(const Descriptor* d, uint32_t index, Instantiate instantiate) {
  HostedPlugin p;
  if (!d) return p;
  p.instantiate = [d, instantiate](double rate) { return instantiate(d, rate); };
  p.connect = [d](void* h, uint32_t port, float* data) { d->connect_port(h, port, data); };
  p.activate = [d](void* h) { d->activate(h); };
  p.deactivate = [d](void* h) { d->deactivate(h); };
  p.cleanup = [d](void* h) { d->cleanup(h); };
  p.run = [d](void* h, uint32_t n) { d->run(h, n); };
  p.layout = index == 0 ? kStereoLayout : kMonoLayout;
  return p;
}

HostedPlugin Lv2Plugin(uint32_t index) {
  HostedPlugin p = Hosted(Lv2Descriptor(index), index, [](const LV2_Descriptor* d, double rate) {
    return d->instantiate(d, rate, "/nowhere/", nullptr);
  });
  p.hasLatencyPort = true;
  return p;
}

HostedPlugin LadspaPlugin(uint32_t index) {
  return Hosted(LadspaDescriptor(index), index, [](const LADSPA_Descriptor* d, double rate) {
    return d->instantiate(d, static_cast<unsigned long>(rate));
  });
}

// A parameter change before a block: the value the host's control carries
// and the record value it stands for.
struct Change {
  int index;
  double value;
};
struct Block {
  uint32_t frames;
  std::vector<Change> changes;
};

const std::vector<Block>& Schedule() {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  static const std::vector<Block> schedule = {
      {1, {}},
      {64, {{kDecay, 2000}}},
      {4410, {{kDiffusion, 0.54}, {kRoomSize, 1277.9}}},
      {1, {{kPredelay, 0}, {kDamping, nan}}},  // clamped: 1 ms, and the lower bound 0.2
      {64, {{kLowpass, 16000}, {kMix, 0.6}, {kLevel, -3}}},
      {4410, {}},
      {4410, {{kLevel, 3}, {kPredelay, 181.52}}},
  };
  return schedule;
}

// Deterministic noise with a NaN, an infinity and a denormal in it.
std::vector<float> Noise(size_t n, unsigned seed) {
  std::vector<float> v(n);
  for (float& s : v) s = static_cast<float>(static_cast<int32_t>(seed = seed * 1103515245 + 12345) / 4294967296.0);
  v[n / 3] = std::numeric_limits<float>::quiet_NaN();
  v[n / 2] = std::numeric_limits<float>::infinity();
  v[n / 2 + 1] = std::numeric_limits<float>::denorm_min();
  return v;
}

struct Rendered {
  std::vector<float> left, right;
};

// The engine called directly: interleaved float blocks, the same changes
// written as the filter's writers write them.
Rendered EngineReference(uint32_t inputs, const std::vector<float> (&in)[2]) {
  SharedParams params;
  params.SetAll(DefaultParams());
  ReverbEngine engine(params);
  const AudioFormat inFormat{kFormatIeeeFloat, static_cast<uint16_t>(inputs), kRate, static_cast<uint16_t>(4 * inputs),
                             32};
  const AudioFormat outFormat{kFormatIeeeFloat, 2, kRate, 8, 32};
  EXPECT_EQ(engine.PrepareStream(inFormat, outFormat), kOk);
  Rendered r;
  size_t offset = 0;
  ProcessMode mode = kModeDiscontinuity;
  for (const Block& b : Schedule()) {
    for (const Change& c : b.changes) params.Set(c.index, c.value);
    std::vector<float> interleaved(static_cast<size_t>(b.frames) * inputs), out(2 * b.frames);
    for (uint32_t f = 0; f < b.frames; ++f)
      for (uint32_t c = 0; c < inputs; ++c) interleaved[f * inputs + c] = in[c][offset + f];
    uint32_t n = b.frames, room = b.frames;
    EXPECT_EQ(engine.ProcessFloat32(mode, interleaved.data(), &n, out.data(), &room), kOk);
    mode = kModeNormal;
    for (uint32_t f = 0; f < room; ++f) {
      r.left.push_back(out[2 * f]);
      r.right.push_back(out[2 * f + 1]);
    }
    offset += b.frames;
  }
  return r;
}

size_t ScheduleFrames() {
  size_t n = 0;
  for (const Block& b : Schedule()) n += b.frames;
  return n;
}

// The plugin in a host: controls set as floats before each block. In place,
// the outputs share the input buffers (LV2 allows it).
Rendered HostRender(const HostedPlugin& p, const std::vector<float> (&in)[2], bool inPlace) {
  void* h = p.instantiate(kRate);
  EXPECT_TRUE(h);
  if (!h) return {};
  float controls[kParamCount];
  for (int i = 0; i < kParamCount; ++i) controls[i] = static_cast<float>(kParamRanges[i].initial);
  float latency = -1;
  std::vector<float> buffers[4];
  for (int i = 0; i < kParamCount; ++i) p.connect(h, i, &controls[i]);
  if (p.hasLatencyPort) p.connect(h, p.layout.Latency(), &latency);
  p.activate(h);
  Rendered r;
  size_t offset = 0;
  for (const Block& b : Schedule()) {
    for (const Change& c : b.changes) controls[c.index] = static_cast<float>(c.value);
    for (std::vector<float>& v : buffers) v.assign(b.frames, 0.0f);
    for (uint32_t c = 0; c < p.layout.inputs; ++c) {
      std::copy_n(in[c].begin() + offset, b.frames, buffers[c].begin());
      p.connect(h, PortLayout::AudioIn(c), buffers[c].data());
    }
    for (uint32_t c = 0; c < 2; ++c) p.connect(h, p.layout.AudioOut(c), buffers[inPlace ? c : 2 + c].data());
    p.run(h, b.frames);
    const std::vector<float>& left = buffers[inPlace ? 0 : 2];
    const std::vector<float>& right = buffers[inPlace ? 1 : 3];
    r.left.insert(r.left.end(), left.begin(), left.end());
    r.right.insert(r.right.end(), right.begin(), right.end());
    offset += b.frames;
  }
  if (p.hasLatencyPort) {
    EXPECT_EQ(latency, 0.0f) << "latency reported";
  }
  p.deactivate(h);
  p.cleanup(h);
  return r;
}

::testing::AssertionResult SameSamples(const std::vector<float>& actual, const std::vector<float>& expected) {
  if (actual.size() != expected.size())
    return ::testing::AssertionFailure() << actual.size() << " samples, expected " << expected.size();
  for (size_t i = 0; i < actual.size(); ++i) {
    if (!std::isfinite(actual[i])) return ::testing::AssertionFailure() << "sample " << i << " is not finite";
    if (std::bit_cast<uint32_t>(actual[i]) != std::bit_cast<uint32_t>(expected[i]))
      return ::testing::AssertionFailure() << "sample " << i << ": " << actual[i] << ", engine " << expected[i];
  }
  return ::testing::AssertionSuccess();
}

struct PluginCase {
  const char* name;
  std::function<HostedPlugin()> load;
};

void PrintTo(const PluginCase& c, std::ostream* os) { *os << c.name; }

class EveryPlugin : public ::testing::TestWithParam<PluginCase> {};

}  // namespace

TEST(PluginModules, LoadWithTheirDescriptors) {
  ASSERT_TRUE(Lv2Module().Symbol("lv2_descriptor")) << Lv2Module().Error();
  ASSERT_TRUE(LadspaModule().Symbol("ladspa_descriptor")) << LadspaModule().Error();
  EXPECT_STREQ(Lv2Descriptor(0)->URI, kStereoUri);
  EXPECT_STREQ(Lv2Descriptor(1)->URI, kMonoUri);
  EXPECT_EQ(Lv2Descriptor(2), nullptr);
  EXPECT_EQ(Lv2Module().Symbol("ladspa_descriptor"), nullptr) << "each module exports its own entry only";

  const LADSPA_Descriptor* stereo = LadspaDescriptor(0);
  ASSERT_TRUE(stereo);
  EXPECT_STREQ(stereo->Label, "sombrevox");
  EXPECT_EQ(stereo->PortCount, 12u);
  EXPECT_TRUE(LADSPA_IS_HARD_RT_CAPABLE(stereo->Properties));
  for (int i = 0; i < kParamCount; ++i) {
    EXPECT_TRUE(LADSPA_IS_PORT_CONTROL(stereo->PortDescriptors[i]) && LADSPA_IS_PORT_INPUT(stereo->PortDescriptors[i]));
    EXPECT_EQ(stereo->PortRangeHints[i].LowerBound, static_cast<float>(kParamRanges[i].lower));
    EXPECT_EQ(stereo->PortRangeHints[i].UpperBound, static_cast<float>(kParamRanges[i].upper));
  }
  EXPECT_STREQ(stereo->PortNames[kPredelay], "Pre-delay (ms)");
  EXPECT_TRUE(LADSPA_IS_HINT_DEFAULT_MIDDLE(stereo->PortRangeHints[kMix].HintDescriptor));
  EXPECT_TRUE(LADSPA_IS_HINT_DEFAULT_0(stereo->PortRangeHints[kLevel].HintDescriptor));
  EXPECT_FALSE(LADSPA_IS_HINT_HAS_DEFAULT(stereo->PortRangeHints[kDecay].HintDescriptor))
      << "1200 ms is none of the points LADSPA can name";
  const LADSPA_Descriptor* mono = LadspaDescriptor(1);
  ASSERT_TRUE(mono);
  EXPECT_STREQ(mono->Label, "sombrevox_mono");
  EXPECT_EQ(mono->PortCount, 11u);
  EXPECT_EQ(LadspaDescriptor(2), nullptr);
}

TEST_P(EveryPlugin, RendersAsTheEngineBlockForBlock) {
  const HostedPlugin p = GetParam().load();
  ASSERT_TRUE(p.instantiate) << "descriptor missing";
  const size_t frames = ScheduleFrames();
  const std::vector<float> in[2] = {Noise(frames, 3), Noise(frames, 11)};
  const Rendered expected = EngineReference(p.layout.inputs, in);
  for (bool inPlace : {false, true}) {
    const Rendered actual = HostRender(p, in, inPlace);
    EXPECT_TRUE(SameSamples(actual.left, expected.left)) << "left, in place " << inPlace;
    EXPECT_TRUE(SameSamples(actual.right, expected.right)) << "right, in place " << inPlace;
  }
}

TEST_P(EveryPlugin, ReactivationStartsFromSilence) {
  const HostedPlugin p = GetParam().load();
  ASSERT_TRUE(p.instantiate);
  void* h = p.instantiate(48000);
  ASSERT_TRUE(h);
  float controls[kParamCount];
  for (int i = 0; i < kParamCount; ++i) p.connect(h, i, &(controls[i] = static_cast<float>(kParamRanges[i].initial)));
  float latency = 0;
  if (p.hasLatencyPort) p.connect(h, p.layout.Latency(), &latency);
  // Longer than the pre-delay and the lines, so the second block holds the first one's reverb.
  constexpr uint32_t kFrames = 4096;
  std::vector<float> in = Noise(kFrames, 5), out[2] = {std::vector<float>(kFrames), std::vector<float>(kFrames)};
  for (uint32_t c = 0; c < p.layout.inputs; ++c) p.connect(h, PortLayout::AudioIn(c), in.data());
  for (uint32_t c = 0; c < 2; ++c) p.connect(h, p.layout.AudioOut(c), out[c].data());
  p.activate(h);
  p.run(h, kFrames);
  const std::vector<float> first = out[0];
  p.run(h, kFrames);
  EXPECT_NE(out[0], first) << "the reverb carries over within an activation";
  p.deactivate(h);
  p.activate(h);
  p.run(h, kFrames);
  EXPECT_EQ(out[0], first) << "activation clears the rings";
  p.deactivate(h);
  p.cleanup(h);
}

TEST_P(EveryPlugin, RefusesRatesTheEngineCannotRun) {
  const HostedPlugin p = GetParam().load();
  ASSERT_TRUE(p.instantiate);
  EXPECT_EQ(p.instantiate(100), nullptr);
  EXPECT_EQ(p.instantiate(0), nullptr);
  EXPECT_EQ(p.instantiate(1e12), nullptr);
  void* h = p.instantiate(8000);
  EXPECT_NE(h, nullptr);
  if (h) p.cleanup(h);
}

INSTANTIATE_TEST_SUITE_P(Hosts, EveryPlugin,
                         ::testing::Values(PluginCase{"Lv2Stereo", [] { return Lv2Plugin(0); }},
                                           PluginCase{"Lv2Mono", [] { return Lv2Plugin(1); }},
                                           PluginCase{"LadspaStereo", [] { return LadspaPlugin(0); }},
                                           PluginCase{"LadspaMono", [] { return LadspaPlugin(1); }}),
                         [](const ::testing::TestParamInfo<PluginCase>& info) { return info.param.name; });

TEST(Lv2Plugin, RefusesAFractionalRate) {
  const LV2_Descriptor* d = Lv2Descriptor(0);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->instantiate(d, 44100.5, "/nowhere/", nullptr), nullptr);
}
