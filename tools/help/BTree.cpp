#include "BTree.h"

#include <stdexcept>

namespace sombrevox::help {

namespace {
constexpr size_t kLeafHeaderSize = 8;
}  // namespace

Bytes LeafBTree(uint16_t flags, uint16_t pageSize, std::string_view structure, const std::vector<Bytes>& entries) {
  size_t used = 0;
  for (const Bytes& e : entries) used += e.Size();
  if (kLeafHeaderSize + used > pageSize) throw std::runtime_error("more B+ tree entries than one page holds");

  Bytes tree;
  // Header: magic, flags, page size, the entry structure (16 characters),
  // a zero, page splits, root page, -1, page count, levels, entry count.
  tree.U16(kBTreeMagic);
  tree.U16(flags);
  tree.U16(pageSize);
  tree.Field(structure, 16);
  tree.U16(0);
  tree.U16(0);
  tree.U16(0);
  tree.U16(0xFFFF);
  tree.U16(1);
  tree.U16(1);
  tree.U32(static_cast<uint32_t>(entries.size()));

  // The leaf: bytes left unused at its end, entry count, previous and next
  // leaf (none), the entries, then the unused rest of the page.
  const size_t unused = pageSize - kLeafHeaderSize - used;
  tree.U16(static_cast<uint32_t>(unused));
  tree.U16(static_cast<uint32_t>(entries.size()));
  tree.U16(0xFFFF);
  tree.U16(0xFFFF);
  for (const Bytes& e : entries) tree.Append(e);
  tree.Zeros(unused);
  return tree;
}

}  // namespace sombrevox::help
