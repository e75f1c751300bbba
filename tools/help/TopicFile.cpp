#include "TopicFile.h"

#include <stdexcept>

namespace sombrevox::help {
namespace {

constexpr uint32_t kBlockSize = 4096;
constexpr uint32_t kBlockHeaderSize = 12;
constexpr uint32_t kLinkHeaderSize = 21;
constexpr uint32_t kNone = 0xFFFFFFFF;

constexpr uint8_t kTopicHeaderRecord = 0x02;
constexpr uint8_t kDisplayRecord = 0x20;

// Commands between the strings of a paragraph's text.
constexpr uint8_t kFontCommand = 0x80;
constexpr uint8_t kEndOfParagraph = 0x82;
constexpr uint8_t kTab = 0x83;
constexpr uint8_t kJump = 0xE3;  // to a topic by the hash of its context name
constexpr uint8_t kEndOfHotspot = 0x89;
constexpr uint8_t kEndOfCommands = 0xFF;

// Paragraph settings present, as bits of the settings word; each present
// setting follows as a compressed signed number.
constexpr uint16_t kSpaceAbove = 0x0002;
constexpr uint16_t kSpaceBelow = 0x0004;
constexpr uint16_t kLeftIndent = 0x0010;
constexpr uint16_t kFirstLineIndent = 0x0040;
constexpr uint16_t kTabStops = 0x0200;  // a count, then each stop's position

struct Link {
  uint8_t type;
  Bytes data1;  // the record's settings and commands
  Bytes data2;  // the record's text
  uint32_t Size() const { return kLinkHeaderSize + static_cast<uint32_t>(data1.Size() + data2.Size()); }
};

// Spaces and indents in half points.
struct Style {
  uint16_t font;
  int spaceAbove, spaceBelow, leftIndent, firstLineIndent;
};

Style StyleOf(ParagraphStyle style) {
  switch (style) {
    case ParagraphStyle::Title:
      return {kTitleFont, 0, 12, 0, 0};
    case ParagraphStyle::Heading:
      return {kHeadingFont, 8, 4, 0, 0};
    case ParagraphStyle::Bullet:
      return {kBodyFont, 0, 4, 36, -24};
    case ParagraphStyle::Body:
      break;
  }
  return {kBodyFont, 0, 8, 0, 0};
}

// Which settings are present (a word of bits), then each present one.
Bytes ParagraphSettings(const Style& style) {
  // A hanging paragraph tabs from its first line to its left indent.
  const bool hanging = style.firstLineIndent < 0;
  uint16_t present = 0;
  if (style.spaceAbove) present |= kSpaceAbove;
  if (style.spaceBelow) present |= kSpaceBelow;
  if (style.leftIndent) present |= kLeftIndent;
  if (style.firstLineIndent) present |= kFirstLineIndent;
  if (hanging) present |= kTabStops;
  Bytes settings;
  settings.U16(present);
  if (style.spaceAbove) settings.CompressedS16(style.spaceAbove);
  if (style.spaceBelow) settings.CompressedS16(style.spaceBelow);
  if (style.leftIndent) settings.CompressedS16(style.leftIndent);
  if (style.firstLineIndent) settings.CompressedS16(style.firstLineIndent);
  if (hanging) {
    settings.CompressedS16(1);
    settings.CompressedU16(static_cast<uint32_t>(style.leftIndent));
  }
  return settings;
}

// A paragraph's text is a series of NUL-terminated strings, each followed by
// one command; the commands end with kEndOfCommands.
class ParagraphText {
 public:
  void Add(std::string_view text) { pending_ += text; }
  void Command(uint8_t command, const Bytes& argument = Bytes()) {
    text_.Text(pending_);
    pending_.clear();
    commands_.U8(command);
    commands_.Append(argument);
  }
  const Bytes& Text() const { return text_; }
  const Bytes& Commands() const { return commands_; }

