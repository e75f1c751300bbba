#include "PresetListBox.h"

#include <cstring>

namespace sombrevox {
namespace {

LRESULT Send(HWND list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageA(list, message, wParam, lParam);
}

}  // namespace

void PresetListBox::Fill(const PresetBank& bank) const noexcept {
  Send(list_, LB_RESETCONTENT);
  for (const Preset& record : bank) Add(record);
}

bool PresetListBox::Add(const Preset& record) const noexcept {
  char name[kPresetNameSize] = {};
  const std::string_view text = PresetName(record);
  std::memcpy(name, text.data(), text.size());
  const LRESULT index = Send(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  if (index < 0) return false;
  Send(list_, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&record));
  return true;
}

Preset* PresetListBox::SelectedRecord(PresetBank& bank) const noexcept {
  const LRESULT index = Send(list_, LB_GETCURSEL);
  if (index < 0) return nullptr;
  const auto data = static_cast<LPARAM>(Send(list_, LB_GETITEMDATA, static_cast<WPARAM>(index)));
  for (const Preset& record : bank) {
    // The bank's records are its own, writable nodes; it only walks them
    // through constant iterators.
    if (reinterpret_cast<LPARAM>(&record) == data) return const_cast<Preset*>(&record);
  }
  return nullptr;
}

bool PresetListBox::SelectedText(char (&text)[kPresetNameSize]) const noexcept {
  const LRESULT index = Send(list_, LB_GETCURSEL);
  if (index < 0) return false;
  // Entries are record names; anything longer than a name field is refused
  // rather than copied past the buffer.
  const LRESULT length = Send(list_, LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length < 0 || length >= static_cast<LRESULT>(sizeof text)) return false;
  Send(list_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  text[length] = '\0';
  return true;
}

void PresetListBox::DeleteSelected() const noexcept {
  const LRESULT index = Send(list_, LB_GETCURSEL);
  if (index >= 0) Send(list_, LB_DELETESTRING, static_cast<WPARAM>(index));
}

}  // namespace sombrevox
