#include "DisplayTexts.h"

#include "ReverbParams.h"

namespace sombrevox {

NumberText FormatNumber(NumberKind kind, double value) {
  switch (kind) {
    case NumberKind::kInteger:
      return FormatInteger(value);
    case NumberKind::kTwoDecimals:
      return FormatFixed2(value);
    default:
      return NumberText{};
  }
}

DisplayTexts ComposeDisplayTexts(const ParamAccess& access, int selected) {
  DisplayTexts texts{};
  int index = selected;
  for (DisplayColumnText& column : texts.columns) {
    const ParamLabelInfo label = ParamLabel(index);
    column.label = label.text;
    column.value = FormatNumber(label.kind, DisplayValue(access, index));
    index = NextEditParam(index, 1);
  }
  texts.level = FormatFixed2(access.Get(kLevel));
  return texts;
}

}  // namespace sombrevox
