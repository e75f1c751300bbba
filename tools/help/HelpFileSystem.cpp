#include "HelpFileSystem.h"

#include "BTree.h"

namespace sombrevox::help {
namespace {

constexpr uint16_t kDirectoryFlags = 0x0402;  // always-set bit, and "this is the directory"
constexpr uint16_t kDirectoryPageSize = 1024;
constexpr uint8_t kFileFlags = 4;
constexpr size_t kHeaderSize = 16;

// An internal file: the space it takes (header included), the bytes it uses
// (header excluded), its flags, then its bytes.
void AppendInternalFile(Bytes& out, const Bytes& content) {
  out.U32(static_cast<uint32_t>(content.Size() + 9));
  out.U32(static_cast<uint32_t>(content.Size()));
  out.U8(kFileFlags);
  out.Append(content);
}

}  // namespace

Bytes AssembleHelpFile(const std::map<std::string, Bytes>& files) {
  Bytes body;
  std::vector<Bytes> directory;
  for (const auto& [name, content] : files) {
    Bytes entry;
    entry.Text(name);
    entry.U32(static_cast<uint32_t>(kHeaderSize + body.Size()));
    directory.push_back(entry);
    AppendInternalFile(body, content);
  }
  const uint32_t directoryStart = static_cast<uint32_t>(kHeaderSize + body.Size());
  AppendInternalFile(body, LeafBTree(kDirectoryFlags, kDirectoryPageSize, "z4", directory));

  // Header: magic, where the directory starts, no free blocks, file size.
  Bytes file;
  file.U32(kHelpFileMagic);
  file.U32(directoryStart);
  file.U32(0xFFFFFFFF);
  file.U32(static_cast<uint32_t>(kHeaderSize + body.Size()));
  file.Append(body);
  return file;
}

}  // namespace sombrevox::help
