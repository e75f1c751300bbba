#pragma once

namespace sombrevox {

// Where the bank operations show their failures: a message box in the
// module, standard error in the command-line tools, a list in the tests.
class MessageReporter {
 public:
  // Shows one complete message ("Error 1110001: ..."). Must not throw.
  virtual void ShowError(const char* text) noexcept = 0;

 protected:
  ~MessageReporter() = default;
};

// Writes each message on its own line to standard error.
class StandardErrorReporter final : public MessageReporter {
 public:
  void ShowError(const char* text) noexcept override;
};

}  // namespace sombrevox
