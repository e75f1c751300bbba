#pragma once
// The viewer's B+ trees (the directory of internal files, the context
// table): a 38-byte header and pages of sorted entries. The trees of a help
// file this size fit one leaf page, so the root is that leaf.
#include <string_view>

#include "Bytes.h"

namespace sombrevox::help {

constexpr uint16_t kBTreeMagic = 0x293B;

// `entries` in the tree's order, each the bytes of one entry as `structure`
// describes them ("z4": NUL-terminated name, 32-bit value; "L4": 32-bit key,
// 32-bit value). Throws std::runtime_error when they overflow the page.
Bytes LeafBTree(uint16_t flags, uint16_t pageSize, std::string_view structure, const std::vector<Bytes>& entries);

}  // namespace sombrevox::help
