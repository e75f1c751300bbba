#pragma once
// What the filter reads from and writes into audio media types: the wave
// format block, the sample type it carries, and its stereo counterpart.
#include <windows.h>
#include <mmreg.h>
#include <strmif.h>

#include <cstdint>

#include "AudioFormat.h"
#include "MediaType.h"

namespace sombrevox {

// The type's wave format, or null when the block is missing or shorter than
// the 16 bytes every wave format has.
const WAVEFORMATEX* WaveFormatOf(const AM_MEDIA_TYPE& type);

// The sample type the engine would process the format in: kFormatPcm for
// 16-bit integers, kFormatIeeeFloat for 32-bit floats — from tags 1 and 3, or
// from an extensible format whose subformat is PCM with 16 valid bits in 16
// or IEEE float with 32 in 32 — else 0.
uint16_t SampleTagOf(const AM_MEDIA_TYPE& type);

// The type's stereo counterpart: two channels, block alignment and byte rate
// to match; a plain format's cbSize becomes 0, an extensible one keeps its 22
// bytes with the front left | front right mask.
MediaType StereoOf(const AM_MEDIA_TYPE& type);

// The first 16 bytes of a wave format with the block alignment and byte rate
// recomputed from bits, channels and rate, and cbSize 0: the record the
// filter keeps and hands out.
WAVEFORMATEX NormalisedFormat(const WAVEFORMATEX& format);

// The engine's record of a (normalised) wave format, in the given sample type.
AudioFormat ToAudioFormat(const WAVEFORMATEX& format, uint16_t sampleTag);

}  // namespace sombrevox
