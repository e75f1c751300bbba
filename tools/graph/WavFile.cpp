#include "WavFile.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace sombrevox::graph {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The subformat GUIDs share everything but their first word, the plain tag.
constexpr uint8_t kSubformatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

uint32_t Get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return Get16(p) | (Get16(p + 2) << 16); }

}  // namespace

bool WriteWavFile(const std::string& path, const WavFormat& format, const void* data, size_t bytes,
                  std::string* error) {
  const uint32_t blockAlign = format.BlockAlign();
  if (blockAlign == 0 || bytes % blockAlign != 0 || bytes > 0xFFFFFF00u - 80) {
    *error = "the sample data is not a whole number of frames of the format";
    return false;
  }
  std::vector<uint8_t> fmt;
  Put16(fmt, format.extensible ? kWaveExtensible : format.sampleTag);
  Put16(fmt, format.channels);
  Put32(fmt, format.samplesPerSec);
  Put32(fmt, format.samplesPerSec * blockAlign);
  Put16(fmt, blockAlign);
  Put16(fmt, format.bitsPerSample);
  if (format.extensible) {
    Put16(fmt, 22);
    Put16(fmt, format.bitsPerSample);  // valid bits
    // Mono is front centre; otherwise the first speakers in the usual order.
    Put32(fmt, format.channels == 1 ? 0x4u : format.channels < 18 ? (1u << format.channels) - 1 : 0u);
    Put32(fmt, format.sampleTag);
    fmt.insert(fmt.end(), kSubformatTail, kSubformatTail + sizeof kSubformatTail);
  } else if (format.sampleTag != kWavePcm) {
    Put16(fmt, 0);
  }
  const bool fact = format.sampleTag != kWavePcm || format.extensible;
  std::vector<uint8_t> head;
  PutTag(head, "RIFF");
  const uint32_t riffSize = static_cast<uint32_t>(4 + 8 + fmt.size() + (fact ? 12 : 0) + 8 + bytes + (bytes & 1));
  Put32(head, riffSize);
  PutTag(head, "WAVE");
  PutTag(head, "fmt ");
  Put32(head, static_cast<uint32_t>(fmt.size()));
  head.insert(head.end(), fmt.begin(), fmt.end());
  if (fact) {
    PutTag(head, "fact");
    Put32(head, 4);
    Put32(head, static_cast<uint32_t>(bytes / blockAlign));
  }
  PutTag(head, "data");
  Put32(head, static_cast<uint32_t>(bytes));

  File file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    *error = "cannot create " + path;
    return false;
  }
  const uint8_t pad = 0;
  bool ok = std::fwrite(head.data(), 1, head.size(), file.get()) == head.size() &&
            (bytes == 0 || std::fwrite(data, 1, bytes, file.get()) == bytes) &&
            ((bytes & 1) == 0 || std::fwrite(&pad, 1, 1, file.get()) == 1);
  ok = std::fclose(file.release()) == 0 && ok;
  if (!ok) *error = "cannot write " + path;
  return ok;
}

bool ReadWavFile(const std::string& path, WavContents* contents, std::string* error) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    *error = "cannot open " + path;
    return false;
  }
  std::vector<uint8_t> all;
  uint8_t buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) all.insert(all.end(), buffer, buffer + got);
  if (all.size() < 12 || std::memcmp(all.data(), "RIFF", 4) != 0 || std::memcmp(all.data() + 8, "WAVE", 4) != 0) {
    *error = path + " is not a WAV file";
    return false;
  }
  bool haveFormat = false, haveData = false;
  size_t pos = 12;
  while (pos + 8 <= all.size()) {
    const uint8_t* chunk = all.data() + pos;
    const size_t size = Get32(chunk + 4);
    if (size > all.size() - pos - 8) break;
    const uint8_t* body = chunk + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
      WavFormat& f = contents->format;
      const uint32_t tag = Get16(body);
      f.channels = static_cast<uint16_t>(Get16(body + 2));
      f.samplesPerSec = Get32(body + 4);
      f.bitsPerSample = static_cast<uint16_t>(Get16(body + 14));
      f.extensible = tag == kWaveExtensible;
      f.sampleTag = static_cast<uint16_t>(tag);
      if (f.extensible) {
        if (size < 40) break;
        f.sampleTag = static_cast<uint16_t>(Get32(body + 24));
      }
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      contents->data.assign(body, body + size);
      haveData = true;
    }
    pos += 8 + size + (size & 1);
  }
  if (!haveFormat || !haveData) {
    *error = path + " has no readable format or data chunk";
    return false;
  }
  return true;
}

}  // namespace sombrevox::graph
