// The in-memory bank: order, lookup by key, removal, memory failures.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PresetBank.h"
#include "PresetTestSupport.h"

namespace sombrevox {
namespace {

using test::FailingMemory;
using test::SameBytes;
using test::SampleParams;

std::vector<std::string> Names(const PresetBank& bank) {
  std::vector<std::string> names;
  for (const Preset& p : bank) names.emplace_back(PresetName(p));
  return names;
}

void AppendNamed(PresetBank& bank, const char* name, int index = 0) {
  ASSERT_EQ(bank.Append(MakePreset(name, SampleParams(index))), kPresetOk);
}

TEST(Preset, NameIsCutTo31CharactersAndTheFieldZeroFilled) {
  Preset preset;
  std::memset(&preset, 0x5A, sizeof preset);
  SetPresetName(preset, std::string(40, 'n'));
  EXPECT_EQ(PresetName(preset), std::string(31, 'n'));
  EXPECT_EQ(preset.name[31], '\0');

  SetPresetName(preset, std::string("ab\0cd", 5));
  EXPECT_EQ(PresetName(preset), "ab");
  for (std::size_t i = 2; i < kPresetNameSize; ++i) EXPECT_EQ(preset.name[i], '\0') << i;

  std::memset(preset.name, 'q', sizeof preset.name);  // no NUL anywhere in the field
  EXPECT_EQ(PresetName(preset), std::string(31, 'q'));
}

TEST(PresetBank, KeepsAppendOrderAndCopiesTheRecord) {
  PresetBank bank;
  EXPECT_TRUE(bank.Empty());
  Preset record = MakePreset("Room", SampleParams(1));
  ASSERT_EQ(bank.Append(record), kPresetOk);
  record.params.mix = 99;  // the caller keeps its own record
  AppendNamed(bank, "Hall", 2);
  AppendNamed(bank, "Attic", 3);
  EXPECT_EQ(Names(bank), (std::vector<std::string>{"Room", "Hall", "Attic"}));
  EXPECT_EQ(bank.Count(), 3u);
  EXPECT_TRUE(SameBytes(bank.begin()->params, SampleParams(1)));
}

TEST(PresetBank, FindsByKeyAndTheFirstOfTwoRecordsWithOneKey) {
  PresetBank bank;
  AppendNamed(bank, "Hall", 1);
  AppendNamed(bank, "Room", 2);
  AppendNamed(bank, "HALL", 3);  // a file may hold two records with one key

  Preset* found = nullptr;
  ASSERT_TRUE(bank.FindByName("  hall ", found));
  EXPECT_TRUE(SameBytes(found->params, SampleParams(1)));
  EXPECT_TRUE(bank.ContainsName("room"));
  EXPECT_TRUE(bank.ContainsName("\xA0ROOM\xA0"));
  EXPECT_FALSE(bank.ContainsName("Room 2"));

  Preset* untouched = found;
  EXPECT_FALSE(bank.FindByName("Cellar", untouched));
  EXPECT_EQ(untouched, found);
}

TEST(PresetBank, LookupChangesNeitherTheArgumentNorTheRecords) {
  PresetBank bank;
  AppendNamed(bank, " mixed Case ");  // a name stored untrimmed keeps its bytes
  char name[] = " MIXED case";
  Preset* found = nullptr;
  ASSERT_TRUE(bank.FindByName(name, found));
  EXPECT_STREQ(name, " MIXED case");
  EXPECT_EQ(PresetName(*found), " mixed Case ");
}

TEST(PresetBank, RemovesHeadMiddleAndTailAndKeepsOtherRecordsInPlace) {
  PresetBank bank;
  for (const char* name : {"A", "B", "C", "D", "E"}) AppendNamed(bank, name);
  Preset* held = nullptr;
  ASSERT_TRUE(bank.FindByName("C", held));

  Preset* victim = nullptr;
  for (const char* name : {"B", "A", "E"}) {
    ASSERT_TRUE(bank.FindByName(name, victim));
    EXPECT_EQ(bank.Remove(victim), kPresetOk);
  }
  EXPECT_EQ(Names(bank), (std::vector<std::string>{"C", "D"}));
  for (int i = 0; i < 100; ++i) AppendNamed(bank, "more", i);
  // The record the dialog holds on to is still the same record.
  Preset* again = nullptr;
  ASSERT_TRUE(bank.FindByName("c", again));
  EXPECT_EQ(again, held);
  EXPECT_EQ(PresetName(*held), "C");

  Preset stranger = MakePreset("D", SampleParams(0));
  EXPECT_EQ(bank.Remove(&stranger), kPresetOk);  // not one of the bank's: nothing happens
  EXPECT_EQ(bank.Count(), 102u);

  bank.Clear();
  EXPECT_TRUE(bank.Empty());
  EXPECT_FALSE(bank.ContainsName("C"));
}

TEST(PresetBank, AllocationFailureReports1110021AndLeavesTheBankAsItWas) {
  FailingMemory memory(2);
  PresetBank bank(&memory);
  AppendNamed(bank, "One", 1);
  AppendNamed(bank, "Two", 2);
  EXPECT_EQ(bank.Append(MakePreset("Three", SampleParams(3))), kPresetAllocFailed);
  EXPECT_EQ(Names(bank), (std::vector<std::string>{"One", "Two"}));
  EXPECT_FALSE(bank.ContainsName("Three"));
}

}  // namespace
}  // namespace sombrevox
