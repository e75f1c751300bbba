#include "PresetNames.h"

#include <algorithm>
#include <cstring>

namespace sombrevox {

// Graphic in the sense of the name rules. ASCII follows the C library's "C"
// locale (0x21-0x7E). Bytes from 0x80 on are characters of the system code
// page, whose classification the C library leaves to the locale (and a
// sign-extended char would be outside its domain): here each of them is
// graphic except 0xA0, the code page's no-break space, so accented letters
// at either end of a name stay and a no-break space there is trimmed like a
// blank.
bool IsNameGraphic(unsigned char c) {
  if (c < 0x80) return c > 0x20 && c < 0x7F;
  return c != 0xA0;
}

bool IsNameBlank(unsigned char c) { return (c & 0x7F) == 0x20; }

namespace {

// Drops the blanks before the first graphic character of `text`.
void TrimStart(char* text) {
  bool graphicSeen = false;
  char* out = text;
  for (const char* in = text; *in != '\0'; ++in) {
    const auto c = static_cast<unsigned char>(*in);
    if (!graphicSeen && IsNameGraphic(c)) graphicSeen = true;
    if (graphicSeen || !IsNameBlank(c)) *out++ = *in;
  }
  *out = '\0';
}

void Reverse(char* text) { std::reverse(text, text + std::strlen(text)); }

// The key of a name, one character at a time: the name with the blanks
// outside its first..last graphic character dropped and a-z upper-cased,
// which is what NameKey leaves in its buffer, read in place so that comparing
// two names needs no copy.
class KeyWalk {
 public:
  explicit KeyWalk(std::string_view text) : text_(text.substr(0, text.find('\0'))) {
    for (std::size_t i = 0; i < text_.size(); ++i) {
      if (IsNameGraphic(Byte(i))) {
        if (first_ == npos) first_ = i;
        last_ = i;
      }
    }
  }

  // The next key character, or false at the end of the key.
  bool Next(char& c) {
    while (position_ < text_.size()) {
      const std::size_t i = position_++;
      const bool outside = first_ == npos || i < first_ || i > last_;
      if (outside && IsNameBlank(Byte(i))) continue;
      c = text_[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      return true;
    }
    return false;
  }

 private:
  static constexpr std::size_t npos = std::string_view::npos;

  unsigned char Byte(std::size_t i) const { return static_cast<unsigned char>(text_[i]); }

  std::string_view text_;
  std::size_t first_ = npos;
  std::size_t last_ = npos;
  std::size_t position_ = 0;
};

}  // namespace

char* TrimName(char* text) {
  Reverse(text);
  TrimStart(text);
  Reverse(text);
  TrimStart(text);
  return text;
}

char* NameKey(char* text) {
  TrimName(text);
  for (char* p = text; *p != '\0'; ++p) {
    if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
  }
  return text;
}

std::string TrimmedName(std::string_view text) {
  std::string copy(text.substr(0, text.find('\0')));
  copy.resize(std::strlen(TrimName(copy.data())));
  return copy;
}

std::string NameKeyOf(std::string_view text) {
  std::string copy(text.substr(0, text.find('\0')));
  copy.resize(std::strlen(NameKey(copy.data())));
  return copy;
}

bool SameNameKey(std::string_view a, std::string_view b) noexcept {
  KeyWalk left(a);
  KeyWalk right(b);
  for (;;) {
    char l = 0;
    char r = 0;
    const bool hasLeft = left.Next(l);
    const bool hasRight = right.Next(r);
    if (hasLeft != hasRight) return false;
    if (!hasLeft) return true;
    if (l != r) return false;
  }
}

}  // namespace sombrevox
