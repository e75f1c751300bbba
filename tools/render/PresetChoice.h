#pragma once
#include <string>

namespace sombrevox::render {

// The factory preset that `text` names: an index 0-23, or a name in any case,
// with or without its number ("011 - Hall", "hall"), or the beginning of one
// name ("small room d"). Returns the index, or -1 with `error` saying why; an
// ambiguous name's error lists the presets it could mean.
int ChooseFactoryPreset(const std::string& text, std::string* error);

}  // namespace sombrevox::render
