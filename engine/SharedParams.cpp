#include "SharedParams.h"

namespace sombrevox {

using Guard = std::lock_guard<std::mutex>;

double SharedParams::Get(int index) const {
  Guard guard(lock_);
  return ParamAt(params_, index);
}

void SharedParams::Set(int index, double value) {
  const double clamped = ClampParam(index, value);
  Guard guard(lock_);
  double& stored = ParamAt(params_, index);
  if (clamped != stored) {
    stored = clamped;
    paramsChanged_ = 1;
    dirty_ = 1;
    ++changeCount_;
  }
}

ReverbParams SharedParams::GetAll() const {
  Guard guard(lock_);
  return params_;
}

void SharedParams::SetAll(const ReverbParams& params) {
  Guard guard(lock_);
  params_ = params;
  paramsChanged_ = 1;
  dirty_ = 1;
  ++changeCount_;
  ClampAll(params_);
}

bool SharedParams::TakeSnapshot(ReverbParams* out) {
  Guard guard(lock_);
  *out = params_;
  const bool changed = paramsChanged_ != 0;
  paramsChanged_ = 0;
  return changed;
}

bool SharedParams::IsDirty() const {
  Guard guard(lock_);
  return dirty_ != 0;
}

ReverbParams SharedParams::GetAll(uint64_t* changeCount) const {
  Guard guard(lock_);
  *changeCount = changeCount_;
  return params_;
}

void SharedParams::ClearDirtyIfUnchanged(uint64_t changeCount) {
  Guard guard(lock_);
  if (changeCount_ == changeCount) dirty_ = 0;
}

void SharedParams::ClearDirty() {
  Guard guard(lock_);
  dirty_ = 0;
}

bool SharedParams::ParamsChanged() const {
  Guard guard(lock_);
  return paramsChanged_ != 0;
}

}  // namespace sombrevox
