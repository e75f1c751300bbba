#pragma once
// Where things lie in the editor's controls: the knob's angle and pointer,
// the slider's band and cap, the level meter's segments and the display's
// text rectangles. Client coordinates, y pointing down.

namespace sombrevox {

struct Point {
  int x;
  int y;
};

struct Box {
  int left;
  int top;
  int right;
  int bottom;
};

// The knob position the pointer points at around `centre`: the angle
// atan2(dy, dx) in degrees (x 57.3), held out of the dead zone below the
// centre (45..90 counts as 45, the maximum; 90..135 as 135, the minimum),
// then (angle - 135) mod 360 over 270 of the range. The centre itself counts
// as direction (1, 1), the maximum.
int KnobPointToPosition(int minPos, int maxPos, Point centre, Point point);

// The end of the knob's pointer line at `radius` from `centre`: the angle runs
// 4.71 rad clockwise from 2.36 rad (down-left) at the minimum. A knob whose
// range is empty points at its minimum.
Point KnobPointerEnd(int minPos, int maxPos, int position, Point centre, int radius);

// The slider's active band: 0 <= x <= 23, 12 <= y <= 72.
bool InSliderBand(Point point);

// The slider position for pointer row y in the band: sixtieths of the range
// below row 12, rounded half up (maxPos 300: five positions per row).
int SliderPointToPosition(int maxPos, int y);

// The top row of the slider's cap bitmap (`bitmapHeight` rows) for a
// position, centred under the row that maps to it. An empty range keeps the
// cap at the top.
int SliderCapTop(int position, int maxPos, int bitmapHeight);

// The level meter of `count` segments over `height` pixels: a fifth of the
// height is gap. Rounded half up, segment length and gap; segments lit for a
// value of 0..300.
struct MeterLayout {
  int segmentLength;
  int gap;
  int lit;
};
MeterLayout LevelMeterLayout(int value, int height, int count);

// Segment k (1 = the bottom one) of a meter at (left, top).
Box MeterSegment(const MeterLayout& layout, int left, int top, int width, int height, int k);

// The display's parameters mode in a client rectangle: four columns, each a
// label above a value, and the bottom strip with the level.
struct DisplayLayout {
  Box columns[4];
  Box strip;
};
DisplayLayout ParameterLayout(Box client);

}  // namespace sombrevox
