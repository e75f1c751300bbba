// LoadPresetFile and SavePresetFile on real files: records, round trips,
// read and write failures, and the old bank surviving a failed save.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PresetFile.h"
#include "PresetTestSupport.h"

#if !defined(_WIN32)
#include <sys/resource.h>

#include <csignal>
#endif

namespace sombrevox {
namespace {

using test::Bytes;
using test::FailingFile;
using test::FailingMemory;
using test::Header;
using test::ReadBytes;
using test::RecordBytes;
using test::RecordingReporter;
using test::SameBytes;
using test::SampleParams;
using test::TempFolder;
using test::WriteBytes;

constexpr const char* kLoadOpenFailed = "Error 1110001: Error while opening the presets file for loading.";
constexpr const char* kLoadReadFailed = "Error 1110002: Error while loading presets list.";
constexpr const char* kLoadAppendFailed = "Error 1110021: 1150001: Error while loading presets list.";
constexpr const char* kSaveOpenFailed = "Error 1110001: Error while opening the presets file for saving.";
constexpr const char* kSaveWriteFailed = "Error 1110003: Error while writing presets list.";

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A bank of `count` records named "Preset 0", "Preset 1", ...
void FillBank(PresetBank& bank, int count, int first = 0) {
  for (int i = first; i < first + count; ++i) {
    ASSERT_EQ(bank.Append(MakePreset("Preset " + std::to_string(i), SampleParams(i))), kPresetOk);
  }
}

// The file a bank of these records must give, laid out independently.
Bytes ExpectedFile(const PresetBank& bank) {
  Bytes bytes = Header();
  for (const Preset& p : bank) bytes = Concat({bytes, RecordBytes(std::string(PresetName(p)), p.params)});
  return bytes;
}

void ExpectSameBank(const PresetBank& actual, const PresetBank& expected) {
  ASSERT_EQ(actual.Count(), expected.Count());
  auto a = actual.begin();
  for (const Preset& e : expected) {
    EXPECT_EQ(PresetName(*a), PresetName(e));
    EXPECT_TRUE(SameBytes(a->params, e.params)) << PresetName(e);
    ++a;
  }
}

class LoadSaveTest : public ::testing::Test {
 protected:
  PresetResult Load(const std::string& path, PresetBank& into) {
    reporter.messages.clear();
    return LoadPresetFile(path.c_str(), into, reporter);
  }
  PresetResult Save(const std::string& path, const PresetBank& from) {
    reporter.messages.clear();
    return SavePresetFile(path.c_str(), from, reporter);
  }
  void ExpectMessage(const char* text) {
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0], text);
  }
  void ExpectNoTemporaryFile(const std::string& path) { EXPECT_FALSE(std::filesystem::exists(path + ".tmp")); }

  TempFolder folder;
  RecordingReporter reporter;
  PresetBank bank;
};