 private:
  std::string pending_;
  Bytes text_;
  Bytes commands_;
};

Link ParagraphLink(const Paragraph& paragraph) {
  const Style style = StyleOf(paragraph.style);
  ParagraphText text;
  Bytes font;
  font.U16(style.font);
  text.Command(kFontCommand, font);
  if (paragraph.style == ParagraphStyle::Bullet) {
    text.Add("\x95");
    text.Command(kTab);
  }
  for (const Span& span : paragraph.spans) {
    if (span.jump.empty()) {
      text.Add(span.text);
      continue;
    }
    Bytes hash;
    hash.U32(static_cast<uint32_t>(ContextHash(span.jump)));
    text.Command(kJump, hash);
    text.Add(span.text);
    text.Command(kEndOfHotspot);
  }
  text.Command(kEndOfParagraph);

  Link link{kDisplayRecord, {}, text.Text()};
  const uint32_t length = static_cast<uint32_t>(text.Text().Size());
  // Text size and length, two bytes of no meaning here, a paragraph id, the
  // settings, and the commands.
  link.data1.CompressedU32(length);
  link.data1.CompressedU16(length);
  link.data1.U8(0);
  link.data1.U8(0x80);
  link.data1.U16(0);
  link.data1.Append(ParagraphSettings(style));
  link.data1.Append(text.Commands());
  link.data1.U8(kEndOfCommands);
  return link;
}

// Where the chain puts each record: block × 0x4000 plus the offset in the
// block, its 12-byte header counted. A record never straddles two blocks.
std::vector<uint32_t> Place(const std::vector<Link>& links) {
  std::vector<uint32_t> positions;
  uint32_t block = 0;
  uint32_t used = kBlockHeaderSize;
  for (const Link& link : links) {
    if (kBlockHeaderSize + link.Size() > kBlockSize) throw std::runtime_error("a paragraph longer than a block");
    if (used + link.Size() > kBlockSize) {
      ++block;
      used = kBlockHeaderSize;
    }
    positions.push_back(block << 14 | used);
    used += link.Size();
  }
  return positions;
}

uint32_t BlockOf(uint32_t position) { return position >> 14; }

}  // namespace

int32_t ContextHash(std::string_view name) {
  uint32_t hash = 0;
  for (const char c : name) {
    int value = 0;
    if (c >= '1' && c <= '9') value = c - '0';
    if (c == '0') value = 10;
    if (c == '.') value = 12;
    if (c == '_') value = 13;
    if (c >= 'A' && c <= 'Z') value = c - 'A' + 0x11;
    if (c >= 'a' && c <= 'z') value = c - 'a' + 0x11;
    hash = hash * 43 + static_cast<uint32_t>(value);
  }
  return static_cast<int32_t>(hash);
}

TopicFile WriteTopicFile(const HelpDocument& document) {
  // The records, each topic's header first; the headers are completed once
  // every record has its place.
  std::vector<Link> links;
  std::vector<size_t> headers;
  for (const Topic& topic : document.topics) {
    headers.push_back(links.size());
    Link header{kTopicHeaderRecord, {}, {}};
    header.data1.Zeros(28);
    header.data2.Text(topic.title);
    links.push_back(std::move(header));
    for (const Paragraph& paragraph : topic.paragraphs) links.push_back(ParagraphLink(paragraph));
  }
  const std::vector<uint32_t> positions = Place(links);

  TopicFile out;
  uint32_t characters = 0;
  for (size_t i = 0; i < links.size(); ++i) {
    if (i > 0 && BlockOf(positions[i]) != BlockOf(positions[i - 1])) characters = 0;
    if (links[i].type == kTopicHeaderRecord)
      out.topicOffsets.push_back(BlockOf(positions[i]) * 0x8000 + characters);
    else
      characters += static_cast<uint32_t>(links[i].data2.Size());
  }

  // Topic header: the topic's size in records, the previous and next topic
  // in the browse sequence, its number, its non-scrolling region (none), its
  // scrolling region, the next topic's header.
  for (size_t t = 0; t < headers.size(); ++t) {
    const size_t first = headers[t];
    const size_t end = t + 1 < headers.size() ? headers[t + 1] : links.size();
    uint32_t size = 0;
    for (size_t i = first; i < end; ++i) size += links[i].Size();
    Bytes& h = links[first].data1;
    h.Put32(0, size);
    h.Put32(4, t > 0 ? out.topicOffsets[t - 1] : kNone);
    h.Put32(8, t + 1 < headers.size() ? out.topicOffsets[t + 1] : kNone);
    h.Put32(12, static_cast<uint32_t>(t));
    h.Put32(16, kNone);
    h.Put32(20, first + 1 < end ? positions[first + 1] : kNone);
    h.Put32(24, end < links.size() ? positions[end] : kNone);
  }

  // The blocks: a header (the last record of the blocks before, the first
  // record of this block, the header of the topic that record belongs to),
  // then the records, each behind its own 21-byte header.
  const uint32_t blocks = BlockOf(positions.back()) + 1;
  std::vector<uint8_t> data(blocks * kBlockSize, 0);
  uint32_t lastHeader = kNone;
  for (size_t i = 0; i < links.size(); ++i) {
    const Link& link = links[i];
    if (link.type == kTopicHeaderRecord) lastHeader = positions[i];
    const uint32_t block = BlockOf(positions[i]);
    if (i == 0 || block != BlockOf(positions[i - 1])) {
      Bytes header;
      header.U32(i > 0 ? positions[i - 1] : kNone);
      header.U32(positions[i]);
      header.U32(lastHeader);
      std::copy(header.Data().begin(), header.Data().end(), data.begin() + block * kBlockSize);
    }
    Bytes record;
    record.U32(link.Size());
    record.U32(static_cast<uint32_t>(link.data2.Size()));
    record.U32(i > 0 ? positions[i - 1] : kNone);
    record.U32(i + 1 < links.size() ? positions[i + 1] : kNone);
    record.U32(kLinkHeaderSize + static_cast<uint32_t>(link.data1.Size()));
    record.U8(link.type);
    record.Append(link.data1);
    record.Append(link.data2);
    std::copy(record.Data().begin(), record.Data().end(), data.begin() + block * kBlockSize + (positions[i] & 0x3FFF));
  }
  for (const uint8_t b : data) out.bytes.U8(b);
  return out;
}

}  // namespace sombrevox::help
