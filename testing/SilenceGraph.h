#pragma once
// A filter connected in the platform's graph at a chosen rate, so that it
// knows its formats: a tenth of a second of mono 16-bit silence written as a
// WAV file, read by the platform's File Source and WAVE Parser.
#include <windows.h>
#include <dshow.h>

#include <cstdint>
#include <memory>
#include <string>

#include "OfflineGraph.h"

namespace sombrevox::test {

// The built graph, or null with `error` saying why; `wavPath` is the file to
// write (the caller removes it).
std::unique_ptr<graph::OfflineGraph> ConnectOnSilence(IBaseFilter* effect, uint32_t samplesPerSec,
                                                       const std::string& wavPath, std::string* error);

}  // namespace sombrevox::test
