#include "PresetMessages.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "Preset.h"
#include "PresetNames.h"

namespace sombrevox {

MessageText& MessageText::Append(std::string_view text) noexcept {
  const std::size_t room = kCapacity - 1 - length_;
  const std::size_t count = std::min(room, text.size());
  std::memcpy(text_ + length_, text.data(), count);
  length_ += count;
  text_[length_] = '\0';
  return *this;
}

void AppendErrorCode(int32_t code, MessageText& message) noexcept {
  if (message.empty()) message.Append("Error ");
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, code);
  message.Append(std::string_view(digits, static_cast<std::size_t>(result.ptr - digits))).Append(": ");
}

MessageText ErrorMessage(int32_t code, std::string_view text) noexcept {
  MessageText message;
  AppendErrorCode(code, message);
  message.Append(text);
  return message;
}

void AppendTrimmedName(MessageText& message, std::string_view name) noexcept {
  // Trimmed in a name-sized copy: the names the dialogs and the tools insert
  // are at most 31 characters, and longer ones are cut like a name field.
  char trimmed[kPresetNameSize] = {};
  name = name.substr(0, std::min(name.find('\0'), kPresetNameMaxLength));
  std::memcpy(trimmed, name.data(), name.size());
  message.Append(TrimName(trimmed));
}

MessageText PresetExistsMessage(std::string_view name) noexcept {
  MessageText message;
  message.Append("A preset with the name '");
  AppendTrimmedName(message, name);
  message.Append(
      "' already exists. To create a new preset use another name. "
      "To replace an existing preset use the Update button.");
  return message;
}

}  // namespace sombrevox
