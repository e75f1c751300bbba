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

bool ArgumentWalker::NextOption(std::string* option) {
  while (next_ < argc_) {
    std::string argument = argv_[next_++];
    if (argument.size() > 1 && argument[0] == '-') {
      option_ = argument;
      *option = std::move(argument);
      return true;
    }
    files_.push_back(std::move(argument));
  }
  return false;
}

bool ArgumentWalker::Value(std::string* value, std::string* error) {
  if (next_ >= argc_) {
    *error = option_ + " needs a value";
    return false;
  }
  *value = argv_[next_++];
  return true;
}

bool ArgumentWalker::WholeValue(uint32_t lower, uint32_t upper, const char* unit, uint32_t* value, std::string* error) {
  std::string text;
  if (!Value(&text, error)) return false;
  double number = 0;
  if (!ParseNumber(text, &number) || number < lower || number > upper || number != static_cast<uint32_t>(number)) {
    *error = option_ + " takes a whole number of " + unit + " from " + std::to_string(lower) + " to " +
             std::to_string(upper);
    return false;
  }
  *value = static_cast<uint32_t>(number);
  return true;
}

bool ArgumentWalker::NoPlainArguments(std::string* error) const {
  if (files_.empty()) return true;
  *error = "unexpected argument " + files_.front();
  return false;
}

bool ArgumentWalker::InputAndOutput(std::string* input, std::string* output, std::string* error) const {
  if (files_.size() != 2) {
    *error = "give one input and one output file";
    return false;
  }
  *input = files_[0];
  *output = files_[1];
  return true;
}

}  // namespace sombrevox::tools
