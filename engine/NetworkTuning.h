// The tuning of the reverberation network: every number that shapes its sound,
// with its unit. Changing one changes the output of every stream.
#pragma once

namespace sombrevox::tuning {

// Base times of the eight network delay lines, in ms, longest first; the room
// size scales them all by the same factor.
constexpr double kLineBaseMs[] = {32.13723,  26.357152, 23.120309, 20.379699,
                                  18.768045, 17.380903, 15.288217, 13.719974};
// The two input diffusers, in ms.
constexpr double kDiff1Ms = 4.771;
constexpr double kDiff2Ms = 12.735;
// The output all-passes, first and second stage of each side, in ms.
constexpr double kOutL1Ms = 27.0;
constexpr double kOutL2Ms = 31.0;
constexpr double kOutR1Ms = 26.0;
constexpr double kOutR2Ms = 30.5;

// Gain of the input low-pass at 0 Hz (no unit): its input is the sum of both
// channels, so 0.4 keeps a full-scale stereo signal below full scale.
constexpr double kLowpassGain = 0.4;
// Diffusion time scale, in ms per unit of diffusion: the diffusers' decay time
// is diffusion times this.
constexpr double kDiffusionMs = 188.0;
// Ceilings of the all-pass gains (no unit): the first diffuser's, and the one
// shared by the second diffuser and the output all-passes. Higher gains ring.
constexpr double kDiff1GainCeiling = 0.85;
constexpr double kOuterGainCeiling = 0.625;
// The decay time actually applied, as a polynomial of the nominal one (both in
// ms): T = (decay * kDecaySquare + kDecayLinear) * decay + kDecayOffsetMs.
// It corrects the network's own build-up and loss.
constexpr double kDecaySquare = 0.00029103852;  // per ms
constexpr double kDecayLinear = 0.71874413;
constexpr double kDecayOffsetMs = 28.919049;
// Share of the weighted tap sum fed back negatively into every line (no unit):
// what mixes the lines with each other.
constexpr double kCrossFeedback = 0.25;

// Added to every input sample (in sample units): keeps the network's decaying
// values away from denormal numbers, which are slow on x86.
constexpr double kInputOffset = 1e-20;
// The tail rendered after the stream's end, as a factor of the decay time (no
// unit): the decay plus ten per cent, to which the pre-delay is added.
constexpr double kTailDecayFactor = 1.1;

}  // namespace sombrevox::tuning
