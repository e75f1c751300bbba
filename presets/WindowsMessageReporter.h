#pragma once
#include "MessageReporter.h"

namespace sombrevox {

// Shows each message in a message box with the product's caption, the error
// icon and one OK button, owned by the active window (the dialog the user is
// in). Modal: returns when the user has closed the box.
class WindowsMessageReporter final : public MessageReporter {
 public:
  void ShowError(const char* text) noexcept override;
};

}  // namespace sombrevox
