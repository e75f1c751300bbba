#include "PresetBank.h"

#include <new>

namespace sombrevox {

PresetBank::PresetBank(std::pmr::memory_resource* memory) : records_(memory) {}

PresetResult PresetBank::Append(const Preset& record) noexcept {
  try {
    records_.push_back(record);  // all or nothing: a failed node leaves the list as it was
  } catch (const std::bad_alloc&) {
    return kPresetAllocFailed;
  }
  return kPresetOk;
}

bool PresetBank::ContainsName(std::string_view name) const noexcept {
  for (const Preset& record : records_) {
    if (SameNameKey(PresetName(record), name)) return true;
  }
  return false;
}

bool PresetBank::FindByName(std::string_view name, Preset*& found) noexcept {
  for (Preset& record : records_) {
    if (SameNameKey(PresetName(record), name)) {
      found = &record;
      return true;
    }
  }
  return false;
}

PresetResult PresetBank::Remove(const Preset* record) noexcept {
  for (auto it = records_.begin(); it != records_.end(); ++it) {
    if (&*it == record) {
      records_.erase(it);
      break;
    }
  }
  return kPresetOk;
}

void PresetBank::Clear() noexcept { records_.clear(); }

}  // namespace sombrevox
