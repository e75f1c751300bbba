#include "HelpFileWriter.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "BTree.h"
#include "HelpFileSystem.h"
#include "TopicFile.h"

namespace sombrevox::help {
namespace {

constexpr uint16_t kSystemMagic = 0x036C;
constexpr uint16_t kFormat31 = 21;  // minor version of 3.1 files; major is 1
constexpr uint16_t kUncompressed = 0;

enum SystemRecord : uint16_t { kTitle = 1, kCopyright = 2, kContents = 3, kMacro = 4, kWindow = 6 };

void Record(Bytes& out, SystemRecord type, const Bytes& data) {
  out.U16(type);
  out.U16(static_cast<uint32_t>(data.Size()));
  out.Append(data);
}

void TextRecord(Bytes& out, SystemRecord type, std::string_view text) {
  Bytes data;
  data.Text(text);
  Record(out, type, data);
}

// The main window's definition, so that its caption is the title: which
// fields are given (type, name, caption), the type, the name, the caption,
// then position, size, maximised state and colours, all left to the viewer.
Bytes MainWindow(std::string_view caption) {
  constexpr uint16_t kTypeNameAndCaption = 0x0007;
  Bytes window;
  window.U16(kTypeNameAndCaption);
  window.Field("MAIN", 10);
  window.Field("main", 9);
  window.Field(caption, 51);
  window.Zeros(5 * 2 + 2 * 4);
  return window;
}

// Header (magic, version, generation time, flags), then typed records. The
// time is left at zero so that the same source gives the same file.
Bytes SystemFile(const HelpDocument& document, uint32_t contents) {
  Bytes out;
  out.U16(kSystemMagic);
  out.U16(kFormat31);
  out.U16(1);
  out.U32(0);
  out.U16(kUncompressed);
  TextRecord(out, kTitle, document.title);
  if (!document.copyright.empty()) TextRecord(out, kCopyright, document.copyright);
  Bytes offset;
  offset.U32(contents);
  Record(out, kContents, offset);
  // The topics form one browse sequence; the viewer shows its buttons on request.
  TextRecord(out, kMacro, "BrowseButtons()");
  Record(out, kWindow, MainWindow(document.title));
  return out;
}

// Face names (fixed 20-byte fields) and 11-byte font descriptors: attributes,
// size in half points, family, face name index, text and background colour.
Bytes FontFile() {
  struct Descriptor {
    uint8_t attributes;  // 1 bold
    uint8_t halfPoints;
    uint8_t red, green, blue;
  };
  Descriptor fonts[kFontCount] = {};
  fonts[kBodyFont] = {0, 20, 0, 0, 0};
  fonts[kTitleFont] = {1, 28, 0x1F, 0x3A, 0x5C};
  fonts[kHeadingFont] = {1, 22, 0x1F, 0x3A, 0x5C};
  constexpr uint8_t kSwiss = 3;
  constexpr size_t kFaceSize = 20;

  Bytes out;
  out.U16(1);
  out.U16(kFontCount);
  out.U16(8);
  out.U16(8 + kFaceSize);
  out.Field("Arial", kFaceSize);
  for (const Descriptor& f : fonts) {
    out.U8(f.attributes);
    out.U8(f.halfPoints);
    out.U8(kSwiss);
    out.U16(0);
    out.U8(f.red);
    out.U8(f.green);
    out.U8(f.blue);
    out.U8(0xFF);
    out.U8(0xFF);
    out.U8(0xFF);
  }
  return out;
}

// Name hash → topic offset, as a B+ tree sorted by the signed hash.
Bytes ContextFile(const HelpDocument& document, const std::vector<uint32_t>& offsets) {
  std::vector<std::pair<int32_t, uint32_t>> pairs;
  for (size_t i = 0; i < document.topics.size(); ++i)
    pairs.push_back({ContextHash(document.topics[i].contextName), offsets[i]});
  std::sort(pairs.begin(), pairs.end());
  std::vector<Bytes> entries;
  for (size_t i = 0; i < pairs.size(); ++i) {
    if (i > 0 && pairs[i].first == pairs[i - 1].first)
      throw std::runtime_error("two context names share a hash (names count alike in either case)");
    Bytes e;
    e.U32(static_cast<uint32_t>(pairs[i].first));
    e.U32(pairs[i].second);
    entries.push_back(e);
  }
  return LeafBTree(0x0002, 2048, "L4", entries);
}

// Count, then (context number, topic offset) pairs by number.
Bytes ContextMapFile(const HelpDocument& document, const std::vector<uint32_t>& offsets) {
  std::map<uint32_t, uint32_t> pairs;
  for (size_t i = 0; i < document.topics.size(); ++i)
    for (const uint32_t number : document.topics[i].contextNumbers) pairs[number] = offsets[i];
  Bytes out;
  out.U16(static_cast<uint32_t>(pairs.size()));
  for (const auto& [number, offset] : pairs) {
    out.U32(number);
    out.U32(offset);
  }
  return out;
}

}  // namespace

Bytes WriteHelpFile(const HelpDocument& document) {
  TopicFile topics = WriteTopicFile(document);
  std::map<std::string, Bytes> files;
  files["|CONTEXT"] = ContextFile(document, topics.topicOffsets);
  files["|CTXOMAP"] = ContextMapFile(document, topics.topicOffsets);
  files["|FONT"] = FontFile();
  files["|SYSTEM"] = SystemFile(document, topics.topicOffsets.front());
  files["|TOPIC"] = std::move(topics.bytes);
  return AssembleHelpFile(files);
}

}  // namespace sombrevox::help
