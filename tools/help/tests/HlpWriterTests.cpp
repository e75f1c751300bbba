// The written help file read back the way the viewer reads it: the directory
// of internal files, the chain of topic records, and the two context tables
// that lead a context number or a jump's name to a topic.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "HelpFileWriter.h"
#include "HelpSource.h"
#include "TopicFile.h"

namespace sombrevox::help {
namespace {

class HelpFileView {
 public:
  explicit HelpFileView(const Bytes& file) : data_(file.Data()) {
    EXPECT_EQ(U32(0), 0x00035F3Fu);
    EXPECT_EQ(U32(12), data_.size());
    // The directory: one B+ tree leaf of names in byte order.
    const size_t tree = U32(4) + 9;
    EXPECT_EQ(U16(tree), 0x293Bu);
    size_t at = tree + 38 + 8;
    std::string previous;
    for (uint32_t n = U16(tree + 38 + 2); n > 0; --n) {
      const std::string name(reinterpret_cast<const char*>(&data_[at]));
      EXPECT_LT(previous, name);
      at += name.size() + 1;
      files_[name] = U32(at);
      at += 4;
      previous = name;
    }
  }

  // An internal file's bytes, its 9-byte header checked and skipped.
  size_t File(const std::string& name) const {
    const auto it = files_.find(name);
    if (it == files_.end()) {
      ADD_FAILURE() << "no internal file " << name;
      return 0;
    }
    EXPECT_EQ(U32(it->second), U32(it->second + 4) + 9) << name;
    EXPECT_LE(it->second + U32(it->second), data_.size()) << name;
    return it->second + 9;
  }

  // Topic titles by topic offset, walking the record chain: the offset of a
  // topic is its block × 0x8000 plus the text length of the display records
  // before it in that block.
  std::map<uint32_t, std::string> Topics() const {
    const size_t topic = File("|TOPIC");
    EXPECT_EQ(U32(topic - 5) % 4096, 0u) << "whole blocks";
    std::map<uint32_t, std::string> titles;
    uint32_t characters = 0, previousBlock = 0;
    for (uint32_t pos = 0x0C; pos != 0xFFFFFFFF;) {
      const uint32_t block = pos >> 14, offset = pos & 0x3FFF;
      const size_t record = topic + block * 4096 + offset;
      EXPECT_LE(offset + U32(record), 4096u) << "a record straddles a block";
      if (block != previousBlock) characters = 0;
      if (offset == 0x0C || block != previousBlock) {
        EXPECT_EQ(U32(topic + block * 4096 + 4), pos) << "the block header names its first record";
      }
      previousBlock = block;
      const size_t text = record + U32(record + 0x10);
      if (data_[record + 0x14] == 0x02)
        titles[block * 0x8000 + characters] = reinterpret_cast<const char*>(&data_[text]);
      else
        characters += U32(record + 4);
      pos = U32(record + 0x0C);
    }
    return titles;
  }

  // |CTXOMAP: context number → topic offset.
  std::map<uint32_t, uint32_t> ContextNumbers() const {
    const size_t map = File("|CTXOMAP");
    std::map<uint32_t, uint32_t> out;
    for (uint32_t i = 0; i < U16(map); ++i) out[U32(map + 2 + 8 * i)] = U32(map + 6 + 8 * i);
    return out;
  }

  // |CONTEXT: name hash → topic offset, one leaf sorted by the signed hash.
  std::map<int32_t, uint32_t> ContextHashes() const {
    const size_t tree = File("|CONTEXT");
    std::map<int32_t, uint32_t> out;
    int64_t previous = INT64_MIN;
    for (uint32_t i = 0; i < U16(tree + 38 + 2); ++i) {
      const int32_t hash = static_cast<int32_t>(U32(tree + 38 + 8 + 8 * i));
      EXPECT_LT(previous, hash);
      previous = hash;
      out[hash] = U32(tree + 38 + 8 + 8 * i + 4);
    }
    return out;
  }

