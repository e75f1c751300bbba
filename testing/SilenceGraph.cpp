#include "SilenceGraph.h"

#include <vector>

#include "WavFile.h"

namespace sombrevox::test {

std::unique_ptr<graph::OfflineGraph> ConnectOnSilence(IBaseFilter* effect, uint32_t samplesPerSec,
                                                       const std::string& wavPath, std::string* error) {
  graph::WavFormat format;
  format.channels = 1;
  format.samplesPerSec = samplesPerSec;
  const std::vector<int16_t> silence(samplesPerSec / 10, 0);
  if (!graph::WriteWavFile(wavPath, format, silence.data(), silence.size() * sizeof(int16_t), error)) return nullptr;
  auto built = std::make_unique<graph::OfflineGraph>();
  if (FAILED(built->Build(wavPath, effect, error))) return nullptr;
  return built;
}

}  // namespace sombrevox::test