TEST_F(LoadSaveTest, EmptyAndHeaderOnlyFilesLoadAsEmptyBanks) {
  const std::string path = folder.File("bank.prs");
  WriteBytes(path, {});
  EXPECT_EQ(Load(path, bank), kPresetOk);
  EXPECT_TRUE(bank.Empty());
  EXPECT_EQ(Save(path, bank), kPresetOk);
  EXPECT_EQ(ReadBytes(path), Header());  // the empty file becomes a header
  EXPECT_EQ(Load(path, bank), kPresetOk);
  EXPECT_TRUE(bank.Empty());
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(LoadSaveTest, LoadsWholeRecordsInFileOrderAndIgnoresATrailingPart) {
  const ReverbParams odd = {
      0.0,  -1.0, 1e300, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
      0.94, 7.0,  -100.0};
  const std::string path = folder.File("bank.prs");
  WriteBytes(path, Concat({Header(), RecordBytes("Zeta", SampleParams(1), 0xAB), RecordBytes("alpha", odd, 0xFF),
                           RecordBytes("ZETA", SampleParams(3)), Bytes(50, 0x77)}));
  ASSERT_EQ(Load(path, bank), kPresetOk);
  ASSERT_EQ(bank.Count(), 3u);
  auto it = bank.begin();
  EXPECT_EQ(PresetName(*it), "Zeta");
  EXPECT_TRUE(SameBytes(it->params, SampleParams(1)));
  ++it;
  EXPECT_EQ(PresetName(*it), "alpha");
  EXPECT_TRUE(SameBytes(it->params, odd));  // stored values are not clamped on reading
  ++it;
  EXPECT_EQ(PresetName(*it), "ZETA");  // a second record with one key is kept

  // The trailing 50 bytes and the reserved bytes disappear at the next save.
  ASSERT_EQ(Save(path, bank), kPresetOk);
  const Bytes saved = ReadBytes(path);
  EXPECT_EQ(saved.size(), kBankHeaderSize + 3 * kPresetRecordSize);
  EXPECT_EQ(saved, ExpectedFile(bank));
}

TEST_F(LoadSaveTest, NameFieldWithoutNulGivesItsFirst31Characters) {
  const std::string path = folder.File("bank.prs");
  WriteBytes(path, Concat({Header(), RecordBytes(std::string(32, 'N'), SampleParams(0)),
                           RecordBytes(std::string("ab\0garbage", 10), SampleParams(1))}));
  ASSERT_EQ(Load(path, bank), kPresetOk);
  EXPECT_EQ(PresetName(*bank.begin()), std::string(31, 'N'));
  EXPECT_EQ(bank.begin()->name[31], '\0');

  ASSERT_EQ(Save(path, bank), kPresetOk);
  const Bytes saved = ReadBytes(path);
  // After each name's NUL the field is zero, and so are the reserved bytes.
  const Bytes second(saved.begin() + kBankHeaderSize + kPresetRecordSize, saved.end());
  EXPECT_EQ(second, RecordBytes("ab", SampleParams(1)));
  EXPECT_EQ(saved[kBankHeaderSize + 31], 0);
}

TEST_F(LoadSaveTest, SaveWritesHeaderAndRecordsInBankOrderAndLoadsBackIdentically) {
  for (int n : {0, 1, 7, 40}) {
    PresetBank written;
    FillBank(written, n, 100);
    // A record whose name field holds leftovers after its NUL in memory.
    Preset leftover = MakePreset("short", SampleParams(5));
    std::memcpy(leftover.name + 6, "junkjunk", 8);
    if (n > 0) {
      ASSERT_EQ(written.Append(leftover), kPresetOk);
    }

    const std::string path = folder.File("bank" + std::to_string(n) + ".prs");
    ASSERT_EQ(Save(path, written), kPresetOk);
    const Bytes saved = ReadBytes(path);
    EXPECT_EQ(saved.size(), kBankHeaderSize + kPresetRecordSize * written.Count());
    EXPECT_EQ(saved, ExpectedFile(written));

    PresetBank loaded;
    ASSERT_EQ(Load(path, loaded), kPresetOk);
    ExpectSameBank(loaded, written);
    ExpectNoTemporaryFile(path);
  }
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(LoadSaveTest, SaveReplacesALargerOldBankWhole) {
  const std::string path = folder.File("bank.prs");
  PresetBank large;
  FillBank(large, 10);
  ASSERT_EQ(Save(path, large), kPresetOk);
  FillBank(bank, 2, 50);
  ASSERT_EQ(Save(path, bank), kPresetOk);
  EXPECT_EQ(ReadBytes(path), ExpectedFile(bank));
}

TEST_F(LoadSaveTest, LoadOfAMissingFileFailsToOpen) {
  EXPECT_EQ(Load(folder.File("absent.prs"), bank), kBankOpenFailed);
  ExpectMessage(kLoadOpenFailed);
  EXPECT_TRUE(bank.Empty());
}

TEST_F(LoadSaveTest, ReadErrorMidLoadKeepsTheRecordsReadBeforeIt) {
  const std::string path = folder.File("bank.prs");
  PresetBank written;
  FillBank(written, 5);
  ASSERT_EQ(Save(path, written), kPresetOk);

  DiskBankFile disk;
  ASSERT_TRUE(disk.Open(path.c_str(), DiskBankFile::Mode::kRead));
  FailingFile file(disk, 3, 0);  // the third record's read fails
  EXPECT_EQ(ReadPresetRecords(file, bank, reporter), kBankReadFailed);
  ExpectMessage(kLoadReadFailed);
  ASSERT_EQ(bank.Count(), 2u);
  EXPECT_EQ(PresetName(*bank.begin()), "Preset 0");
}

TEST_F(LoadSaveTest, RecordsThatCannotBeAddedAreReportedEachAndFailTheLoad) {
  const std::string path = folder.File("bank.prs");
  PresetBank written;
  FillBank(written, 4);
  ASSERT_EQ(Save(path, written), kPresetOk);

  FailingMemory memory(2);
  PresetBank tight(&memory);
  EXPECT_EQ(Load(path, tight), kPresetNotAdded);
  ASSERT_EQ(reporter.messages.size(), 2u);
  EXPECT_EQ(reporter.messages[0], kLoadAppendFailed);
  EXPECT_EQ(reporter.messages[1], kLoadAppendFailed);
  EXPECT_EQ(tight.Count(), 2u);
}

TEST_F(LoadSaveTest, ShortWriteReports1110003) {
  FillBank(bank, 3);
  const std::string path = folder.File("direct.prs");
  for (int failing : {1, 4, 6}) {  // the maker, the format version, the second record
    DiskBankFile disk;
    ASSERT_TRUE(disk.Open(path.c_str(), DiskBankFile::Mode::kCreate));
    FailingFile file(disk, 0, failing);
    reporter.messages.clear();
    EXPECT_EQ(WritePresetRecords(file, bank, reporter), kBankWriteFailed) << failing;
    ExpectMessage(kSaveWriteFailed);
  }
}

TEST_F(LoadSaveTest, SaveIntoAMissingFolderFailsToOpenAndCreatesNothing) {
  FillBank(bank, 1);
  const std::string path = folder.File("absent/bank.prs");
  EXPECT_EQ(Save(path, bank), kBankOpenFailed);
  ExpectMessage(kSaveOpenFailed);
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "absent"));
}

