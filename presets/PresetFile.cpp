#include "PresetFile.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "BankFilePlatform.h"
#include "PresetFileFormat.h"
#include "PresetMessages.h"

namespace sombrevox {
namespace {

void Report(MessageReporter& reporter, PresetResult code, const char* text) noexcept {
  reporter.ShowError(ErrorMessage(code, text).c_str());
}

bool EndsInPrs(const char* path) {
  const std::size_t length = std::strlen(path);
  return length >= 3 && std::memcmp(path + length - 3, "prs", 3) == 0;
}

template <std::size_t N>
bool ReadField(BankFile& file, unsigned char (&field)[N]) {
  return file.Read(field, static_cast<long>(N)) == static_cast<long>(N);
}

// The header checks after the opening, on a file that is not empty.
PresetResult CheckHeader(BankFile& file, MessageReporter& reporter) {
  constexpr const char* kReadFailed = "Error while reading the presets file.";
  unsigned char maker[kMakerSize];
  unsigned char product[kProductSize];
  unsigned char productVersion[kVersionSize];
  unsigned char formatVersion[kVersionSize];

  if (!file.SeekTo(0) || !ReadField(file, maker)) {
    Report(reporter, kBankReadFailed, kReadFailed);
    return kBankReadFailed;
  }
  // "Cannon" is the message as users have always seen it: the texts are kept
  // exactly as stored and shown, misspelling included.
  if (std::memcmp(maker, kBankMaker, kMakerSize) != 0) {
    Report(reporter, kBankMakerInvalid,
           "Cannon load presets. Your presets file is corrupted or isn't a valid ORVELA Soft's presets file.");
    return kBankMakerInvalid;
  }
  if (!ReadField(file, product)) {
    Report(reporter, kBankReadFailed, kReadFailed);
    return kBankReadFailed;
  }
  if (std::memcmp(product, kBankProduct, kProductSize) != 0) {
    Report(reporter, kBankProductInvalid,
           "Cannon load presets. Your presets file is corrupted or isn't a valid ORVELA Soft SombrevoxLight "
           "presets file.");
    return kBankProductInvalid;
  }
  // The product version is read past but never examined.
  if (!ReadField(file, productVersion) || !ReadField(file, formatVersion)) {
    Report(reporter, kBankReadFailed, kReadFailed);
    return kBankReadFailed;
  }
  if (ParseFormatVersion(formatVersion) > kOwnFormatVersion) {
    Report(reporter, kBankFormatTooNew,
           "Cannon load presets. You are probably trying to use a presets file of a later version of ORVELA Soft "
           "SombrevoxLight");
    return kBankFormatTooNew;
  }
  return kPresetOk;
}

// The bank written in place: for targets that cannot be replaced by another
// file (a device), where there is nothing to lose either.
PresetResult SaveInPlace(const char* path, const PresetBank& bank, MessageReporter& reporter) {
  DiskBankFile file;
  if (!file.Open(path, DiskBankFile::Mode::kCreate)) {
    Report(reporter, kBankOpenFailed, "Error while opening the presets file for saving.");
    return kBankOpenFailed;
  }
  const PresetResult result = WritePresetRecords(file, bank, reporter);
  if (result != kPresetOk) return result;
  if (!file.Close()) {
    Report(reporter, kBankWriteFailed, "Error while writing presets list.");
    return kBankWriteFailed;
  }
  return kPresetOk;
}

// Whether the old bank could be written at all: a file the user may not
// change (read-only, locked by another program) is refused as an opening
// failure, as a rewrite in place would have been, rather than replaced.
bool CanRewrite(const char* path) {
  std::FILE* file = std::fopen(path, "r+b");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

}  // namespace

PresetResult CheckPresetFile(const char* path, MessageReporter& reporter) noexcept {
  if (!EndsInPrs(path)) {
    Report(reporter, kBankNameInvalid, "Invalid file format.");
    return kBankNameInvalid;
  }
  DiskBankFile file;
  if (!file.Open(path, DiskBankFile::Mode::kRead)) {
    Report(reporter, kBankOpenFailed, "Error while opening the presets file for checking.");
    return kBankOpenFailed;
  }
  const long length = file.SeekToEnd();
  if (length == 0) return kPresetOk;  // an empty file is an empty bank
  return CheckHeader(file, reporter);
}

PresetResult LoadPresetFile(const char* path, PresetBank& bank, MessageReporter& reporter) noexcept {
  DiskBankFile file;
  if (!file.Open(path, DiskBankFile::Mode::kRead)) {
    Report(reporter, kBankOpenFailed, "Error while opening the presets file for loading.");
    return kBankOpenFailed;
  }
  return ReadPresetRecords(file, bank, reporter);
}

PresetResult ReadPresetRecords(BankFile& file, PresetBank& bank, MessageReporter& reporter) noexcept {
  constexpr const char* kLoadFailed = "Error while loading presets list.";
  if (!file.SeekTo(static_cast<long>(kBankHeaderSize))) {
    Report(reporter, kBankReadFailed, kLoadFailed);
    return kBankReadFailed;
  }
  // A record that could not be added is remembered to the end: the caller
  // must not take a bank with records missing for the whole file.
  PresetResult result = kPresetOk;
  for (;;) {
    unsigned char record[kPresetRecordSize];
    const long got = file.Read(record, static_cast<long>(kPresetRecordSize));
    if (got < 0) {
      Report(reporter, kBankReadFailed, kLoadFailed);
      return kBankReadFailed;
    }
    if (got < static_cast<long>(kPresetRecordSize)) break;  // the end, or a partial record that is ignored
    if (bank.Append(DecodePresetRecord(record)) != kPresetOk) {
      MessageText message;
      AppendErrorCode(kPresetAllocFailed, message);
      AppendErrorCode(kPresetNotAdded, message);
      reporter.ShowError(message.Append(kLoadFailed).c_str());
      result = kPresetNotAdded;
    }
  }
  return result;
}

PresetResult WritePresetRecords(BankFile& file, const PresetBank& bank, MessageReporter& reporter) noexcept {
  auto write = [&file](const void* data, std::size_t size) {
    return file.Write(data, static_cast<long>(size)) == static_cast<long>(size);
  };
  bool written = write(kBankMaker, kMakerSize) && write(kBankProduct, kProductSize) &&
                 write(kBankProductVersion, kVersionSize) && write(kBankFormatVersion, kVersionSize);
  for (auto it = bank.begin(); written && it != bank.end(); ++it) {
    unsigned char record[kPresetRecordSize];
    EncodePresetRecord(*it, record);
    written = write(record, kPresetRecordSize);
  }
  if (!written) {
    Report(reporter, kBankWriteFailed, "Error while writing presets list.");
    return kBankWriteFailed;
  }
  return kPresetOk;
}

PresetResult SavePresetFile(const char* path, const PresetBank& bank, MessageReporter& reporter) noexcept {
  constexpr const char* kOpenFailed = "Error while opening the presets file for saving.";
  switch (GetFileKind(path)) {
    case FileKind::kOther:
      return SaveInPlace(path, bank, reporter);
    case FileKind::kDirectory:
      Report(reporter, kBankOpenFailed, kOpenFailed);
      return kBankOpenFailed;
    case FileKind::kRegular:
      if (!CanRewrite(path)) {
        Report(reporter, kBankOpenFailed, kOpenFailed);
        return kBankOpenFailed;
      }
      break;
    case FileKind::kMissing:
      break;
  }

  std::string temporaryPath;
  try {
    temporaryPath = std::string(path) + ".tmp";
  } catch (const std::bad_alloc&) {
    Report(reporter, kBankOpenFailed, kOpenFailed);
    return kBankOpenFailed;
  }
  DiskBankFile file;
  if (!file.Open(temporaryPath.c_str(), DiskBankFile::Mode::kCreate)) {
    Report(reporter, kBankOpenFailed, kOpenFailed);
    return kBankOpenFailed;
  }
  PresetResult result = WritePresetRecords(file, bank, reporter);
  if (result == kPresetOk && (!file.Close() || !ReplaceFileWith(path, temporaryPath.c_str()))) {
    Report(reporter, kBankWriteFailed, "Error while writing presets list.");
    result = kBankWriteFailed;
  }
  if (result != kPresetOk) {
    file.Close();
    std::remove(temporaryPath.c_str());
  }
  return result;
}

}  // namespace sombrevox
