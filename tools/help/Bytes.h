#pragma once
// A growing little-endian byte buffer, with the viewer's compressed numbers:
// a number that fits takes the shorter form, its lowest bit telling which
// form it is.
#include <cstdint>
#include <string_view>
#include <vector>

namespace sombrevox::help {

class Bytes {
 public:
  void U8(uint32_t v) { data_.push_back(static_cast<uint8_t>(v)); }
  void U16(uint32_t v) {
    U8(v);
    U8(v >> 8);
  }
  void U32(uint32_t v) {
    U16(v);
    U16(v >> 16);
  }
  // Text followed by its terminating NUL.
  void Text(std::string_view s) {
    data_.insert(data_.end(), s.begin(), s.end());
    U8(0);
  }
  // `s` in a field of `size` bytes, cut and padded with NULs.
  void Field(std::string_view s, size_t size) {
    for (size_t i = 0; i < size; ++i) U8(i < s.size() && i + 1 < size ? s[i] : 0);
  }
  void Zeros(size_t n) { data_.insert(data_.end(), n, 0); }
  void Append(const Bytes& other) { data_.insert(data_.end(), other.data_.begin(), other.data_.end()); }
  void Put32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) data_[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }

  // Unsigned: one byte (value × 2) below 0x80, else two (value × 2 + 1).
  void CompressedU16(uint32_t v) { v < 0x80 ? U8(v * 2) : U16(v * 2 + 1); }
  // Unsigned: two bytes (value × 2) below 0x8000, else four (value × 2 + 1).
  void CompressedU32(uint32_t v) { v < 0x8000 ? U16(v * 2) : U32(v * 2 + 1); }
  // Signed, biased by half the short form's range: -0x40..0x3F in one byte.
  void CompressedS16(int v) {
    v >= -0x40 && v < 0x40 ? U8((v + 0x40) * 2) : U16((static_cast<uint32_t>(v + 0x4000) * 2) | 1);
  }

  size_t Size() const { return data_.size(); }
  const std::vector<uint8_t>& Data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
};

}  // namespace sombrevox::help
