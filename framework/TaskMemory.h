#pragma once
// Text handed to a caller in COM task memory, which the caller frees with
// CoTaskMemFree.
#include <windows.h>

namespace sombrevox {

// A copy of `text` (terminated) in task memory; null when it cannot be
// allocated.
LPWSTR TaskMemoryCopy(const WCHAR* text);

}  // namespace sombrevox
