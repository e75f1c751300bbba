#include "OwnedMessageReporter.h"

namespace sombrevox {

void OwnedMessageReporter::ShowError(const char* text) noexcept {
  last_ = MessageText();
  last_.Append(text);
  MessageBoxA(owner_, text, kMessageCaption, MB_OK | MB_ICONERROR);
}

}  // namespace sombrevox
