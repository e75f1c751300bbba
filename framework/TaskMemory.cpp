#include "TaskMemory.h"

#include <objbase.h>

#include <cwchar>

namespace sombrevox {

LPWSTR TaskMemoryCopy(const WCHAR* text) {
  const size_t characters = std::wcslen(text) + 1;
  auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc(characters * sizeof(WCHAR)));
  if (copy) std::wmemcpy(copy, text, characters);
  return copy;
}

}  // namespace sombrevox
