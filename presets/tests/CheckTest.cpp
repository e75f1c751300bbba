// CheckPresetFile on real files: names, lengths, header fields, versions.
#include <string>

#include <gtest/gtest.h>

#include "PresetFile.h"
#include "PresetTestSupport.h"

namespace sombrevox {
namespace {

using test::Bytes;
using test::Header;
using test::RecordingReporter;
using test::TempFolder;
using test::WriteBytes;

constexpr const char* kInvalidName = "Error 1150201: Invalid file format.";
constexpr const char* kOpenFailed = "Error 1110001: Error while opening the presets file for checking.";
constexpr const char* kReadFailed = "Error 1110002: Error while reading the presets file.";
constexpr const char* kWrongMaker =
    "Error 1150202: Cannon load presets. Your presets file is corrupted or isn't a valid ORVELA Soft's presets "
    "file.";
constexpr const char* kWrongProduct =
    "Error 1150203: Cannon load presets. Your presets file is corrupted or isn't a valid ORVELA Soft "
    "SombrevoxLight presets file.";
constexpr const char* kTooNew =
    "Error 1150205: Cannon load presets. You are probably trying to use a presets file of a later version of "
    "ORVELA Soft SombrevoxLight";

class CheckTest : public ::testing::Test {
 protected:
  // Writes `bytes` to `name` in the folder and checks it: the code, and the
  // one message (or none) recorded on the way.
  PresetResult Check(const Bytes& bytes, const std::string& name = "bank.prs") {
    const std::string path = folder.File(name);
    WriteBytes(path, bytes);
    return CheckPath(path);
  }
  PresetResult CheckPath(const std::string& path) {
    reporter.messages.clear();
    return CheckPresetFile(path.c_str(), reporter);
  }
  void ExpectMessage(const char* text) {
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0], text);
  }

  TempFolder folder;
  RecordingReporter reporter;
};

TEST_F(CheckTest, NameMustEndInLowerCasePrsWithOrWithoutADot) {
  EXPECT_EQ(Check({}, "bank.PRS"), kBankNameInvalid);
  ExpectMessage(kInvalidName);
  EXPECT_EQ(Check({}, "bank.Prs"), kBankNameInvalid);
  EXPECT_EQ(Check({}, "bank.prs.bak"), kBankNameInvalid);
  EXPECT_EQ(Check(Header(), "bankprs"), kPresetOk);
  EXPECT_TRUE(reporter.messages.empty());
  for (const char* shortPath : {"", "s", "rs"}) {
    EXPECT_EQ(CheckPath(shortPath), kBankNameInvalid) << '"' << shortPath << '"';
    ExpectMessage(kInvalidName);
  }
  EXPECT_EQ(CheckPath("prs"), kBankOpenFailed);  // passes the name test, then is missing
}

TEST_F(CheckTest, MissingFileAndFolderFailToOpen) {
  EXPECT_EQ(CheckPath(folder.File("absent.prs")), kBankOpenFailed);
  ExpectMessage(kOpenFailed);
  std::filesystem::create_directory(folder.Path() / "folder.prs");
  EXPECT_EQ(CheckPath(folder.File("folder.prs")), kBankOpenFailed);
  ExpectMessage(kOpenFailed);
}

TEST_F(CheckTest, EmptyFileAndHeaderOnlyFilePass) {
  EXPECT_EQ(Check({}), kPresetOk);
  EXPECT_EQ(Check(Header()), kPresetOk);
  EXPECT_TRUE(reporter.messages.empty());
}

// 1 to 41 bytes of a good header: a short read of whichever field comes first.
TEST_F(CheckTest, EveryFileShorterThanTheHeaderFailsWithAReadError) {
  const Bytes header = Header();
  for (std::size_t size = 1; size < kBankHeaderSize; ++size) {
    EXPECT_EQ(Check(Bytes(header.begin(), header.begin() + static_cast<long>(size))), kBankReadFailed) << size;
    ExpectMessage(kReadFailed);
  }
}

TEST_F(CheckTest, WrongMakerIsFoundBeforeTheRestIsRead) {
  Bytes bytes = Header();
  bytes[0] = 'o';
  EXPECT_EQ(Check(bytes), kBankMakerInvalid);
  ExpectMessage(kWrongMaker);

  bytes = Header();
  bytes[11] = '!';  // the maker's NUL is part of the field
  EXPECT_EQ(Check(bytes), kBankMakerInvalid);

  bytes = Header();
  bytes.resize(12);
  bytes[3] = 'X';  // a short file with a wrong maker: the maker decides
  EXPECT_EQ(Check(bytes), kBankMakerInvalid);
  ExpectMessage(kWrongMaker);
}

TEST_F(CheckTest, WrongProductIsFoundBeforeTheVersionsAreRead) {
  Bytes bytes = Header();
  bytes[12 + 20] = '\0';  // five blanks instead of six
  EXPECT_EQ(Check(bytes), kBankProductInvalid);
  ExpectMessage(kWrongProduct);

  bytes = Header();
  bytes[12 + 21] = ' ';  // no NUL after the 21 characters
  EXPECT_EQ(Check(bytes), kBankProductInvalid);

  bytes = Header();
  bytes[12 + 10] = 'l';  // "Sombrevox light"
  bytes.resize(34);
  EXPECT_EQ(Check(bytes), kBankProductInvalid);
  ExpectMessage(kWrongProduct);
}

TEST_F(CheckTest, FormatVersionUpToOwnPassesLaterFails) {
  for (const char* version : {"1.0", "0.9", "1", "", "abc", "x1.9", "-2", "1.00", " 1.0", "+1.0", "nan"}) {
    char field[kVersionSize] = {};
    std::memcpy(field, version, std::strlen(version));
    EXPECT_EQ(Check(Header(kBankProductVersion, field)), kPresetOk) << '"' << version << '"';
    EXPECT_TRUE(reporter.messages.empty()) << version;
  }
  for (const char* version : {"1.1", "2.0", "1.01", "10", " 2", "1e1", "inf"}) {
    char field[kVersionSize] = {};
    std::memcpy(field, version, std::strlen(version));
    EXPECT_EQ(Check(Header(kBankProductVersion, field)), kBankFormatTooNew) << '"' << version << '"';
    ExpectMessage(kTooNew);
  }
  // Four characters and no NUL: the number is read from the four alone.
  const char noNul[kVersionSize] = {'9', '.', '5', '0'};
  EXPECT_EQ(Check(Header(kBankProductVersion, noNul)), kBankFormatTooNew);
  // ...and not from the byte after them.
  const char lowVersion[kVersionSize] = {'0', '.', '5', '0'};
  Bytes bytes = Header(kBankProductVersion, lowVersion);
  bytes.push_back('9');
  EXPECT_EQ(Check(bytes), kPresetOk);
}

TEST_F(CheckTest, ProductVersionMayHoldAnything) {
  const char fields[][kVersionSize] = {"9.9", "abc", "\xFF\xFF\xFF"};
  for (const auto& field : fields) EXPECT_EQ(Check(Header(field)), kPresetOk);
  Bytes bytes = Header();
  bytes[34] = bytes[35] = bytes[36] = bytes[37] = 0xEE;  // no NUL either
  EXPECT_EQ(Check(bytes), kPresetOk);
  EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(CheckTest, RecordsAndTrailingBytesAreNotChecked) {
  Bytes bytes(kBankHeaderSize + 104 * 2 + 50, 0xCC);
  const Bytes header = Header();
  std::copy(header.begin(), header.end(), bytes.begin());
  EXPECT_EQ(Check(bytes), kPresetOk);
}

}  // namespace
}  // namespace sombrevox
