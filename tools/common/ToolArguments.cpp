#include "ToolArguments.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace sombrevox::tools {

bool ParseNumber(const std::string& text, double* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  *value = std::strtod(text.c_str(), &end);
  return errno == 0 && end && *end == '\0';
}

bool ParseParamList(const std::string& text, ReverbParams* params, std::string* error) {
  std::vector<double> values;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    double v = 0;
    if (!ParseNumber(item, &v)) {
      *error = "--params: '" + item + "' is not a number";
      return false;
    }
    values.push_back(v);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (values.size() != kParamCount) {
    *error = "--params takes eight values: PREDELAY,SIZE,LOWPASS,DIFFUSION,DECAY,DAMPING,MIX,LEVEL";
    return false;
  }
  for (int i = 0; i < kParamCount; ++i) ParamAt(*params, i) = values[i];
  return true;
}

}  // namespace sombrevox::tools
