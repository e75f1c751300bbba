#include "EnteredValue.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "ParameterMapping.h"
#include "ReverbParams.h"

namespace sombrevox {
namespace {

// The shown pre-delay runs from 0 to the range's top (1..250 ms as 0..250).
constexpr double kPredelayShownLowest = 0.0;

double Clamp(double value, double lower, double upper) {
  if (!(value >= lower)) return lower;
  if (value > upper) return upper;
  return value;
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

double ClampEnteredValue(double value, int index, uint32_t outputRate) {
  const ParamRange* range = index >= 0 && index < kParamCount ? &kParamRanges[index] : nullptr;
  switch (index) {
    case kPredelay:
      return Clamp(value, kPredelayShownLowest, range->upper);
    case kLowpass: {
      // With no span above 500 Hz left, the ceiling never undercuts the floor.
      const double ceiling = LowpassMappingCeiling(outputRate);
      return Clamp(value, range->lower, ceiling > range->lower ? ceiling : range->lower);
    }
    case kDecay:
    case kMix:
    case kLevel:
      return Clamp(value, range->lower, range->upper);
    default:
      return value;
  }
}

double ParseEnteredNumber(const char* text) {
  char buffer[kMaxEnteredLength + 1] = {};
  std::strncpy(buffer, text, kMaxEnteredLength);
  for (char& c : buffer)
    if (c == ',') c = '.';
  const char* first = buffer;
  const char* const last = buffer + std::strlen(buffer);
  while (first < last && IsSpace(*first)) ++first;
  double sign = 1.0;
  if (first < last && (*first == '+' || *first == '-')) sign = *first++ == '-' ? -1.0 : 1.0;
  double value = 0.0;
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    // Too large gives the largest value, too small zero, as the C library's reading does.
    const char* exponent = std::find_if(first, end, [](char c) { return c == 'e' || c == 'E'; });
    value = exponent + 1 < end && exponent[1] == '-' ? 0.0 : HUGE_VAL;
  } else if (error != std::errc()) {
    value = 0.0;
  }
  return sign * value;
}

NumberText EntryText(const ParamAccess& access, int index) {
  switch (index) {
    case kPredelay:
    case kLowpass:
    case kDecay:
      return FormatInteger(DisplayValue(access, index));
    case kMix:
    case kLevel:
      return FormatFixed2(access.Get(index));
    default:
      return NumberText{};
  }
}

EnteredResult ApplyEnteredText(ParamAccess& access, int index, const char* text) {
  const double clamped = ClampEnteredValue(ParseEnteredNumber(text), index, access.OutputRate());
  switch (index) {
    case kPredelay: {
      const double position = clamped * 4;
      ApplyPosition(access, kPredelay, position);
      return {true, static_cast<int32_t>(position)};
    }
    case kDecay: {
      const double position = DecayPosition(clamped);
      ApplyPosition(access, kDecay, position);
      return {true, static_cast<int32_t>(position)};
    }
    case kLowpass:
    case kMix:
    case kLevel:
      access.Set(index, clamped);
      return {true, PositionFromValue(access, index)};
    default:
      return {false, 0};
  }
}

}  // namespace sombrevox
