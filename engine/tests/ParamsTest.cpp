#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

#include "FactoryPresets.h"
#include "ReverbParams.h"
#include "SharedParams.h"

using namespace sombrevox;

namespace {

// A holder as a new filter has it: the default preset applied with write-all.
struct FreshHolder {
  SharedParams params;
  FreshHolder() { params.SetAll(kFactoryPresets[0].params); }
};

}  // namespace

TEST(Clamping, BoundsAndNaN) {
  EXPECT_EQ(ClampParam(kPredelay, 0.0), 1.0);
  EXPECT_EQ(ClampParam(kPredelay, 251.0), 250.0);
  EXPECT_EQ(ClampParam(kPredelay, 250.0), 250.0);
  EXPECT_EQ(ClampParam(kDamping, 0.94), 0.9);
  EXPECT_EQ(ClampParam(kLevel, -100.0), -15.0);
  EXPECT_EQ(ClampParam(kMix, 0.25), 0.25);
  for (int i = 0; i < kParamCount; ++i) {
    EXPECT_EQ(ClampParam(i, std::nan("")), kParamRanges[i].lower) << "parameter " << i;
    EXPECT_EQ(ClampParam(i, -INFINITY), kParamRanges[i].lower) << "parameter " << i;
    EXPECT_EQ(ClampParam(i, INFINITY), kParamRanges[i].upper) << "parameter " << i;
  }
}

TEST(Clamping, DefaultRecordIsFactoryPresetZero) {
  const ReverbParams d = DefaultParams();
  EXPECT_EQ(std::memcmp(&d, &kFactoryPresets[0].params, sizeof d), 0);
  const ReverbParams expected{33, 250, 10000, 1.0, 1200, 0.5, 0.5, 0};
  EXPECT_EQ(std::memcmp(&d, &expected, sizeof d), 0);
}

TEST(FactoryTable, NamesAndStoredValues) {
  EXPECT_STREQ(kFactoryPresets[0].name, "(Default)");
  EXPECT_STREQ(kFactoryPresets[13].name, "013 - Huge bright space");
  EXPECT_STREQ(kFactoryPresets[23].name, "023 - C.S.I.");
  EXPECT_EQ(kFactoryPresets[13].params.damping, 0.94);  // stored out of range
  EXPECT_EQ(kFactoryPresets[22].params.roomSize, 826.63);
  for (const FactoryPreset& p : kFactoryPresets) {
    const size_t len = std::strlen(p.name);
    for (size_t i = len; i < sizeof p.name; ++i) ASSERT_EQ(p.name[i], 0) << p.name;
  }
  EXPECT_EQ(FindFactoryPreset("014 - Mirror"), 14);
  EXPECT_EQ(FindFactoryPreset("014 - mirror"), -1);
}

TEST(SharedParams, FreshHolderReportsDirtyWithDefaults) {
  FreshHolder h;
  EXPECT_TRUE(h.params.IsDirty());
  EXPECT_TRUE(h.params.ParamsChanged());
  const ReverbParams p = h.params.GetAll();
  EXPECT_EQ(std::memcmp(&p, &kFactoryPresets[0].params, sizeof p), 0);
}

TEST(SharedParams, WriteOneClampsAndRaisesFlagsOnlyOnChange) {
  FreshHolder h;
  ReverbParams snap;
  h.params.TakeSnapshot(&snap);
  h.params.ClearDirty();

  h.params.Set(kMix, 0.5);  // the stored value
  EXPECT_FALSE(h.params.IsDirty());
  EXPECT_FALSE(h.params.ParamsChanged());

  h.params.Set(kPredelay, 0.0);
  EXPECT_EQ(h.params.Get(kPredelay), 1.0);
  EXPECT_TRUE(h.params.IsDirty());
  EXPECT_TRUE(h.params.TakeSnapshot(&snap));
  EXPECT_FALSE(h.params.TakeSnapshot(&snap)) << "the snapshot clears paramsChanged";
  EXPECT_EQ(snap.predelayMs, 1.0);

  h.params.ClearDirty();
  h.params.Set(kPredelay, -5.0);  // clamps to the value already stored
  EXPECT_FALSE(h.params.IsDirty());
  h.params.Set(kRoomSize, std::nan(""));
  EXPECT_EQ(h.params.Get(kRoomSize), 30.0);
}

TEST(SharedParams, WriteAllAlwaysRaisesFlagsAndClampsInPlace) {
  FreshHolder h;
  ReverbParams snap;
  h.params.TakeSnapshot(&snap);
  h.params.ClearDirty();
  h.params.SetAll(h.params.GetAll());  // identical values
  EXPECT_TRUE(h.params.IsDirty());
  EXPECT_TRUE(h.params.ParamsChanged());

  h.params.SetAll(kFactoryPresets[13].params);
  EXPECT_EQ(h.params.GetAll().damping, 0.9);
  h.params.SetAll(kFactoryPresets[1].params);
  EXPECT_EQ(h.params.GetAll().predelayMs, 1.0);
  h.params.SetAll(ReverbParams{NAN, 1e9, -1, 2, 0, 0, 7, 99});
  const ReverbParams c = h.params.GetAll();
  const ReverbParams expected{1, 20000, 500, 1.0, 300, 0.2, 1, 3};
  EXPECT_EQ(std::memcmp(&c, &expected, sizeof c), 0);
}

// Writers on several threads against a snapshotting thread: every snapshot
// must be one of the records written whole, never a mixture.
TEST(SharedParams, SnapshotsAreNeverTorn) {
  SharedParams params;
  const ReverbParams a = kFactoryPresets[4].params;   // in range
  const ReverbParams b = kFactoryPresets[18].params;  // in range
  params.SetAll(a);
  std::atomic<bool> stop{false};
  auto writer = [&](const ReverbParams& r) {
    while (!stop) params.SetAll(r);
  };
  std::thread w1(writer, a), w2(writer, b);
  int torn = 0;
  for (int i = 0; i < 200000; ++i) {
    ReverbParams s;
    params.TakeSnapshot(&s);
    if (std::memcmp(&s, &a, sizeof s) != 0 && std::memcmp(&s, &b, sizeof s) != 0) ++torn;
  }
  stop = true;
  w1.join();
  w2.join();
  EXPECT_EQ(torn, 0);
}
