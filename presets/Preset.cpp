#include "Preset.h"

#include <cstring>

namespace sombrevox {

std::string_view PresetName(const Preset& preset) {
  const void* nul = std::memchr(preset.name, '\0', kPresetNameMaxLength);
  const std::size_t length =
      nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - preset.name) : kPresetNameMaxLength;
  return std::string_view(preset.name, length);
}

void SetPresetName(Preset& preset, std::string_view name) {
  const std::size_t end = name.find('\0');
  if (end != std::string_view::npos) name = name.substr(0, end);
  if (name.size() > kPresetNameMaxLength) name = name.substr(0, kPresetNameMaxLength);
  std::memset(preset.name, 0, sizeof preset.name);
  std::memcpy(preset.name, name.data(), name.size());
}

Preset MakePreset(std::string_view name, const ReverbParams& params) {
  Preset preset{};
  SetPresetName(preset, name);
  preset.params = params;
  return preset;
}

}  // namespace sombrevox
