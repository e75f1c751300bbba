#include "PresetFileFormat.h"

#include <bit>
#include <charconv>
#include <cstring>

namespace sombrevox {
namespace {

constexpr std::size_t kParamsOffset = kPresetNameSize;

static_assert(kBankHeaderSize == 42);
static_assert(kPresetNameSize + sizeof(ReverbParams) + 8 == kPresetRecordSize);

void StoreDouble(unsigned char* out, double value) {
  const auto bits = std::bit_cast<uint64_t>(value);
  for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(bits >> (8 * i));
}

double LoadDouble(const unsigned char* in) {
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(in[i]) << (8 * i);
  return std::bit_cast<double>(bits);
}

}  // namespace

void EncodePresetRecord(const Preset& preset, unsigned char (&record)[kPresetRecordSize]) {
  std::memset(record, 0, sizeof record);
  const std::string_view name = PresetName(preset);
  std::memcpy(record, name.data(), name.size());
  for (int i = 0; i < kParamCount; ++i) StoreDouble(record + kParamsOffset + 8 * i, ParamAt(preset.params, i));
}

Preset DecodePresetRecord(const unsigned char (&record)[kPresetRecordSize]) {
  Preset preset{};
  SetPresetName(preset, std::string_view(reinterpret_cast<const char*>(record), kPresetNameMaxLength));
  for (int i = 0; i < kParamCount; ++i) ParamAt(preset.params, i) = LoadDouble(record + kParamsOffset + 8 * i);
  return preset;
}

double ParseFormatVersion(const unsigned char (&field)[kVersionSize]) {
  const char* text = reinterpret_cast<const char*>(field);
  const char* end = text;
  while (end != text + kVersionSize && *end != '\0') ++end;
  while (text != end && (*text == ' ' || (*text >= '\t' && *text <= '\r'))) ++text;
  if (text != end && *text == '+') ++text;  // the parser below takes only a minus sign
  double value = 0.0;
  if (std::from_chars(text, end, value, std::chars_format::general).ec != std::errc{}) return 0.0;
  return value;
}

}  // namespace sombrevox
