#include "LowpassCeiling.h"

namespace sombrevox {

double LowpassCeiling(uint32_t samplesPerSec) {
  if (samplesPerSec > 32000) return 16000.0;
  const double rate = static_cast<double>(samplesPerSec);
  const double ceiling = static_cast<double>(static_cast<long long>((rate * 0.5 - 500.0) * 0.001)) * 1000.0;
  if (ceiling <= 500.0) return rate * 0.25;
  return ceiling;
}

}  // namespace sombrevox
