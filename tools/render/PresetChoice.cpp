#include "PresetChoice.h"

#include <cctype>
#include <vector>

#include "FactoryPresets.h"
#include "ToolArguments.h"

namespace sombrevox::render {
namespace {

std::string Lower(const std::string& s) {
  std::string out = s;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The name without its "NNN - " number, or without the brackets of
// "(Default)", in lower case.
std::string BareName(const char* name) {
  const std::string full = Lower(name);
  if (full.size() > 6 && std::isdigit(static_cast<unsigned char>(full[0])) && full.compare(3, 3, " - ") == 0)
    return full.substr(6);
  if (full.size() > 2 && full.front() == '(' && full.back() == ')') return full.substr(1, full.size() - 2);
  return full;
}

// Presets whose full or bare name is `query` (whole = true) or begins with it.
std::vector<int> Matching(const std::string& query, bool whole) {
  std::vector<int> found;
  for (int i = 0; i < kFactoryPresetCount; ++i) {
    for (const std::string& name : {Lower(kFactoryPresets[i].name), BareName(kFactoryPresets[i].name)}) {
      if (whole ? name == query : name.compare(0, query.size(), query) == 0) {
        found.push_back(i);
        break;
      }
    }
  }
  return found;
}

// The highest factory preset index, as text.
std::string Highest() { return std::to_string(kFactoryPresetCount - 1); }

}  // namespace

int ChooseFactoryPreset(const std::string& text, std::string* error) {
  double number = 0;
  if (tools::ParseNumber(text, &number)) {
    if (number >= 0 && number < kFactoryPresetCount && number == static_cast<int>(number))
      return static_cast<int>(number);
    *error = "there is no factory preset " + text + " (the index runs from 0 to " + Highest() + ")";
    return -1;
  }
  const std::string query = Lower(Trimmed(text));
  std::vector<int> found;
  if (!query.empty()) {
    found = Matching(query, true);
    if (found.empty()) found = Matching(query, false);
  }
  if (found.size() == 1) return found[0];
  if (found.empty()) {
    *error = "unknown factory preset '" + text + "' (an index 0-" + Highest() + " or a name from --list-presets)";
  } else {
    *error = "'" + text + "' could be any of these factory presets:";
    for (int i : found) *error += std::string("\n  ") + kFactoryPresets[i].name;
  }
  return -1;
}

}  // namespace sombrevox::render
