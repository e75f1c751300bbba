#pragma once
// The help file's container: a 16-byte header, the internal files, each behind
// a 9-byte file header, and the directory of them, itself an internal file
// holding a B+ tree of names and offsets.
#include <map>
#include <string>

#include "Bytes.h"

namespace sombrevox::help {

constexpr uint32_t kHelpFileMagic = 0x00035F3F;

// The whole file, with `files` by name (the map's order is the byte order the
// directory is searched in).
Bytes AssembleHelpFile(const std::map<std::string, Bytes>& files);

}  // namespace sombrevox::help
