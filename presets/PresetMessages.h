#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sombrevox {

// The caption of every message box of the presets and settings windows.
inline constexpr const char kMessageCaption[] = "ORVELA Soft SombrevoxLight";

// A message being composed. Fixed size, so that composing never allocates and
// nothing can throw out of a window procedure; text beyond the capacity is cut.
class MessageText {
 public:
  static constexpr std::size_t kCapacity = 1024;

  MessageText& Append(std::string_view text) noexcept;
  const char* c_str() const noexcept { return text_; }
  std::string_view view() const noexcept { return std::string_view(text_, length_); }
  bool empty() const noexcept { return length_ == 0; }

 private:
  char text_[kCapacity] = {};
  std::size_t length_ = 0;
};

// Appends `name` trimmed, without allocating: a name-sized copy of it (cut
// at an embedded NUL or after 31 characters, like a name field) is trimmed.
void AppendTrimmedName(MessageText& message, std::string_view name) noexcept;

// Puts "Error " into an empty message, then appends the code in signed
// decimal, a colon and a blank. Applied twice, the second code follows the
// first: "Error 1110021: 1150001: " names a cause and its consequence.
void AppendErrorCode(int32_t code, MessageText& message) noexcept;

// "Error <code>: <text>", the form of every failure message.
MessageText ErrorMessage(int32_t code, std::string_view text) noexcept;

// The refusal to add a preset whose name the bank already holds (shown with
// no icon); `name` is trimmed before it is inserted.
MessageText PresetExistsMessage(std::string_view name) noexcept;

}  // namespace sombrevox
