#pragma once
// Command-line values shared by the project's tools (native and Windows).
#include <cstdint>
#include <string>
#include <vector>

#include "ReverbParams.h"

namespace sombrevox::tools {

// The whole text as a number (strtod), nothing left over.
bool ParseNumber(const std::string& text, double* value);

// "PREDELAY,SIZE,LOWPASS,DIFFUSION,DECAY,DAMPING,MIX,LEVEL": eight numbers in
// field order into `params`, unclamped. On failure `error` says why.
bool ParseParamList(const std::string& text, ReverbParams* params, std::string* error);

// Walks a command line argument by argument: options, their values (the
// argument after an option) and the plain arguments (the files), which it
// keeps in order.
class ArgumentWalker {
 public:
  ArgumentWalker(int argc, char** argv) : argc_(argc), argv_(argv) {}
  // The next option, or false at the end; plain arguments are kept, not returned.
  bool NextOption(std::string* option);
  // The value of the option just read; false, with `error` saying so, when none follows.
  bool Value(std::string* value, std::string* error);
  // The whole-number value of the option just read, from `lower` to `upper`.
  bool WholeValue(uint32_t lower, uint32_t upper, const char* unit, uint32_t* value, std::string* error);
  // The two plain arguments, input then output; false with `error` when there are not two.
  bool InputAndOutput(std::string* input, std::string* output, std::string* error) const;
  // For a tool that takes no plain arguments: false with `error` when there were some.
  bool NoPlainArguments(std::string* error) const;

 private:
  int argc_;
  char** argv_;
  int next_ = 1;
  std::string option_;
  std::vector<std::string> files_;
};

}  // namespace sombrevox::tools
