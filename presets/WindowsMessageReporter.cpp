#include "WindowsMessageReporter.h"

#include <windows.h>

#include "PresetMessages.h"

namespace sombrevox {

void WindowsMessageReporter::ShowError(const char* text) noexcept {
  MessageBoxA(GetActiveWindow(), text, kMessageCaption, MB_OK | MB_ICONERROR);
}

}  // namespace sombrevox
