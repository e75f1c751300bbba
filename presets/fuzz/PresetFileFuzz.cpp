// libFuzzer target: any bytes as a bank file. The check and the load must
// agree with the format (every whole record after an accepted header is
// loaded, nothing else), and a bank that was loaded must save and load back
// byte for byte.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "PresetFile.h"
#include "PresetFileFormat.h"

namespace {

using namespace sombrevox;

class SilentReporter final : public MessageReporter {
 public:
  void ShowError(const char*) noexcept override {}
};

// The files of one fuzzing process, in the temporary folder. They are
// removed after each input: libFuzzer may end the process without running
// exit handlers.
std::string TemporaryFile(const char* role) {
  const auto name = "sombrevox-prs-fuzz-" + std::to_string(::getpid()) + "-" + role + ".prs";
  return (std::filesystem::temp_directory_path() / name).string();
}

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "presets fuzz: %s\n", what);
    std::abort();
  }
}

bool SameBank(const PresetBank& a, const PresetBank& b) {
  if (a.Count() != b.Count()) return false;
  auto other = b.begin();
  for (const Preset& p : a) {
    if (PresetName(p) != PresetName(*other) || std::memcmp(&p.params, &other->params, sizeof p.params) != 0) {
      return false;
    }
    ++other;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string input = TemporaryFile("input");
  static const std::string output = TemporaryFile("output");
  struct Cleanup {
    ~Cleanup() {
      std::remove(input.c_str());
      std::remove(output.c_str());
    }
  } cleanup;
  std::FILE* file = std::fopen(input.c_str(), "wb");
  Require(file != nullptr, "cannot write the input file");
  if (size > 0) Require(std::fwrite(data, 1, size, file) == size, "cannot write the input file");
  std::fclose(file);

  SilentReporter reporter;
  const PresetResult check = CheckPresetFile(input.c_str(), reporter);
  Require(size == 0 || size >= kBankHeaderSize || check == kBankReadFailed || check == kBankMakerInvalid ||
              check == kBankProductInvalid,
          "a file shorter than the header passed the check");
  if (check != kPresetOk) return 0;

  PresetBank bank;
  Require(LoadPresetFile(input.c_str(), bank, reporter) == kPresetOk, "an accepted file failed to load");
  const std::size_t records = size < kBankHeaderSize ? 0 : (size - kBankHeaderSize) / kPresetRecordSize;
  Require(bank.Count() == records, "the load did not take every whole record");
  for (const Preset& p : bank) Require(std::memchr(p.name, '\0', kPresetNameSize) != nullptr, "a name lost its NUL");

  Require(SavePresetFile(output.c_str(), bank, reporter) == kPresetOk, "the loaded bank failed to save");
  Require(std::filesystem::file_size(output) == kBankHeaderSize + kPresetRecordSize * records,
          "the save has the wrong size");
  Require(CheckPresetFile(output.c_str(), reporter) == kPresetOk, "a saved bank fails the check");
  PresetBank reloaded;
  Require(LoadPresetFile(output.c_str(), reloaded, reporter) == kPresetOk, "a saved bank fails to load");
  Require(SameBank(bank, reloaded), "the saved bank loads back different");
  return 0;
}
