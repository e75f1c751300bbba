#pragma once
#include <cstdint>

namespace sombrevox {

// Result codes of the portable core. The values are the platform's HRESULTs,
// so the filter hands them on unchanged.
using Status = int32_t;

constexpr Status kOk = 0;
constexpr Status kTailFinished = 1;  // mode 2 rendered the last tail frame
constexpr Status kOutOfMemory = static_cast<Status>(0x8007000Eu);
constexpr Status kInvalidArgument = static_cast<Status>(0x80070057u);

constexpr bool Failed(Status s) { return s < 0; }

}  // namespace sombrevox
