#pragma once
#include <cstdint>
#include <mutex>

#include "ReverbParams.h"

namespace sombrevox {

// The current reverb setting of one filter, its two change flags and the
// settings lock that guards them. Writers on any thread clamp and store;
// the streaming thread takes snapshots. The lock is held only for copies and
// comparisons, never while calling out (the filter's notification table,
// which shares it, copies its slots and posts outside it), so it nests under
// no other lock.
class SharedParams {
 public:
  SharedParams() = default;
  SharedParams(const SharedParams&) = delete;
  SharedParams& operator=(const SharedParams&) = delete;

  double Get(int index) const;
  // Clamps before taking the lock; raises both flags only when the stored value changes.
  void Set(int index, double value);
  ReverbParams GetAll() const;
  // The record and the count of changes it has seen, taken together, for a
  // save that clears `dirty` only if nothing was written since.
  ReverbParams GetAll(uint64_t* changeCount) const;
  // Copies in, raises both flags unconditionally, then clamps each field in place.
  void SetAll(const ReverbParams& params);

  // Copies the record out and returns the previous paramsChanged, clearing it.
  bool TakeSnapshot(ReverbParams* out);

  bool IsDirty() const;
  void ClearDirty();
  // Clears `dirty` only when no write changed the record since GetAll gave
  // `changeCount`: a later edit must still be saved.
  void ClearDirtyIfUnchanged(uint64_t changeCount);
  bool ParamsChanged() const;

  // The settings lock, for the few other records it guards (the filter's
  // notification table).
  std::mutex& SettingsLock() const { return lock_; }

 private:
  mutable std::mutex lock_;
  ReverbParams params_{};
  int32_t paramsChanged_ = 1;
  int32_t dirty_ = 0;
  uint64_t changeCount_ = 0;  // raised with `dirty` by every write
};

}  // namespace sombrevox
