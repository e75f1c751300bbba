#include "ControlGeometry.h"

#include <cmath>

namespace sombrevox {
namespace {

// Truncates, then adds one when the discarded fraction is at least a half.
int RoundHalfUp(double value) {
  const double whole = std::trunc(value);
  return static_cast<int>(whole) + (value - whole >= 0.5 ? 1 : 0);
}

}  // namespace

int KnobPointToPosition(int minPos, int maxPos, Point centre, Point point) {
  int dx = point.x - centre.x;
  int dy = point.y - centre.y;
  if (dx == 0 && dy == 0) dx = dy = 1;
  double angle = std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 57.3;
  if (angle > 45 && angle <= 90) angle = 45;
  if (angle > 90 && angle < 135) angle = 135;
  double sweep = angle - 135;
  if (sweep < 0) sweep += 360;
  return static_cast<int>(minPos + (maxPos - minPos) * sweep * 0.003703703703703704);
}

Point KnobPointerEnd(int minPos, int maxPos, int position, Point centre, int radius) {
  const double span = maxPos - minPos;
  const double angle = (span != 0 ? (position - minPos) * 4.71 / span : 0.0) + 2.36;
  return {static_cast<int>(radius * std::cos(angle) + centre.x + 0.5),
          static_cast<int>(radius * std::sin(angle) + centre.y + 0.5)};
}

bool InSliderBand(Point point) { return point.x >= 0 && point.x <= 23 && point.y >= 12 && point.y <= 72; }

int SliderPointToPosition(int maxPos, int y) {
  return static_cast<int>((y - 12) * 0.016666666666666666 * maxPos + 0.5);
}

int SliderCapTop(int position, int maxPos, int bitmapHeight) {
  const double row = maxPos != 0 ? position * 60.0 / maxPos : 0.0;
  return static_cast<int>(row + 12 - bitmapHeight * 0.5);
}

MeterLayout LevelMeterLayout(int value, int height, int count) {
  MeterLayout layout{};
  if (count < 1) return layout;
  const double gapBudget = height * 0.2;
  layout.segmentLength = RoundHalfUp((height - gapBudget) / count);
  layout.gap = count > 1 ? RoundHalfUp(gapBudget / (count - 1)) : 0;
  // trunc + 1 from a half up: 200 of 300 lights 7 of 9, not 6.
  const double lit = value * 0.0033333333333333335 * count;
  layout.lit = lit >= 0.5 ? static_cast<int>(lit) + 1 : 0;
  return layout;
}

Box MeterSegment(const MeterLayout& layout, int left, int top, int width, int height, int k) {
  const int bottom = top + height - (k - 1) * (layout.segmentLength + layout.gap);
  return {left, bottom - layout.segmentLength, left + width, bottom};
}

DisplayLayout ParameterLayout(Box client) {
  const int w = static_cast<int>((client.right - client.left - 20) * 0.25);
  const int l = client.left;
  const int valueBottom = client.bottom - 13;
  return {{{l, client.top - 1, l + w, valueBottom},
           {l + w + 2, client.top, l + 2 * w + 2, valueBottom},
           {l + 2 * w + 4, client.top, l + 3 * w + 4, valueBottom},
           {l + 3 * w + 6, client.top, l + 4 * w + 6, valueBottom}},
          {l, client.bottom - 11, client.right - 3, client.bottom}};
}

}  // namespace sombrevox
