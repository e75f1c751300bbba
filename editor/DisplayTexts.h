#pragma once
// What the display shows in its parameters mode: the selected parameter and
// the next three along the edit cycle, each as a label and a value, and the
// output level.
#include "NumberText.h"
#include "ParamAccess.h"
#include "ParameterMapping.h"

namespace sombrevox {

struct DisplayColumnText {
  const char* label;
  NumberText value;  // empty for an index without a number kind
};

struct DisplayTexts {
  DisplayColumnText columns[4];  // the selected index first
  NumberText level;              // two decimals, in dB
};

// The value text of `value` in number form `kind`.
NumberText FormatNumber(NumberKind kind, double value);

DisplayTexts ComposeDisplayTexts(const ParamAccess& access, int selected);

}  // namespace sombrevox