TEST_F(LoadSaveTest, SaveOverAFolderFailsToOpenAndLeavesIt) {
  FillBank(bank, 1);
  const std::string path = folder.File("folder.prs");
  std::filesystem::create_directory(path);
  EXPECT_EQ(Save(path, bank), kBankOpenFailed);
  ExpectMessage(kSaveOpenFailed);
  EXPECT_TRUE(std::filesystem::is_directory(path));
  ExpectNoTemporaryFile(path);
}

TEST_F(LoadSaveTest, SaveThatCannotWriteBesideTheBankLeavesTheOldBank) {
  const std::string path = folder.File("bank.prs");
  PresetBank old;
  FillBank(old, 3);
  ASSERT_EQ(Save(path, old), kPresetOk);
  const Bytes before = ReadBytes(path);

  std::filesystem::create_directory(path + ".tmp");  // where the new bank would be written
  FillBank(bank, 5, 10);
  EXPECT_EQ(Save(path, bank), kBankOpenFailed);
  ExpectMessage(kSaveOpenFailed);
  EXPECT_EQ(ReadBytes(path), before);
}

#if !defined(_WIN32)
// Natively a write can be made to fail for real: the process's file size
// limit stops the new bank half-way, as a full disk would.
TEST_F(LoadSaveTest, WriteFailureHalfWayLeavesTheOldBankIntact) {
  const std::string path = folder.File("bank.prs");
  PresetBank old;
  FillBank(old, 3);
  ASSERT_EQ(Save(path, old), kPresetOk);
  const Bytes before = ReadBytes(path);
  FillBank(bank, 30, 10);

  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit = saved;
  limit.rlim_cur = kBankHeaderSize + 5 * kPresetRecordSize;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const PresetResult result = Save(path, bank);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previousHandler);

  EXPECT_EQ(result, kBankWriteFailed);
  ExpectMessage(kSaveWriteFailed);
  EXPECT_EQ(ReadBytes(path), before);
  ExpectNoTemporaryFile(path);
  PresetBank reloaded;
  EXPECT_EQ(Load(path, reloaded), kPresetOk);
  ExpectSameBank(reloaded, old);
}

// A device is written in place (it cannot be replaced by a file); a full one
// reports the failed write.
TEST_F(LoadSaveTest, SaveToAFullDeviceReports1110003) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  FillBank(bank, 2);
  EXPECT_EQ(Save("/dev/full", bank), kBankWriteFailed);
  ExpectMessage(kSaveWriteFailed);
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}
#endif

}  // namespace
}  // namespace sombrevox
