#include "NumberText.h"

#include <cmath>
#include <cstdint>

namespace sombrevox {
namespace {

// Magnitudes from here on (far outside every parameter's range, infinities
// included) are shown as the largest whole number the text holds.
constexpr double kLargestShown = 1e18;
constexpr uint64_t kLargestWhole = 999999999999999999ULL;

class TextWriter {
 public:
  // The text is zero-filled: whatever is written stays terminated.
  explicit TextWriter(NumberText& text) : text_(text) {}
  void Put(char c) { text_.chars[length_++] = c; }
  void PutWhole(uint64_t whole) {
    char reversed[20];
    int count = 0;
    do {
      reversed[count++] = static_cast<char>('0' + whole % 10);
      whole /= 10;
    } while (whole != 0);
    while (count > 0) Put(reversed[--count]);
  }

 private:
  NumberText& text_;
  int length_ = 0;
};

}  // namespace

NumberText FormatInteger(double value) {
  NumberText text{};
  TextWriter out(text);
  const double whole = std::trunc(value + 0.5);
  if (std::isnan(whole)) {
    out.Put('0');
    return text;
  }
  if (whole < 0) out.Put('-');
  const double magnitude = std::fabs(whole);
  out.PutWhole(magnitude < kLargestShown ? static_cast<uint64_t>(magnitude) : kLargestWhole);
  return text;
}

NumberText FormatFixed2(double value) {
  NumberText text{};
  TextWriter out(text);
  if (std::isnan(value)) value = 0.0;
  // The sign is shown whenever the value is below zero, even when every
  // digit shown is zero.
  if (value < 0) out.Put('-');
  const double magnitude = std::fabs(value);
  uint64_t whole = kLargestWhole;
  int hundredths = 99;
  if (magnitude < kLargestShown) {
    const double floor = std::floor(magnitude);
    whole = static_cast<uint64_t>(floor);
    // The fraction rounded to seven decimals; a carry goes into the whole part.
    auto seventh = static_cast<int64_t>(std::llround((magnitude - floor) * 1e7));
    if (seventh >= 10000000) {
      ++whole;
      seventh = 0;
    }
    hundredths = static_cast<int>(seventh / 100000);
  }
  out.PutWhole(whole);
  out.Put('.');
  out.Put(static_cast<char>('0' + hundredths / 10));
  out.Put(static_cast<char>('0' + hundredths % 10));
  return text;
}

}  // namespace sombrevox
