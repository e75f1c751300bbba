#include "BankCommands.h"

#include <sys/stat.h>

#include <cstdio>

#include "LowpassCeiling.h"
#include "MessageReporter.h"
#include "PresetFile.h"
#include "PresetMessages.h"
#include "PresetNames.h"
#include "Renderer.h"

namespace sombrevox::render {
namespace {

// Check, then load: the order the Presets dialog keeps.
bool ReadBank(const std::string& path, PresetBank& bank, MessageReporter& reporter) {
  if (CheckPresetFile(path.c_str(), reporter) != kPresetOk) return false;
  return LoadPresetFile(path.c_str(), bank, reporter) == kPresetOk;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

}  // namespace

bool UserPresetParams(const std::string& bankPath, const std::string& name, uint32_t samplesPerSec,
                      ReverbParams* params) {
  StandardErrorReporter reporter;
  PresetBank bank;
  if (!ReadBank(bankPath, bank, reporter)) return false;
  Preset* found = nullptr;
  if (!bank.FindByName(name, found)) {
    const MessageText text = ErrorMessage(kPresetNotFound, "The preset '" + TrimmedName(name) + "' does not exist.");
    reporter.ShowError(text.c_str());
    return false;
  }
  ReverbParams p = found->params;
  const double ceiling = LowpassCeiling(samplesPerSec);
  if (ceiling < p.lowpassHz) p.lowpassHz = ceiling;
  ClampAll(p);
  *params = p;
  return true;
}

int ListBank(const std::string& bankPath, std::ostream& out) {
  StandardErrorReporter reporter;
  PresetBank bank;
  if (!ReadBank(bankPath, bank, reporter)) return kExitRefused;
  char line[256];
  std::snprintf(line, sizeof line, "%-31s %8s %9s %8s %5s %7s %5s %5s %6s\n", "name", "predelay", "size", "lowpass",
                "diff", "decay", "damp", "mix", "level");
  out << line;
  for (const Preset& preset : bank) {
    const ReverbParams& p = preset.params;
    const std::string name(PresetName(preset));
    std::snprintf(line, sizeof line, "%-31s %8g %9g %8g %5g %7g %5g %5g %6g\n", name.c_str(), p.predelayMs, p.roomSize,
                  p.lowpassHz, p.diffusion, p.decayMs, p.damping, p.mix, p.levelDb);
    out << line;
  }
  return kExitOk;
}

int AddToBank(const std::string& bankPath, const std::string& name, const ReverbParams& params) {
  StandardErrorReporter reporter;
  // The dialog's name box takes 31 characters, then trims them.
  const std::string trimmed = TrimmedName(name.substr(0, kPresetNameMaxLength));
  if (trimmed.empty()) {
    reporter.ShowError("sombrevox-render: --as needs a name that is not blank");
    return kExitUsage;
  }
  PresetBank bank;
  if (Exists(bankPath) && !ReadBank(bankPath, bank, reporter)) return kExitRefused;
  if (bank.ContainsName(trimmed)) {
    reporter.ShowError(PresetExistsMessage(trimmed).c_str());
    return kExitRefused;
  }
  ReverbParams captured = params;
  ClampAll(captured);
  if (bank.Append(MakePreset(trimmed, captured)) != kPresetOk) {
    MessageText text;
    AppendErrorCode(kPresetAllocFailed, text);
    AppendErrorCode(kPresetNotAdded, text);
    text.Append("Error while adding a preset to the list.");
    reporter.ShowError(text.c_str());
    return kExitRefused;
  }
  return SavePresetFile(bankPath.c_str(), bank, reporter) == kPresetOk ? kExitOk : kExitRefused;
}

}  // namespace sombrevox::render