 private:
  uint32_t U16(size_t at) const { return data_[at] | data_[at + 1] << 8; }
  uint32_t U32(size_t at) const { return U16(at) | U16(at + 2) << 16; }

  const std::vector<uint8_t>& data_;
  std::map<std::string, size_t> files_;
};

// Every context number and every jump of `document` leads to its own topic.
void ExpectEveryTopicReached(const HelpDocument& document) {
  const Bytes file = WriteHelpFile(document);
  const HelpFileView view(file);
  const auto titles = view.Topics();
  const auto numbers = view.ContextNumbers();
  const auto hashes = view.ContextHashes();
  ASSERT_EQ(titles.size(), document.topics.size());
  for (const Topic& topic : document.topics) {
    for (const uint32_t number : topic.contextNumbers) {
      ASSERT_TRUE(numbers.contains(number)) << number;
      EXPECT_EQ(titles.at(numbers.at(number)), topic.title);
    }
    ASSERT_TRUE(hashes.contains(ContextHash(topic.contextName))) << topic.contextName;
    EXPECT_EQ(hashes.at(ContextHash(topic.contextName)), numbers.at(topic.contextNumbers.front()));
  }
}

TEST(HlpWriter, TheEditorsTopicsAreReachedByNumberAndByName) {
  std::ifstream in(SOMBREVOX_HELP_SOURCE);
  std::stringstream source;
  source << in.rdbuf();
  const HelpDocument document = ParseHelpSource(source.str());
  std::set<uint32_t> numbers;
  for (const Topic& topic : document.topics) numbers.insert(topic.contextNumbers.begin(), topic.contextNumbers.end());
  // 1: the page's own help context, which the host's property frame asks for.
  for (const uint32_t asked : {1, 2, 3, 4, 5, 6}) EXPECT_TRUE(numbers.contains(asked)) << asked;
  EXPECT_EQ(document.topics.front().contextNumbers.front(), 2u) << "the general topic is the contents";
  ExpectEveryTopicReached(document);
}

// Topics past the first 4 KB block: offsets count from their own block, and
// no record is split between blocks.
TEST(HlpWriter, TopicsSpreadOverSeveralBlocks) {
  std::string source = ".title Long\n";
  for (int t = 1; t <= 6; ++t) {
    source += ".topic " + std::to_string(t) + " topic" + std::to_string(t) + " Topic " + std::to_string(t) + "\n";
    for (int p = 0; p < 12; ++p) source += std::string(90 + 7 * p, 'a' + t) + " {topic1|back}\n\n";
  }
  ExpectEveryTopicReached(ParseHelpSource(source));
}

TEST(HlpWriter, SourceMistakesNameTheirLine) {
  const struct {
    const char* source;
    const char* message;
  } cases[] = {
      {"text first\n", "line 1: text before the first .topic"},
      {".topic 2 a A\n\n.topic 2 b B\n", "line 3: context number 2 is given twice"},
      {".topic 2 a A\n.alias 2\n", "line 2: context number 2 is given twice"},
      {".topic 2 a A\nsee {b|there}\n", "line 2: a jump to b"},
      {".topic 2 a A\nsee {a there}\n", "line 2: a jump is written"},
      {".topic 2 a-b A\n", "line 1: a context name is"},
      {".topic 2 a A\ncaf\xc3\xa9\n", "line 2: only printable ASCII"},
      {".topc 2 a A\n", "line 1: unknown directive"},
  };
  for (const auto& c : cases) {
    try {
      ParseHelpSource(c.source);
      ADD_FAILURE() << "accepted: " << c.source;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(WriteHelpFile(ParseHelpSource(".topic 2 Knob A\nx\n.topic 3 knob B\ny\n")), std::runtime_error)
      << "names differing in case only share a hash";
}

}  // namespace
}  // namespace sombrevox::help
