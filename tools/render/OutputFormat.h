#pragma once
// What the renderer writes: the output file's container and sample type, and
// the encoding of float results as integer samples.
#include <cstdint>
#include <string>

namespace sombrevox::render {

// The libsndfile sample type a --format name stands for ("pcm16", "float",
// ...), or 0 for a name it does not know.
int SubtypeNamed(const std::string& name);
// The names SubtypeNamed knows, for messages.
std::string SubtypeNames();
// libsndfile's own name of a sample type ("Signed 24 bit PCM").
std::string SubtypeDescription(int subtype);

// The complete file format of a stereo output at `rate`: the container that
// the output's extension names (the input's when the extension names none)
// with the sample type `subtype`, or the input's when `subtype` is 0 (8-bit
// PCM becomes unsigned where the container takes only that; an Ogg or MP3
// file takes its own codec when the input's type does not fit). 0 when
// libsndfile cannot write that file.
int OutputFileFormat(const std::string& outputPath, int inputFormat, int subtype, int rate);

// The bits of an integer sample type whose samples the renderer quantises
// itself (8 to 32), or 0 for a type libsndfile encodes from floats.
int IntegerBits(int subtype);

// A float result as an integer sample of `bits` bits, rounded to the nearest
// step (halves away from zero) and limited to the type's range, placed in
// the high bits of a 32-bit sample as libsndfile's integer writes expect.
int32_t QuantiseSample(float value, int bits);

}  // namespace sombrevox::render
