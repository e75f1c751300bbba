#pragma once
// Classes of the platform's DirectShow that its headers do not declare.
#include <windows.h>

namespace sombrevox::graph {

// {D51BD5A1-7548-11cf-A520-0080C77EF58A}
inline constexpr CLSID kClsidWaveParser = {
    0xD51BD5A1, 0x7548, 0x11cf, {0xA5, 0x20, 0x00, 0x80, 0xC7, 0x7E, 0xF5, 0x8A}};
// {C1F400A0-3F08-11d3-9F0B-006008039E37}
inline constexpr CLSID kClsidSampleGrabber = {
    0xC1F400A0, 0x3F08, 0x11d3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};
// {C1F400A4-3F08-11d3-9F0B-006008039E37}
inline constexpr CLSID kClsidNullRenderer = {
    0xC1F400A4, 0x3F08, 0x11d3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

}  // namespace sombrevox::graph
