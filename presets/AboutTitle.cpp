#include "AboutTitle.h"

namespace sombrevox {

void DecipherAboutTitle(char* title, std::size_t length, std::string_view key) noexcept {
  if (key.empty()) return;  // nothing to take the position modulo
  for (std::size_t i = 0; i < length; ++i) title[i] = static_cast<char>(title[i] ^ key[i % key.size()]);
}

}  // namespace sombrevox
