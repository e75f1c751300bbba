#pragma once
#include <cstddef>
#include <string_view>

namespace sombrevox {

// The About panel's title is kept in the string table enciphered: each byte
// XORed with the key's byte at the same position modulo the key's length.
// Deciphers `length` bytes of `title` in place (enciphers, applied to plain
// text). An empty key leaves the title as it is.
void DecipherAboutTitle(char* title, std::size_t length, std::string_view key) noexcept;

}  // namespace sombrevox
