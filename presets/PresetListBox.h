#pragma once
// The Presets dialog's list box: one entry per record of the bank, each tied
// to its record through the entry's item data, so that an entry always names
// the record it was made for, whatever other records share its name's key.
#include <windows.h>

#include "PresetBank.h"

namespace sombrevox {

class PresetListBox {
 public:
  explicit PresetListBox(HWND list = nullptr) : list_(list) {}

  // Replaces every entry with the bank's records (the list box sorts them).
  void Fill(const PresetBank& bank) const noexcept;
  // Adds an entry for `record`: false when the list box has no room for it.
  bool Add(const Preset& record) const noexcept;

  // The record of the selected entry, looked up in `bank`; null when nothing
  // is selected or the record is no longer there.
  Preset* SelectedRecord(PresetBank& bank) const noexcept;
  // The selected entry's text (at most 31 characters); false when nothing is
  // selected.
  bool SelectedText(char (&text)[kPresetNameSize]) const noexcept;
  void DeleteSelected() const noexcept;

 private:
  HWND list_;
};

}  // namespace sombrevox
