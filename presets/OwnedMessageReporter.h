#pragma once
#include <windows.h>

#include "MessageReporter.h"
#include "PresetMessages.h"

namespace sombrevox {

// Shows each failure in a message box owned by one window (the dialog whose
// bank failed), with the product's caption, the error icon and one OK button,
// and keeps the text of the last one, so that a later refusal can name the
// same cause.
class OwnedMessageReporter final : public MessageReporter {
 public:
  void SetOwner(HWND owner) noexcept { owner_ = owner; }
  void ShowError(const char* text) noexcept override;

  const MessageText& Last() const noexcept { return last_; }

 private:
  HWND owner_ = nullptr;
  MessageText last_;
};

}  // namespace sombrevox
