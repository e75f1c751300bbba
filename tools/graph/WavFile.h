#pragma once
// A small WAV file writer and reader: the canonical RIFF layout with one
// "fmt " chunk and one "data" chunk, enough for the graph host's output and
// for the test inputs. Portable: no Windows header.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sombrevox::graph {

constexpr uint16_t kWavePcm = 1;
constexpr uint16_t kWaveIeeeFloat = 3;
constexpr uint16_t kWaveExtensible = 0xFFFE;

struct WavFormat {
  uint16_t sampleTag = kWavePcm;  // 1 integer PCM or 3 IEEE float: the sample type
  uint16_t channels = 2;
  uint32_t samplesPerSec = 44100;
  uint16_t bitsPerSample = 16;
  // Written as WAVE_FORMAT_EXTENSIBLE with the sample type as its subformat.
  bool extensible = false;

  uint16_t BlockAlign() const { return static_cast<uint16_t>(bitsPerSample / 8 * channels); }
};

// Writes `bytes` of interleaved sample data (whole frames) as a WAV file.
// Float files get the 18-byte format record and a "fact" chunk.
bool WriteWavFile(const std::string& path, const WavFormat& format, const void* data, size_t bytes, std::string* error);

struct WavContents {
  WavFormat format;
  std::vector<uint8_t> data;
};

// Reads a file written as above (any chunk order, unknown chunks skipped).
bool ReadWavFile(const std::string& path, WavContents* contents, std::string* error);

}  // namespace sombrevox::graph
