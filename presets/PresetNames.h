#pragma once
#include <string>
#include <string_view>

namespace sombrevox {

// Trims the NUL-terminated `text` in place, first at its end, then at its
// start, and returns it. At each end, blanks (0x20 and the no-break space
// 0xA0) are dropped up to the first graphic character; other non-graphic
// characters there, such as a tab, are kept and do not end the run.
char* TrimName(char* text);

// TrimName, then the letters a-z upper-cased in place: two names are one
// preset name when their keys are equal byte for byte.
char* NameKey(char* text);

// The same rules on a copy (the text ends at an embedded NUL, if any).
std::string TrimmedName(std::string_view text);
std::string NameKeyOf(std::string_view text);

// True when the keys of `a` and `b` are equal. Forms the keys as it compares
// them, without copying: a name of any length costs no memory.
bool SameNameKey(std::string_view a, std::string_view b) noexcept;

// The character classes of the rules above (see PresetNames.cpp for bytes
// from 0x80 on).
bool IsNameGraphic(unsigned char c);
bool IsNameBlank(unsigned char c);  // 0x20 and 0xA0: the low seven bits of a blank

}  // namespace sombrevox
