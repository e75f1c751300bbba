#include "OutputFormat.h"

#include <sndfile.h>

#include <cctype>
#include <cmath>

namespace sombrevox::render {
namespace {

struct NamedSubtype {
  const char* name;
  int subtype;
};

constexpr NamedSubtype kSubtypes[] = {
    {"pcm8", SF_FORMAT_PCM_S8},  {"pcm16", SF_FORMAT_PCM_16},       {"pcm24", SF_FORMAT_PCM_24},
    {"pcm32", SF_FORMAT_PCM_32}, {"float", SF_FORMAT_FLOAT},        {"double", SF_FORMAT_DOUBLE},
    {"ulaw", SF_FORMAT_ULAW},    {"alaw", SF_FORMAT_ALAW},          {"vorbis", SF_FORMAT_VORBIS},
    {"opus", SF_FORMAT_OPUS},    {"mp3", SF_FORMAT_MPEG_LAYER_III},
};

// Extensions people use that libsndfile's table names otherwise.
constexpr struct {
  const char* extension;
  int major;
} kExtensionAliases[] = {
    {"aif", SF_FORMAT_AIFF}, {"ogg", SF_FORMAT_OGG}, {"opus", SF_FORMAT_OGG}, {"mp3", SF_FORMAT_MPEG}};

std::string Extension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// The container libsndfile writes for a file name's extension, or 0.
int MajorFormatFor(const std::string& path) {
  const std::string ext = Extension(path);
  if (ext.empty()) return 0;
  for (const auto& alias : kExtensionAliases)
    if (ext == alias.extension) return alias.major;
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info);
    if (info.extension && ext == info.extension) return info.format;
  }
  return 0;
}

bool Writable(int format, int rate) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = 2;
  info.format = format;
  return sf_format_check(&info) != 0;
}

}  // namespace

int SubtypeNamed(const std::string& name) {
  for (const NamedSubtype& s : kSubtypes)
    if (name == s.name) return s.subtype;
  return 0;
}

std::string SubtypeNames() {
  std::string names;
  for (const NamedSubtype& s : kSubtypes) names += (names.empty() ? "" : ", ") + std::string(s.name);
  return names;
}

std::string SubtypeDescription(int subtype) {
  SF_FORMAT_INFO info{};
  info.format = subtype;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name) return "this sample type of";
  return info.name;
}

int OutputFileFormat(const std::string& outputPath, int inputFormat, int subtype, int rate) {
  int major = MajorFormatFor(outputPath);
  if (major == 0) major = inputFormat & SF_FORMAT_TYPEMASK;
  const bool named = subtype != 0;
  if (!named) subtype = inputFormat & SF_FORMAT_SUBMASK;
  if (Writable(major | subtype, rate)) return major | subtype;
  if (subtype == SF_FORMAT_PCM_S8 && Writable(major | SF_FORMAT_PCM_U8, rate)) return major | SF_FORMAT_PCM_U8;
  // A compressed container asked for by name takes its own codec when the
  // input's sample type does not fit it.
  if (!named) {
    const int codec = major == SF_FORMAT_MPEG  ? SF_FORMAT_MPEG_LAYER_III
                      : major == SF_FORMAT_OGG ? (Extension(outputPath) == "opus" ? SF_FORMAT_OPUS : SF_FORMAT_VORBIS)
                                               : 0;
    if (codec && Writable(major | codec, rate)) return major | codec;
  }
  return 0;
}

int IntegerBits(int subtype) {
  switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return 8;
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_ALAC_16:
      return 16;
    case SF_FORMAT_ALAC_20:
      return 20;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_ALAC_24:
      return 24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
      return 32;
    default:
      return 0;
  }
}

int32_t QuantiseSample(float value, int bits) {
  const double steps = std::ldexp(1.0, bits - 1);
  const double q = std::round(static_cast<double>(value) * steps);
  int64_t sample;
  if (!(q >= -steps))
    sample = static_cast<int64_t>(-steps);
  else if (q > steps - 1)
    sample = static_cast<int64_t>(steps - 1);
  else
    sample = static_cast<int64_t>(q);
  return static_cast<int32_t>(sample * (int64_t{1} << (32 - bits)));
}

}  // namespace sombrevox::render
