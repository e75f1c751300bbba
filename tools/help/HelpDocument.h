#pragma once
// A help file as its source describes it: titled topics of styled paragraphs,
// each topic reachable by a context name and a context number.
#include <cstdint>
#include <string>
#include <vector>

namespace sombrevox::help {

// A run of text; a run with a `jump` is a hotspot that opens the topic of
// that context name.
struct Span {
  std::string text;
  std::string jump;
};

enum class ParagraphStyle { Title, Heading, Body, Bullet };

struct Paragraph {
  ParagraphStyle style = ParagraphStyle::Body;
  std::vector<Span> spans;
};

struct Topic {
  std::vector<uint32_t> contextNumbers;  // what programs ask for (HELP_CONTEXT); at least one
  std::string contextName;               // what jumps inside the file name
  std::string title;
  std::vector<Paragraph> paragraphs;  // the title paragraph first
};

struct HelpDocument {
  std::string title;  // the viewer's caption
  std::string copyright;
  std::vector<Topic> topics;  // the first is the contents topic
};

}  // namespace sombrevox::help
