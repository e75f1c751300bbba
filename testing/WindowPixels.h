#pragma once
// Pixels of windows and bitmaps for GUI tests, and build-time paths as the
// test program sees them under Wine.
#include "GraphUtil.h"
#include "WindowImage.h"

namespace sombrevox::test {

using graph::WindowsPath;
using tools::CaptureClient;
using tools::Image;
using tools::ImageOfBitmap;

}  // namespace sombrevox::test
