#pragma once
// |TOPIC: the topics as a chain of records ("topic links") in 4 KB blocks.
// Each topic is a topic header record followed by one display record per
// paragraph; the records are chained by their positions.
#include "Bytes.h"
#include "HelpDocument.h"

namespace sombrevox::help {

// The viewer's hash of a context name: letters count alike in either case.
int32_t ContextHash(std::string_view name);

struct TopicFile {
  Bytes bytes;
  // Per topic, the offset the context tables give for it: its block × 0x8000
  // plus the text length of the records before it in that block.
  std::vector<uint32_t> topicOffsets;
};

// Throws std::runtime_error for a paragraph longer than a block holds.
TopicFile WriteTopicFile(const HelpDocument& document);

// The fonts the paragraph styles use, in |FONT's order.
enum Font : uint16_t { kBodyFont, kTitleFont, kHeadingFont, kFontCount };

}  // namespace sombrevox::help
