#pragma once
#include <cstddef>
#include <list>
#include <memory_resource>
#include <string_view>

#include "Preset.h"
#include "PresetErrors.h"
#include "PresetNames.h"

namespace sombrevox {

// The records of one bank file, in file order: records read from a file keep
// their order, new records go to the end, an updated record keeps its place.
// Each record is a node of its own, so a record found by FindByName stays
// where it is while other records are appended or removed (the Presets dialog
// holds on to the one chosen with Load).
//
// The bank owns its records; Append copies the caller's record in. Memory
// comes from `memory` (the default resource unless a caller needs another).
class PresetBank {
 public:
  using const_iterator = std::pmr::list<Preset>::const_iterator;

  explicit PresetBank(std::pmr::memory_resource* memory = std::pmr::get_default_resource());
  PresetBank(const PresetBank&) = delete;
  PresetBank& operator=(const PresetBank&) = delete;

  // Copies `record` to the end of the bank: 0, or 1110021 when no memory is
  // to be had, and then the bank is as it was.
  PresetResult Append(const Preset& record) noexcept;

  // True when some record's name has the key of `name`.
  bool ContainsName(std::string_view name) const noexcept;

  // The first record, from the start of the bank, whose name has the key of
  // `name`: true and `found` set to it, or false and `found` untouched.
  bool FindByName(std::string_view name, Preset*& found) noexcept;

  // Unlinks and frees `record`, which must be one of this bank's records
  // (any other pointer leaves the bank alone). Returns 0.
  PresetResult Remove(const Preset* record) noexcept;

  void Clear() noexcept;

  bool Empty() const noexcept { return records_.empty(); }
  std::size_t Count() const noexcept { return records_.size(); }
  const_iterator begin() const noexcept { return records_.begin(); }
  const_iterator end() const noexcept { return records_.end(); }

 private:
  std::pmr::list<Preset> records_;
};

}  // namespace sombrevox
