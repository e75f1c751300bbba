#include "HelpSource.h"

#include <set>
#include <string>

namespace sombrevox::help {
namespace {

[[noreturn]] void Fail(size_t line, const std::string& what) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Context names are hashed letter by letter; only these characters have a
// place in the hash.
bool IsContextName(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.'))
      return false;
  return true;
}

// "text {name|hotspot} text" as runs.
std::vector<Span> ParseSpans(std::string_view text, size_t line) {
  std::vector<Span> spans;
  size_t at = 0;
  while (at < text.size()) {
    const size_t open = text.find('{', at);
    if (open == std::string_view::npos) {
      spans.push_back({std::string(text.substr(at)), {}});
      break;
    }
    if (open > at) spans.push_back({std::string(text.substr(at, open - at)), {}});
    const size_t bar = text.find('|', open);
    const size_t close = text.find('}', open);
    if (close == std::string_view::npos || bar == std::string_view::npos || bar > close || bar + 1 == close)
      Fail(line, "a jump is written {name|text}");
    spans.push_back(
        {std::string(text.substr(bar + 1, close - bar - 1)), std::string(text.substr(open + 1, bar - open - 1))});
    at = close + 1;
  }
  return spans;
}

class Parser {
 public:
  HelpDocument Parse(std::string_view source) {
    size_t number = 0;
    while (!source.empty()) {
      const size_t end = source.find('\n');
      const std::string_view line = source.substr(0, end);
      source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
      Line(line, ++number);
    }
    EndParagraph();
    if (document_.topics.empty()) Fail(number, "the source has no topic");
    CheckJumps();
    return std::move(document_);
  }

 private:
  void Line(std::string_view raw, size_t number) {
    for (const char c : raw)
      if (static_cast<unsigned char>(c) >= 0x80 || (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\r'))
        Fail(number, "only printable ASCII text is allowed");
    const std::string_view line = Trim(raw);
    if (line.starts_with('#')) return;
    if (line.empty()) return EndParagraph();
    if (line.starts_with('.')) return Directive(line, number);
    if (document_.topics.empty()) Fail(number, "text before the first .topic");
    if (line.starts_with("= ")) {
      StartParagraph(ParagraphStyle::Heading, line.substr(2), number);
      return EndParagraph();  // a heading is one line
    }
    if (line.starts_with("* ")) return StartParagraph(ParagraphStyle::Bullet, line.substr(2), number);
    if (text_.empty()) return StartParagraph(ParagraphStyle::Body, line, number);
    text_ += ' ';
    text_ += line;
  }

  void Directive(std::string_view line, size_t number) {
    EndParagraph();
    const size_t space = line.find(' ');
    const std::string_view name = line.substr(0, space);
    const std::string_view rest = space == std::string_view::npos ? std::string_view() : Trim(line.substr(space));
    if (name == ".title") {
      document_.title = rest;
    } else if (name == ".copyright") {
      document_.copyright = rest;
    } else if (name == ".topic") {
      Topic(rest, number);
    } else if (name == ".alias") {
      if (document_.topics.empty()) Fail(number, ".alias before the first .topic");
      document_.topics.back().contextNumbers.push_back(ContextNumber(rest, number));
    } else {
      Fail(number, "unknown directive " + std::string(name));
    }
  }

  void Topic(std::string_view rest, size_t number) {
    const size_t a = rest.find(' ');
    const size_t b = a == std::string_view::npos ? a : rest.find(' ', a + 1);
    if (b == std::string_view::npos) Fail(number, ".topic wants a number, a name and a title");
    help::Topic topic;
    topic.contextNumbers.push_back(ContextNumber(rest.substr(0, a), number));
    topic.contextName = rest.substr(a + 1, b - a - 1);
    topic.title = Trim(rest.substr(b));
    if (!IsContextName(topic.contextName)) Fail(number, "a context name is letters, digits, '_' and '.'");
    if (!names_.insert(topic.contextName).second) Fail(number, "context name " + topic.contextName + " is given twice");
    topic.paragraphs.push_back({ParagraphStyle::Title, {{topic.title, {}}}});
    document_.topics.push_back(std::move(topic));
  }

  // A context number not given before.
  uint32_t ContextNumber(std::string_view text, size_t number) {
    const std::string digits(text);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
      Fail(number, "the context number is a decimal number");
    const uint32_t value = static_cast<uint32_t>(std::stoul(digits));
    if (!numbers_.insert(value).second) Fail(number, "context number " + digits + " is given twice");
    return value;
  }

  void StartParagraph(ParagraphStyle style, std::string_view text, size_t number) {
    EndParagraph();
    style_ = style;
    text_ = Trim(text);
    line_ = number;
  }

  void EndParagraph() {
    if (text_.empty()) return;
    document_.topics.back().paragraphs.push_back({style_, ParseSpans(text_, line_)});
    for (const Span& span : document_.topics.back().paragraphs.back().spans)
      if (!span.jump.empty()) jumps_.push_back({span.jump, line_});
    text_.clear();
  }

  void CheckJumps() const {
    for (const auto& [name, line] : jumps_)
      if (!names_.contains(name)) Fail(line, "a jump to " + name + ", which no topic is called");
  }

  HelpDocument document_;
  std::set<uint32_t> numbers_;
  std::set<std::string> names_;
  std::vector<std::pair<std::string, size_t>> jumps_;
  ParagraphStyle style_ = ParagraphStyle::Body;
  std::string text_;
  size_t line_ = 0;
};

}  // namespace

HelpDocument ParseHelpSource(std::string_view source) { return Parser().Parse(source); }

}  // namespace sombrevox::help
