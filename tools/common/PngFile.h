#pragma once
// A small PNG writer for screenshots (tests and tools): 8-bit RGB, the image data in
// stored (uncompressed) deflate blocks. Enough for any viewer; no library.
#include <cstdint>
#include <string>
#include <vector>

namespace sombrevox::tools {

// `rgb` holds width * height pixels, three bytes each, rows top to bottom.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace sombrevox::tools
